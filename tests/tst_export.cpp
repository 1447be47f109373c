#include "OfficeConvert.h"
#include "addresses/ExportGridModel.h"
#include "addresses/SpreadsheetWriter.h"
#include "addresses/TfrmArchivio_Indirizzi.h"
#include "addresses/TfrmExpIndirizzi.h"
#include "platform/TMisc.h"
#include "storage/AddressArchive.h"
#include "ui/Messages.h"
#include "ui/PictureButton.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProcess>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QPointer>
#include <QScrollBar>

#include "FileSizeLimit.h"
#include "platform/TextUtil.h"
#include "workbook/WorkbookCheck.h"
#include "workbook/WorkbookWriter.h"
#include "addresses/SpreadsheetFile.h"

#include <QAccessible>
#include <QLayout>
#include "ui/AccessibleNames.h"
#include <QXmlStreamReader>

#include <algorithm>
#include <cstring>
#include <memory>

using namespace tavolux;
using ui::MessageAnswer;
using ui::MessageButtons;
using ui::MessageKind;

namespace {

const QString kExportQuestion = QStringLiteral(
    "L'esportazione dei dati in Excel può richiedere diversi minuti a seconda del numero di schede presenti in archivio.\r\n\r\n"
    "Si vuole esportare i dati adesso?");
const QString kOpenQuestion = QStringLiteral("Le schede in archivio sono state esportate con successo.\r\n\r\n"
                                             "Si vuole aprire il file di Excel?");
const QString kFailure = QStringLiteral("Attenzione: il sistema non permette di esportare i dati.\n\r\n\r"
                                        "Accertarsi che il file di Excel non sia già aperto.");

// The file's pieces up to the header row's end, one entry per piece.
QList<QByteArray> headPieces()
{
    return {
        "<html xmlns:o=\"urn:schemas-microsoft-com:office:office\" xmlns:x=\"urn:schemas-microsoft-com:office:excel\""
        " xmlns=\"http://www.w3.org/TR/REC-html40\">",
        "<head>",
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">",
        "<!--[if gte mso 9]><xml>",
        "<x:ExcelWorkbook>",
        "<x:ExcelWorksheets>",
        "<x:ExcelWorksheet>",
        "<x:Name>Archivio Indirizzi</x:Name>",
        "<x:WorksheetOptions>",
        "<x:Selected/>",
        "<x:Panes>",
        "<x:Pane>",
        "<x:Number>1</x:Number>",
        "<x:ActiveRow>3</x:ActiveRow>",
        "</x:Pane>",
        "</x:Panes>",
        "<x:ProtectContents>False</x:ProtectContents>",
        "<x:ProtectObjects>False</x:ProtectObjects>",
        "<x:ProtectScenarios>False</x:ProtectScenarios>",
        "</x:WorksheetOptions>",
        "</x:ExcelWorksheet>",
        "</x:ExcelWorksheets>",
        "</x:ExcelWorkbook>",
        "</xml><![endif]-->",
        "</head>",
        "<body>",
        "<table x:str>",
        "<tr>",
        "<td style=\"text-align: left; font-weight: bold;\" width=300>Nome etichetta</td>",
        "<td style=\"text-align: left; font-weight: bold;\" width=250>Tipo</td>",
        "<td style=\"text-align: left; font-weight: bold;\" width=450>Indirizzo (rigo 1)</td>",
        "<td style=\"text-align: left; font-weight: bold;\" width=450>Indirizzo (rigo 2)</td>",
        "<td style=\"text-align: left; font-weight: bold;\" width=450>Indirizzo (rigo 3)</td>",
        "<td style=\"text-align: left; font-weight: bold;\" width=450>Indirizzo (rigo 4)</td>",
        "<td style=\"text-align: left; font-weight: bold;\" width=450>Indirizzo (rigo 5)</td>",
        "<td style=\"text-align: left; font-weight: bold;\" width=450>Indirizzo (rigo 6)</td>",
        "<td style=\"text-align: left; font-weight: bold;\" width=350>Note</td>",
        "</tr>",
    };
}

const QList<QByteArray> kTailPieces{"</table>", "</body>", "</html>"};

// One data row's eleven pieces, from cells already in their file form.
QList<QByteArray> rowPieces(const QList<QByteArray> &cells)
{
    QList<QByteArray> pieces{"<tr>"};
    for (const QByteArray &cell : cells)
        pieces << "<td style=\"text-align: left;\">" + cell + "</td>";
    pieces << "</tr>";
    return pieces;
}

QByteArray join(const QList<QByteArray> &pieces)
{
    QByteArray out;
    for (const QByteArray &piece : pieces)
        out += piece;
    return out;
}

QByteArray emptyExport(int rows)
{
    QList<QByteArray> pieces = headPieces();
    for (int r = 0; r < rows; ++r)
        pieces << rowPieces(QList<QByteArray>(9));
    pieces << kTailPieces;
    return join(pieces);
}

TSchedaIndirizzo card(const QStringList &values)
{
    TSchedaIndirizzo c;
    for (int i = 0; i < values.size(); ++i)
        c[i] = values.at(i);
    return c;
}

} // namespace

class TestExport : public QObject
{
    Q_OBJECT
private slots:
    void writerStreamsWholeFileInPieces();
    void init();
    void cleanup();

    // The writer.
    void writerBytesForThreeRows();
    void writerCells_data();
    void writerCells();
    void writerMarksFormulaLikeCellsAsText();

    // The window.
    void windowAndGrid();
    void emptyArchiveExportsTenEmptyRows();
    void exportQuestions_data();
    void exportQuestions();
    void editedNoteIsExported();
    void failureShowsPlainMessage();
    void statusHints();
    void opensFromAddressWindow();
    void tenThousandCards();
    void rawFieldsShowAndExportAsDecoded_data();
    void rawFieldsShowAndExportAsDecoded();

    // A real spreadsheet program reads the file back.
    void libreOfficeReadsEveryCell();
    void libreOfficeTurnsNumberCellsOfTheXlsIntoNumbers();

    // The .xlsx workbook beside it.
    void workbookKeepsEveryCell_data();
    void workbookKeepsEveryCell();
    void workbookAsLibreOfficeShowsIt();
    void workbookAsksOnlyToOpenIt_data();
    void workbookAsksOnlyToOpenIt();
    void workbookFailureKeepsOldFile_data();
    void workbookFailureKeepsOldFile();
    void workbookButtonLeavesTheOthersInPlace();
    void workbookSaverKeepsOldFileWhenRefused();

private:
    void fill(const QList<TSchedaIndirizzo> &cards);
    QString exportPath() const { return m_dir->filePath(QStringLiteral("Archivio_Indirizzi.xls")); }
    QString workbookPath() const { return m_dir->filePath(QStringLiteral("Archivio_Indirizzi.xlsx")); }
    // The grid's rows as exported: columns 1 to 9, trimmed.
    static QList<QStringList> gridCells(const TfrmExpIndirizzi &window);
    QByteArray exported() const;
    std::unique_ptr<TfrmExpIndirizzi> openWindow();

    // The hostile values through the window and LibreOffice, made once.
    struct RoundTrip
    {
        QList<QStringList> grid;
        QList<QStringList> sheet;
        QString error;
    };
    const RoundTrip &hostileRoundTrip();

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<RoundTrip> m_roundTrip;
    std::unique_ptr<ui::MessageRecorder> m_messages;
    QStringList m_opened;
};

void TestExport::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_messages = std::make_unique<ui::MessageRecorder>();
    m_opened.clear();
    TMisc::setOpener([this](const QString &target) { m_opened << target; });
}

void TestExport::cleanup()
{
    TMisc::setOpener({});
    m_messages.reset();
    m_dir.reset();
}

void TestExport::fill(const QList<TSchedaIndirizzo> &cards)
{
    AddressArchive archive{ProgramFolder(m_dir->path())};
    QVERIFY(archive.open());
    for (const TSchedaIndirizzo &c : cards)
        QVERIFY(archive.append(c) > 0);
}

QByteArray TestExport::exported() const
{
    QFile file(exportPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::unique_ptr<TfrmExpIndirizzi> TestExport::openWindow()
{
    auto window = std::make_unique<TfrmExpIndirizzi>(ProgramFolder(m_dir->path()));
    window->show();
    return window;
}

void TestExport::writerBytesForThreeRows()
{
    const QList<QStringList> rows{
        {QStringLiteral("Rossi Mario"), QStringLiteral("Cliente"), QStringLiteral("Spett.le"),
         QStringLiteral("Studio Rossi"), QStringLiteral("Via Roma, 1"), QStringLiteral("20121 Milano"),
         QString(), QString(), QStringLiteral("Note \"brevi\"")},
        {QStringLiteral("Città"), QStringLiteral("Perché"), QStringLiteral("Più – meno"), QString(), QString(),
         QString(), QString(), QString(), QStringLiteral("a<b & c>d")},
        {QStringLiteral("  Bianchi  "), QString(), QString(), QString(), QString(), QString(), QString(),
         QStringLiteral("\t6\t"), QStringLiteral("&amp;")},
    };
    QList<QByteArray> pieces = headPieces();
    pieces << rowPieces({"Rossi Mario", "Cliente", "Spett.le", "Studio Rossi", "Via Roma, 1", "20121 Milano", "", "",
                         "Note \"brevi\""});
    pieces << rowPieces({"Citt\xE0", "Perch\xE9", "Pi\xF9 \x96 meno", "", "", "", "", "", "a&lt;b &amp; c&gt;d"});
    pieces << rowPieces({"Bianchi", "", "", "", "", "", "", "6", "&amp;amp;"});
    pieces << kTailPieces;
    QCOMPARE(pieces.size(), 74);

    const QByteArray bytes = writeSpreadsheet(rows);
    QCOMPARE(bytes, join(pieces));
    QVERIFY(!bytes.contains('\r'));
    QVERIFY(!bytes.contains('\n'));
    QVERIFY(!bytes.startsWith("\xEF\xBB\xBF"));
}

void TestExport::writerCells_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("cell");
    QTest::newRow("accents") << QStringLiteral("àèéìòù") << QByteArray("\xE0\xE8\xE9\xEC\xF2\xF9");
    QTest::newRow("euro and quotes") << QStringLiteral("€ “x”") << QByteArray("\x80 \x93x\x94");
    QTest::newRow("outside the code page") << QStringLiteral("Ω😀") << QByteArray("??");
    QTest::newRow("markup") << QStringLiteral("<b>&</b>") << QByteArray("&lt;b&gt;&amp;&lt;/b&gt;");
    QTest::newRow("entity stays text") << QStringLiteral("&lt;") << QByteArray("&amp;lt;");
    QTest::newRow("double quote unchanged") << QStringLiteral("\"") << QByteArray("\"");
    QTest::newRow("trimmed") << QStringLiteral(" \t x y \r\n") << QByteArray("x y");
}

void TestExport::writerCells()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, cell);
    // The cell goes in the last column; a short row counts its missing cells as empty.
    const QStringList row{QString(), QString(), QString(), QString(), QString(), QString(), QString(), QString(), text};
    QList<QByteArray> cells(9);
    cells[8] = cell;
    QCOMPARE(writeSpreadsheet({row}), join(headPieces() + rowPieces(cells) + kTailPieces));
    cells = QList<QByteArray>(9);
    cells[0] = cell;
    QCOMPARE(writeSpreadsheet({QStringList{text}}), join(headPieces() + rowPieces(cells) + kTailPieces));
}

void TestExport::writerMarksFormulaLikeCellsAsText()
{
    // Only a cell that begins with '=' gets the text marks; its text stays as it is.
    const QByteArray marked = "<td style=\"text-align: left;\" x:str sdnum=\"1040;0;@\">";
    const QByteArray bytes = writeSpreadsheet({{QStringLiteral("=1+1"), QStringLiteral("a=1"), QStringLiteral("  =A1&B1 "),
                                                 QStringLiteral("1+1"), QString(), QStringLiteral("=")}});
    QList<QByteArray> pieces = headPieces() + rowPieces({"", "a=1", "", "1+1", "", "", "", "", ""}) + kTailPieces;
    pieces[headPieces().size() + 1] = marked + "=1+1</td>";
    pieces[headPieces().size() + 3] = marked + "=A1&amp;B1</td>";
    pieces[headPieces().size() + 6] = marked + "=</td>";
    QCOMPARE(bytes, join(pieces));
}

void TestExport::windowAndGrid()
{
    fill({card({QStringLiteral("Rossi"), QStringLiteral("Cliente"), QStringLiteral("r1"), QStringLiteral("r2"),
                QStringLiteral("r3"), QStringLiteral("r4"), QStringLiteral("r5"), QStringLiteral("r6"),
                QStringLiteral("nota"), QStringLiteral("f.pdf")}),
          card({QString(), QStringLiteral("senza nome")}),
          card({QStringLiteral("Verdi")})});
    auto window = openWindow();
    QCOMPARE(window->windowTitle(), QStringLiteral(" Esportazione archivio indirizzi in Excel"));
    QCOMPARE(window->size(), QSize(862, 560));
    QCOMPARE(window->minimumSize(), window->maximumSize());
    QVERIFY(!(window->windowFlags() & Qt::WindowCloseButtonHint));
    QCOMPARE(window->panInfo->text(), QStringLiteral("Esportazione archivio in Microsoft Excel."));

    QTableView *grid = window->grdRecords;
    QAbstractItemModel *cells = grid->model();
    const QStringList headers{"N.", "Nome etichetta", "Tipo", "Indirizzo (rigo 1)", "Indirizzo (rigo 2)",
                              "Indirizzo (rigo 3)", "Indirizzo (rigo 4)", "Indirizzo (rigo 5)",
                              "Indirizzo (rigo 6)", "Note"};
    const QList<int> widths{60, 250, 200, 280, 280, 280, 280, 280, 280, 350};
    QCOMPARE(cells->columnCount(), 10);
    for (int c = 0; c < 10; ++c) {
        QCOMPARE(cells->headerData(c, Qt::Horizontal).toString(), headers.at(c));
        QCOMPARE(grid->columnWidth(c), widths.at(c));
    }
    QVERIFY(grid->alternatingRowColors());

    // One row per card in file order, the card without a name included.
    QCOMPARE(cells->rowCount(), 3);
    const QList<QStringList> expected{
        {"1", "Rossi", "Cliente", "r1", "r2", "r3", "r4", "r5", "r6", "nota"},
        {"2", "", "senza nome", "", "", "", "", "", "", ""},
        {"3", "Verdi", "", "", "", "", "", "", "", ""},
    };
    for (int r = 0; r < 3; ++r) {
        QCOMPARE(grid->rowHeight(r), 21);
        for (int c = 0; c < 10; ++c)
            QCOMPARE(cells->index(r, c).data().toString(), expected.at(r).at(c));
    }
    // Only "Indirizzo (rigo 4)", "Indirizzo (rigo 6)" and "Note" take typing.
    for (int c = 0; c < 10; ++c) {
        const bool editable = c == TfrmExpIndirizzi::colRigo04 || c == TfrmExpIndirizzi::colRigo06
                              || c == TfrmExpIndirizzi::colNote;
        QCOMPARE(bool(cells->flags(cells->index(0, c)) & Qt::ItemIsEditable), editable);
    }
    // The grid is wider than the window: it scrolls sideways.
    QVERIFY(grid->horizontalScrollBar()->maximum() > 0);
    // Loading reads the archive only.
    QCOMPARE(QFileInfo(m_dir->filePath(QStringLiteral("Archivio_Indirizzi.pro"))).size(), qint64(3 * 3765));
    QVERIFY(!QFileInfo::exists(exportPath()));

    m_messages->answerNext(MessageAnswer::Yes);
    m_messages->answerNext(MessageAnswer::No);
    window->cmdEsporta->click();
    QList<QByteArray> pieces = headPieces();
    pieces << rowPieces({"Rossi", "Cliente", "r1", "r2", "r3", "r4", "r5", "r6", "nota"})
           << rowPieces({"", "senza nome", "", "", "", "", "", "", ""})
           << rowPieces({"Verdi", "", "", "", "", "", "", "", ""}) << kTailPieces;
    QCOMPARE(exported(), join(pieces));
    QCOMPARE(cells->rowCount(), 3);
    QVERIFY(window->isVisible());
}

void TestExport::emptyArchiveExportsTenEmptyRows()
{
    auto window = openWindow();
    // The archive is created empty on the way.
    QVERIFY(QFileInfo::exists(m_dir->filePath(QStringLiteral("Archivio_Indirizzi.pro"))));
    QAbstractItemModel *cells = window->grdRecords->model();
    QCOMPARE(cells->rowCount(), 10);
    for (int c = 0; c < 10; ++c)
        QVERIFY(cells->index(9, c).data().toString().isEmpty());
    m_messages->answerNext(MessageAnswer::Yes);
    m_messages->answerNext(MessageAnswer::No);
    window->cmdEsporta->click();
    QCOMPARE(exported(), emptyExport(10));
}

void TestExport::exportQuestions_data()
{
    QTest::addColumn<bool>("exportIt");
    QTest::addColumn<bool>("openIt");
    QTest::newRow("no") << false << false;
    QTest::newRow("yes, do not open") << true << false;
    QTest::newRow("yes, open") << true << true;
}

void TestExport::exportQuestions()
{
    QFETCH(bool, exportIt);
    QFETCH(bool, openIt);
    {
        QFile old(exportPath());
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old export");
    }
    auto window = openWindow();
    m_messages->answerNext(exportIt ? MessageAnswer::Yes : MessageAnswer::No);
    m_messages->answerNext(openIt ? MessageAnswer::Yes : MessageAnswer::No);
    window->cmdEsporta->click();

    const auto &asked = m_messages->entries();
    QCOMPARE(asked.size(), exportIt ? 2 : 1);
    QCOMPARE(asked.at(0).kind, MessageKind::Confirmation);
    QCOMPARE(asked.at(0).buttons, MessageButtons::YesNo);
    QCOMPARE(asked.at(0).text, kExportQuestion);
    if (!exportIt) {
        QCOMPARE(exported(), QByteArray("old export"));
        QVERIFY(m_opened.isEmpty());
        return;
    }
    QCOMPARE(asked.at(1).kind, MessageKind::Confirmation);
    QCOMPARE(asked.at(1).buttons, MessageButtons::YesNo);
    QCOMPARE(asked.at(1).text, kOpenQuestion);
    QCOMPARE(exported(), emptyExport(10));
    const QStringList expectedOpen{QLatin1Char('"') + QDir::toNativeSeparators(exportPath()) + QLatin1Char('"')};
    QCOMPARE(m_opened, openIt ? expectedOpen : QStringList());
}

void TestExport::editedNoteIsExported()
{
    fill({card({QStringLiteral("Rossi"), QString(), QString(), QString(), QString(), QString(), QString(), QString(),
                QStringLiteral("nota salvata")})});
    auto window = openWindow();
    QApplication::setActiveWindow(window.get());
    QTableView *grid = window->grdRecords;
    QAbstractItemModel *cells = grid->model();
    // One edit finished, one still open in its editor when the export starts.
    QVERIFY(cells->setData(cells->index(0, TfrmExpIndirizzi::colRigo06), QStringLiteral("  rigo sei  ")));
    const QModelIndex note = cells->index(0, TfrmExpIndirizzi::colNote);
    grid->setCurrentIndex(note);
    grid->edit(note);
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("nota <nuova>"));
    editor->setCursorPosition(5);
    editor->insert(QStringLiteral("è "));

    m_messages->answerNext(MessageAnswer::Yes);
    m_messages->answerNext(MessageAnswer::No);
    window->cmdEsporta->click();
    QList<QByteArray> pieces = headPieces();
    pieces << rowPieces({"Rossi", "", "", "", "", "", "", "rigo sei", "nota \xE8 &lt;nuova&gt;"}) << kTailPieces;
    QCOMPARE(exported(), join(pieces));

    AddressArchive archive{ProgramFolder(m_dir->path())};
    TSchedaIndirizzo stored;
    QVERIFY(archive.open() && archive.read(1, stored));
    QCOMPARE(stored[TSchedaIndirizzo::Note], QStringLiteral("nota salvata"));
}

void TestExport::failureShowsPlainMessage()
{
    // A folder in the file's place cannot be replaced, like a file held open.
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("Archivio_Indirizzi.xls")));
    auto window = openWindow();
    m_messages->answerNext(MessageAnswer::Yes);
    window->cmdEsporta->click();
    QCOMPARE(m_messages->count(), 2);
    QCOMPARE(m_messages->last().kind, MessageKind::Plain);
    QCOMPARE(m_messages->last().buttons, MessageButtons::Ok);
    // The message, then the reason after an empty line.
    QCOMPARE(m_messages->last().text, kFailure + QStringLiteral("\n\r\n\rNon è possibile creare il file né sostituire "
                                                                "quello esistente: il file o la sua cartella sono protetti."));
    QVERIFY(m_opened.isEmpty());
    QVERIFY(window->isVisible());
    QVERIFY(QFileInfo(exportPath()).isDir());
    // No leftovers of the failed attempt in the program folder.
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("Archivio_Indirizzi.pro")});
}

void TestExport::statusHints()
{
    auto window = openWindow();
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    const QList<QPair<QWidget *, QString>> hints{
        {window->cmdEsporta, QStringLiteral("Esporta l'archivio in formato Microsoft Excel.")},
        {window->cmdEsportaXlsx, QStringLiteral("Esporta l'archivio in formato Microsoft Excel .xlsx (tutte le celle come testo).")},
        {window->cmdGuida, QStringLiteral("Visualizza la pagina della guida sensibile al contesto.")},
        {window->cmdEsci, QStringLiteral("Esci da questo ambiente di lavoro.")},
    };
    const QList<QWidget *> background{window.get(), window->grdRecords->viewport(),
                                      window->grdRecords->horizontalHeader()->viewport(),
                                      window->grdRecords->verticalHeader()->viewport(),
                                      window->grdRecords->horizontalScrollBar(),
                                      window->findChild<QWidget *>(QStringLiteral("panComandi")),
                                      window->findChild<QWidget *>(QStringLiteral("panStato")),
                                      window->findChild<QWidget *>(QStringLiteral("panContenuto"))};
    const QList<QWidget *> neutral{window->findChild<QWidget *>(QStringLiteral("imgBanner")),
                                   window->findChild<QWidget *>(QStringLiteral("imgMano")), window->panInfo};
    for (const auto &hint : hints) {
        QApplication::sendEvent(hint.first, &move);
        QCOMPARE(window->panInfo->text(), hint.second);
        for (QWidget *widget : neutral) {
            QVERIFY(widget);
            QApplication::sendEvent(widget, &move);
            QCOMPARE(window->panInfo->text(), hint.second);
        }
        for (QWidget *widget : background) {
            QVERIFY(widget);
            QApplication::sendEvent(hint.first, &move);
            QApplication::sendEvent(widget, &move);
            QVERIFY2(window->panInfo->text().isEmpty(), qPrintable(widget->objectName()));
        }
    }
    for (auto *button : window->findChildren<ui::PictureButton *>())
        QCOMPARE(button->cursor().shape(), Qt::PointingHandCursor);
}

void TestExport::opensFromAddressWindow()
{
    fill({card({QStringLiteral("Rossi")}), card({QStringLiteral("Verdi")})});
    TfrmArchivio_Indirizzi addresses{ProgramFolder(m_dir->path())};
    addresses.show();
    int rows = -1;
    QWidget *owner = nullptr;
    bool modal = false;
    QPointer<QWidget> seen;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<TfrmExpIndirizzi *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        seen = dialog;
        rows = dialog->grdRecords->model()->rowCount();
        owner = dialog->parentWidget();
        modal = dialog->isModal();
        dialog->cmdEsci->click();
    });
    addresses.cmdEsporta->click();
    QCOMPARE(rows, 2);
    QCOMPARE(owner, &addresses);
    QVERIFY(modal);
    // Closed and destroyed: each press starts from a fresh window.
    QVERIFY(seen.isNull());
    QVERIFY(addresses.findChildren<TfrmExpIndirizzi *>().isEmpty());
}

void TestExport::tenThousandCards()
{
    const int n = 10000;
    {
        AddressArchive archive{ProgramFolder(m_dir->path())};
        QVERIFY(archive.open());
        for (int i = 1; i <= n; ++i) {
            TSchedaIndirizzo c;
            c[TSchedaIndirizzo::Nome] = QStringLiteral("Cliente numero %1").arg(i);
            c[TSchedaIndirizzo::Tipo] = QStringLiteral("Privato");
            c[TSchedaIndirizzo::Rigo01] = QStringLiteral("Gent.mo Sig.");
            c[TSchedaIndirizzo::Rigo02] = QStringLiteral("Mario Rossi %1").arg(i);
            c[TSchedaIndirizzo::Rigo03] = QStringLiteral("Via Garibaldi, %1").arg(i % 200);
            c[TSchedaIndirizzo::Rigo04] = QStringLiteral("20121 Milano (MI)");
            c[TSchedaIndirizzo::Note] = QStringLiteral("Città & provincia <%1>").arg(i);
            QCOMPARE(archive.append(c), qint64(i));
        }
    }
    QElapsedTimer timer;
    timer.start();
    auto window = openWindow();
    const qint64 loadMs = timer.elapsed();
    QCOMPARE(window->grdRecords->model()->rowCount(), n);
    QCOMPARE(window->grdRecords->model()->index(n - 1, TfrmExpIndirizzi::colNum).data().toString(), QString::number(n));
    // Read in two runs at once: the rows on both sides of where they meet.
    for (const int row : {0, n / 2 - 1, n / 2, n - 1}) {
        const auto cell = [&](int column) { return window->grdRecords->model()->index(row, column).data().toString(); };
        QCOMPARE(cell(TfrmExpIndirizzi::colNum), QString::number(row + 1));
        QCOMPARE(cell(TfrmExpIndirizzi::colNome), QStringLiteral("Cliente numero %1").arg(row + 1));
        QCOMPARE(cell(TfrmExpIndirizzi::colRigo02), QStringLiteral("Mario Rossi %1").arg(row + 1));
        QCOMPARE(cell(TfrmExpIndirizzi::colNote), QStringLiteral("Città & provincia <%1>").arg(row + 1));
    }

    m_messages->answerNext(MessageAnswer::Yes);
    m_messages->answerNext(MessageAnswer::No);
    timer.restart();
    window->cmdEsporta->click();
    const qint64 exportMs = timer.elapsed();
    const QByteArray bytes = exported();
    QCOMPARE(bytes.count("<tr>"), n + 1);
    QCOMPARE(bytes.count("<td style=\"text-align: left;\">"), 9 * n);
    QVERIFY(bytes.contains("<td style=\"text-align: left;\">Citt\xE0 &amp; provincia &lt;10000&gt;</td>"));
    QVERIFY(!bytes.contains('\n'));
    qInfo("10000 cards: grid loaded in %lld ms, exported in %lld ms (%lld bytes)", loadMs, exportMs,
          qint64(bytes.size()));
    QVERIFY2(loadMs + exportMs < 20000, "loading and exporting 10000 cards took too long");

    // The workbook of the same grid: every row in it.
    m_messages->answerNext(MessageAnswer::No);
    timer.restart();
    window->cmdEsportaXlsx->click();
    const qint64 workbookMs = timer.elapsed();
    QCOMPARE(m_messages->last().text, kOpenQuestion);
    QCOMPARE(checkWorkbook(workbookPath(), n + 1), QString());
    qInfo("10000 cards: workbook saved in %lld ms (%lld bytes)", workbookMs, QFileInfo(workbookPath()).size());
    QVERIFY2(workbookMs < 20000, "the workbook of 10000 cards took too long");
}

void TestExport::rawFieldsShowAndExportAsDecoded_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<int>("length"); // the field's length byte, as stored
    QByteArray all;
    for (int b = 1; b < 256; ++b)
        all += char(b);
    QTest::newRow("bytes 1 to 250") << all.left(250) << 250;
    QTest::newRow("bytes 251 to 255 and controls") << all.mid(250) + QByteArray("\x01\x1f x \x7f", 7) << 12;
    QTest::newRow("undefined in the code page") << QByteArray("\x81\x8d\x8f\x90\x9d") << 5;
    QTest::newRow("blanks around a formula") << QByteArray(" \t=A1&B1<>\x20\x0d") << 13;
    QTest::newRow("damaged length reads 250") << QByteArray(250, '&') << 255;
    QTest::newRow("length shorter than the bytes") << QByteArray("abc def") << 3;
    QTest::newRow("blanks only") << QByteArray("\x20\x09\x00\x20") << 4;
}

void TestExport::rawFieldsShowAndExportAsDecoded()
{
    QFETCH(QByteArray, value);
    QFETCH(int, length);
    // Two cards written byte for byte: the value in every shown field of the
    // first (each field shifted by one byte), the second empty.
    QByteArray records(2 * TSchedaIndirizzo::RecordSize, '\0');
    for (int field = TSchedaIndirizzo::Nome; field <= TSchedaIndirizzo::Desc03; ++field) {
        char *campo = records.data() + field * 251;
        const QByteArray shifted = value.mid(field % 3) + value.left(field % 3);
        campo[0] = char(length);
        std::memcpy(campo + 1, shifted.constData(), size_t(std::min<qsizetype>(shifted.size(), 250)));
    }
    {
        QFile file(m_dir->filePath(QStringLiteral("Archivio_Indirizzi.pro")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(records), records.size());
    }
    QList<QStringList> rows;
    for (int r = 0; r < 2; ++r) {
        const TSchedaIndirizzo card = TSchedaIndirizzo::fromRecord(records.constData() + r * TSchedaIndirizzo::RecordSize);
        rows << QStringList(card.values.begin(), card.values.begin() + TSchedaIndirizzo::File01);
    }
    auto window = openWindow();
    QAbstractItemModel *cells = window->grdRecords->model();
    QCOMPARE(cells->rowCount(), 2);
    for (int r = 0; r < 2; ++r) {
        for (int c = TfrmExpIndirizzi::colNome; c < TfrmExpIndirizzi::ColumnCount; ++c)
            QCOMPARE(cells->index(r, c).data().toString(), rows.at(r).at(c - 1));
    }
    // An edit goes out as typed text, beside the bytes of the rest.
    QVERIFY(cells->setData(cells->index(1, TfrmExpIndirizzi::colRigo04), QStringLiteral(" è=<x> ")));
    rows[1][TfrmExpIndirizzi::colRigo04 - 1] = QStringLiteral(" è=<x> ");
    m_messages->answerNext(MessageAnswer::Yes);
    m_messages->answerNext(MessageAnswer::No);
    window->cmdEsporta->click();
    QCOMPARE(exported(), writeSpreadsheet(rows));
}

void TestExport::libreOfficeReadsEveryCell()
{
    if (OfficeConverter::soffice().isEmpty())
        QSKIP(OfficeConverter::skipReason());

    const QList<QStringList> cards{
        {"Rossi Mario – studio", "Cliente", "Spett.le", "Studio Rossi & Figli", "Via Garibaldi, 12",
         "20121 Milano (MI)", "c/o \"Portineria\"", "", "a<b & c>d"},
        {"Città di Forlì", "Ente", "Perché più così", "àèéìòù ÀÈÉÌÒÙ ç ñ ü ß", "€ 100", "&amp; &lt;x&gt;",
         "<td>cella</td>", "", "Nota: l'ultima"},
        // Text that a spreadsheet program would otherwise run as a formula.
        {"=1+1", "=A1&B1", "=SUM(1;2)", "==1", "=-1", "= 1", "=1+1 x", "a=1", "="},
    };
    QList<TSchedaIndirizzo> stored;
    for (const QStringList &values : cards)
        stored << card(values);
    fill(stored);
    auto window = openWindow();
    m_messages->answerNext(MessageAnswer::Yes);
    m_messages->answerNext(MessageAnswer::No);
    window->cmdEsporta->click();
    QVERIFY(QFileInfo::exists(exportPath()));

    OfficeConverter office;
    QString error;
    QFile csv(office.convert(exportPath(), OfficeConverter::csvFormat(), QStringLiteral("HTML (StarCalc)"), &error));
    QVERIFY2(csv.open(QIODevice::ReadOnly), qPrintable(error));
    const QList<QStringList> sheet = parseCsv(QString::fromUtf8(csv.readAll()));

    QCOMPARE(sheet.size(), 1 + cards.size());
    QCOMPARE(sheet.at(0), (QStringList{"Nome etichetta", "Tipo", "Indirizzo (rigo 1)", "Indirizzo (rigo 2)",
                                       "Indirizzo (rigo 3)", "Indirizzo (rigo 4)", "Indirizzo (rigo 5)",
                                       "Indirizzo (rigo 6)", "Note"}));
    for (int r = 0; r < cards.size(); ++r)
        QCOMPARE(sheet.at(r + 1), cards.at(r));
}

void TestExport::writerStreamsWholeFileInPieces()
{
    // Enough rows for several pieces, and one row longer than a piece.
    QList<QStringList> rows;
    for (int n = 0; n < 6000; ++n)
        rows << QStringList{QStringLiteral("Nome %1 è").arg(n), QStringLiteral("a<b"), QStringLiteral("x&y"), "", "", "",
                            "", "", QStringLiteral("nota")};
    rows.insert(3000, QStringList{QString(300000, QLatin1Char('&'))});
    QList<qsizetype> pieces;
    QByteArray streamed;
    QVERIFY(writeSpreadsheet(rows, [&](const char *data, qsizetype size) {
        pieces << size;
        streamed.append(data, size);
        return true;
    }));
    QVERIFY(pieces.size() > 2);
    QCOMPARE(streamed, writeSpreadsheet(rows));
    QVERIFY(streamed.contains(QByteArray("<td style=\"text-align: left;\">")
                              + QByteArray("&amp;").repeated(300000) + "</td>"));
    QVERIFY(streamed.endsWith("</table></body></html>"));
    QCOMPARE(streamed.count("<tr>"), qsizetype(rows.size() + 1));
    // A sink that refuses a piece stops the writer.
    int calls = 0;
    QVERIFY(!writeSpreadsheet(rows, [&](const char *, qsizetype) { return ++calls < 2; }));
    QCOMPARE(calls, 2);
}

namespace {

const QStringList kWorkbookHeader{"Nome etichetta", "Tipo", "Indirizzo (rigo 1)", "Indirizzo (rigo 2)",
                                  "Indirizzo (rigo 3)", "Indirizzo (rigo 4)", "Indirizzo (rigo 5)",
                                  "Indirizzo (rigo 6)", "Note"};

// One LibreOffice for every conversion of the run (its profile is made once).
OfficeConverter &office()
{
    static OfficeConverter converter;
    return converter;
}

// The workbook's cells as LibreOffice shows them, through its CSV export.
QList<QStringList> workbookAsCsv(const QString &path, QString *error)
{
    QFile csv(office().convert(path, OfficeConverter::csvFormat(), QString(), error));
    if (!csv.open(QIODevice::ReadOnly))
        return {};
    return parseCsv(QString::fromUtf8(csv.readAll()));
}

} // namespace

QList<QStringList> TestExport::gridCells(const TfrmExpIndirizzi &window)
{
    QList<QStringList> rows = window.gridRows();
    for (QStringList &row : rows) {
        for (QString &cell : row)
            cell = trimText(cell);
    }
    return rows;
}

namespace {

// Values a spreadsheet program would read as something else. Each goes into
// every field of one card and is typed into the editable cells of the next;
// `stored` is what the card then holds.
struct Hostile
{
    const char *name;
    QString value;
    QString stored;
};

QList<Hostile> hostileValues()
{
    const QString digits = QString(30, u'1').repeated(10).replace(0, 1, u'0');
    QList<Hostile> values;
    for (const char *plain : {"00184", "12,50", "1.234,56", "=1+1", "=SOMMA(A1:A3)", "+39 06 1234567", "-5", "@home",
                              "10%", "01/02/2026", "1-2", "1E5", "VERO"})
        values << Hostile{plain, QString::fromUtf8(plain), QString::fromUtf8(plain)};
    const auto same = [&values](const char *name, const QString &value) { values << Hostile{name, value, value}; };
    same("quotes", QStringLiteral("c/o \"Portineria\" l'ultima"));
    same("separators", QStringLiteral("a;b,c|d"));
    same("line break", QStringLiteral("Via Roma 1\nScala B"));
    same("tab", QStringLiteral("a\tb"));
    same("carriage return", QStringLiteral("riga 1\r\nriga 2"));
    same("control character", QStringLiteral("a\x01" "b"));
    same("code page specials", QStringLiteral("€ ’ ‘ “ ” – — … • ™ š œ Ÿ"));
    same("accented letters", QStringLiteral("àèéìòù ÀÈÉÌÒÙ ç ñ ü ß"));
    same("markup and entities", QStringLiteral("<b>&amp;</b> &lt; <td>"));
    same("escape look-alikes", QStringLiteral("_x0041_ _x005F_x0042_ _X00e9_"));
    values << Hostile{"300 characters", digits, digits.left(250)};
    values << Hostile{"outside the code page", QStringLiteral("Ω😀"), QStringLiteral("??")};
    values << Hostile{"blanks around", QStringLiteral("  = 1  "), QStringLiteral("= 1")};
    values << Hostile{"empty", QString(), QString()};
    return values;
}

} // namespace

const TestExport::RoundTrip &TestExport::hostileRoundTrip()
{
    if (m_roundTrip)
        return *m_roundTrip;
    m_roundTrip = std::make_unique<RoundTrip>();
    RoundTrip &trip = *m_roundTrip;
    QTemporaryDir dir;
    const QList<Hostile> values = hostileValues();
    {
        AddressArchive archive{ProgramFolder(dir.path())};
        if (!archive.open())
            return trip;
        for (const Hostile &hostile : values) {
            archive.append(card(QStringList(9, hostile.value)));
            archive.append(card({QStringLiteral("Modificata"), QStringLiteral("00100")}));
        }
    }
    TfrmExpIndirizzi window{ProgramFolder(dir.path())};
    window.show();
    QAbstractItemModel *cells = window.grdRecords->model();
    for (int n = 0; n < values.size(); ++n) {
        for (int c : {TfrmExpIndirizzi::colRigo04, TfrmExpIndirizzi::colRigo06, TfrmExpIndirizzi::colNote})
            cells->setData(cells->index(2 * n + 1, c), values.at(n).value);
    }
    trip.grid = gridCells(window);
    m_messages->answerNext(MessageAnswer::No);
    window.cmdEsportaXlsx->click();
    m_messages->clear();
    trip.sheet = workbookAsCsv(dir.filePath(QStringLiteral("Archivio_Indirizzi.xlsx")), &trip.error);
    return trip;
}

void TestExport::workbookKeepsEveryCell_data()
{
    QTest::addColumn<int>("index");
    const QList<Hostile> values = hostileValues();
    for (int n = 0; n < values.size(); ++n)
        QTest::newRow(values.at(n).name) << n;
}

void TestExport::workbookKeepsEveryCell()
{
    QFETCH(int, index);
    if (OfficeConverter::soffice().isEmpty())
        QSKIP(OfficeConverter::skipReason());
    // One workbook of all the values, read back by LibreOffice once.
    const RoundTrip &trip = hostileRoundTrip();
    const Hostile hostile = hostileValues().at(index);
    QVERIFY2(!trip.sheet.isEmpty(), qPrintable(trip.error));
    QCOMPARE(trip.grid.size(), 2 * hostileValues().size());
    QCOMPARE(trip.sheet.size(), 1 + trip.grid.size());
    QCOMPARE(trip.sheet.at(0), kWorkbookHeader);
    // The grid holds the value as stored, and as typed...
    const QStringList stored = trip.grid.at(2 * index), typed = trip.grid.at(2 * index + 1);
    QCOMPARE(stored, QStringList(9, hostile.stored));
    QCOMPARE(typed.at(TfrmExpIndirizzi::colRigo04 - 1), trimText(hostile.value));
    QCOMPARE(typed.at(TfrmExpIndirizzi::colNote - 1), trimText(hostile.value));
    // ...and LibreOffice shows every cell as the grid held it. The file keeps
    // a carriage return (as "_x000D_"), but a LibreOffice cell holds lines,
    // not line ends: carriage return and line feed come back as one line feed.
    const auto inOffice = [](QStringList row) {
        for (QString &cell : row)
            cell.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        return row;
    };
    QCOMPARE(trip.sheet.at(1 + 2 * index), inOffice(stored));
    QCOMPARE(trip.sheet.at(2 + 2 * index), inOffice(typed));
}

void TestExport::workbookAsLibreOfficeShowsIt()
{
    if (OfficeConverter::soffice().isEmpty())
        QSKIP(OfficeConverter::skipReason());
    fill({card({QStringLiteral("Rossi"), QStringLiteral("Cliente"), QStringLiteral("00184")}), card({QStringLiteral("Verdi")})});
    auto window = openWindow();
    m_messages->answerNext(MessageAnswer::No);
    window->cmdEsportaXlsx->click();
    QString error;
    QFile flat(office().convert(workbookPath(), QStringLiteral("fods"), QString(), &error));
    QVERIFY2(flat.open(QIODevice::ReadOnly), qPrintable(error));

    // The flat document as LibreOffice would show it: the styles by name,
    // the tables, and each cell's text and style, repeats spelt out.
    struct Style
    {
        bool bold = false;
        QString dataStyle;
        double columnInches = 0;
    };
    QHash<QString, Style> styles;
    QSet<QString> textDataStyles;
    QStringList tables;
    QStringList columnStyles, columnCellStyles;
    QList<QList<QPair<QString, QString>>> rows; // (text, style) of each cell
    QString current;
    QXmlStreamReader xml(&flat);
    QString cellText, cellStyle;
    int cellRepeat = 1;
    while (!xml.atEnd()) {
        xml.readNext();
        const auto attr = [&xml](const char *name) { return xml.attributes().value(QLatin1String(name)).toString(); };
        if (xml.isStartElement()) {
            const QString name = xml.qualifiedName().toString();
            if (name == QLatin1String("style:style")) {
                current = attr("style:name");
                styles[current];
            } else if (name == QLatin1String("style:text-properties") && !current.isEmpty()) {
                styles[current].bold = attr("fo:font-weight") == QLatin1String("bold");
            } else if (name == QLatin1String("style:table-column-properties") && !current.isEmpty()) {
                const QString width = attr("style:column-width");
                if (width.endsWith(QLatin1String("in")))
                    styles[current].columnInches = width.chopped(2).toDouble();
                else if (width.endsWith(QLatin1String("cm")))
                    styles[current].columnInches = width.chopped(2).toDouble() / 2.54;
            } else if (name == QLatin1String("number:text-style")) {
                textDataStyles << attr("style:name");
            } else if (name == QLatin1String("table:table")) {
                tables << attr("table:name");
            } else if (name == QLatin1String("table:table-column") && tables.size() == 1) {
                const int repeat = qMax(1, attr("table:number-columns-repeated").toInt());
                for (int n = 0; n < qMin(repeat, 16); ++n) {
                    columnStyles << attr("table:style-name");
                    columnCellStyles << attr("table:default-cell-style-name");
                }
            } else if (name == QLatin1String("table:table-row") && tables.size() == 1) {
                rows.append(QList<QPair<QString, QString>>());
            } else if (name == QLatin1String("table:table-cell") && tables.size() == 1) {
                cellText.clear();
                cellStyle = attr("table:style-name");
                cellRepeat = qMax(1, attr("table:number-columns-repeated").toInt());
            } else if (name == QLatin1String("text:p") && tables.size() == 1) {
                cellText += xml.readElementText(QXmlStreamReader::IncludeChildElements);
            }
            if (name == QLatin1String("style:style") && attr("style:data-style-name").size())
                styles[current].dataStyle = attr("style:data-style-name");
        } else if (xml.isEndElement()) {
            if (xml.qualifiedName() == QLatin1String("style:style"))
                current.clear();
            else if (xml.qualifiedName() == QLatin1String("table:table-cell") && tables.size() == 1 && !rows.isEmpty())
                for (int n = 0; n < qMin(cellRepeat, 16); ++n)
                    rows.last().append({cellText, cellStyle});
        }
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));

    QCOMPARE(tables, QStringList{QStringLiteral("Archivio Indirizzi")});
    QVERIFY(rows.size() >= 3);
    const QList<QStringList> expected{kWorkbookHeader,
                                      {"Rossi", "Cliente", "00184", "", "", "", "", "", ""},
                                      {"Verdi", "", "", "", "", "", "", "", ""}};
    for (int r = 0; r < 3; ++r) {
        QVERIFY(rows.at(r).size() >= 9);
        for (int c = 0; c < 9; ++c) {
            const auto &cell = rows.at(r).at(c);
            QCOMPARE(cell.first, expected.at(r).at(c));
            // A cell without a style of its own has its column's.
            const Style style = styles.value(cell.second.isEmpty() ? columnCellStyles.value(c) : cell.second);
            // The header bold, the rest plain; every cell, empty ones too, in the text format.
            QVERIFY2(style.bold == (r == 0), qPrintable(QStringLiteral("row %1 column %2").arg(r).arg(c)));
            QVERIFY2(textDataStyles.contains(style.dataStyle), qPrintable(QStringLiteral("row %1 column %2").arg(r).arg(c)));
        }
    }
    // The columns as wide as in the grid. The file counts them in characters,
    // which Excel shows as ((256 w + 128 / 7) / 256) * 7 pixels, cut to whole ones.
    const QByteArray sheetXml = workbookPart(workbookPath(), "xl/worksheets/sheet1.xml");
    QXmlStreamReader cols(sheetXml);
    QList<int> excelPixels;
    while (!cols.atEnd()) {
        if (cols.readNext() == QXmlStreamReader::StartElement && cols.name() == QLatin1String("col")) {
            const double width = cols.attributes().value(QLatin1String("width")).toDouble();
            const int first = cols.attributes().value(QLatin1String("min")).toInt();
            const int last = cols.attributes().value(QLatin1String("max")).toInt();
            for (int c = first; c <= last; ++c)
                excelPixels << int((int(256 * width + int(128 / 7)) / 256.0) * 7);
        }
    }
    QList<int> gridPixels;
    for (int c = TfrmExpIndirizzi::colNome; c < TfrmExpIndirizzi::ColumnCount; ++c)
        gridPixels << window->grdRecords->columnWidth(c);
    QCOMPARE(excelPixels, gridPixels);
    // LibreOffice draws a character of the default font at its own width,
    // but keeps the columns in the grid's proportions.
    QVERIFY(columnStyles.size() >= 9);
    const double scale = styles.value(columnStyles.at(0)).columnInches * 96 / gridPixels.at(0);
    QVERIFY(scale > 0.5 && scale < 2);
    for (int c = 0; c < 9; ++c) {
        const double pixels = styles.value(columnStyles.at(c)).columnInches * 96;
        QVERIFY2(qAbs(pixels / scale - gridPixels.at(c)) <= gridPixels.at(c) * 0.04,
                 qPrintable(QStringLiteral("column %1: %2 pixels, the grid %3").arg(c).arg(pixels).arg(gridPixels.at(c))));
    }
}

void TestExport::workbookAsksOnlyToOpenIt_data()
{
    QTest::addColumn<bool>("openIt");
    QTest::newRow("do not open") << false;
    QTest::newRow("open") << true;
}

void TestExport::workbookAsksOnlyToOpenIt()
{
    QFETCH(bool, openIt);
    fill({card({QStringLiteral("Rossi"), QString(), QStringLiteral("Via Roma 1")})});
    {
        QFile old(workbookPath());
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old workbook");
    }
    auto window = openWindow();
    // The other export's file first, as it writes it.
    m_messages->answerNext(MessageAnswer::Yes);
    m_messages->answerNext(MessageAnswer::No);
    window->cmdEsporta->click();
    const QByteArray xls = exported();
    QCOMPARE(xls, writeSpreadsheet(window->gridRows()));
    m_messages->clear();

    // Reached by Tab right after the other export button, and named for assistive tools.
    QVERIFY(window->cmdEsportaXlsx->focusPolicy() & Qt::TabFocus);
    QCOMPARE(window->cmdEsporta->nextInFocusChain(), window->cmdEsportaXlsx);
    ui::nameControls(window.get());
    QCOMPARE(QAccessible::queryAccessibleInterface(window->cmdEsportaXlsx)->text(QAccessible::Name),
             QStringLiteral("XLSX"));
    QCOMPARE(QAccessible::queryAccessibleInterface(window->cmdEsportaXlsx)->text(QAccessible::Description),
             QStringLiteral("Esporta l'archivio in formato Microsoft Excel .xlsx (tutte le celle come testo)."));
    m_messages->answerNext(openIt ? MessageAnswer::Yes : MessageAnswer::No);
    window->cmdEsportaXlsx->click();
    QCOMPARE(m_messages->count(), 1);
    QCOMPARE(m_messages->last().kind, MessageKind::Confirmation);
    QCOMPARE(m_messages->last().buttons, MessageButtons::YesNo);
    QCOMPARE(m_messages->last().text, kOpenQuestion);
    const QStringList expectedOpen{QLatin1Char('"') + QDir::toNativeSeparators(workbookPath()) + QLatin1Char('"')};
    QCOMPARE(m_opened, openIt ? expectedOpen : QStringList());
    // A new workbook in place of the old one; the other file as it was.
    QFile workbook(workbookPath());
    QVERIFY(workbook.open(QIODevice::ReadOnly));
    QVERIFY(workbook.readAll().startsWith("PK\x03\x04"));
    QCOMPARE(exported(), xls);
    QVERIFY(window->isVisible());
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden),
             (QStringList{"Archivio_Indirizzi.pro", "Archivio_Indirizzi.xls", "Archivio_Indirizzi.xlsx"}));
}

void TestExport::workbookFailureKeepsOldFile_data()
{
    QTest::addColumn<QString>("cause");
    QTest::addColumn<QString>("message"); // after "Attenzione: il sistema non permette di esportare i dati. "
    const QString freeDisk = QStringLiteral("\n\r\n\rLiberare spazio sul disco e ripetere l'esportazione.");
    QTest::newRow("a folder in its place")
        << "folder"
        << QStringLiteral("Non è possibile creare il file né sostituire quello esistente: il file o la sua cartella "
                          "sono protetti.\n\r\n\rAccertarsi che il file di Excel non sia già aperto e di possedere i "
                          "privilegi di scrittura nella cartella di installazione del programma.");
    QTest::newRow("working files cut short")
        << "size limit"
        << QStringLiteral("Il file del foglio di calcolo è risultato incompleto: il disco potrebbe essere pieno.") + freeDisk;
    QTest::newRow("no temporary folder")
        << "temporary folder"
        << QStringLiteral("Non è possibile creare o leggere i file di lavoro temporanei.\n\r\n\rAccertarsi che la "
                          "cartella temporanea del sistema consenta la scrittura e che il disco non sia pieno.");
    // Qt then names no folder at all: nothing may be made in the root or the current folder.
    QTest::newRow("temporary folder gone")
        << "missing temporary folder"
        << QStringLiteral("Non è possibile creare o leggere i file di lavoro temporanei.\n\r\n\rAccertarsi che la "
                          "cartella temporanea del sistema consenta la scrittura e che il disco non sia pieno.");
    // Never the loader's own words nor the library's file name.
    QTest::newRow("spreadsheet library missing")
        << "library"
        << QStringLiteral("Il componente del programma che crea i file .xlsx (la libreria libxlsxwriter) non è "
                          "installato o non è utilizzabile.\n\r\n\rSi consiglia di reinstallare il programma o di "
                          "installare la libreria libxlsxwriter.");
    QTest::newRow("a cell too long")
        << "long cell"
        << QStringLiteral("Una cella supera i 32767 caratteri che un foglio di calcolo ammette.\n\r\n\rAbbreviare il "
                          "testo della cella e ripetere l'esportazione.");
}

void TestExport::workbookFailureKeepsOldFile()
{
    QFETCH(QString, cause);
    QFETCH(QString, message);
    // Enough cards for working files of some size.
    QList<TSchedaIndirizzo> cards;
    for (int n = 0; n < 400; ++n)
        cards << card({QStringLiteral("Cliente %1").arg(n), QStringLiteral("Privato"), QStringLiteral("Via Roma %1").arg(n),
                       QStringLiteral("00184 Roma"), QString(), QString(), QString(), QString(), QString(120, u'n')});
    fill(cards);
    QByteArray before;
    if (cause == QLatin1String("folder")) {
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("Archivio_Indirizzi.xlsx")));
    } else {
        before = "old workbook";
        QFile old(workbookPath());
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write(before) == before.size());
    }
    auto window = openWindow();
    if (cause == QLatin1String("long cell"))
        QVERIFY(window->model()->setData(window->model()->index(0, TfrmExpIndirizzi::colNote),
                                         QString(kWorkbookMaxCell + 1, u'x')));
    {
        // The library's working files may not pass 64 KiB: its writes fail for real.
        std::unique_ptr<FileSizeLimit> limit;
        if (cause == QLatin1String("size limit"))
            limit = std::make_unique<FileSizeLimit>(64 * 1024);
        if (cause == QLatin1String("library"))
            setWorkbookLibrary(QStringLiteral("libtavolux-assente.so.0"));
        // A file where the temporary folder should be.
        const QByteArray tmpdir = qgetenv("TMPDIR");
        QTemporaryDir elsewhere;
        if (cause == QLatin1String("temporary folder")) {
            QFile notFolder(elsewhere.filePath(QStringLiteral("tmp")));
            QVERIFY(notFolder.open(QIODevice::WriteOnly));
            qputenv("TMPDIR", QFile::encodeName(notFolder.fileName()));
        }
        if (cause == QLatin1String("missing temporary folder"))
            qputenv("TMPDIR", QFile::encodeName(elsewhere.filePath(QStringLiteral("assente"))));
        const QStringList rootBefore = QDir::root().entryList({QStringLiteral("tavolux-xlsx-*")}, QDir::Dirs);
        window->cmdEsportaXlsx->click();
        setWorkbookLibrary(QString());
        if (tmpdir.isNull())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", tmpdir);
        QCOMPARE(QDir::root().entryList({QStringLiteral("tavolux-xlsx-*")}, QDir::Dirs), rootBefore);
        QCOMPARE(QDir::current().entryList({QStringLiteral("tavolux-xlsx-*")}, QDir::Dirs), QStringList());
    }
    QCOMPARE(m_messages->count(), 1);
    QCOMPARE(m_messages->last().kind, MessageKind::Plain);
    QCOMPARE(m_messages->last().buttons, MessageButtons::Ok);
    QCOMPARE(m_messages->last().text, QStringLiteral("Attenzione: il sistema non permette di esportare i dati. ") + message);
    QVERIFY(m_opened.isEmpty());
    if (cause == QLatin1String("folder")) {
        QVERIFY(QFileInfo(workbookPath()).isDir());
    } else {
        QFile old(workbookPath());
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), before);
    }
    QStringList left = QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    QCOMPARE(left, (QStringList{"Archivio_Indirizzi.pro", "Archivio_Indirizzi.xlsx"}));
}

void TestExport::workbookButtonLeavesTheOthersInPlace()
{
    auto window = openWindow();
    QApplication::processEvents();
    const QList<QWidget *> others{window->findChild<QWidget *>(QStringLiteral("imgBanner")),
                                  window->findChild<QWidget *>(QStringLiteral("imgMano")), window->cmdEsporta,
                                  window->cmdGuida, window->cmdEsci, window->grdRecords,
                                  window->findChild<QWidget *>(QStringLiteral("panStato"))};
    QList<QRect> with;
    for (QWidget *widget : others) {
        QVERIFY(widget);
        with << QRect(widget->mapTo(window.get(), QPoint()), widget->size());
    }
    // Without it the strip is laid out as it was before the button came.
    window->cmdEsportaXlsx->hide();
    window->layout()->activate();
    for (QLayout *layout : window->findChildren<QLayout *>())
        layout->activate();
    for (int n = 0; n < others.size(); ++n)
        QCOMPARE(QRect(others.at(n)->mapTo(window.get(), QPoint()), others.at(n)->size()), with.at(n));
    window->cmdEsportaXlsx->show();
    for (QLayout *layout : window->findChildren<QLayout *>())
        layout->activate();
    const QRect button(window->cmdEsportaXlsx->mapTo(window.get(), QPoint()), window->cmdEsportaXlsx->size());
    QCOMPARE(button.size(), window->cmdEsporta->size());
    QCOMPARE(button.center().y(), with.at(2).center().y());
    for (const QRect &other : with)
        QVERIFY(!button.intersects(other));
    // Beside the hand that points at the exports.
    QVERIFY(button.right() < with.at(1).left());
    QVERIFY(with.at(1).left() - button.right() <= 16);
}

// A sheet the writer refuses leaves the old file as it was.
void TestExport::workbookSaverKeepsOldFileWhenRefused()
{
    WorkbookSheet sheet;
    sheet.name = QStringLiteral("Archivio Indirizzi");
    sheet.columns = {{QStringLiteral("Nome"), 100}};
    sheet.rows = 2;
    sheet.cell = [](qsizetype row, int) { return row == 1 ? QString(kWorkbookMaxCell + 1, u'a') : QStringLiteral("x"); };
    {
        QFile old(workbookPath());
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old workbook") == 12);
    }
    QCOMPARE(saveWorkbook(workbookPath(), sheet).message,
             QStringLiteral("Una cella supera i 32767 caratteri che un foglio di calcolo ammette."));
    QFile old(workbookPath());
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("old workbook"));
}

void TestExport::libreOfficeTurnsNumberCellsOfTheXlsIntoNumbers()
{
    if (OfficeConverter::soffice().isEmpty())
        QSKIP(OfficeConverter::skipReason());
    // What the README and the help say: LibreOffice reads the .xls as a web
    // page and takes a cell that holds only a number as that number (here in
    // its default English notation); every other cell stays as it is.
    const QStringList typed{"0012", "1e3", "00184", "+39", "007", "+39 06 1234", "01/02/2026", "5%", "12a", "Via Roma 1"};
    const QStringList shown{"12", "1000", "184", "39", "7", "+39 06 1234", "01/02/2026", "5%", "12a", "Via Roma 1"};
    QList<TSchedaIndirizzo> cards;
    for (const QString &value : typed)
        cards << card({value});
    fill(cards);
    auto window = openWindow();
    m_messages->answerNext(MessageAnswer::Yes);
    m_messages->answerNext(MessageAnswer::No);
    window->cmdEsporta->click();
    // The file holds each text as typed.
    for (const QString &value : typed)
        QVERIFY(exported().contains("<td style=\"text-align: left;\">" + value.toLatin1() + "</td>"));
    QString error;
    QFile csv(office().convert(exportPath(), OfficeConverter::csvFormat(), QStringLiteral("HTML (StarCalc)"), &error));
    QVERIFY2(csv.open(QIODevice::ReadOnly), qPrintable(error));
    const QList<QStringList> sheet = parseCsv(QString::fromUtf8(csv.readAll()));
    QCOMPARE(sheet.size(), 1 + typed.size());
    for (int r = 0; r < typed.size(); ++r)
        QCOMPARE(sheet.at(r + 1).value(0), shown.at(r));
}

QTEST_MAIN(TestExport)
#include "tst_export.moc"
