// The CSV and vCard readers, the encodings, the proposed column mapping and
// the cards as the archive keeps them, on their own: no windows.
#include "ImportFiles.h"
#include "TestFiles.h"
#include "cardimport/CardAppender.h"
#include "cardimport/CsvReader.h"
#include "cardimport/ImportFile.h"
#include "cardimport/VCardReader.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace tavolux;

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
    void notTextOrDamaged_data();
    void notTextOrDamaged();
    void cardsAsStored_data();
    void cardsAsStored();
    void largeTableBuiltInTwoHalves();
};
void TestCardImport::csvRecords_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("rows");
    QTest::newRow("semicolon") << QByteArray("a;b;c\n1;2;3\n") << ";"
                               << "a|b|c / 1|2|3";
    QTest::newRow("comma, CR LF, no final break") << QByteArray("a,b\r\n1,2") << ","
                                                  << "a|b / 1|2";
    QTest::newRow("tab") << QByteArray("a\tb\n1\t2,5\n") << "\t"
                         << "a|b / 1|2,5";
    QTest::newRow("more commas than semicolons in the first record") << QByteArray("a,b,c;d\n") << ","
                                                                     << "a|b|c;d";
    QTest::newRow("separators inside quotes do not count") << QByteArray("\"a;b;c\",d\n") << ","
                                                           << "a;b;c|d";
    QTest::newRow("quoted separator, quote and line break")
            << QByteArray("nome;via\n\"Rossi; Mario\";\"Via \"\"Roma\"\"\n scala B\"\n") << ";"
            << "nome|via / Rossi; Mario|Via \"Roma\"\n scala B";
    QTest::newRow("empty fields") << QByteArray("a;;c\n;;\n") << ";"
                                  << "a||c / ||";
    QTest::newRow("blank lines are no records") << QByteArray("a;b\n\n\r\n1;2\n\n") << ";"
                                                << "a|b / 1|2";
    QTest::newRow("old Mac line ends") << QByteArray("a;b\r1;2\r") << ";"
                                       << "a|b / 1|2";
    QTest::newRow("empty quoted field") << QByteArray("\"\";x\n") << ";"
                                        << "|x";
    QTest::newRow("quote inside an unquoted field stays") << QByteArray("5\" disk;b\n") << ";"
                                                          << "5\" disk|b";
    QTest::newRow("single column") << QByteArray("Rossi\nBianchi\n") << ","
                                   << "Rossi / Bianchi";
    QTest::newRow("long fields: quotes, separators and letters past eight bytes")
            << QStringLiteral("Via Giuseppe Garibaldi 12345;\"Società \"\"Rossi\"\" e figli; Milano centro\";"
                              "àèìòù e altre parole;\"primo rigo\r\nsecondo rigo lungo\"\r\n").toUtf8()
            << ";"
            << "Via Giuseppe Garibaldi 12345|Società \"Rossi\" e figli; Milano centro|àèìòù e altre parole|"
               "primo rigo\r\nsecondo rigo lungo";
    QTest::newRow("UTF-8 and Windows-1252 records side by side")
            << QByteArray("Citt\xC3\xA0;1\nCitt\xE0;2\n") << ";"
            << "Città|1 / Città|2";
}

void TestCardImport::csvRecords()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, separator);
    QFETCH(QString, rows);
    const char sep = CsvReader::detectSeparator(text);
    QCOMPARE(QString(QLatin1Char(sep)), separator);
    CsvReader reader;
    TextRows read;
    QVERIFY2(reader.read(text, 0, sep, read, 1000, 1 << 20) == CsvReader::Result::Ok, qPrintable(reader.errorString()));
    QCOMPARE(rowsText(read), rows);
}

void TestCardImport::encodingDetected_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("encoding");
    QTest::addColumn<QString>("lastField");
    QTest::addColumn<int>("otherWay");
    const QString text = QStringLiteral("Città;Perché\n");
    QTest::newRow("UTF-8") << text.toUtf8() << int(TextEncoding::Utf8) << "Perché" << 0;
    QTest::newRow("UTF-8 with mark") << QByteArray("\xEF\xBB\xBF") + text.toUtf8() << int(TextEncoding::Utf8Bom)
                                     << "Perché" << 0;
    QTest::newRow("UTF-16 LE with mark") << utf16le(text) << int(TextEncoding::Utf16LE) << "Perché" << 0;
    QTest::newRow("UTF-16 LE without mark") << utf16le(text, false) << int(TextEncoding::Utf16LE) << "Perché" << 0;
    QTest::newRow("UTF-16 BE with mark") << utf16be(text) << int(TextEncoding::Utf16BE) << "Perché" << 0;
    QTest::newRow("Windows-1252") << cp1252(QStringLiteral("Città – €;x\n")) << int(TextEncoding::Windows1252) << "x"
                                  << 0;
    QTest::newRow("plain ASCII") << QByteArray("Rossi;Via Roma\n") << int(TextEncoding::Utf8) << "Via Roma" << 0;
    // One wrong byte in the last row garbles nothing else: that row alone is Windows-1252.
    QTest::newRow("UTF-8 with one Windows-1252 row")
            << (QStringLiteral("Nome;Città\nNiccolò;Forlì\nLuca;Perù\n").toUtf8() + QByteArray("Giò;Cant\xF9\n"))
            << int(TextEncoding::Utf8) << "Cantù" << 1;
    QTest::newRow("a truncated UTF-8 sequence alone") << QByteArray("Citt\xC3;x\n") << int(TextEncoding::Windows1252)
                                                      << "x" << 0;
}

void TestCardImport::encodingDetected()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, encoding);
    QFETCH(QString, lastField);
    QFETCH(int, otherWay);
    ImportTable table;
    const ImportError failure = importfile::parse(bytes, table);
    QVERIFY2(!failure, qPrintable(failure.message()));
    QCOMPARE(int(table.encoding), encoding);
    QVERIFY(table.encodingValid);
    QCOMPARE(table.row(table.rows.size() - 1).last(), lastField);
    QCOMPARE(table.otherWayLines, otherWay);
    // Every row that was read the other way says so; the first row never is, here.
    QVERIFY(!table.rows.readOtherWay(0));
    QCOMPARE(table.rows.readOtherWay(table.rows.size() - 1), otherWay > 0);
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
    // No CHARSET, as older mail programs write it: each value decoded on its own.
    QTest::newRow("2.1: quoted-printable without CHARSET in a UTF-8 file")
            << QByteArray("BEGIN:VCARD\nVERSION:2.1\nN;ENCODING=QUOTED-PRINTABLE:Sant=E0;Mario\n"
                          "ORG;ENCODING=QUOTED-PRINTABLE:Caff=C3=A8 Nicol=C3=B2\nNOTE:gi\xC3\xA0 cliente\nEND:VCARD\n")
            << QStringList{"Mario Santà||Mario Santà|Caffè Nicolò|||||già cliente"};
    QTest::newRow("2.1: a UTF-8 value in a Windows-1252 file")
            << QByteArray("BEGIN:VCARD\nVERSION:2.1\nFN;CHARSET=UTF-8:Nicol\xC3\xB2\nNOTE:Caff\xE8\nEND:VCARD\n")
            << QStringList{"Nicolò||Nicolò||||||Caffè"};
    QTest::newRow("4.0: organisation only, preferred address, group names")
            << QByteArray("BEGIN:VCARD\nVERSION:4.0\nitem1.ORG:Ferramenta Verdi\n"
                          "ADR;TYPE=home:;;Via Casa 1;Como;CO;22100;\n"
                          "item2.ADR;PREF=1;LABEL=\"Via Lavoro 2\\n20100 Milano\":;;Via Lavoro "
                          "2;Milano;MI;20100;IT\nEND:VCARD\n")
            << QStringList{"Ferramenta Verdi||Ferramenta Verdi|Via Lavoro 2|20100 Milano (MI)||||"};
    QTest::newRow("3.0: a work address before a home one, whichever comes first")
            << QByteArray("BEGIN:VCARD\nVERSION:3.0\nFN:Anna\nADR;TYPE=HOME:;;Via Casa 1;Como;;22100;\n"
                          "ADR;TYPE=WORK:;;Via Ufficio 2;Lecco;LC;23900;\nEND:VCARD\n")
            << QStringList{"Anna||Anna|Via Ufficio 2|23900 Lecco (LC)||||"};
    QTest::newRow("3.0: a street given as a list, the first ORG, a tab before a line break")
            << QByteArray("BEGIN:VCARD\nVERSION:3.0\nFN:John Smith\nORG:Acme\nORG:Other\n"
                          "ADR:;;Silicon Alley 5,;New York;NY;10001;USA\nNOTE:riga uno\t\\nriga due\nEND:VCARD\n")
            << QStringList{"John Smith||John Smith|Acme|Silicon Alley 5|10001 New York (NY)|USA||riga uno, riga due"};
    QTest::newRow("2.1: a nested AGENT card is skipped")
            << QByteArray("BEGIN:VCARD\nVERSION:2.1\nFN:Capo\nAGENT:\nBEGIN:VCARD\nVERSION:2.1\nFN:Segretaria\n"
                          "END:VCARD\nNOTE:dopo\nEND:VCARD\n")
            << QStringList{"Capo||Capo||||||dopo"};
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
    const ImportPlan plan = importfile::plan(table, table.proposed);
    QCOMPARE(cardLines(importfile::cards(plan)), cards);
    QVERIFY(!plan.lostCharacters.contains(QChar(0xFFFD)));
}

void TestCardImport::proposedMapping_data()
{
    QTest::addColumn<QString>("header");
    QTest::addColumn<QString>("mapping");
    QTest::newRow("the card's own fields")
            << "Nome;Tipo;Rigo01;Rigo02;Rigo03;Rigo04;Rigo05;Rigo06;Note"
            << "Nome etichetta=Nome; Tipo=Tipo; Rigo 1=Rigo01; Rigo 2=Rigo02; Rigo 3=Rigo03; Rigo 4=Rigo04; "
               "Rigo 5=Rigo05; Rigo 6=Rigo06; Note=Note";
    QTest::newRow("the program's own export")
            << "Nome etichetta;Tipo;Indirizzo (rigo 1);Indirizzo (rigo 2);Indirizzo (rigo 3);Indirizzo (rigo 4);"
               "Indirizzo (rigo 5);Indirizzo (rigo 6);Note"
            << "Nome etichetta=Nome etichetta; Tipo=Tipo; Rigo 1=Indirizzo (rigo 1); Rigo 2=Indirizzo (rigo 2); "
               "Rigo 3=Indirizzo (rigo 3); Rigo 4=Indirizzo (rigo 4); Rigo 5=Indirizzo (rigo 5); "
               "Rigo 6=Indirizzo (rigo 6); Note=Note";
    QTest::newRow("Italian names") << "Nome;Cognome;Società;Indirizzo;CAP;Città;Provincia;Nazione;Note;E-mail"
                                   << "Rigo 1=Nome+Cognome; Rigo 2=Società; Rigo 3=Indirizzo; "
                                      "Rigo 4=CAP+Città+Provincia; Rigo 5=Nazione; Note=Note";
    QTest::newRow("a name column and an address")
            << "Nominativo;Via;CAP;Località;Categoria"
            << "Tipo=Categoria; Rigo 1=Nominativo; Rigo 2=Via; Rigo 3=CAP+Località";
    QTest::newRow("Outlook: both addresses in the same lines")
            << "Title;First Name;Middle Name;Last Name;Suffix;Company;Department;Job Title;Business Street;"
               "Business Street 2;Business City;Business State;Business Postal Code;Business Country/Region;"
               "Home Street;Home City;Notes"
            << "Rigo 1=First Name+Middle Name+Last Name; Rigo 2=Company; Rigo 3=Business Street+Home Street; "
               "Rigo 4=Business Street 2; Rigo 5=Business City+Business State+Business Postal Code+Home City; "
               "Rigo 6=Business Country/Region; Note=Notes";
    QTest::newRow("Thunderbird: Address 2")
            << "First Name,Last Name,Display Name,Nickname,Primary Email,Home Address,Home Address 2,Home City,"
               "Home State,Home ZipCode,Home Country,Work Address,Work City,Organization,Notes"
            << "Nome etichetta=Display Name; Rigo 1=First Name+Last Name; Rigo 2=Organization; "
               "Rigo 3=Home Address+Work Address; Rigo 4=Home Address 2; "
               "Rigo 5=Home City+Home State+Home ZipCode+Work City; Rigo 6=Home Country; Note=Notes";
    QTest::newRow("Google Contacts, older layout")
            << "Name,Given Name,Additional Name,Family Name,Notes,Organization 1 - Name,Address 1 - Formatted,"
               "Address 1 - Street,Address 1 - City,Address 1 - Region,Address 1 - Postal Code,Address 1 - Country"
            << "Nome etichetta=Name; Rigo 1=Given Name+Additional Name+Family Name; Rigo 2=Organization 1 - Name; "
               "Rigo 3=Address 1 - Street; Rigo 4=Address 1 - City+Address 1 - Region+Address 1 - Postal Code; "
               "Rigo 5=Address 1 - Country; Note=Notes";
    QTest::newRow("Google Contacts: extended address, PO box on the street's line")
            << "First Name,Phonetic First Name,Last Name,Organization Name,Address 1 - Label,Address 1 - Street,"
               "Address 1 - City,Address 1 - PO Box,Address 1 - Region,Address 1 - Postal Code,Address 1 - Country,"
               "Address 1 - Extended Address"
            << "Rigo 1=First Name+Last Name; Rigo 2=Organization Name; Rigo 3=Address 1 - Street+Address 1 - PO Box; "
               "Rigo 4=Address 1 - Extended Address; "
               "Rigo 5=Address 1 - City+Address 1 - Region+Address 1 - Postal Code; Rigo 6=Address 1 - Country";
    QTest::newRow("Outlook in Italian") << "Nome;Cognome;Società;Via (uff.);Città (uff.);Provincia (uff.);CAP "
                                           "(uff.);Paese/area geografica (uff.);Note"
                                        << "Rigo 1=Nome+Cognome; Rigo 2=Società; Rigo 3=Via (uff.); "
                                           "Rigo 4=Città (uff.)+Provincia (uff.)+CAP (uff.); "
                                           "Rigo 5=Paese/area geografica (uff.); Note=Note";
    QTest::newRow("Outlook in Italian: work and home, second and third street lines")
            << "Nome;Cognome;Società;Via (uff.);Via (uff.) 2;Via (uff.) 3;Città (uff.);CAP (uff.);Via (ab.);"
               "Via (ab.) 2;Città (ab.);CAP (ab.);Paese/area geografica (ab.)"
            << "Rigo 1=Nome+Cognome; Rigo 2=Società; Rigo 3=Via (uff.)+Via (uff.) 3+Via (ab.); "
               "Rigo 4=Via (uff.) 2+Via (ab.) 2; Rigo 5=Città (uff.)+CAP (uff.)+Città (ab.)+CAP (ab.); "
               "Rigo 6=Paese/area geografica (ab.)";
    QTest::newRow("nothing known") << "Colore,Peso,Prezzo"
                                   << "";
}

void TestCardImport::proposedMapping()
{
    QFETCH(QString, header);
    QFETCH(QString, mapping);
    const char separator = CsvReader::detectSeparator(header.toUtf8());
    const QStringList names = header.split(QLatin1Char(separator));
    QCOMPARE(mappingText(names, columnmapping::propose(names)), mapping);
    QCOMPARE(columnmapping::looksLikeHeader(names), !mapping.isEmpty());
}

void TestCardImport::notTextOrDamaged_data()
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
    // Any byte is a character of Windows-1252: these still are no text.
    QTest::newRow("ten 0xFF bytes") << QByteArray(10, '\xFF') << int(ImportError::Kind::NotText);
    QTest::newRow("4096 0xFF bytes") << QByteArray(4096, '\xFF') << int(ImportError::Kind::NotText);
    QByteArray high(4096, '\0');
    QRandomGenerator random(30);
    for (char &c : high)
        c = char(0x80 + random.bounded(0x80));
    QTest::newRow("random bytes above 0x7F") << high << int(ImportError::Kind::NotText);
    QTest::newRow("a control character") << QByteArray("Nome;Rigo01\nRossi\x01;Via\n")
                                         << int(ImportError::Kind::NotText);
    QTest::newRow("a line of two megabytes") << QByteArray(2 << 20, 'a') << int(ImportError::Kind::NotText);
    QTest::newRow("a picture") << literalBytes("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x10")
                               << int(ImportError::Kind::NotText);
    QTest::newRow("a spreadsheet archive")
            << literalBytes("PK\x03\x04\x14\0\x06\0\x08\0\0\0!\0") << int(ImportError::Kind::NotText);
}

void TestCardImport::notTextOrDamaged()
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
    QVERIFY(failure.message().contains(QStringLiteral("\r\n\r\n"))); // the fact, then the remedy
    QVERIFY(table.rows.isEmpty());
    ImportTable missing;
    QCOMPARE(int(importfile::load(dir.filePath(QStringLiteral("manca.csv")), missing).kind),
             int(ImportError::Kind::Unreadable));
}

// ------------------------------------- files as the address books write them

void TestCardImport::cardsAsStored_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("cards");
    QTest::addColumn<QString>("lost");
    QTest::addColumn<int>("cut");

    const QString csv = QStringLiteral("Nome;Tipo;Rigo01;Rigo02;Rigo03;Note\r\n"
                                       "Rossi Mario;Cliente;Via Garibaldi 12;20121 Milano (MI);;è chiuso il lunedì\r\n"
                                       "\"Bianchi; Lucia\";;\"Corso \"\"Italia\"\" 5\";;;\r\n");
    const QStringList expected{"Rossi Mario|Cliente|Via Garibaldi 12|20121 Milano (MI)|||||è chiuso il lunedì",
                               "Bianchi; Lucia||Corso \"Italia\" 5||||||"};
    QTest::newRow("UTF-8 with mark, semicolons") << QByteArray("\xEF\xBB\xBF") + csv.toUtf8() << expected << "" << 0;
    QTest::newRow("UTF-8 without mark, tabs")
            << QString(csv)
                       .replace(QLatin1Char(';'), QLatin1Char('\t'))
                       .replace(QStringLiteral("Bianchi\t Lucia"), QStringLiteral("Bianchi; Lucia"))
                       .toUtf8()
            << expected << "" << 0;
    QTest::newRow("UTF-16 LE with mark") << utf16le(csv) << expected << "" << 0;
    QTest::newRow("Windows-1252, commas")
            << cp1252(QStringLiteral("Nome,Rigo01,Rigo02\nCaffè – Bar,\"Via Roma, 1\",€ 5\n"))
            << QStringList{"Caffè – Bar||Via Roma, 1|€ 5|||||"} << "" << 0;
    QTest::newRow("line breaks inside a quoted field, no name")
            << QByteArray("Rigo01,Rigo02\n\"Studio Rossi\r\nsecondo piano\",\"20121\nMilano\"\n")
            << QStringList{"Studio Rossi, secondo piano||Studio Rossi, secondo piano|20121, Milano|||||"} << "" << 0;
    QTest::newRow("blank and empty rows are no cards, blanks trimmed")
            << QByteArray("Nome;Rigo01\n;\n\n   ;  Via Roma 1  \n") << QStringList{"Via Roma 1||Via Roma 1||||||"}
            << "" << 0;
    QTest::newRow("300-character fields are cut to 250")
            << (QStringLiteral("Nome;Rigo01\n") + repeated(QStringLiteral("n"), 300) + QLatin1Char(';')
                + repeated(QStringLiteral("àbcdefghij"), 30) + QLatin1Char('\n'))
                       .toUtf8()
            << QStringList{repeated(QStringLiteral("n"), 250) + "||" + repeated(QStringLiteral("àbcdefghij"), 25)
                           + "||||||"}
            << "" << 1;
    QTest::newRow("characters outside Windows-1252 become ?")
            << QStringLiteral("Nome;Rigo01\nŁukasz Ōta;Ulica Świętego 😀\n").toUtf8()
            << QStringList{"?ukasz ?ta||Ulica ?wi?tego ?||||||"} << "ŁŌŚę😀" << 0;
    // A broken UTF-16 unit reads as U+FFFD: stored as "?", never listed as a lost character.
    QTest::newRow("a broken UTF-16 unit") << utf16le(QStringLiteral("Nome;Rigo01\nAnna;Via ")) + QByteArray("\x00\xD8", 2)
                                                     + utf16le(QStringLiteral(" 1\n"), false)
                                          << QStringList{"Anna||Via ? 1||||||"} << "" << 0;
    QTest::newRow("no header: the columns are the lines, packed")
            << QByteArray("Rossi Mario;;Via Roma 1;;00100 Roma\n")
            << QStringList{"Rossi Mario||Rossi Mario|Via Roma 1|00100 Roma||||"} << "" << 0;
    QTest::newRow("postal code after the town, Italy left out")
            << QStringLiteral("Nome;Città;Provincia;CAP;Paese;Via\nRossi;Città di Castello;PG;06012;ITALIA;Via Roma 1\n"
                              "Bianchi;Forlì;FC;47121;it;Corso Po 2\nMüller;München;;80331;Germania;Marienplatz 1\n")
                       .toUtf8()
            << QStringList{"Rossi||Rossi|Via Roma 1|06012 Città di Castello (PG)||||",
                           "Bianchi||Bianchi|Corso Po 2|47121 Forlì (FC)||||",
                           "Müller||Müller|Marienplatz 1|80331 München|Germania|||"}
            << "" << 0;
    QTest::newRow("vCard 2.1 in Windows-1252 with quoted-printable")
            << cp1252(QStringLiteral("BEGIN:VCARD\nVERSION:2.1\nN:Verdi;Giò\nORG:Caffè\n"
                                     "NOTE;ENCODING=QUOTED-PRINTABLE:Pagamento a 30 gg =E8 ok\nEND:VCARD\n"))
            << QStringList{"Giò Verdi||Giò Verdi|Caffè|||||Pagamento a 30 gg è ok"} << "" << 0;
}

void TestCardImport::cardsAsStored()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, cards);
    QFETCH(QString, lost);
    QFETCH(int, cut);
    QTemporaryDir dir;
    const ProgramFolder folder(dir.path());
    const QString path = dir.filePath(QStringLiteral("rubrica.csv"));
    writeBytes(path, bytes);
    ImportTable table;
    const ImportError failure = importfile::load(path, table);
    QVERIFY2(!failure, qPrintable(failure.message()));
    const ImportPlan plan = importfile::plan(table, table.proposed);
    QCOMPARE(plan.lostCharacters, lost);
    QCOMPARE(plan.cutCards, qint64(cut));
    const AppendResult result = importfile::appendPlanned(folder, plan);
    QCOMPARE(int(result.status), int(AppendResult::Status::Done));
    QCOMPARE(result.firstPosition, qint64(1));
    QCOMPARE(archiveCards(dir.path()), cards);
    // Each record is exactly what storing its card gives, zeros after each text.
    QByteArray records;
    for (const QString &card : cards)
        records += recordOf(card);
    QCOMPARE(fileBytes(folder.file(AddressArchive::fileName())), records);
}

void TestCardImport::largeTableBuiltInTwoHalves()
{
    // Large enough to be built in two halves at once: the counts, the
    // characters and the order are those of one pass.
    const int rows = 9000;
    QByteArray csv("Nome;Via (uff.);Via (ab.)\n");
    int skipped = 0, lost = 0;
    QStringList expected;
    for (int i = 1; i <= rows; ++i) {
        if (i % 3 == 0) {
            csv += ";;\n";
            ++skipped;
            continue;
        }
        const QString name = i > rows / 2 && i % 5 == 0 ? QStringLiteral("Ō %1").arg(i)
                             : i % 7 == 0               ? QStringLiteral("Ł %1").arg(i)
                                                        : QStringLiteral("N %1").arg(i);
        lost += name.startsWith(QLatin1Char('N')) ? 0 : 1;
        const QString street = i % 2 ? QStringLiteral("Via Ufficio %1").arg(i) : QString();
        csv += QStringLiteral("%1;%2;Via Casa %3\n").arg(name, street).arg(i).toUtf8();
        QString stored = name;
        stored.replace(QChar(0x14C), QLatin1Char('?')).replace(QChar(0x141), QLatin1Char('?'));
        expected << QStringLiteral("%1||%1|%2|||||").arg(stored, street.isEmpty() ? QStringLiteral("Via Casa %1").arg(i) : street);
    }
    ImportTable table;
    QVERIFY(!importfile::parse(csv, table));
    const ImportPlan plan = importfile::plan(table, table.proposed);
    QCOMPARE(plan.records.size(), 2);
    QCOMPARE(plan.cards, qint64(rows - skipped));
    QCOMPARE(plan.skippedRows, qint64(skipped));
    QCOMPARE(plan.cardsWithLostCharacters, qint64(lost));
    QCOMPARE(plan.lostCharacters, QStringLiteral("ŁŌ"));
    QCOMPARE(groupsText(plan), QStringLiteral("ufficio %1, abitazione %2").arg((rows - skipped) / 2).arg((rows - skipped) / 2));
    QCOMPARE(cardLines(importfile::cards(plan)), expected);
}

// ------------------------------------------------------------ batch append


QTEST_GUILESS_MAIN(TestCardImport)
#include "tst_cardimport.moc"
