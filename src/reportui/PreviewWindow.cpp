#include "reportui/PreviewWindow.h"

#include "platform/Conventions.h"
#include "report/PagePainter.h"
#include "report/Report.h"
#include "reportui/ReportSteps.h"
#include "ui/Shortcuts.h"

#include <QActionGroup>
#include <QShortcut>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

namespace tavolux::report {

namespace {

constexpr int kDeskMargin = 16; // pixels around and between the pages
const QColor kDesk(0x80, 0x80, 0x80);

// The pages one under the other, painted through paintPage.
class PagesView : public QWidget
{
public:
    PagesView(const QList<PreparedPage> &pages, QWidget *parent)
        : QWidget(parent), m_pages(pages)
    {
        setObjectName(QStringLiteral("pagesView"));
    }

    void setPages(const QList<PreparedPage> &pages)
    {
        m_pages = pages;
        setScale(m_scale);
    }

    void setScale(double pixelsPerUnit)
    {
        m_scale = pixelsPerUnit;
        int width = 0, height = kDeskMargin;
        for (const PreparedPage &page : m_pages) {
            width = std::max(width, int(page.paper.width() * m_scale));
            height += int(page.paper.height() * m_scale) + kDeskMargin;
        }
        setFixedSize(width + 2 * kDeskMargin, height);
        update();
    }

    // Top of page i in the view, in pixels.
    int pageTop(int index) const
    {
        int y = kDeskMargin;
        for (int i = 0; i < index && i < m_pages.size(); ++i)
            y += int(m_pages.at(i).paper.height() * m_scale) + kDeskMargin;
        return y;
    }

    int pageAt(int y) const
    {
        for (int i = int(m_pages.size()) - 1; i >= 0; --i)
            if (y >= pageTop(i) - kDeskMargin / 2)
                return i;
        return 0;
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), kDesk);
        for (int i = 0; i < m_pages.size(); ++i) {
            const PreparedPage &page = m_pages.at(i);
            const QSizeF size = page.paper * m_scale;
            const double left = (width() - size.width()) / 2;
            const QRectF paper(QPointF(left, pageTop(i)), size);
            painter.fillRect(paper.translated(3, 3), QColor(0x40, 0x40, 0x40));
            painter.fillRect(paper, Qt::white);
            painter.save();
            painter.setClipRect(paper);
            painter.translate(paper.topLeft());
            painter.scale(m_scale, m_scale);
            paintPage(page, painter, PaintFor::Preview);
            painter.restore();
        }
    }

private:
    QList<PreparedPage> m_pages;
    double m_scale = 1;
};

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
        connect(btnUltima, &QToolButton::clicked, this, [this] { showPage(int(m_report.preparedPages().size()) - 1); });
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

    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("scroll"));
    m_scroll->setAccessibleName(QStringLiteral("Anteprima delle pagine"));
    m_scroll->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QPalette desk = m_scroll->palette();
    desk.setColor(QPalette::Window, kDesk);
    m_scroll->setPalette(desk);
    m_scroll->setBackgroundRole(QPalette::Window);
    auto *view = new PagesView(report.preparedPages(), m_scroll);
    m_pages = view;
    m_scroll->setWidget(view);
    layout->addWidget(m_scroll, 1);
    connect(m_scroll->verticalScrollBar(), &QScrollBar::valueChanged, this, [this, view](int value) {
        m_page = view->pageAt(value + m_scroll->viewport()->height() / 3);
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

void PreviewWindow::setZoom(double zoom)
{
    m_zoom = std::clamp(zoom, 0.1, 8.0);
    const int page = m_page;
    static_cast<PagesView *>(m_pages)->setScale(pixelsPerUnit());
    showPage(page);
    updateLabels();
}

void PreviewWindow::fitWidth()
{
    const QList<PreparedPage> &pages = m_report.preparedPages();
    if (pages.isEmpty())
        return;
    const double available = m_scroll->viewport()->width() - 2 * kDeskMargin;
    setZoom(available / (pages.first().paper.width() * logicalDpiX() / 96.0));
}

void PreviewWindow::fitPage()
{
    const QList<PreparedPage> &pages = m_report.preparedPages();
    if (pages.isEmpty())
        return;
    const QSizeF paper = pages.first().paper * (logicalDpiX() / 96.0);
    const double byWidth = (m_scroll->viewport()->width() - 2 * kDeskMargin) / paper.width();
    const double byHeight = (m_scroll->viewport()->height() - 2 * kDeskMargin) / paper.height();
    setZoom(std::min(byWidth, byHeight));
}

void PreviewWindow::showPage(int index)
{
    const int count = int(m_report.preparedPages().size());
    if (count == 0)
        return;
    m_page = std::clamp(index, 0, count - 1);
    m_scroll->verticalScrollBar()->setValue(static_cast<PagesView *>(m_pages)->pageTop(m_page) - kDeskMargin);
    updateLabels();
}

void PreviewWindow::updateLabels()
{
    if (btnZoom)
        btnZoom->setText(QStringLiteral("Zoom %1 %").arg(qRound(m_zoom * 100)));
    if (lblPagina)
        lblPagina->setText(QStringLiteral("Pagina %1 di %2")
                               .arg(conventions::formatCount(m_page + 1),
                                    conventions::formatCount(qlonglong(m_report.preparedPages().size()))));
}

void PreviewWindow::relayout()
{
    m_report.PrepareReport();
    static_cast<PagesView *>(m_pages)->setPages(m_report.preparedPages());
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
