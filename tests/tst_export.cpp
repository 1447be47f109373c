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

// Minimal CSV reader: comma separated, double-quoted fields with "" inside.
QList<QStringList> parseCsv(const QString &text)
{
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                field += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(',')) {
            row << field;
            field.clear();
        } else if (c == QLatin1Char('\n')) {
            row << field;
            rows << row;
            row.clear();
            field.clear();
        } else if (c != QLatin1Char('\r')) {
            field += c;
        }
    }
    if (!field.isEmpty() || !row.isEmpty())
        rows << (row << field);
    return rows;
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

private:
    void fill(const QList<TSchedaIndirizzo> &cards);
    QString exportPath() const { return m_dir->filePath(QStringLiteral("Archivio_Indirizzi.xls")); }
    QByteArray exported() const;
    std::unique_ptr<TfrmExpIndirizzi> openWindow();

    std::unique_ptr<QTemporaryDir> m_dir;
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
    QCOMPARE(m_messages->last().text, kFailure);
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
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        QSKIP("soffice not installed (scripts/setup.sh installs libreoffice-calc-nogui)");

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

    QTemporaryDir work;
    QProcess office;
    office.setProgram(soffice);
    office.setArguments({QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(work.filePath("profile")).toString(),
                         QStringLiteral("--headless"), QStringLiteral("--norestore"),
                         QStringLiteral("--infilter=HTML (StarCalc)"),
                         QStringLiteral("--convert-to"), QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1"),
                         QStringLiteral("--outdir"), work.path(), exportPath()});
    office.start();
    QVERIFY2(office.waitForFinished(180000), "soffice did not finish");
    QFile csv(work.filePath(QStringLiteral("Archivio_Indirizzi.csv")));
    QVERIFY2(csv.open(QIODevice::ReadOnly), qPrintable(QString::fromLocal8Bit(office.readAllStandardError())));
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

QTEST_MAIN(TestExport)
#include "tst_export.moc"
