#pragma once

#include <QTableView>

namespace tavolux::ui {

// A table that Tab walks cell by cell, as office programs do, and leaves
// after its last cell (Shift+Tab before its first). Ctrl+Tab and
// Ctrl+Shift+Tab leave it from any cell, also while a cell is being edited.
class GridView : public QTableView
{
    Q_OBJECT
public:
    explicit GridView(QWidget *parent = nullptr);

protected:
    bool focusNextPrevChild(bool next) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The current cell is the last one (forward) or the first one (backward).
    bool atEnd(bool next) const;
    // Moves the focus to the control before or after the table.
    void leave(bool next);
};

} // namespace tavolux::ui
