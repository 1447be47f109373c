#include "addresses/TfrmExpIndirizzi.h"

#include "help/ShowHelp.h"

#include "addresses/ExportGridModel.h"
#include "addresses/SpreadsheetFile.h"
#include "archivewindow/ArchiveNotices.h"
#include "workbook/WorkbookWriter.h"
#include "platform/TMisc.h"
#include "platform/TextUtil.h"
#include "ui/AccessibleNames.h"
#include "ui/Art.h"
#include "ui/GridView.h"
#include "ui/Messages.h"
#include "ui/PictureButton.h"
#include "ui/Shortcuts.h"
#include "ui/StatusHints.h"

#include <QAbstractItemDelegate>
#include <QDir>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QShowEvent>
#include <QTableView>
#include <QVBoxLayout>

namespace tavolux {

static_assert(int(TfrmExpIndirizzi::ColumnCount) == ExportGridModel::ColumnCount);

QString TfrmExpIndirizzi::exportQuestion()
{
    return QStringLiteral("L'esportazione dei dati in Excel può richiedere diversi minuti a seconda del numero di schede presenti in archivio.\r\n\r\n"
                          "Si vuole esportare i dati adesso?");
}

QString TfrmExpIndirizzi::openQuestion()
{
    return QStringLiteral("Le schede in archivio sono state esportate con successo.\r\n\r\n"
                          "Si vuole aprire il file di Excel?");
}

QString TfrmExpIndirizzi::failureMessage()
{
    return QStringLiteral("Attenzione: il sistema non permette di esportare i dati.\n\r\n\r"
                          "Accertarsi che il file di Excel non sia già aperto.");
}

QString TfrmExpIndirizzi::workbookFailureMessage(const QString &reason, const QString &remedy)
{
    const QString fact = QStringLiteral("Attenzione: il sistema non permette di esportare i dati. ") + reason;
    return remedy.isEmpty() ? fact : fact + QStringLiteral("\n\r\n\r") + remedy;
}

QString TfrmExpIndirizzi::workbookHint()
{
    return QStringLiteral("Esporta l'archivio in formato Microsoft Excel .xlsx (tutte le celle come testo).");
}

TfrmExpIndirizzi::TfrmExpIndirizzi(const ProgramFolder &folder, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_folder(folder)
{
    setObjectName(QStringLiteral("TfrmExpIndirizzi"));
    setWindowTitle(QStringLiteral(" Esportazione archivio indirizzi in Excel"));
    setFixedSize(862, 560);
    setAutoFillBackground(true);
    QPalette shade = palette();
    shade.setColor(QPalette::Window, QColor(0xEE, 0xED, 0xED));
    setPalette(shade);

    auto *content = new QWidget(this);
    content->setObjectName(QStringLiteral("panContenuto"));
    auto *fill = new QVBoxLayout(this);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(content);
    auto *column = new QVBoxLayout(content);
    column->setContentsMargins(8, 8, 8, 8);
    column->setSpacing(8);

    // Top strip: banner, pointing hand, the three picture buttons.
    auto *strip = new QFrame(content);
    strip->setObjectName(QStringLiteral("panComandi"));
    strip->setStyleSheet(QStringLiteral("QFrame#panComandi { background: white; border: 1px solid #c8c8c8; border-radius: 4px; }"));
    auto *stripRow = new QHBoxLayout(strip);
    stripRow->setContentsMargins(10, 6, 10, 6);
    stripRow->setSpacing(10);
    auto *banner = new QLabel(strip);
    banner->setObjectName(QStringLiteral("imgBanner"));
    banner->setPixmap(ui::textArt(QStringLiteral("Esportazione archivio indirizzi"), QSize(430, 40), 24,
                                  QColor(0x1D, 0x7A, 0x3A), true));
    auto *hand = new QLabel(strip);
    hand->setObjectName(QStringLiteral("imgMano"));
    hand->setPixmap(ui::art(QStringLiteral("mano"), QSize(40, 40)));
    ui::describePicture(banner, QStringLiteral("Esportazione archivio indirizzi"));
    ui::describePicture(hand, QStringLiteral("Mano che indica i pulsanti di esportazione"));
    cmdEsporta = new ui::PictureButton(QStringLiteral("esporta"), QSize(44, 44), strip);
    cmdEsporta->setObjectName(QStringLiteral("cmdEsporta"));
    cmdEsportaXlsx = new ui::PictureButton(QStringLiteral("esporta_xlsx"), QSize(44, 44), strip);
    cmdEsportaXlsx->setObjectName(QStringLiteral("cmdEsportaXlsx"));
    cmdGuida = new ui::PictureButton(QStringLiteral("guida"), QSize(44, 44), strip);
    cmdGuida->setObjectName(QStringLiteral("cmdGuida"));
    cmdEsci = new ui::PictureButton(QStringLiteral("esci"), QSize(44, 44), strip);
    cmdEsci->setObjectName(QStringLiteral("cmdEsci"));
    stripRow->addWidget(banner);
    stripRow->addStretch();
    // The .xlsx button takes room from the stretch, left of the hand, so that
    // the other pictures keep their places. Tab reaches it right after the
    // other export button, which keeps the first focus.
    stripRow->addWidget(cmdEsportaXlsx);
    stripRow->addWidget(hand);
    stripRow->addWidget(cmdEsporta);
    stripRow->addSpacing(12);
    stripRow->addWidget(cmdGuida);
    stripRow->addWidget(cmdEsci);
    column->addWidget(strip);

    // The grid: starts with ten empty rows.
    m_model = new ExportGridModel(EmptyRows, this);
    // Tab walks the cells and leaves the grid after the last one.
    grdRecords = new ui::GridView(content);
    grdRecords->setObjectName(QStringLiteral("grdRecords"));
    grdRecords->setModel(m_model);
    grdRecords->setAlternatingRowColors(true);
    grdRecords->setStyleSheet(QStringLiteral("QTableView { background: white; alternate-background-color: #e8eef8; gridline-color: #c8c8c8; }"));
    grdRecords->verticalHeader()->hide();
    grdRecords->verticalHeader()->setMinimumSectionSize(RowHeight);
    grdRecords->verticalHeader()->setDefaultSectionSize(RowHeight);
    grdRecords->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grdRecords->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grdRecords->horizontalHeader()->setHighlightSections(false);
    grdRecords->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    grdRecords->setSelectionMode(QAbstractItemView::SingleSelection);
    grdRecords->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                                | QAbstractItemView::AnyKeyPressed);
    setColumnWidths();
    column->addWidget(grdRecords, 1);

    // Status bar.
    auto *status = new QFrame(content);
    status->setObjectName(QStringLiteral("panStato"));
    status->setStyleSheet(QStringLiteral("QFrame#panStato { background: #6A5ACD; border-radius: 3px; }"));
    auto *statusRow = new QHBoxLayout(status);
    statusRow->setContentsMargins(10, 4, 10, 4);
    panInfo = new QLabel(QStringLiteral("Esportazione archivio in Microsoft Excel."), status);
    panInfo->setObjectName(QStringLiteral("panInfo"));
    panInfo->setFont(QFont(QStringLiteral("Tahoma"), 12));
    panInfo->setStyleSheet(QStringLiteral("color: white;"));
    panInfo->setMinimumHeight(22);
    statusRow->addWidget(panInfo);
    column->addWidget(status);

    auto *hints = new ui::StatusHints(panInfo, this);
    hints->addHint(cmdEsporta, QStringLiteral("Esporta l'archivio in formato Microsoft Excel."));
    hints->addHint(cmdEsportaXlsx, workbookHint());
    hints->addHint(cmdGuida, QStringLiteral("Visualizza la pagina della guida sensibile al contesto."));
    hints->addHint(cmdEsci, QStringLiteral("Esci da questo ambiente di lavoro."));
    // The whole grid is background: its cells, headers, scroll bars and corner.
    QList<QWidget *> background{this, content, strip, status, grdRecords};
    background += grdRecords->findChildren<QWidget *>();
    for (QWidget *widget : background)
        hints->addBackground(widget);
    for (QWidget *widget : QList<QWidget *>{banner, hand, panInfo})
        hints->addNeutral(widget);

    connect(cmdEsporta, &ui::PictureButton::clicked, this, &TfrmExpIndirizzi::exportArchive);
    connect(cmdEsportaXlsx, &ui::PictureButton::clicked, this, &TfrmExpIndirizzi::exportWorkbook);
    connect(cmdGuida, &ui::PictureButton::clicked, this, &TfrmExpIndirizzi::showHelp);
    ui::bindShortcut(this, cmdGuida, QKeySequence(Qt::Key_F1));
    connect(cmdEsci, &ui::PictureButton::clicked, this, &QDialog::close);
}

void TfrmExpIndirizzi::setColumnWidths()
{
    for (int c = 0; c < ColumnCount; ++c)
        grdRecords->setColumnWidth(c, ExportGridModel::width(c));
}

void TfrmExpIndirizzi::load()
{
    for (;;) {
        m_busy = m_model->load(m_folder) == ExportGridModel::Load::Busy;
        // A fresh model resets the header's sections, widths included.
        setColumnWidths();
        if (!m_busy || !archivewindow::askRetryBusy(this))
            return;
    }
}

bool TfrmExpIndirizzi::readyToExport()
{
    if (m_busy && archivewindow::askRetryBusy(this))
        load();
    return !m_busy;
}

QList<QStringList> TfrmExpIndirizzi::gridRows() const
{
    QList<QStringList> rows;
    rows.reserve(m_model->rowCount());
    for (int r = 0; r < m_model->rowCount(); ++r) {
        QStringList cells;
        cells.reserve(ColumnCount - 1);
        for (int c = colNome; c < ColumnCount; ++c)
            cells << m_model->text(r, c);
        rows << cells;
    }
    return rows;
}

void TfrmExpIndirizzi::commitEdit()
{
    // A cell still being edited counts with what it shows.
    if (QWidget *editor = grdRecords->indexWidget(grdRecords->currentIndex()))
        emit grdRecords->itemDelegate()->commitData(editor);
}

void TfrmExpIndirizzi::exportArchive()
{
    commitEdit();
    if (!readyToExport())
        return;
    if (!ui::ask(this, exportQuestion()))
        return;
    const QString path = m_folder.file(fileName());
    const FileSaveResult saved
        = saveSpreadsheet(path, [this](const SpreadsheetSink &sink) { return m_model->writeSpreadsheet(sink); });
    if (!saved.ok()) {
        ui::plain(this, ui::withReason(failureMessage(), saved.reason()));
        return;
    }
    if (ui::ask(this, openQuestion()))
        TMisc::Open(QLatin1Char('"') + QDir::toNativeSeparators(path) + QLatin1Char('"'));
}

void TfrmExpIndirizzi::exportWorkbook()
{
    commitEdit();
    if (!readyToExport())
        return;
    WorkbookSheet sheet;
    sheet.name = workbookSheetName();
    for (int c = colNome; c < ColumnCount; ++c)
        sheet.columns << WorkbookColumn{ExportGridModel::header(c), grdRecords->columnWidth(c)};
    sheet.rows = m_model->rowCount();
    // Each cell as the grid shows it, trimmed as in the other export.
    sheet.cell = [this](qsizetype row, int column) { return trimText(m_model->text(int(row), colNome + column)); };
    const QString path = m_folder.file(workbookFileName());
    const WorkbookResult result = saveWorkbook(path, sheet);
    if (!result.ok) {
        ui::plain(this, workbookFailureMessage(result.message, result.remedy));
        return;
    }
    if (ui::ask(this, openQuestion()))
        TMisc::Open(QLatin1Char('"') + QDir::toNativeSeparators(path) + QLatin1Char('"'));
}

void TfrmExpIndirizzi::showHelp()
{
    showHelpTopic(this, m_folder, HelpTopic::Export);
}

void TfrmExpIndirizzi::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    if (!m_loaded) {
        m_loaded = true;
        load();
    }
}

} // namespace tavolux
