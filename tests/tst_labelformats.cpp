// The label formats as data: the catalogue reader on damaged and odd files,
// equivalents, units and layouts, the search, the checks of an own format
// and what Impostazioni.ini keeps of them.
#include "labelformats/LabelCatalogue.h"
#include "labelformats/LabelFormatSettings.h"
#include "labelformats/LabelProduct.h"
#include "platform/IniFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace tavolux;

Q_DECLARE_METATYPE(tavolux::LabelProduct::Layout)

namespace {

const char *const kRealFolder = "/usr/share/libglabels-3.0/templates";

QByteArray templates(const QByteArray &body)
{
    return "<?xml version=\"1.0\"?>\n<Glabels-templates>\n" + body + "\n</Glabels-templates>\n";
}

// One rectangular template of 3 x 7 labels, with the label's and the
// layout's attributes given.
QByteArray rectangle(const QByteArray &part, const QByteArray &label, const QByteArray &layout,
                     const QByteArray &size = "size=\"A4\"")
{
    return "<Template brand=\"Test\" part=\"" + part + "\" " + size + " _description=\"Address\">"
           "<Meta category=\"label\"/><Label-rectangle id=\"0\" " + label + ">"
           "<Markup-margin size=\"1mm\"/><Layout " + layout + "/></Label-rectangle></Template>";
}

const QByteArray kGoodLabel = "width=\"63.5mm\" height=\"38.1mm\" round=\"2mm\"";
const QByteArray kGoodLayout = "nx=\"3\" ny=\"7\" x0=\"7.2mm\" y0=\"15.1mm\" dx=\"66mm\" dy=\"38.1mm\"";

LabelCatalogue parseOne(const QByteArray &content, const QByteArray &papers = QByteArray())
{
    return LabelCatalogue::parse({{QStringLiteral("test-templates.xml"), content}}, papers);
}

bool realCatalogue()
{
    return QFileInfo::exists(QString::fromLatin1(kRealFolder) + QStringLiteral("/paper-sizes.xml"));
}

} // namespace

class TestLabelFormats : public QObject
{
    Q_OBJECT
private slots:
    void damagedFiles_data();
    void damagedFiles();
    void units_data();
    void units();
    void equivalents();
    void layoutsAndRolls();
    void folders();
    void fuzzCorpus();
    void search_data();
    void search();
    void ownChecks_data();
    void ownChecks();
    void settings();
    void realCatalogueRead();
};

void TestLabelFormats::damagedFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("products");
    // Empty: no problem listed; otherwise a piece of the reason.
    QTest::addColumn<QString>("problem");

    const QByteArray good = rectangle("G1", kGoodLabel, kGoodLayout);
    QTest::newRow("sound") << templates(good) << 1 << QString();
    QTest::newRow("empty file") << QByteArray() << 0 << "file vuoto";
    QTest::newRow("not XML") << QByteArray("\x00\xff garbage <<", 14) << 0 << "XML non valido";
    QTest::newRow("cut off: the whole file is skipped")
        << templates(good).left(templates(good).size() - 40) << 0 << "XML non valido";
    QTest::newRow("bad number") << templates(good + rectangle("B1", "width=\"abcmm\" height=\"38.1mm\"", kGoodLayout))
                                << 1 << "misura dell'etichetta non valida (Test B1)";
    QTest::newRow("negative size") << templates(rectangle("B2", "width=\"-63.5mm\" height=\"38.1mm\"", kGoodLayout))
                                   << 0 << "misura dell'etichetta";
    QTest::newRow("NaN and infinity") << templates(rectangle("B3", "width=\"nan\" height=\"1e999mm\"", kGoodLayout))
                                      << 0 << "misura dell'etichetta";
    QTest::newRow("missing height") << templates(rectangle("B4", "width=\"63.5mm\"", kGoodLayout)) << 0
                                    << "misura dell'etichetta";
    QTest::newRow("missing brand")
        << templates("<Template part=\"X\" size=\"A4\"><Label-rectangle width=\"10mm\" height=\"10mm\">"
                     "<Layout nx=\"1\" ny=\"1\" x0=\"0\" y0=\"0\"/></Label-rectangle></Template>")
        << 0 << "marca o codice mancante";
    QTest::newRow("layout without columns")
        << templates(rectangle("B5", kGoodLabel, "ny=\"7\" x0=\"7.2mm\" y0=\"15.1mm\" dx=\"66mm\" dy=\"38.1mm\"")) << 0
        << "disposizione non valida";
    QTest::newRow("a million columns")
        << templates(rectangle("B6", kGoodLabel, "nx=\"1000000\" ny=\"7\" x0=\"0\" y0=\"0\" dx=\"1mm\" dy=\"1mm\""))
        << 0 << "disposizione non valida";
    QTest::newRow("no layout") << templates("<Template brand=\"T\" part=\"B7\" size=\"A4\"><Label-rectangle "
                                            "width=\"10mm\" height=\"10mm\"/></Template>")
                               << 0 << "nessuna disposizione";
    QTest::newRow("labels off the page")
        << templates(rectangle("B8", kGoodLabel, "nx=\"4\" ny=\"7\" x0=\"7.2mm\" y0=\"15.1mm\" dx=\"66mm\" dy=\"38.1mm\""))
        << 0 << "bordo destro";
    QTest::newRow("overlapping labels")
        << templates(rectangle("B9", kGoodLabel, "nx=\"3\" ny=\"7\" x0=\"0\" y0=\"0\" dx=\"30mm\" dy=\"38.1mm\"")) << 0
        << "si sovrappongono";
    // The makers' figures are rounded: a few tenths over the edge is the sheet as sold.
    QTest::newRow("rounded figures, half a millimetre over")
        << templates(rectangle("G2", kGoodLabel, "nx=\"3\" ny=\"7\" x0=\"7.2mm\" y0=\"15.1mm\" dx=\"66mm\" dy=\"37.8mm\"")
                     + rectangle("G3", kGoodLabel, "nx=\"3\" ny=\"7\" x0=\"10.5mm\" y0=\"15.1mm\" dx=\"66mm\" dy=\"38.1mm\""))
        << 2 << QString();
    QTest::newRow("unknown paper") << templates(rectangle("B10", kGoodLabel, kGoodLayout, "size=\"Papiro\"")) << 0
                                   << "formato di carta sconosciuto \"Papiro\"";
    QTest::newRow("Other without a page size")
        << templates(rectangle("B11", kGoodLabel, kGoodLayout, "size=\"Other\"")) << 0 << "misura della pagina";
    QTest::newRow("round and CD labels are not offered, silently")
        << templates("<Template brand=\"T\" part=\"R1\" size=\"A4\"><Label-round id=\"0\" radius=\"20mm\">"
                     "<Layout nx=\"2\" ny=\"2\" x0=\"0\" y0=\"0\" dx=\"50mm\" dy=\"50mm\"/></Label-round></Template>"
                     "<Template brand=\"T\" part=\"C1\" size=\"A4\"><Label-cd id=\"0\" radius=\"58mm\" hole=\"8mm\">"
                     "<Layout nx=\"1\" ny=\"2\" x0=\"0\" y0=\"0\" dx=\"0\" dy=\"120mm\"/></Label-cd></Template>" + good)
        << 1 << QString();
    QTest::newRow("equiv to a round label is not offered")
        << templates("<Template brand=\"T\" part=\"R1\" size=\"A4\"><Label-ellipse id=\"0\" width=\"40mm\" "
                     "height=\"20mm\"><Layout nx=\"1\" ny=\"1\" x0=\"0\" y0=\"0\"/></Label-ellipse></Template>"
                     "<Template brand=\"T\" part=\"R2\" equiv=\"R1\"/>")
        << 0 << QString();
    QTest::newRow("equiv loop")
        << templates("<Template brand=\"Test\" part=\"E1\" equiv=\"E2\"/><Template brand=\"Test\" part=\"E2\" "
                     "equiv=\"E3\"/><Template brand=\"Test\" part=\"E3\" equiv=\"E1\"/>" + good)
        << 1 << "equivalenze circolari (Test E1)";
    QTest::newRow("equiv to itself") << templates("<Template brand=\"Test\" part=\"E1\" equiv=\"E1\"/>") << 0
                                     << "equivalenze circolari";
    QTest::newRow("equiv missing") << templates("<Template brand=\"Test\" part=\"E1\" equiv=\"Nessuno\"/>") << 0
                                   << "equivalente \"Nessuno\" mancante";
    QTest::newRow("entity bomb")
        << QByteArray("<?xml version=\"1.0\"?><!DOCTYPE x [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;"
                      "&a;&a;&a;&a;\"><!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;"
                      "&c;&c;&c;\"><!ENTITY e \"&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;\">]><Glabels-templates><Template "
                      "brand=\"&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;\" part=\"x\"/></Glabels-templates>")
        << 0 << "XML non valido";
    QTest::newRow("the same part twice: the first counts")
        << templates(good + rectangle("G1", "width=\"10mm\" height=\"10mm\"", kGoodLayout)) << 1 << QString();
}

void TestLabelFormats::damagedFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(int, products);
    QFETCH(QString, problem);
    const LabelCatalogue catalogue = parseOne(content);
    QCOMPARE(catalogue.products().size(), products);
    if (problem.isEmpty()) {
        QVERIFY2(catalogue.problems().isEmpty(), qPrintable(catalogue.summary()));
    } else {
        QCOMPARE(catalogue.problems().size(), 1);
        QCOMPARE(catalogue.problems().first().file, QStringLiteral("test-templates.xml"));
        QVERIFY2(catalogue.problems().first().reason.contains(problem), qPrintable(catalogue.problems().first().reason));
    }
    for (const LabelProduct &p : catalogue.products()) {
        QCOMPARE(p.labelsPerSheet(), 21);
        QCOMPARE(p.labelMm, QSizeF(63.5, 38.1));
    }
}

void TestLabelFormats::units_data()
{
    QTest::addColumn<QByteArray>("width");
    QTest::addColumn<double>("mm");
    QTest::newRow("mm") << QByteArray("63.5mm") << 63.5;
    QTest::newRow("cm") << QByteArray("6.35cm") << 63.5;
    QTest::newRow("in") << QByteArray("2.5in") << 63.5;
    QTest::newRow("pt") << QByteArray("180pt") << 63.5;
    QTest::newRow("bare number is points") << QByteArray("180") << 63.5;
    QTest::newRow("pc") << QByteArray("15pc") << 63.5;
    QTest::newRow("blanks around") << QByteArray(" 63.5 mm ") << 63.5;
}

void TestLabelFormats::units()
{
    QFETCH(QByteArray, width);
    QFETCH(double, mm);
    const LabelCatalogue catalogue = parseOne(templates(
        rectangle("U1", "width=\"" + width + "\" height=\"1in\" round=\"9pt\"", "nx=\"1\" ny=\"1\" x0=\"1cm\" y0=\"2pc\"")));
    QCOMPARE(catalogue.products().size(), 1);
    const LabelProduct &p = catalogue.products().first();
    QVERIFY(qAbs(p.labelMm.width() - mm) < 1e-9);
    QVERIFY(qAbs(p.labelMm.height() - 25.4) < 1e-9);
    QVERIFY(qAbs(p.radiusMm - 3.175) < 1e-9);
    QVERIFY(qAbs(p.layouts.first().x0 - 10) < 1e-9);
    QVERIFY(qAbs(p.layouts.first().y0 - 25.4 / 6 * 2) < 1e-9);
}

void TestLabelFormats::equivalents()
{
    // A chain: E2 copies E1, E3 copies E2, across two files; brand matters.
    const QByteArray first = templates(rectangle("E1", kGoodLabel, kGoodLayout));
    const QByteArray second = templates("<Template brand=\"Test\" part=\"E3\" equiv=\"E2\" _description=\"Own words\"/>"
                                        "<Template brand=\"Test\" part=\"E2\" equiv=\"E1\"/>"
                                        "<Template brand=\"Other\" part=\"E4\" equiv=\"E1\"/>");
    const LabelCatalogue catalogue =
        LabelCatalogue::parse({{QStringLiteral("a.xml"), first}, {QStringLiteral("b.xml"), second}}, QByteArray());
    QCOMPARE(catalogue.products().size(), 3);
    const LabelProduct *e3 = catalogue.find(QStringLiteral("catalogo:Test:E3"));
    const LabelProduct *e2 = catalogue.find(QStringLiteral("catalogo:Test:E2"));
    QVERIFY(e3 && e2);
    QCOMPARE(e3->equivalentOf, QStringLiteral("E1"));
    QCOMPARE(e3->description, QStringLiteral("Own words"));
    QCOMPARE(e2->description, QStringLiteral("Address"));
    QCOMPARE(e3->labelRectsMm(), catalogue.find(QStringLiteral("catalogo:Test:E1"))->labelRectsMm());
    QVERIFY(!catalogue.find(QStringLiteral("catalogo:Other:E4")));
    QCOMPARE(catalogue.problems().size(), 1);
    QCOMPARE(catalogue.problems().first().file, QStringLiteral("b.xml"));
}

void TestLabelFormats::layoutsAndRolls()
{
    const QByteArray twoLayouts =
        "<Template brand=\"T\" part=\"L2\" size=\"US-Letter\"><Label-rectangle width=\"1in\" height=\"1in\">"
        "<Layout nx=\"2\" ny=\"1\" x0=\"0.5in\" y0=\"0.5in\" dx=\"1.5in\" dy=\"0\"/>"
        "<Layout nx=\"1\" ny=\"2\" x0=\"0.5in\" y0=\"2in\" dx=\"0\" dy=\"1.25in\"/></Label-rectangle></Template>";
    const QByteArray roll =
        "<Template brand=\"T\" part=\"DK\" size=\"Other\" width=\"82pt\" height=\"255pt\"><Label-rectangle "
        "width=\"82pt\" height=\"255pt\" round=\"4pt\"><Layout nx=\"1\" ny=\"1\" x0=\"0\" y0=\"0\" dx=\"0\" dy=\"0\"/>"
        "</Label-rectangle></Template>";
    const QByteArray postcard =
        "<Template brand=\"T\" part=\"PC\" size=\"Other\" width=\"100mm\" height=\"148mm\"><Label-rectangle "
        "width=\"90mm\" height=\"40mm\"><Layout nx=\"1\" ny=\"3\" x0=\"5mm\" y0=\"10mm\" dx=\"0\" dy=\"45mm\"/>"
        "</Label-rectangle></Template>";
    const QByteArray a5 = rectangle("A5", "width=\"60mm\" height=\"30mm\"", "nx=\"2\" ny=\"6\" x0=\"10mm\" y0=\"10mm\" "
                                    "dx=\"65mm\" dy=\"32mm\"", "size=\"A5\"");
    const QByteArray papers = "<Glabels-paper-sizes><Paper-size id=\"A5\" _name=\"A5\" width=\"148mm\" height=\"210mm\"/>"
                              "<Paper-size id=\"Bad\" width=\"x\" height=\"1mm\"/></Glabels-paper-sizes>";
    const LabelCatalogue catalogue = parseOne(templates(twoLayouts + roll + postcard + a5), papers);
    QCOMPARE(catalogue.products().size(), 4);

    const LabelProduct &two = catalogue.products()[0];
    QCOMPARE(two.labelsPerSheet(), 4);
    QCOMPARE(two.paperName, QStringLiteral("US Letter"));
    QCOMPARE(two.pageMm, QSizeF(215.9, 279.4));
    const QList<QRectF> rects = two.labelRectsMm();
    QCOMPARE(rects.size(), 4);
    // Layout after layout.
    QCOMPARE(rects[1].topLeft(), QPointF(2 * 25.4, 0.5 * 25.4));
    QCOMPARE(rects[3].topLeft(), QPointF(0.5 * 25.4, 3.25 * 25.4));

    const LabelProduct &dk = catalogue.products()[1];
    QVERIFY(dk.roll);
    QCOMPARE(dk.labelsPerSheet(), 1);
    QCOMPARE(dk.pageMm, dk.labelMm);
    QCOMPARE(dk.labelRectsMm(), QList<QRectF>{QRectF(QPointF(0, 0), dk.labelMm)});

    const LabelProduct &pc = catalogue.products()[2];
    QVERIFY(!pc.roll);
    QCOMPARE(pc.pageMm, QSizeF(100, 148));
    QCOMPARE(pc.labelsPerSheet(), 3);

    QCOMPARE(catalogue.products()[3].pageMm, QSizeF(148, 210));
    // The bad paper size is named; A4 and US-Letter are known without the file.
    QCOMPARE(catalogue.problems().size(), 1);
    QCOMPARE(catalogue.problems().first().file, QStringLiteral("paper-sizes.xml"));
}

void TestLabelFormats::folders()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // The folder given overrides the system's.
    QCOMPARE(LabelCatalogue::folders(dir.path()), QStringList{dir.path()});
    QVERIFY(LabelCatalogue::folders().first().endsWith(QStringLiteral("libglabels-3.0/templates")));

    // An empty folder, then one with a sound file, a huge one and a folder named .xml.
    QVERIFY(LabelCatalogue::read({dir.path()}).folder().isEmpty());
    QFile good(dir.filePath(QStringLiteral("good-templates.xml")));
    QVERIFY(good.open(QIODevice::WriteOnly));
    good.write(templates(rectangle("G1", kGoodLabel, kGoodLayout)));
    good.close();
    QFile huge(dir.filePath(QStringLiteral("huge-templates.xml")));
    QVERIFY(huge.open(QIODevice::WriteOnly));
    QVERIFY(huge.resize(LabelCatalogue::kMaxFileSize + 1)); // sparse: takes no room
    huge.close();
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.xml")));
    QElapsedTimer timer;
    timer.start();
    const LabelCatalogue catalogue = LabelCatalogue::read({dir.filePath(QStringLiteral("missing")), dir.path()});
    QVERIFY(timer.elapsed() < 1000);
    QCOMPARE(catalogue.folder(), QDir(dir.path()).absolutePath());
    QCOMPARE(catalogue.products().size(), 1);
    QCOMPARE(catalogue.problems().size(), 1);
    QCOMPARE(catalogue.problems().first().file, QStringLiteral("huge-templates.xml"));
    QVERIFY(catalogue.summary().contains(QStringLiteral("huge-templates.xml (file troppo grande")));
    QVERIFY(catalogue.summary().startsWith(QStringLiteral("Catalogo etichette: 1 formati da ")));
    QVERIFY(LabelCatalogue().summary().contains(QStringLiteral("non installato")));
}

void TestLabelFormats::fuzzCorpus()
{
    // Every input the fuzz target keeps is read again here: none may crash,
    // and whatever is offered passes the checks.
    const QDir corpus(QStringLiteral(TAVOLUX_FUZZ_CORPUS));
    const QStringList names = corpus.entryList(QDir::Files);
    QVERIFY(!names.isEmpty());
    for (const QString &name : names) {
        QFile file(corpus.filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray content = file.readAll();
        const LabelCatalogue catalogue = parseOne(content, content);
        for (const LabelProduct &p : catalogue.products())
            QVERIFY2(checkLabelProduct(p).isEmpty(), qPrintable(name));
    }
}

void TestLabelFormats::search_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("parts");
    QTest::newRow("empty: all") << QString() << QStringList{"L7160", "4677", "5160", "J8160"};
    QTest::newRow("part") << "L7160" << QStringList{"L7160", "J8160"}; // J8160 is an equivalent of L7160
    QTest::newRow("brand and part, any case") << "herma 4677" << QStringList{"4677"};
    QTest::newRow("size with comma and x") << "63,5 x 38" << QStringList{"L7160", "J8160"};
    QTest::newRow("size with dot and times") << QString::fromUtf8("63.5×38.1") << QStringList{"L7160", "J8160"};
    QTest::newRow("words are ANDed") << "avery letter" << QStringList{"5160"};
    QTest::newRow("description") << "ADDRESS" << QStringList{"L7160", "5160", "J8160"};
    QTest::newRow("nothing") << "zweckform" << QStringList{};
}

void TestLabelFormats::search()
{
    QFETCH(QString, text);
    QFETCH(QStringList, parts);
    const QByteArray content = templates(
        "<Template brand=\"Avery\" part=\"L7160\" size=\"A4\" _description=\"Address Labels\"><Label-rectangle "
        "width=\"63.5mm\" height=\"38.1mm\" round=\"1.5mm\"><Layout nx=\"3\" ny=\"7\" x0=\"7.2mm\" y0=\"15.1mm\" "
        "dx=\"66mm\" dy=\"38.1mm\"/></Label-rectangle></Template>"
        "<Template brand=\"Herma\" part=\"4677\" size=\"A4\" _description=\"Etiketten\"><Label-rectangle "
        "width=\"70mm\" height=\"36mm\"><Layout nx=\"3\" ny=\"8\" x0=\"0\" y0=\"4.5mm\" dx=\"70mm\" dy=\"36mm\"/>"
        "</Label-rectangle></Template>"
        "<Template brand=\"Avery\" part=\"5160\" size=\"US-Letter\" _description=\"Address Labels\"><Label-rectangle "
        "width=\"2.625in\" height=\"1in\"><Layout nx=\"3\" ny=\"10\" x0=\"0.1875in\" y0=\"0.5in\" dx=\"2.75in\" "
        "dy=\"1in\"/></Label-rectangle></Template>"
        "<Template brand=\"Avery\" part=\"J8160\" equiv=\"L7160\"/>");
    const LabelCatalogue catalogue = parseOne(content);
    QStringList found;
    for (const LabelProduct *p : catalogue.search(text))
        found << p->part;
    QCOMPARE(found, parts);
}

void TestLabelFormats::ownChecks_data()
{
    QTest::addColumn<QSizeF>("page");
    QTest::addColumn<QSizeF>("label");
    QTest::addColumn<LabelProduct::Layout>("layout");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("faults");
    const QSizeF a4(210, 297);
    QTest::newRow("the built-in sheet") << a4 << QSizeF(62, 32) << LabelProduct::Layout{3, 8, 10, 10, 64, 35}
                                        << "Mio" << QStringList{};
    QTest::newRow("labels touching, filling the page") << a4 << QSizeF(70, 37.125)
                                                       << LabelProduct::Layout{3, 8, 0, 0, 70, 37.125} << "Mio"
                                                       << QStringList{};
    QTest::newRow("no name") << a4 << QSizeF(62, 32) << LabelProduct::Layout{3, 8, 10, 10, 64, 35} << ""
                             << QStringList{"Dare un nome al formato."};
    QTest::newRow("bracket in the name") << a4 << QSizeF(62, 32) << LabelProduct::Layout{3, 8, 10, 10, 64, 35}
                                         << "A[1]" << QStringList{"Il nome del formato non può contenere parentesi quadre, virgolette o spazi iniziali e finali (al massimo 60 caratteri)."};
    QTest::newRow("zero label") << a4 << QSizeF(0, 32) << LabelProduct::Layout{3, 8, 10, 10, 64, 35} << "Mio"
                                << QStringList{"Larghezza e altezza dell'etichetta devono essere maggiori di zero."};
    QTest::newRow("no columns") << a4 << QSizeF(62, 32) << LabelProduct::Layout{0, 8, 10, 10, 64, 35} << "Mio"
                                << QStringList{"Colonne e righe devono essere almeno 1."};
    QTest::newRow("off the right edge") << a4 << QSizeF(62, 32) << LabelProduct::Layout{3, 8, 21, 10, 64, 35} << "Mio"
                                        << QStringList{"Le etichette escono dal bordo destro della pagina."};
    QTest::newRow("off the bottom") << a4 << QSizeF(62, 32) << LabelProduct::Layout{3, 9, 10, 10, 64, 35} << "Mio"
                                    << QStringList{"Le etichette escono dal bordo inferiore della pagina."};
    QTest::newRow("overlapping across") << a4 << QSizeF(62, 32) << LabelProduct::Layout{3, 8, 10, 10, 60, 35} << "Mio"
                                        << QStringList{"Il passo orizzontale è minore della larghezza dell'etichetta: le etichette si sovrappongono."};
    QTest::newRow("overlapping down") << a4 << QSizeF(62, 32) << LabelProduct::Layout{3, 8, 10, 10, 64, 30} << "Mio"
                                      << QStringList{"Il passo verticale è minore dell'altezza dell'etichetta: le etichette si sovrappongono."};
    QTest::newRow("one column needs no pitch") << a4 << QSizeF(62, 32) << LabelProduct::Layout{1, 1, 10, 10, 0, 0}
                                               << "Mio" << QStringList{};
    QTest::newRow("negative offset") << a4 << QSizeF(62, 32) << LabelProduct::Layout{3, 8, -1, 10, 64, 35} << "Mio"
                                     << QStringList{"I margini sinistro e superiore non possono essere negativi."};
    QTest::newRow("too many labels") << a4 << QSizeF(1, 1) << LabelProduct::Layout{100, 100, 0, 0, 1, 1} << "Mio"
                                     << QStringList{"Un foglio può avere al massimo 1000 etichette."};
    QTest::newRow("page too large") << QSizeF(3000, 297) << QSizeF(62, 32) << LabelProduct::Layout{3, 8, 10, 10, 64, 35}
                                    << "Mio" << QStringList{"La pagina deve misurare da 1 a 2000 mm per lato."};
}

void TestLabelFormats::ownChecks()
{
    QFETCH(QSizeF, page);
    QFETCH(QSizeF, label);
    QFETCH(LabelProduct::Layout, layout);
    QFETCH(QString, name);
    QFETCH(QStringList, faults);
    LabelProduct p;
    p.source = LabelProduct::Source::Own;
    p.part = name;
    p.pageMm = page;
    p.labelMm = label;
    p.layouts << layout;
    QCOMPARE(checkLabelProduct(p), faults);
}

void TestLabelFormats::settings()
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("Impostazioni.ini"));
    QFile file(ini);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Margini Busta]\r\nSuperiore=10\r\n");
    file.close();
    LabelFormatSettings settings(ini);

    // Nothing stored, or an unknown id: the built-in format.
    QCOMPARE(settings.chosen(LabelFormatSettings::Use::Mailing).id(), LabelProduct::builtInId());
    QVERIFY(settings.writeChosenId(LabelFormatSettings::Use::Mailing, QStringLiteral("proprio:Sparito")));
    QCOMPARE(settings.chosen(LabelFormatSettings::Use::Mailing).source, LabelProduct::Source::BuiltIn);

    LabelProduct own;
    own.part = QStringLiteral("Scatola 21");
    own.paperId = QStringLiteral("A4");
    own.pageMm = QSizeF(210, 297);
    own.labelMm = QSizeF(63.5, 38.1);
    own.layouts << LabelProduct::Layout{3, 7, 7.25, 15.15, 66, 38.1};
    QVERIFY(settings.saveOwnFormat(own));
    LabelProduct second = own;
    second.part = QStringLiteral("Due");
    second.layouts.first().columns = 2;
    QVERIFY(settings.saveOwnFormat(second));
    LabelProduct bad = own;
    bad.part = QStringLiteral("Rotto");
    bad.layouts.first().dx = 10;
    QString reason;
    QVERIFY(!settings.saveOwnFormat(bad, &reason));
    QVERIFY(reason.contains(QStringLiteral("sovrappongono")));

    QList<LabelProduct> read = settings.ownFormats();
    QCOMPARE(read.size(), 2);
    QCOMPARE(read[0].part, own.part);
    QCOMPARE(read[0].layouts, own.layouts);
    QCOMPARE(read[0].labelMm, own.labelMm);
    QCOMPARE(read[0].id(), QStringLiteral("proprio:Scatola 21"));

    // The choice per use, each on its own.
    QVERIFY(settings.writeChosenId(LabelFormatSettings::Use::OneAddress, read[1].id()));
    QCOMPARE(settings.chosen(LabelFormatSettings::Use::OneAddress).part, QStringLiteral("Due"));
    QCOMPARE(settings.chosen(LabelFormatSettings::Use::LabelPages).source, LabelProduct::Source::BuiltIn);

    // Replacing by name, then removing.
    own.layouts.first().rows = 6;
    QVERIFY(settings.saveOwnFormat(own));
    QCOMPARE(settings.ownFormats().size(), 2);
    QCOMPARE(settings.ownFormats()[0].layouts.first().rows, 6);
    QVERIFY(settings.removeOwnFormat(QStringLiteral("scatola 21")));
    read = settings.ownFormats();
    QCOMPARE(read.size(), 1);
    QCOMPARE(read[0].part, QStringLiteral("Due"));
    QCOMPARE(settings.chosen(LabelFormatSettings::Use::OneAddress).part, QStringLiteral("Due"));

    // The other sections stay as they were.
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().startsWith("[Margini Busta]\r\nSuperiore=10\r\n"));
    file.close();

    // A hand-damaged own format is left out, the others still read.
    QVERIFY(IniFile(ini).writeString(QStringLiteral("Etichette Proprie 1"), QStringLiteral("Colonne"), QStringLiteral("tre")));
    QVERIFY(settings.ownFormats().isEmpty());

    QCOMPARE(LabelFormatSettings::calibrationSection(LabelProduct::builtInId()), QStringLiteral("Calibrazione Etichette"));
    QCOMPARE(LabelFormatSettings::calibrationSection(QStringLiteral("catalogo:Avery:L7160")),
             QStringLiteral("Calibrazione Etichette catalogo:Avery:L7160"));
}

void TestLabelFormats::realCatalogueRead()
{
    if (!realCatalogue())
        QSKIP("glabels-data is not installed");
    QElapsedTimer timer;
    timer.start();
    const LabelCatalogue catalogue = LabelCatalogue::read({QString::fromLatin1(kRealFolder)});
    const qint64 ms = timer.elapsed();
    qInfo("whole catalogue read in %lld ms: %lld products, %lld problems", ms, qint64(catalogue.products().size()),
          qint64(catalogue.problems().size()));
    QVERIFY2(catalogue.products().size() > 1000, qPrintable(catalogue.summary()));
    // The package's own slips (a layout that runs off its page, round="in")
    // are named, a file at a time, and cost only those products.
    QVERIFY2(catalogue.problems().size() < 20, qPrintable(catalogue.summary()));
    for (const LabelCatalogue::Problem &problem : catalogue.problems())
        QVERIFY(problem.file.endsWith(QStringLiteral(".xml")) && !problem.reason.isEmpty());
    for (const LabelProduct &p : catalogue.products())
        QVERIFY2(checkLabelProduct(p).isEmpty(), qPrintable(p.title()));

    const LabelProduct *l7160 = catalogue.find(QStringLiteral("catalogo:Avery:L7160"));
    QVERIFY(l7160);
    QCOMPARE(l7160->labelsPerSheet(), 21);
    QCOMPARE(l7160->equivalentOf, QStringLiteral("7160"));
    QCOMPARE(l7160->sizeText(), QString::fromUtf8("64 × 38,1 mm")); // 181.4 x 108 pt
    QCOMPARE(catalogue.search(QStringLiteral("herma 4677")).size(), 1);
    const QList<const LabelProduct *> sized = catalogue.search(QStringLiteral("63,5 x 38"));
    QVERIFY(sized.size() > 10);
    for (const LabelProduct *p : sized)
        QVERIFY2(p->sizeText().startsWith(QString::fromUtf8("63,5 × 38")), qPrintable(p->title()));
    int rolls = 0;
    for (const LabelProduct &p : catalogue.products())
        rolls += p.roll ? 1 : 0;
    QVERIFY(rolls >= 2);
}

QTEST_GUILESS_MAIN(TestLabelFormats)
#include "tst_labelformats.moc"
