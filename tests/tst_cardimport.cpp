// The CSV and vCard readers, the encodings, the proposed column mapping and
// the cards as the archive keeps them, on their own: no windows.
#include "ImportFiles.h"
#include "TestFiles.h"
#include "cardimport/CardAppender.h"
#include "cardimport/CsvReader.h"
#include "cardimport/ImportFile.h"
#include "cardimport/VCardReader.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace tavolux;

namespace {

QString rowsText(const QList<QStringList> &rows)
{
    QStringList lines;
    for (const QStringList &row : rows)
        lines << row.join(QLatin1Char('|'));
    return lines.join(QStringLiteral(" / "));
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

} // namespace

class TestCardImport : public QObject
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
};

void TestCardImport::csvRecords_data()
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

void TestCardImport::csvRecords()
{
    QFETCH(QString, text);
    QFETCH(QString, separator);
    QFETCH(QString, rows);
    QCOMPARE(CsvReader::detectSeparator(text), separator.at(0));
    CsvReader reader;
    QVERIFY2(reader.read(text, separator.at(0)), qPrintable(reader.errorString()));
    QCOMPARE(rowsText(reader.rows()), rows);
}

void TestCardImport::encodingDetected_data()
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

void TestCardImport::encodingDetected()
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

void TestCardImport::vcardFields_data()
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

void TestCardImport::vcardFields()
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

void TestCardImport::proposedMapping_data()
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

void TestCardImport::proposedMapping()
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

void TestCardImport::unreadableFiles_data()
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

void TestCardImport::unreadableFiles()
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

void TestCardImport::importedAndReadBack_data()
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

void TestCardImport::importedAndReadBack()
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

QTEST_GUILESS_MAIN(TestCardImport)
#include "tst_cardimport.moc"
