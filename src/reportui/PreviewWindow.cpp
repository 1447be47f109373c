#include "reportui/PreviewWindow.h"

#include "platform/Conventions.h"
#include "report/PagePainter.h"
#include "report/Report.h"
#include "reportui/ReportSteps.h"
#include "ui/Shortcuts.h"

#include <QAbstractScrollArea>
#include <QActionGroup>
#include <QShortcut>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>
#include <functional>

namespace tavolux::report {

namespace {

constexpr int kDeskMargin = 16; // pixels around and between the pages
const QColor kDesk(0x80, 0x80, 0x80);

} // namespace

// The pages one under the other, painted through paintPage. Only the pages
// in sight are laid out (when the document lays them out on demand) and
// painted, so a document of any length scrolls alike; the scroll bar counts
// pixels, or larger steps where the document is taller than it can count.
class PagesView : public QAbstractScrollArea
{
public:
    PagesView(const PageSequence &pages, QWidget *parent)
        : QAbstractScrollArea(parent), m_pages(pages)
    {
        setObjectName(QStringLiteral("pagesView"));
        setFrameShape(QFrame::NoFrame);
        setFocusPolicy(Qt::StrongFocus);
    }

    void setPages(const PageSequence &pages)
    {
        m_pages = pages;
        m_laidOut.clear();
        setScale(m_scale);
    }
    const PageSequence &pages() const { return m_pages; }

    void setScale(double pixelsPerUnit)
    {
        m_scale = pixelsPerUnit;
        updateBars();
        viewport()->update();
    }

    QSizeF pageSize() const { return m_pages.paper() * m_scale; }

    // Top of page i in the whole column of pages, in pixels.
    qint64 pageTop(int index) const { return kDeskMargin + qint64(index) * pitch(); }

    int pageAt(qint64 y) const
    {
        if (m_pages.isEmpty())
            return 0;
        const qint64 at = (y - kDeskMargin + kDeskMargin / 2) / std::max<qint64>(1, pitch());
        return int(std::clamp<qint64>(at, 0, m_pages.size() - 1));
    }

    // The top of the view in the column of pages, in pixels.
    qint64 top() const { return qint64(verticalScrollBar()->value()) * m_step; }
    void scrollToPixel(qint64 y) { verticalScrollBar()->setValue(int(std::min<qint64>(y / m_step, INT_MAX))); }

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        QAbstractScrollArea::resizeEvent(event);
        updateBars();
    }

    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(viewport());
        painter.fillRect(viewport()->rect(), kDesk);
        if (m_pages.isEmpty())
            return;
        const QSizeF size = pageSize();
        const qint64 y0 = top();
        const double left = std::max(double(kDeskMargin), (viewport()->width() - size.width()) / 2)
                            - horizontalScrollBar()->value();
        const int first = pageAt(y0 - pitch());
        for (int i = first; i < m_pages.size(); ++i) {
            const double y = double(pageTop(i) - y0);
            if (y > viewport()->height())
                break;
            if (y + size.height() < 0)
                continue;
            const QRectF paper(QPointF(left, y), size);
            painter.fillRect(paper.translated(3, 3), QColor(0x40, 0x40, 0x40));
            painter.fillRect(paper, Qt::white);
            painter.save();
            painter.setClipRect(paper);
            painter.translate(paper.topLeft());
            painter.scale(m_scale, m_scale);
            paintPage(laidOut(i), painter, PaintFor::Preview);
            painter.restore();
        }
    }

private:
    qint64 pitch() const { return qint64(m_pages.paper().height() * m_scale) + kDeskMargin; }

    void updateBars()
    {
        const qint64 total = m_pages.isEmpty() ? 0 : pageTop(m_pages.size());
        const qint64 room = std::max<qint64>(0, total - viewport()->height());
        // Scroll bars count in ints: a taller column scrolls in steps of several pixels.
        m_step = std::max<qint64>(1, room / (INT_MAX / 2) + 1);
        verticalScrollBar()->setRange(0, int(room / m_step));
        verticalScrollBar()->setPageStep(std::max(1, int(viewport()->height() / m_step)));
        verticalScrollBar()->setSingleStep(std::max(1, int(40 / m_step)));
        const int width = int(pageSize().width()) + 2 * kDeskMargin;
        horizontalScrollBar()->setRange(0, std::max(0, width - viewport()->width()));
        horizontalScrollBar()->setPageStep(viewport()->width());
        horizontalScrollBar()->setSingleStep(40);
    }

    // The pages in sight are kept laid out while they stay in sight.
    PreparedPage laidOut(int index)
    {
        for (const auto &page : m_laidOut)
            if (page.first == index)
                return page.second;
        if (m_laidOut.size() >= 6)
            m_laidOut.removeFirst();
        m_laidOut.append({index, m_pages.at(index)});
        return m_laidOut.last().second;
    }

    PageSequence m_pages;
    QList<QPair<int, PreparedPage>> m_laidOut;
    double m_scale = 1;
    qint64 m_step = 1;
};

namespace {

// A small printer, drawn: the styles offer no print icon of their own.
QIcon printerIcon()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x30, 0x30, 0x30), 1.5));
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(9, 3, 14, 10));            // paper going in
    painter.setBrush(QColor(0x60, 0x70, 0x80));
    painter.drawRoundedRect(QRectF(3, 12, 26, 12), 2, 2); // body
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(9, 20, 14, 10));           // paper coming out
    painter.setPen(QPen(QColor(0x30, 0x30, 0x30), 1));
    painter.drawLine(QPointF(12, 24), QPointF(20, 24));
    painter.drawLine(QPointF(12, 27), QPointF(20, 27));
    return QIcon(pixmap);
}

QToolButton *toolButton(QToolBar *bar, const char *name, const QString &text, const QIcon &icon)
{
    auto *button = new QToolButton(bar);
    button->setObjectName(QLatin1String(name));
    button->setText(text);
    button->setIcon(icon);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    bar->addWidget(button);
    return button;
}

} // namespace

PreviewWindow::PreviewWindow(Report &report, QWidget *parent)
    : QDialog(parent), m_report(report)
{
    setObjectName(QStringLiteral("PreviewWindow"));
    setWindowTitle(report.name());
    setModal(true);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint
                   | Qt::WindowCloseButtonHint);
    resize(1000, 800);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("toolbar"));
    bar->setAccessibleName(QStringLiteral("Comandi dell'anteprima"));
    layout->addWidget(bar);

    const Report::PreviewButtons offered = report.previewButtons();
    if (offered.testFlag(Report::PreviewPrint)) {
        btnStampa = toolButton(bar, "btnStampa", QStringLiteral("Stampa"), printerIcon());
        connect(btnStampa, &QToolButton::clicked, this, &PreviewWindow::print);
    }
    if (offered.testFlag(Report::PreviewZoom)) {
        btnZoom = toolButton(bar, "btnZoom", QString(), style()->standardIcon(QStyle::SP_FileDialogContentsView));
        btnZoom->setPopupMode(QToolButton::InstantPopup);
        auto *menu = new QMenu(btnZoom);
        for (int percent : {50, 75, 100, 150, 200})
            menu->addAction(QStringLiteral("%1 %").arg(percent), this, [this, percent] { setZoom(percent / 100.0); });
        menu->addSeparator();
        menu->addAction(QStringLiteral("Larghezza pagina"), this, &PreviewWindow::fitWidth);
        menu->addAction(QStringLiteral("Pagina intera"), this, &PreviewWindow::fitPage);
        btnZoom->setMenu(menu);
    }
    if (offered.testFlag(Report::PreviewFullScreen)) {
        btnSchermoIntero = toolButton(bar, "btnSchermoIntero", QStringLiteral("Schermo intero"),
                                      style()->standardIcon(QStyle::SP_TitleBarMaxButton));
        connect(btnSchermoIntero, &QToolButton::clicked, this, &PreviewWindow::toggleFullScreen);
    }
    if (offered.testFlag(Report::PreviewPages)) {
        bar->addSeparator();
        btnPrima = toolButton(bar, "btnPrima", QString(), style()->standardIcon(QStyle::SP_MediaSkipBackward));
        btnPrecedente = toolButton(bar, "btnPrecedente", QString(), style()->standardIcon(QStyle::SP_MediaSeekBackward));
        lblPagina = new QLabel(bar);
        lblPagina->setObjectName(QStringLiteral("lblPagina"));
        lblPagina->setContentsMargins(8, 0, 8, 0);
        bar->addWidget(lblPagina);
        btnSuccessiva = toolButton(bar, "btnSuccessiva", QString(), style()->standardIcon(QStyle::SP_MediaSeekForward));
        btnUltima = toolButton(bar, "btnUltima", QString(), style()->standardIcon(QStyle::SP_MediaSkipForward));
        // Picture buttons: their name and their tooltip say which page they show.
        const QPair<QToolButton *, QString> pageButtons[] = {
            {btnPrima, QStringLiteral("Prima pagina")},
            {btnPrecedente, QStringLiteral("Pagina precedente")},
            {btnSuccessiva, QStringLiteral("Pagina successiva")},
            {btnUltima, QStringLiteral("Ultima pagina")},
        };
        const QString pageHints[] = {
            QStringLiteral("Visualizza la prima pagina."),
            QStringLiteral("Visualizza la pagina precedente."),
            QStringLiteral("Visualizza la pagina successiva."),
            QStringLiteral("Visualizza l'ultima pagina."),
        };
        for (int i = 0; i < 4; ++i) {
            pageButtons[i].first->setAccessibleName(pageButtons[i].second);
            ui::setHintTooltip(pageButtons[i].first, pageHints[i]);
        }
        connect(btnPrima, &QToolButton::clicked, this, [this] { showPage(0); });
        connect(btnPrecedente, &QToolButton::clicked, this, [this] { showPage(m_page - 1); });
        connect(btnSuccessiva, &QToolButton::clicked, this, [this] { showPage(m_page + 1); });
        connect(btnUltima, &QToolButton::clicked, this, [this] { showPage(view()->pages().size() - 1); });
    }
    if (!report.previewControls().isEmpty()) {
        bar->addSeparator();
        for (const Report::Control &control : report.previewControls())
            bar->addWidget(control(bar, [this] { relayout(); }));
    }
    if (offered.testFlag(Report::PreviewClose)) {
        bar->addSeparator();
        btnChiudi = toolButton(bar, "btnChiudi", QStringLiteral("Chiudi"), style()->standardIcon(QStyle::SP_DialogCloseButton));
        connect(btnChiudi, &QToolButton::clicked, this, &QDialog::accept);
    }

    auto *view = new PagesView(report.pages(), this);
    view->setAccessibleName(QStringLiteral("Anteprima delle pagine"));
    m_pages = view;
    layout->addWidget(view, 1);
    connect(view->verticalScrollBar(), &QScrollBar::valueChanged, this, [this, view] {
        m_page = view->pageAt(view->top() + view->viewport()->height() / 3);
        updateLabels();
    });

    // Keys: Ctrl+P prints (where the print button is offered), Ctrl++ and
    // Ctrl+- zoom in steps of a quarter, Ctrl+0 goes back to 100 %.
    if (btnStampa)
        ui::bindShortcut(this, btnStampa, QKeySequence(Qt::CTRL | Qt::Key_P));
    if (btnZoom) {
        const auto zoomKey = [this](const QList<QKeySequence> &keys, std::function<double()> to) {
            for (const QKeySequence &key : keys)
                connect(new QShortcut(key, this), &QShortcut::activated, this, [this, to] { setZoom(to()); });
        };
        zoomKey({QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)},
                [this] { return m_zoom + 0.25; });
        zoomKey({QKeySequence(Qt::CTRL | Qt::Key_Minus)}, [this] { return m_zoom - 0.25; });
        zoomKey({QKeySequence(Qt::CTRL | Qt::Key_0)}, [] { return 1.0; });
    }

    setZoom(1.0);
}

double PreviewWindow::pixelsPerUnit() const
{
    return m_zoom * logicalDpiX() / 96.0;
}

PagesView *PreviewWindow::view() const
{
    return static_cast<PagesView *>(m_pages);
}

QSizeF PreviewWindow::pageSizeOnScreen() const
{
    return view()->pageSize();
}

void PreviewWindow::setZoom(double zoom)
{
    m_zoom = std::clamp(zoom, 0.1, 8.0);
    const int page = m_page;
    view()->setScale(pixelsPerUnit());
    showPage(page);
    updateLabels();
}

void PreviewWindow::fitWidth()
{
    const PageSequence &pages = view()->pages();
    if (pages.isEmpty())
        return;
    const double available = view()->viewport()->width() - 2 * kDeskMargin;
    setZoom(available / (pages.paper().width() * logicalDpiX() / 96.0));
}

void PreviewWindow::fitPage()
{
    const PageSequence &pages = view()->pages();
    if (pages.isEmpty())
        return;
    const QSizeF paper = pages.paper() * (logicalDpiX() / 96.0);
    const double byWidth = (view()->viewport()->width() - 2 * kDeskMargin) / paper.width();
    const double byHeight = (view()->viewport()->height() - 2 * kDeskMargin) / paper.height();
    setZoom(std::min(byWidth, byHeight));
}

void PreviewWindow::showPage(int index)
{
    const int count = view()->pages().size();
    if (count == 0)
        return;
    m_page = std::clamp(index, 0, count - 1);
    view()->scrollToPixel(view()->pageTop(m_page) - kDeskMargin);
    updateLabels();
}

void PreviewWindow::updateLabels()
{
    if (btnZoom)
        btnZoom->setText(QStringLiteral("Zoom %1 %").arg(qRound(m_zoom * 100)));
    if (lblPagina)
        lblPagina->setText(QStringLiteral("Pagina %1 di %2")
                               .arg(conventions::formatCount(m_page + 1),
                                    conventions::formatCount(qlonglong(view()->pages().size()))));
}

void PreviewWindow::relayout()
{
    m_report.PrepareReport();
    view()->setPages(m_report.pages());
    setZoom(m_zoom);
}

void PreviewWindow::print()
{
    printFromPreview(m_report, this);
}

void PreviewWindow::toggleFullScreen()
{
    if (isFullScreen())
        showMaximized();
    else
        showFullScreen();
}

} // namespace tavolux::report
