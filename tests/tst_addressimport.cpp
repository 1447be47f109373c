// Importing CSV and vCard files into the address archive: the readers, the
// proposed column mapping, the cards as the archive keeps them, the batch
// append under one lock, and the import dialog.
#include "TestFiles.h"
#include "FileSizeLimit.h"
#include "addresses/TfrmArchivio_Indirizzi.h"
#include "addresses/TfrmImportaSchede.h"
#include "archivewindow/ArchiveNotices.h"
#include "cardimport/CardAppender.h"
#include "cardimport/CsvReader.h"
#include "cardimport/ImportFile.h"
#include "cardimport/VCardReader.h"
#include "storage/AddressArchive.h"
#include "ui/Messages.h"
#include "ui/PictureButton.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace tavolux;

namespace {

QByteArray utf16le(const QString &text, bool mark = true)
{
    QStringEncoder encoder(QStringConverter::Utf16LE);
    return (mark ? QByteArray("\xFF\xFE", 2) : QByteArray()) + QByteArray(encoder.encode(text));
}

QByteArray utf16be(const QString &text)
{
    QStringEncoder encoder(QStringConverter::Utf16BE);
    return QByteArray("\xFE\xFF", 2) + QByteArray(encoder.encode(text));
}

QByteArray cp1252(const QString &text)
{
    QByteArray out;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == 0x20AC)
            out.append('\x80');
        else if (u == 0x2013)
            out.append('\x96');
        else
            out.append(char(u)); // the fixtures use Latin-1 letters otherwise
    }
    return out;
}

// A card as "Nome|Tipo|Rigo01|...|Rigo06|Note".
QString cardLine(const TSchedaIndirizzo &card)
{
    QStringList fields;
    for (int f = TSchedaIndirizzo::Nome; f <= TSchedaIndirizzo::Note; ++f)
        fields << card[f];
    return fields.join(QLatin1Char('|'));
}

QString rowsText(const QList<QStringList> &rows)
{
    QStringList lines;
    for (const QStringList &row : rows)
        lines << row.join(QLatin1Char('|'));
    return lines.join(QStringLiteral(" / "));
}

// Every card of the archive file, read back.
QStringList archiveCards(const QString &folder)
{
    QStringList cards;
    AddressArchive archive{ProgramFolder(folder)};
    if (!archive.open())
        return cards;
    archive.readAll([&](qint64, const TSchedaIndirizzo &card) {
        cards << cardLine(card);
        return true;
    });
    return cards;
}

QString mappingText(const QStringList &header, const ColumnMapping &mapping)
{
    QStringList parts;
    for (int target = TSchedaIndirizzo::Nome; target <= TSchedaIndirizzo::Note; ++target) {
        QStringList columns;
        for (int c = 0; c < mapping.size(); ++c)
            if (mapping.at(c) == target)
                columns << header.at(c);
        if (!columns.isEmpty())
            parts << columnmapping::targetName(target) + QLatin1Char('=') + columns.join(QLatin1Char('+'));
    }
    return parts.join(QStringLiteral("; "));
}

QString repeated(const QString &piece, int times)
{
    QString out;
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

TSchedaIndirizzo existingCard()
{
    TSchedaIndirizzo card;
    card[TSchedaIndirizzo::Nome] = QStringLiteral("Già in archivio");
    card[TSchedaIndirizzo::Rigo01] = QStringLiteral("Via Vecchia 1");
    return card;
}

} // namespace

class TestAddressImport : public QObject
{
    Q_OBJECT
private slots:
    void csvRecords_data();
    void csvRecords();
    void encodingDetected_data();
    void encodingDetected();
    void vcardFields_data();
    void vcardFields();
    void proposedMapping_data();
    void proposedMapping();
    void unreadableFiles_data();
    void unreadableFiles();
    void importedAndReadBack_data();
    void importedAndReadBack();
    void hundredThousandRows();
    void batchAppendKeepsFileWhenStopped_data();
    void batchAppendKeepsFileWhenStopped();
    void batchAppendOnFullDiskWritesNothing();
    void anotherCopyAppendsAfterTheWholeImport();

    void windowHasImportButton();
    void dialogMapsAndImports();
    void dialogEncodingChange();
    void dialogWarnsOfLostCharacters_data();
    void dialogWarnsOfLostCharacters();
    void dialogCancelWritesNothing();
    void dialogDamagedFileMessage_data();
    void dialogDamagedFileMessage();
    void dialogEscapeCloses();
    void dialogHeaderRowChoice();
};

// ---------------------------------------------------------------- readers

void TestAddressImport::csvRecords_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("rows");
    QTest::newRow("semicolon") << "a;b;c\n1;2;3\n"
                               << ";"
                               << "a|b|c / 1|2|3";
    QTest::newRow("comma, CR LF, no final break") << "a,b\r\n1,2"
                                                  << ","
                                                  << "a|b / 1|2";
    QTest::newRow("tab") << "a\tb\n1\t2,5\n"
                         << "\t"
                         << "a|b / 1|2,5";
    QTest::newRow("more commas than semicolons in the first record") << "a,b,c;d\n"
                                                                     << ","
                                                                     << "a|b|c;d";
    QTest::newRow("separators inside quotes do not count") << "\"a;b;c\",d\n"
                                                           << ","
                                                           << "a;b;c|d";
    QTest::newRow("quoted separator, quote and line break")
            << "nome;via\n\"Rossi; Mario\";\"Via \"\"Roma\"\"\n scala B\"\n"
            << ";"
            << "nome|via / Rossi; Mario|Via \"Roma\"\n scala B";
    QTest::newRow("empty fields") << "a;;c\n;;\n"
                                  << ";"
                                  << "a||c / ||";
    QTest::newRow("blank lines are no records") << "a;b\n\n\r\n1;2\n\n"
                                                << ";"
                                                << "a|b / 1|2";
    QTest::newRow("old Mac line ends") << "a;b\r1;2\r"
                                       << ";"
                                       << "a|b / 1|2";
    QTest::newRow("empty quoted field") << "\"\";x\n"
                                        << ";"
                                        << "|x";
    QTest::newRow("quote inside an unquoted field stays") << "5\" disk;b\n"
                                                          << ";"
                                                          << "5\" disk|b";
    QTest::newRow("single column") << "Rossi\nBianchi\n"
                                   << ","
                                   << "Rossi / Bianchi";
}

void TestAddressImport::csvRecords()
{
    QFETCH(QString, text);
    QFETCH(QString, separator);
    QFETCH(QString, rows);
    QCOMPARE(CsvReader::detectSeparator(text), separator.at(0));
    CsvReader reader;
    QVERIFY2(reader.read(text, separator.at(0)), qPrintable(reader.errorString()));
    QCOMPARE(rowsText(reader.rows()), rows);
}

void TestAddressImport::encodingDetected_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("encoding");
    QTest::addColumn<QString>("firstField");
    const QString text = QStringLiteral("Città;Perché\n");
    QTest::newRow("UTF-8") << text.toUtf8() << int(TextEncoding::Utf8) << "Città";
    QTest::newRow("UTF-8 with mark") << QByteArray("\xEF\xBB\xBF") + text.toUtf8() << int(TextEncoding::Utf8Bom)
                                     << "Città";
    QTest::newRow("UTF-16 LE with mark") << utf16le(text) << int(TextEncoding::Utf16LE) << "Città";
    QTest::newRow("UTF-16 BE with mark") << utf16be(text) << int(TextEncoding::Utf16BE) << "Città";
    QTest::newRow("Windows-1252") << cp1252(QStringLiteral("Città – €;x\n")) << int(TextEncoding::Windows1252)
                                  << "Città – €";
    QTest::newRow("plain ASCII") << QByteArray("Rossi;Via Roma\n") << int(TextEncoding::Utf8) << "Rossi";
    // A truncated UTF-8 sequence is not UTF-8.
    QTest::newRow("broken UTF-8") << QByteArray("Citt\xC3;x\n") << int(TextEncoding::Windows1252) << "CittÃ";
}

void TestAddressImport::encodingDetected()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, encoding);
    QFETCH(QString, firstField);
    ImportTable table;
    const ImportError failure = importfile::parse(bytes, table);
    QVERIFY2(!failure, qPrintable(failure.message()));
    QCOMPARE(int(table.encoding), encoding);
    QVERIFY(table.encodingValid);
    QCOMPARE(table.rows.first().first(), firstField);
}

void TestAddressImport::vcardFields_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("cards");
    QTest::newRow("3.0: folded lines, escapes, foreign country")
            << QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Mario Ros\r\n si\r\nN:Rossi;Mario;;;\r\n"
                          "ORG:Studio Rossi\\, Bianchi & C.;Amministrazione\r\n"
                          "ADR;TYPE=WORK:;;Rue de la Paix 3\\nBâtiment B;Paris;;75002;Francia\r\n"
                          "NOTE:Prima riga\\nseconda\\; con punto e virgola\r\nEND:VCARD\r\n")
            << QStringList{"Mario Rossi||Mario Rossi|Studio Rossi, Bianchi & C., Amministrazione|Rue de la Paix 3|"
                           "Bâtiment B|75002 Paris|Francia|Prima riga, seconda; con punto e virgola"};
    QTest::newRow("2.1: quoted-printable in UTF-8 with a soft break, Italy left out")
            << QByteArray("BEGIN:VCARD\nVERSION:2.1\nN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:Nicol=C3=B2;Luca\n"
                          "ADR;HOME;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:;;Via della Libert=C3=A0 "
                          "1=\n0;Forl=C3=AC;FC;47121;Italia\n"
                          "END:VCARD\n")
            << QStringList{"Luca Nicolò||Luca Nicolò|Via della Libertà 10|47121 Forlì (FC)||||"};
    QTest::newRow("2.1: quoted-printable in ISO-8859-1, LABEL without ADR")
            << QByteArray("BEGIN:VCARD\nVERSION:2.1\nFN;QUOTED-PRINTABLE;CHARSET=ISO-8859-1:Caff=E8 "
                          "Sport\nLABEL;QUOTED-PRINTABLE;CHARSET=ISO-8859-1:Piazza Duomo 2=0D=0A20121 Milano\n"
                          "END:VCARD\n")
            << QStringList{"Caffè Sport||Caffè Sport|Piazza Duomo 2|20121 Milano||||"};
    QTest::newRow("2.1: a UTF-8 value in a Windows-1252 file")
            << QByteArray("BEGIN:VCARD\nVERSION:2.1\nFN;CHARSET=UTF-8:Nicol\xC3\xB2\nNOTE:Caff\xE8\nEND:VCARD\n")
            << QStringList{"Nicolò||Nicolò||||||Caffè"};
    QTest::newRow("4.0: organisation only, preferred address, group names")
            << QByteArray("BEGIN:VCARD\nVERSION:4.0\nitem1.ORG:Ferramenta Verdi\n"
                          "ADR;TYPE=home:;;Via Casa 1;Como;CO;22100;\n"
                          "item2.ADR;PREF=1;LABEL=\"Via Lavoro 2\\n20100 Milano\":;;Via Lavoro "
                          "2;Milano;MI;20100;IT\nEND:VCARD\n")
            << QStringList{"Ferramenta Verdi||Ferramenta Verdi|Via Lavoro 2|20100 Milano (MI)||||"};
    QTest::newRow("several cards, empty fields, no name at all")
            << QByteArray("BEGIN:VCARD\nVERSION:3.0\nFN:Anna\nEND:VCARD\nBEGIN:VCARD\nVERSION:3.0\nN:;;;;\nNOTE:solo "
                          "nota\nEND:VCARD\n")
            << QStringList{"Anna||Anna||||||", "solo nota||||||||solo nota"};
}

void TestAddressImport::vcardFields()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, cards);
    ImportTable table;
    const ImportError failure = importfile::parse(bytes, table);
    QVERIFY2(!failure, qPrintable(failure.message()));
    QCOMPARE(int(table.kind), int(ImportTable::Kind::VCard));
    QStringList built;
    for (const ImportedCard &card : importfile::buildCards(table, table.proposed))
        built << cardLine(card.card);
    QCOMPARE(built, cards);
}

void TestAddressImport::proposedMapping_data()
{
    QTest::addColumn<QString>("header");
    QTest::addColumn<QString>("mapping");
    QTest::newRow("the card's own fields")
            << "Nome;Tipo;Rigo01;Rigo02;Rigo03;Rigo04;Rigo05;Rigo06;Note"
            << "Nome=Nome; Tipo=Tipo; Rigo01=Rigo01; Rigo02=Rigo02; Rigo03=Rigo03; Rigo04=Rigo04; Rigo05=Rigo05; "
               "Rigo06=Rigo06; Note=Note";
    QTest::newRow("Italian names") << "Nome;Cognome;Società;Indirizzo;CAP;Città;Provincia;Nazione;Note;E-mail"
                                   << "Rigo01=Nome+Cognome; Rigo02=Società; Rigo03=Indirizzo; "
                                      "Rigo04=CAP+Città+Provincia; Rigo05=Nazione; Note=Note";
    QTest::newRow("a name column and an address")
            << "Nominativo;Via;CAP;Località;Categoria"
            << "Tipo=Categoria; Rigo01=Nominativo; Rigo02=Via; Rigo03=CAP+Località";
    QTest::newRow("Outlook")
            << "Title;First Name;Middle Name;Last Name;Suffix;Company;Department;Job Title;Business Street;Business "
               "Street 2;"
               "Business City;Business State;Business Postal Code;Business Country/Region;Home Street;Home City;Notes"
            << "Rigo01=First Name+Middle Name+Last Name; Rigo02=Company; Rigo03=Business Street; Rigo04=Business "
               "Street 2; "
               "Rigo05=Business City+Business State+Business Postal Code; Rigo06=Business Country/Region; Note=Notes";
    QTest::newRow("Thunderbird")
            << "First Name,Last Name,Display Name,Nickname,Primary Email,Home Address,Home Address 2,Home City,Home "
               "State,"
               "Home ZipCode,Home Country,Work Address,Work City,Organization,Notes"
            << "Nome=Display Name; Rigo01=First Name+Last Name; Rigo02=Organization; Rigo03=Home Address; "
               "Rigo04=Home Address 2; Rigo05=Home City+Home State+Home ZipCode; Rigo06=Home Country; Note=Notes";
    QTest::newRow("Google Contacts")
            << "Name,Given Name,Additional Name,Family Name,Notes,Organization 1 - Name,Address 1 - Formatted,"
               "Address 1 - Street,Address 1 - City,Address 1 - Region,Address 1 - Postal Code,Address 1 - Country"
            << "Nome=Name; Rigo01=Given Name+Additional Name+Family Name; Rigo02=Organization 1 - Name; "
               "Rigo03=Address 1 - Street; Rigo04=Address 1 - City+Address 1 - Region+Address 1 - Postal Code; "
               "Rigo05=Address 1 - Country; Note=Notes";
    QTest::newRow("Outlook in Italian") << "Nome;Cognome;Società;Via (uff.);Città (uff.);Provincia (uff.);CAP "
                                           "(uff.);Paese/area geografica (uff.);Note"
                                        << "Rigo01=Nome+Cognome; Rigo02=Società; Rigo03=Via (uff.); Rigo04=Città "
                                           "(uff.)+Provincia (uff.)+CAP (uff.); "
                                           "Rigo05=Paese/area geografica (uff.); Note=Note";
    QTest::newRow("nothing known") << "Colore,Peso,Prezzo"
                                   << "";
}

void TestAddressImport::proposedMapping()
{
    QFETCH(QString, header);
    QFETCH(QString, mapping);
    const QChar separator = CsvReader::detectSeparator(header);
    const QStringList names = header.split(separator);
    QCOMPARE(mappingText(names, columnmapping::propose(names)), mapping);
    QCOMPARE(columnmapping::looksLikeHeader(names), !mapping.isEmpty());
}

// The bytes of a literal that holds NULs, without its terminating one.
template <qsizetype N>
QByteArray literalBytes(const char (&text)[N])
{
    return QByteArray(text, N - 1);
}

void TestAddressImport::unreadableFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("kind");
    QTest::newRow("empty") << QByteArray() << int(ImportError::Kind::Empty);
    QTest::newRow("only blanks") << QByteArray(" \r\n\t\n") << int(ImportError::Kind::Empty);
    QTest::newRow("quote never closed") << QByteArray("a;b\n\"Rossi;Via\n") << int(ImportError::Kind::Damaged);
    QTest::newRow("text after closing quote") << QByteArray("\"Rossi\"x;b\n") << int(ImportError::Kind::Damaged);
    QTest::newRow("vCard without END") << QByteArray("BEGIN:VCARD\nFN:Anna\n") << int(ImportError::Kind::Damaged);
    QTest::newRow("vCard inside a vCard")
            << QByteArray("BEGIN:VCARD\nFN:A\nBEGIN:VCARD\nFN:B\nEND:VCARD\n") << int(ImportError::Kind::Damaged);
    QTest::newRow("a line of 5000 separators") << QByteArray(5000, ';') << int(ImportError::Kind::Damaged);
    QTest::newRow("a picture") << literalBytes("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x10")
                               << int(ImportError::Kind::NotCsvOrVCard);
    QTest::newRow("a spreadsheet archive")
            << literalBytes("PK\x03\x04\x14\0\x06\0\x08\0\0\0!\0") << int(ImportError::Kind::NotCsvOrVCard);
}

void TestAddressImport::unreadableFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, kind);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("rubrica.csv"));
    writeBytes(path, bytes);
    ImportTable table;
    const ImportError failure = importfile::load(path, table);
    QCOMPARE(int(failure.kind), kind);
    QVERIFY(failure.message().startsWith(QStringLiteral("Attenzione: ")));
    QVERIFY(table.rows.isEmpty());
    ImportTable missing;
    QCOMPARE(int(importfile::load(dir.filePath(QStringLiteral("manca.csv")), missing).kind),
             int(ImportError::Kind::Unreadable));
}

// ------------------------------------------------- imported and read back

void TestAddressImport::importedAndReadBack_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("cards");
    QTest::addColumn<QString>("lost");

    const QString csv = QStringLiteral("Nome;Tipo;Rigo01;Rigo02;Rigo03;Note\r\n"
                                       "Rossi Mario;Cliente;Via Garibaldi 12;20121 Milano (MI);;è chiuso il lunedì\r\n"
                                       "\"Bianchi; Lucia\";;\"Corso \"\"Italia\"\" 5\";;;\r\n");
    const QStringList expected{"Rossi Mario|Cliente|Via Garibaldi 12|20121 Milano (MI)|||||è chiuso il lunedì",
                               "Bianchi; Lucia||Corso \"Italia\" 5||||||"};
    QTest::newRow("UTF-8 with mark, semicolons") << QByteArray("\xEF\xBB\xBF") + csv.toUtf8() << expected << "";
    QTest::newRow("UTF-8 without mark, tabs")
            << QString(csv)
                       .replace(QLatin1Char(';'), QLatin1Char('\t'))
                       .replace(QStringLiteral("Bianchi\t Lucia"), QStringLiteral("Bianchi; Lucia"))
                       .toUtf8()
            << expected << "";
    QTest::newRow("UTF-16 LE with mark") << utf16le(csv) << expected << "";
    QTest::newRow("Windows-1252, commas")
            << cp1252(QStringLiteral("Nome,Rigo01,Rigo02\nCaffè – Bar,\"Via Roma, 1\",€ 5\n"))
            << QStringList{"Caffè – Bar||Via Roma, 1|€ 5|||||"} << "";
    QTest::newRow("line breaks inside a quoted field, no name")
            << QByteArray("Rigo01,Rigo02\n\"Studio Rossi\r\nsecondo piano\",\"20121\nMilano\"\n")
            << QStringList{"Studio Rossi, secondo piano||Studio Rossi, secondo piano|20121, Milano|||||"} << "";
    QTest::newRow("blank and empty rows are no cards, blanks trimmed")
            << QByteArray("Nome;Rigo01\n;\n\n   ;  Via Roma 1  \n") << QStringList{"Via Roma 1||Via Roma 1||||||"}
            << "";
    QTest::newRow("300-character fields are cut to 250")
            << (QStringLiteral("Nome;Rigo01\n") + repeated(QStringLiteral("n"), 300) + QLatin1Char(';')
                + repeated(QStringLiteral("àbcdefghij"), 30) + QLatin1Char('\n'))
                       .toUtf8()
            << QStringList{repeated(QStringLiteral("n"), 250) + "||" + repeated(QStringLiteral("àbcdefghij"), 25)
                           + "||||||"}
            << "";
    QTest::newRow("characters outside Windows-1252 become ?")
            << QStringLiteral("Nome;Rigo01\nŁukasz Ōta;Ulica Świętego 😀\n").toUtf8()
            << QStringList{"?ukasz ?ta||Ulica ?wi?tego ?||||||"} << "ŁŌŚę😀";
    QTest::newRow("no header: the columns are the lines")
            << QByteArray("Rossi Mario;Via Roma 1;00100 Roma\n")
            << QStringList{"Rossi Mario||Rossi Mario|Via Roma 1|00100 Roma||||"} << "";
    QTest::newRow("vCard 3.0, two cards, folded")
            << QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Anna Ricci\r\nADR:;;Via Po 3;Torino;TO;10121;Italia\r\n"
                          "NOTE:cliente dal 2019\\, ottima\r\nEND:VCARD\r\nBEGIN:VCARD\r\nVERSION:3.0\r\nFN:Hans\r\n  "
                          "Müller\r\n"
                          "ADR:;;Hauptstraße 1;Berlin;;10115;Germania\r\nEND:VCARD\r\n")
            << QStringList{"Anna Ricci||Anna Ricci|Via Po 3|10121 Torino (TO)||||cliente dal 2019, ottima",
                           "Hans Müller||Hans Müller|Hauptstraße 1|10115 Berlin|Germania|||"}
            << "";
    QTest::newRow("vCard 2.1 in Windows-1252 with quoted-printable")
            << cp1252(QStringLiteral("BEGIN:VCARD\nVERSION:2.1\nN:Verdi;Giò\nORG:Caffè\n"
                                     "NOTE;ENCODING=QUOTED-PRINTABLE:Pagamento a 30 gg =E8 ok\nEND:VCARD\n"))
            << QStringList{"Giò Verdi||Giò Verdi|Caffè|||||Pagamento a 30 gg è ok"} << "";
}

void TestAddressImport::importedAndReadBack()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, cards);
    QFETCH(QString, lost);
    QTemporaryDir dir;
    const ProgramFolder folder(dir.path());
    {
        AddressArchive archive(folder);
        QVERIFY(archive.open());
        QCOMPARE(archive.append(existingCard()), qint64(1));
    }
    const QString path = dir.filePath(QStringLiteral("rubrica.csv"));
    writeBytes(path, bytes);
    ImportTable table;
    const ImportError failure = importfile::load(path, table);
    QVERIFY2(!failure, qPrintable(failure.message()));
    const QList<ImportedCard> imported = importfile::buildCards(table, table.proposed);
    QCOMPARE(importfile::lostCharacters(imported), lost);
    const AppendResult result = appendCards(folder, imported);
    QCOMPARE(int(result.status), int(AppendResult::Status::Done));
    QCOMPARE(result.firstPosition, qint64(2));
    const QStringList stored = archiveCards(dir.path());
    QCOMPARE(stored.first(), cardLine(existingCard()));
    QCOMPARE(stored.mid(1), cards);
    QCOMPARE(QFileInfo(folder.file(AddressArchive::fileName())).size(),
             qint64(stored.size()) * TSchedaIndirizzo::RecordSize);

    // The dialog's way, which builds each card again as it writes it (plain
    // rows straight into their records), writes the same bytes.
    QTemporaryDir other;
    const ProgramFolder otherFolder(other.path());
    {
        AddressArchive archive(otherFolder);
        QVERIFY(archive.open());
        QCOMPARE(archive.append(existingCard()), qint64(1));
    }
    const importfile::ImportPlan plan = importfile::plan(table, table.proposed);
    QCOMPARE(plan.rows.size(), imported.size());
    QCOMPARE(plan.lostCharacters, lost);
    QCOMPARE(importfile::appendPlanned(otherFolder, table, table.proposed, plan).firstPosition, qint64(2));
    QCOMPARE(fileBytes(otherFolder.file(AddressArchive::fileName())),
             fileBytes(folder.file(AddressArchive::fileName())));
}

void TestAddressImport::hundredThousandRows()
{
    QTemporaryDir dir;
    const ProgramFolder folder(dir.path());
    const int rows = 100000;
    QByteArray csv("Nome;Tipo;Indirizzo;CAP;Città;Note\r\n");
    for (int i = 1; i <= rows; ++i)
        csv += QStringLiteral("Cliente %1;Tipo %2;Via Roma %1;%3;Città %2;\"nota; %1\"\r\n")
                       .arg(i)
                       .arg(i % 7)
                       .arg(10000 + i % 90000)
                       .toUtf8();
    const QString path = dir.filePath(QStringLiteral("grande.csv"));
    writeBytes(path, csv);
    ImportTable table;
    QVERIFY(!importfile::load(path, table));
    QCOMPARE(table.dataRowCount(), rows);
    const importfile::ImportPlan plan = importfile::plan(table, table.proposed);
    QCOMPARE(plan.rows.size(), rows);
    QVERIFY(plan.lostCharacters.isEmpty());
    qint64 lastProgress = 0;
    int calls = 0;
    const AppendResult result = importfile::appendPlanned(folder, table, table.proposed, plan, [&](qint64 done) {
        ++calls;
        lastProgress = done;
        return true;
    });
    QCOMPARE(int(result.status), int(AppendResult::Status::Done));
    QCOMPARE(lastProgress, qint64(rows));
    QVERIFY(calls > 100); // the bar moves along
    int n = 0;
    AddressArchive archive(folder);
    QVERIFY(archive.open());
    QCOMPARE(archive.count(), qint64(rows));
    bool same = true;
    archive.readAll([&](qint64 p, const TSchedaIndirizzo &card) {
        ++n;
        const QString expected =
                QStringLiteral("Via Roma %1|%2 Città %3||||nota; %1").arg(p).arg(10000 + p % 90000).arg(p % 7);
        const QString got = QStringList{card[TSchedaIndirizzo::Rigo02], card[TSchedaIndirizzo::Rigo03],
                                        card[TSchedaIndirizzo::Rigo04], card[TSchedaIndirizzo::Rigo05],
                                        card[TSchedaIndirizzo::Rigo06], card[TSchedaIndirizzo::Note]}
                                    .join(QLatin1Char('|'));
        if (card[TSchedaIndirizzo::Nome] != QStringLiteral("Cliente %1").arg(p) || got != expected
            || card[TSchedaIndirizzo::Tipo] != QStringLiteral("Tipo %1").arg(p % 7)) {
            qWarning("card %lld: %s", p, qPrintable(cardLine(card)));
            same = false;
            return false;
        }
        return true;
    });
    QVERIFY(same);
    QCOMPARE(n, rows);
}

// ------------------------------------------------------------ batch append

void TestAddressImport::batchAppendKeepsFileWhenStopped_data()
{
    QTest::addColumn<int>("stopAfter"); // progress calls answered true before the stop
    QTest::addColumn<int>("tailBytes");
    QTest::newRow("stopped at the first chunk") << 0 << 0;
    QTest::newRow("stopped later, trailing piece kept") << 2 << 100;
}

void TestAddressImport::batchAppendKeepsFileWhenStopped()
{
    QFETCH(int, stopAfter);
    QFETCH(int, tailBytes);
    QTemporaryDir dir;
    const ProgramFolder folder(dir.path());
    {
        AddressArchive archive(folder);
        QVERIFY(archive.open());
        QCOMPARE(archive.append(existingCard()), qint64(1));
        QCOMPARE(archive.append(existingCard()), qint64(2));
    }
    const QString file = folder.file(AddressArchive::fileName());
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::Append));
        f.write(QByteArray(tailBytes, 'x'));
    }
    const QByteArray before = fileBytes(file);
    QList<ImportedCard> cards(1000);
    for (int i = 0; i < cards.size(); ++i)
        cards[i].card[TSchedaIndirizzo::Nome] = QStringLiteral("Nuova %1").arg(i);
    int calls = 0;
    const AppendResult stopped = appendCards(folder, cards, [&](qint64) { return calls++ < stopAfter; });
    QCOMPARE(int(stopped.status), int(AppendResult::Status::Cancelled));
    QCOMPARE(fileBytes(file), before);
    // Done, the new cards go over the trailing piece, right after card 2.
    const AppendResult done = appendCards(folder, cards);
    QCOMPARE(done.firstPosition, qint64(3));
    QCOMPARE(QFileInfo(file).size(), qint64(1002) * TSchedaIndirizzo::RecordSize);
    const QStringList stored = archiveCards(dir.path());
    QCOMPARE(stored.at(2).section(QLatin1Char('|'), 0, 0), QStringLiteral("Nuova 0"));
    QCOMPARE(stored.last().section(QLatin1Char('|'), 0, 0), QStringLiteral("Nuova 999"));
}

void TestAddressImport::batchAppendOnFullDiskWritesNothing()
{
    QTemporaryDir dir;
    const ProgramFolder folder(dir.path());
    {
        AddressArchive archive(folder);
        QVERIFY(archive.open());
        QCOMPARE(archive.append(existingCard()), qint64(1));
    }
    const QString file = folder.file(AddressArchive::fileName());
    const QByteArray before = fileBytes(file);
    QList<ImportedCard> cards(2000);
    for (int i = 0; i < cards.size(); ++i)
        cards[i].card[TSchedaIndirizzo::Nome] = QStringLiteral("Nuova %1").arg(i);
    AppendResult result;
    {
        // Room for some hundred cards only: the disk fills in the middle of the pass.
        FileSizeLimit full(qint64(500) * TSchedaIndirizzo::RecordSize);
        result = appendCards(folder, cards);
    }
    QCOMPARE(int(result.status), int(AppendResult::Status::Failed));
    QCOMPARE(fileBytes(file), before);
}

void TestAddressImport::anotherCopyAppendsAfterTheWholeImport()
{
    QTemporaryDir dir;
    const ProgramFolder folder(dir.path());
    QList<ImportedCard> cards(3000);
    for (int i = 0; i < cards.size(); ++i)
        cards[i].card[TSchedaIndirizzo::Nome] = QStringLiteral("Importata %1").arg(i + 1);
    QProcess other;
    bool started = false;
    const AppendResult result = appendCards(folder, cards, [&](qint64) {
        if (!started) {
            // Another copy saves a card while the import is under way.
            started = true;
            other.start(QStringLiteral(STORAGE_DRIVER),
                        {QStringLiteral("append"), dir.path(), QStringLiteral("altra"), QStringLiteral("1")});
            other.waitForStarted();
            QTest::qWait(1500); // time for it to start and reach the archive
        }
        return true;
    });
    QCOMPARE(int(result.status), int(AppendResult::Status::Done));
    QVERIFY(other.state() == QProcess::NotRunning || other.waitForFinished(10000));
    QCOMPARE(other.exitCode(), 0);
    // Its card waited for the lock: the imported cards stay together, in file order.
    const QStringList stored = archiveCards(dir.path());
    QCOMPARE(stored.size(), 3001);
    for (int i = 0; i < 3000; ++i)
        QCOMPARE(stored.at(i).section(QLatin1Char('|'), 0, 0), QStringLiteral("Importata %1").arg(i + 1));
    QCOMPARE(stored.last().section(QLatin1Char('|'), 0, 0), QStringLiteral("altra-0"));
}

// ------------------------------------------------------------------ dialog

namespace {

struct DialogFixture
{
    QTemporaryDir dir;
    ui::MessageRecorder messages;
    std::unique_ptr<TfrmArchivio_Indirizzi> window;

    DialogFixture()
    {
        window = std::make_unique<TfrmArchivio_Indirizzi>(ProgramFolder(dir.path()));
        window->show();
    }
    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(name);
        writeBytes(path, bytes);
        return path;
    }
    QString archivePath() const { return QDir(dir.path()).filePath(AddressArchive::fileName()); }
};

} // namespace

void TestAddressImport::windowHasImportButton()
{
    DialogFixture f;
    TfrmArchivio_Indirizzi &w = *f.window;
    QCoreApplication::processEvents();
    QVERIFY(w.cmdImporta);
    QCOMPARE(w.cmdImporta->parentWidget()->objectName(), QStringLiteral("boxImporta"));
    // The toolbar's own boxes in their order, in one row, as wide as the body;
    // the import box above the toolbar's right end.
    QList<QWidget *> ordered;
    for (const char *name : {"boxArchivio", "boxAllega", "boxStampa", "boxNavigazione", "boxStrumenti", "boxUscita"})
        ordered << w.findChild<QWidget *>(QLatin1String(name));
    for (int i = 1; i < ordered.size(); ++i) {
        QVERIFY2(ordered.at(i - 1)->geometry().right() < ordered.at(i)->geometry().left(),
                 qPrintable(ordered.at(i)->objectName()));
        QCOMPARE(ordered.at(i)->geometry().top(), ordered.first()->geometry().top());
    }
    QWidget *importBox = w.findChild<QWidget *>(QStringLiteral("boxImporta"));
    QVERIFY(importBox->geometry().bottom() < ordered.last()->geometry().top());
    QCOMPARE(importBox->geometry().right(), ordered.last()->geometry().right());
    // No box is squeezed below the room its pictures need.
    for (QWidget *box : ordered + QList<QWidget *>{importBox})
        QVERIFY2(box->width() >= box->minimumSizeHint().width(), qPrintable(box->objectName()));
    // The toolbar fits the panel, which keeps the width it had without the import box.
    QWidget *panel = w.findChild<QWidget *>(QStringLiteral("panPrincipale"));
    QVERIFY(ordered.last()->geometry().right() <= panel->width());
    QCOMPARE(panel->width(), 980);
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w.cmdImporta, &move);
    QCOMPARE(w.panInfo->text(), QStringLiteral("Importa schede da un file CSV o vCard."));
    QVERIFY(w.cmdImporta->focusPolicy() & Qt::TabFocus);
    QCOMPARE(w.cmdImporta->spokenName(), QStringLiteral("Importa schede da un file CSV o vCard"));
}

void TestAddressImport::dialogMapsAndImports()
{
    DialogFixture f;
    {
        AddressArchive archive{ProgramFolder(f.dir.path())};
        QVERIFY(archive.open());
        QCOMPARE(archive.append(existingCard()), qint64(1));
    }
    const QString path =
            f.write(QStringLiteral("outlook.csv"),
                    QByteArray("First Name,Last Name,Company,Business Street,Business City,Notes,E-mail\r\n"
                               "Mario,Rossi,Rossi Srl,Via Roma 1,Milano,cliente,m@r.it\r\n"
                               "Lucia,Bianchi,,Corso Po 2,Torino,,l@b.it\r\n"));
    TfrmImportaSchede dialog(*f.window);
    QVERIFY(dialog.setFile(path));
    QCOMPARE(dialog.grdAnteprima->columnCount(), 7);
    QCOMPARE(dialog.grdAnteprima->rowCount(), 3); // the fields, then two rows
    QCOMPARE(dialog.grdAnteprima->item(2, 3)->text(), QStringLiteral("Corso Po 2"));
    auto *box = qobject_cast<QComboBox *>(dialog.grdAnteprima->cellWidget(0, 2));
    QVERIFY(box);
    QCOMPARE(box->currentText(), QStringLiteral("Rigo02"));
    QCOMPARE(qobject_cast<QComboBox *>(dialog.grdAnteprima->cellWidget(0, 6))->currentText(),
             QStringLiteral("(ignora)"));
    QCOMPARE(dialog.lblSeparatore->text(), QStringLiteral("Separatore: virgola"));
    QVERIFY(dialog.chkIntestazione->isChecked());
    // The user sends the company to Tipo and the e-mail to the note.
    box->setCurrentIndex(box->findText(QStringLiteral("Tipo")));
    emit box->activated(box->currentIndex());
    auto *mail = qobject_cast<QComboBox *>(dialog.grdAnteprima->cellWidget(0, 6));
    mail->setCurrentIndex(mail->findText(QStringLiteral("Note")));
    emit mail->activated(mail->currentIndex());
    f.messages.clear();
    dialog.show();
    dialog.btnImporta->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(f.messages.count(), 1);
    QCOMPARE(f.messages.last().text, QStringLiteral("Sono state aggiunte 2 schede all'archivio."));
    QCOMPARE(int(f.messages.last().buttons), int(ui::MessageButtons::Ok));
    const QStringList stored = archiveCards(f.dir.path());
    // The company's line stays empty: the lines keep the places they were given.
    QCOMPARE(stored.mid(1), (QStringList{"Mario Rossi|Rossi Srl|Mario Rossi||Via Roma 1|Milano|||cliente m@r.it",
                                         "Lucia Bianchi||Lucia Bianchi||Corso Po 2|Torino|||l@b.it"}));
    // The window shows the first imported card.
    QCOMPARE(f.window->lblPosizione->text(), QStringLiteral("2"));
    QCOMPARE(f.window->txtNome->text(), QStringLiteral("Mario Rossi"));
    QCOMPARE(f.window->txtTipo->text(), QStringLiteral("Rossi Srl"));
    QCOMPARE(f.window->txtNote->text(), QStringLiteral("cliente m@r.it"));
}

void TestAddressImport::dialogEncodingChange()
{
    DialogFixture f;
    const QString path = f.write(QStringLiteral("w1252.csv"), cp1252(QStringLiteral("Nome;Rigo01\nNicolò;Città\n")));
    TfrmImportaSchede dialog(*f.window);
    QVERIFY(dialog.setFile(path));
    QCOMPARE(dialog.cboCodifica->currentText(), QStringLiteral("Windows-1252"));
    QCOMPARE(dialog.grdAnteprima->item(1, 0)->text(), QStringLiteral("Nicolò"));
    // Read as UTF-8 the bytes are wrong, and the dialog says so.
    const int utf8 = dialog.cboCodifica->findText(QStringLiteral("UTF-8"));
    dialog.cboCodifica->setCurrentIndex(utf8);
    emit dialog.cboCodifica->activated(utf8);
    QCOMPARE(int(dialog.table().encoding), int(TextEncoding::Utf8));
    QVERIFY(dialog.grdAnteprima->item(1, 0)->text().contains(QChar(0xFFFD)));
    QVERIFY(dialog.lblRiepilogo->text().contains(QStringLiteral("non è corretto")));
    const int w1252 = dialog.cboCodifica->findText(QStringLiteral("Windows-1252"));
    dialog.cboCodifica->setCurrentIndex(w1252);
    emit dialog.cboCodifica->activated(w1252);
    QCOMPARE(dialog.grdAnteprima->item(1, 0)->text(), QStringLiteral("Nicolò"));
    QVERIFY(!dialog.lblRiepilogo->text().contains(QStringLiteral("non è corretto")));
    QCOMPARE(cardLine(dialog.cards().first().card), QStringLiteral("Nicolò||Città||||||"));
}

void TestAddressImport::dialogWarnsOfLostCharacters_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("cardsStored");
    QTest::newRow("no: nothing written") << int(ui::MessageAnswer::No) << 0;
    QTest::newRow("yes: written with ?") << int(ui::MessageAnswer::Yes) << 2;
}

void TestAddressImport::dialogWarnsOfLostCharacters()
{
    QFETCH(int, answer);
    QFETCH(int, cardsStored);
    DialogFixture f;
    const QString path =
            f.write(QStringLiteral("nomi.csv"),
                    QStringLiteral("Nome;Rigo01\nŁukasz;Via Ōta\nAnna;Via Ōta 2\nPaolo;Via Roma\n").toUtf8());
    TfrmImportaSchede dialog(*f.window);
    QVERIFY(dialog.setFile(path));
    f.messages.answerNext(ui::MessageAnswer(answer));
    dialog.btnImporta->click();
    QVERIFY(f.messages.count() >= 1);
    const ui::MessageRecorder::Entry warning = f.messages.entries().first();
    QCOMPARE(int(warning.buttons), int(ui::MessageButtons::YesNo));
    QCOMPARE(warning.text, TfrmImportaSchede::lostCharactersQuestion(QStringLiteral("ŁŌ"), 2));
    QVERIFY(warning.text.contains(QStringLiteral("Ł Ō")));
    QVERIFY(warning.text.contains(QStringLiteral("\"?\"")));
    const QStringList stored = archiveCards(f.dir.path());
    if (cardsStored == 0) {
        QVERIFY(stored.isEmpty());
        QCOMPARE(f.messages.count(), 1);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    } else {
        QCOMPARE(stored.size(), 3);
        QCOMPARE(stored.first(), QStringLiteral("?ukasz||Via ?ta||||||"));
        QCOMPARE(f.window->txtNome->text(), QStringLiteral("?ukasz"));
    }
}

void TestAddressImport::dialogCancelWritesNothing()
{
    DialogFixture f;
    {
        AddressArchive archive{ProgramFolder(f.dir.path())};
        QVERIFY(archive.open());
        QCOMPARE(archive.append(existingCard()), qint64(1));
    }
    const QByteArray before = fileBytes(f.archivePath());
    QByteArray csv("Nome;Rigo01\n");
    for (int i = 0; i < 3000; ++i)
        csv += "Cliente " + QByteArray::number(i) + ";Via " + QByteArray::number(i) + "\n";
    TfrmImportaSchede dialog(*f.window);
    QVERIFY(dialog.setFile(f.write(QStringLiteral("grande.csv"), csv)));
    dialog.show();
    bool barShown = false;
    connect(&dialog, &TfrmImportaSchede::progressed, &dialog, [&](qint64 done, qint64 total) {
        barShown = dialog.prgImporta->isVisible() && dialog.prgImporta->maximum() == total;
        if (done >= 500) {
            // Esc, as the user would press it, stops the import.
            QTest::keyClick(&dialog, Qt::Key_Escape);
        }
    });
    f.messages.clear();
    dialog.btnImporta->click();
    QVERIFY(barShown);
    QCOMPARE(fileBytes(f.archivePath()), before);
    QCOMPARE(f.messages.last().text, TfrmImportaSchede::cancelledMessage());
    QVERIFY(dialog.isVisible()); // Esc stopped the import, not the dialog
    QVERIFY(f.window->lblPosizione->text().isEmpty());
    QVERIFY(!dialog.prgImporta->isVisible());
}

void TestAddressImport::dialogDamagedFileMessage_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    QTest::newRow("quote never closed")
            << QByteArray("Nome;Rigo01\n\"Rossi;Via\n")
            << QStringLiteral("Attenzione: il file selezionato è danneggiato e non può essere importato.");
    QTest::newRow("binary") << QByteArray("\x7F"
                                          "ELF\x02\x01\x01\0\0\0\0\0\0\0\0\0",
                                          16)
                            << QStringLiteral("Attenzione: il file selezionato non è un file CSV o vCard.");
    QTest::newRow("empty") << QByteArray() << QStringLiteral("Attenzione: il file selezionato è vuoto.");
    QTest::newRow("vCard cut short")
            << QByteArray("BEGIN:VCARD\nVERSION:3.0\nFN:Anna\n")
            << QStringLiteral("Attenzione: il file selezionato è danneggiato e non può essere importato.");
}

void TestAddressImport::dialogDamagedFileMessage()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    DialogFixture f;
    TfrmImportaSchede dialog(*f.window);
    // A good file first: a bad one afterwards empties the dialog.
    QVERIFY(dialog.setFile(f.write(QStringLiteral("buono.csv"), "Nome;Rigo01\nAnna;Via Po\n")));
    QVERIFY(dialog.btnImporta->isEnabled());
    f.messages.clear();
    QVERIFY(!dialog.setFile(f.write(QStringLiteral("cattivo.csv"), bytes)));
    QCOMPARE(f.messages.count(), 1);
    QVERIFY2(f.messages.last().text.startsWith(message), qPrintable(f.messages.last().text));
    QCOMPARE(int(f.messages.last().kind), int(ui::MessageKind::Warning));
    QCOMPARE(dialog.grdAnteprima->rowCount(), 0);
    QVERIFY(!dialog.btnImporta->isEnabled());
    dialog.btnImporta->click();
    QVERIFY(!QFileInfo::exists(f.archivePath()));
}

void TestAddressImport::dialogEscapeCloses()
{
    DialogFixture f;
    TfrmImportaSchede dialog(*f.window);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    QVERIFY(dialog.isVisible());
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
    // The toolbar button opens it.
    bool opened = false;
    QTimer::singleShot(0, qApp, [&] {
        if (auto *shown = qobject_cast<TfrmImportaSchede *>(QApplication::activeModalWidget())) {
            opened = true;
            shown->reject();
        }
    });
    f.window->cmdImporta->click();
    QVERIFY(opened);
}

void TestAddressImport::dialogHeaderRowChoice()
{
    DialogFixture f;
    TfrmImportaSchede dialog(*f.window);
    // No known column names: every row is data and the columns are the lines.
    QVERIFY(dialog.setFile(f.write(QStringLiteral("senza.csv"), "Ragione;Strada\nRossi;Via Po 1\n")));
    QVERIFY(!dialog.chkIntestazione->isChecked());
    QCOMPARE(dialog.grdAnteprima->horizontalHeaderItem(0)->text(), QStringLiteral("Colonna 1"));
    QCOMPARE(dialog.cards().size(), 2);
    QCOMPARE(cardLine(dialog.cards().first().card), QStringLiteral("Ragione||Ragione|Strada|||||"));
    // The user says the first row names the columns.
    dialog.chkIntestazione->setChecked(true);
    QCOMPARE(dialog.grdAnteprima->horizontalHeaderItem(1)->text(), QStringLiteral("Strada"));
    QCOMPARE(dialog.grdAnteprima->rowCount(), 2);
    QCOMPARE(dialog.cards().size(), 0); // nothing is mapped now
    dialog.setColumnTarget(0, TSchedaIndirizzo::Rigo01);
    dialog.setColumnTarget(1, TSchedaIndirizzo::Rigo02);
    QCOMPARE(qobject_cast<QComboBox *>(dialog.grdAnteprima->cellWidget(0, 1))->currentText(), QStringLiteral("Rigo02"));
    QCOMPARE(cardLine(dialog.cards().first().card), QStringLiteral("Rossi||Rossi|Via Po 1|||||"));
    // A vCard has no header row to choose.
    QVERIFY(dialog.setFile(f.write(QStringLiteral("a.vcf"), "BEGIN:VCARD\nFN:Anna\nEND:VCARD\n")));
    QVERIFY(!dialog.chkIntestazione->isEnabled());
    QCOMPARE(dialog.lblSeparatore->text(), QStringLiteral("Formato: vCard"));
}

QTEST_MAIN(TestAddressImport)
#include "tst_addressimport.moc"
