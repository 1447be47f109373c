#include "ui/GridView.h"

#include <QAbstractItemDelegate>
#include <QHeaderView>
#include <QKeyEvent>

namespace tavolux::ui {

namespace {

// Tab or Shift+Tab, with or without Ctrl; 0 for any other key.
int tabDirection(const QKeyEvent *event)
{
    if (event->key() == Qt::Key_Backtab || (event->key() == Qt::Key_Tab && (event->modifiers() & Qt::ShiftModifier)))
        return -1;
    return event->key() == Qt::Key_Tab ? 1 : 0;
}

} // namespace

GridView::GridView(QWidget *parent) : QTableView(parent) {}

bool GridView::atEnd(bool next) const
{
    const QAbstractItemModel *items = model();
    if (!items || items->rowCount(rootIndex()) == 0 || items->columnCount(rootIndex()) == 0)
        return true;
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return false;
    const int row = verticalHeader()->visualIndex(current.row());
    const int column = horizontalHeader()->visualIndex(current.column());
    if (next)
        return row == items->rowCount(rootIndex()) - 1 && column == items->columnCount(rootIndex()) - 1;
    return row == 0 && column == 0;
}

void GridView::leave(bool next)
{
    // Past the table's own cell walk: the window's focus chain.
    QAbstractScrollArea::focusNextPrevChild(next);
}

bool GridView::focusNextPrevChild(bool next)
{
    if (tabKeyNavigation() && atEnd(next)) {
        leave(next);
        return true;
    }
    return QTableView::focusNextPrevChild(next);
}

void GridView::keyPressEvent(QKeyEvent *event)
{
    const int direction = tabDirection(event);
    if (direction != 0 && (event->modifiers() & Qt::ControlModifier)) {
        leave(direction > 0);
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

bool GridView::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    const bool editing = QTableView::edit(index, trigger, event);
    // Seen before the delegate sees it, which would move to the next cell.
    if (editing)
        if (QWidget *editor = indexWidget(index))
            editor->installEventFilter(this);
    return editing;
}

bool GridView::eventFilter(QObject *watched, QEvent *event)
{
    auto *editor = qobject_cast<QWidget *>(watched);
    if (editor && event->type() == QEvent::KeyPress && editor != viewport()) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const int direction = tabDirection(key);
        if (direction != 0 && ((key->modifiers() & Qt::ControlModifier) || atEnd(direction > 0))) {
            emit itemDelegate()->commitData(editor);
            closeEditor(editor, QAbstractItemDelegate::NoHint);
            leave(direction > 0);
            return true;
        }
    }
    return QTableView::eventFilter(watched, event);
}

} // namespace tavolux::ui
