// The label format dialogs: the search over the formats, the choice kept per
// use, a format of one's own checked and saved, the keyboard, and a preview
// shown again on the format chosen from its toolbar.
#include "labelformats/LabelCatalogue.h"
#include "labelformats/LabelFormatSettings.h"
#include "platform/IniFile.h"
#include "printing/LabelFormatModel.h"
#include "printing/TfrmAnteprima_Etichetta.h"
#include "printing/TfrmFormatoEtichette.h"
#include "printing/TfrmNuovoFormato.h"
#include "report/Report.h"
#include "reportui/PreviewWindow.h"
#include "reportui/ReportHooks.h"
#include "ui/Messages.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace tavolux;
using Use = LabelFormatSettings::Use;

namespace {

// A program folder whose Impostazioni.ini names the test's own small catalogue.
struct Folder
{
    QTemporaryDir dir;
    ProgramFolder folder{dir.path()};
    explicit Folder(bool fixture = true)
    {
        if (fixture)
            IniFile(folder.file(QStringLiteral("Impostazioni.ini")))
                .writeString(LabelFormatSettings::section(), LabelFormatSettings::folderKey(),
                             QStringLiteral(LABEL_CATALOGUE));
    }
    LabelFormatSettings settings() const { return LabelFormatSettings(folder); }
};

QStringList shownTitles(const TfrmFormatoEtichette &dialog)
{
    QStringList titles;
    for (int row = 0; row < dialog.model()->rowCount(); ++row)
        titles << dialog.model()->format(row).title();
    return titles;
}

// Runs `fill` on the next modal dialog of type T as soon as it shows.
template<typename T>
void onNextDialog(std::function<void(T *)> fill)
{
    QTimer::singleShot(0, [fill] {
        if (auto *dialog = qobject_cast<T *>(QApplication::activeModalWidget()))
            fill(dialog);
    });
}

} // namespace

class TestFormatDialog : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_messages = std::make_unique<ui::MessageRecorder>(); }
    void cleanup() { m_messages.reset(); }

    void searchFiltersTheList_data();
    void searchFiltersTheList();
    void choosingKeepsTheIdOfItsUse_data();
    void choosingKeepsTheIdOfItsUse();
    void newFormatRefusesFaults_data();
    void newFormatRefusesFaults();
    void newFormatSavedOfferedAndRemoved();
    void keyboardAlone();
    void sheetDescribed_data();
    void sheetDescribed();
    void previewShownAgainOnTheChosenFormat();

private:
    std::unique_ptr<ui::MessageRecorder> m_messages;
};

void TestFormatDialog::searchFiltersTheList_data()
{
    QTest::addColumn<bool>("installed");
    QTest::addColumn<QString>("search");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QStringList>("absent");
    QTest::newRow("installed: part") << true << "L7160" << QStringList{"Avery L7160"}
                                     << QStringList{"Avery L7163", "Avery J8160"};
    QTest::newRow("installed: brand and part") << true << "herma 4677" << QStringList{"Herma 4677"}
                                               << QStringList{"Herma 4678", "Avery L7160"};
    QTest::newRow("installed: size") << true << "63,5 x 38" << QStringList{"Herma 4677", "Endisch 6406338x"}
                                     << QStringList{"Avery L7163"};
    QTest::newRow("fixture: size") << false << "63,5 x 38" << QStringList{"Testa T100", "Testa T100-B"}
                                   << QStringList{"Testa T200"};
    QTest::newRow("fixture: size with a dot and no blanks") << false << "99.1x38" << QStringList{"Testa T200"}
                                                           << QStringList{"Testa T100"};
    QTest::newRow("fixture: description, any case") << false << "PARCEL" << QStringList{"Testa T200"}
                                                    << QStringList{"Testa T100"};
    QTest::newRow("fixture: nothing") << false << "zzz" << QStringList{} << QStringList{"Testa T100"};
}

void TestFormatDialog::searchFiltersTheList()
{
    QFETCH(bool, installed);
    QFETCH(QString, search);
    QFETCH(QStringList, present);
    QFETCH(QStringList, absent);
    if (installed && LabelCatalogue::installed().products().isEmpty())
        QSKIP("glabels-data is not installed");
    Folder folder(!installed);
    TfrmFormatoEtichette dialog(folder.folder, Use::LabelPages);
    // Unfiltered, the built-in sheet comes first and is current.
    QCOMPARE(dialog.model()->format(0).id(), LabelProduct::builtInId());
    QCOMPARE(dialog.current()->id(), LabelProduct::builtInId());
    const int all = dialog.model()->rowCount();

    QElapsedTimer timer;
    timer.start();
    dialog.txtCerca->setText(search);
    const qint64 ms = timer.elapsed();
    qInfo("%d of %d formats shown for \"%s\" in %lld ms", dialog.model()->rowCount(), all, qPrintable(search), ms);
    QVERIFY2(ms < 500, qPrintable(QString::number(ms)));

    const QStringList titles = shownTitles(dialog);
    for (const QString &title : present)
        QVERIFY2(titles.contains(title), qPrintable(title + QStringLiteral(" missing: ") + titles.mid(0, 10).join(", ")));
    for (const QString &title : absent)
        QVERIFY2(!titles.contains(title), qPrintable(title));
    // The first format shown is current and drawn; with none, OK is off.
    QCOMPARE(dialog.btnOK->isEnabled(), !titles.isEmpty());
    if (!titles.isEmpty()) {
        QCOMPARE(dialog.current()->title(), titles.first());
        QVERIFY(dialog.lblFoglio->text().startsWith(titles.first()));
    }
    // Cleared, the list is whole again.
    dialog.txtCerca->clear();
    QCOMPARE(dialog.model()->rowCount(), all);
}

void TestFormatDialog::choosingKeepsTheIdOfItsUse_data()
{
    QTest::addColumn<int>("use");
    QTest::newRow("label pages") << int(Use::LabelPages);
    QTest::newRow("one address") << int(Use::OneAddress);
    QTest::newRow("mailing") << int(Use::Mailing);
}

void TestFormatDialog::choosingKeepsTheIdOfItsUse()
{
    QFETCH(int, use);
    Folder folder;
    const QString t200 = catalogueProductId(QStringLiteral("Testa"), QStringLiteral("T200"));
    {
        TfrmFormatoEtichette dialog(folder.folder, Use(use));
        dialog.txtCerca->setText(QStringLiteral("T200"));
        dialog.btnOK->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
    for (Use other : {Use::LabelPages, Use::OneAddress, Use::Mailing})
        QCOMPARE(folder.settings().chosenId(other), other == Use(use) ? t200 : QString());
    QCOMPARE(folder.settings().chosen(Use(use)).labelsPerSheet(), 14);
    // Opened again, the choice is current.
    TfrmFormatoEtichette again(folder.folder, Use(use));
    QCOMPARE(again.current()->id(), t200);
    QVERIFY(again.lblFoglio->text().contains(QStringLiteral("14 etichette di 99,1 \u00D7 38,1 mm")));
}

void TestFormatDialog::newFormatRefusesFaults_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("fault");
    QTest::newRow("overlapping rows") << "txtPassoVerticale" << "30" << "sovrappongono";
    QTest::newRow("overlapping columns") << "txtPassoOrizzontale" << "61,9" << "sovrappongono";
    QTest::newRow("off the right edge") << "txtSinistro" << "20,1" << "bordo destro";
    QTest::newRow("off the bottom edge") << "txtSuperiore" << "20,1" << "bordo inferiore";
    QTest::newRow("not a number") << "txtLarghezza" << "6x" << "Larghezza etichetta";
    QTest::newRow("no name") << "txtNome" << "" << "nome";
}

void TestFormatDialog::newFormatRefusesFaults()
{
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(QString, fault);
    Folder folder;
    TfrmNuovoFormato dialog(folder.folder);
    dialog.txtNome->setText(QStringLiteral("Mio"));
    // The default measures are a sound sheet: 3 x 8 of 62 x 32 mm.
    QVERIFY2(dialog.faults().isEmpty(), qPrintable(dialog.faults().join('\n')));
    QVERIFY(dialog.btnSalva->isEnabled());
    dialog.findChild<QLineEdit *>(field)->setText(value);
    QVERIFY2(dialog.lblErrori->text().contains(fault, Qt::CaseInsensitive), qPrintable(dialog.lblErrori->text()));
    QVERIFY(!dialog.btnSalva->isEnabled());
    dialog.save();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(folder.settings().ownFormats().isEmpty());
}

void TestFormatDialog::newFormatSavedOfferedAndRemoved()
{
    Folder folder;
    TfrmFormatoEtichette formats(folder.folder, Use::Mailing);
    formats.txtCerca->setText(QStringLiteral("T200"));
    onNextDialog<TfrmNuovoFormato>([](TfrmNuovoFormato *own) {
        own->txtNome->setText(QStringLiteral("Spedizioni"));
        own->txtColonne->setValue(2);
        own->txtRighe->setValue(4);
        own->txtLarghezza->setText(QStringLiteral("99,1"));
        own->txtAltezza->setText(QStringLiteral("67,7"));
        own->txtSinistro->setText(QStringLiteral("4,6"));
        own->txtSuperiore->setText(QStringLiteral("13"));
        own->txtPassoOrizzontale->setText(QStringLiteral("101,6"));
        own->txtPassoVerticale->setText(QStringLiteral("67,7"));
        own->btnSalva->click();
    });
    formats.btnNuovo->click();
    const QList<LabelProduct> own = folder.settings().ownFormats();
    QCOMPARE(own.size(), 1);
    QCOMPARE(own.first().labelsPerSheet(), 8);
    QCOMPARE(own.first().layouts.first().dx, 101.6);
    // Offered in the list, whatever was searched, and current; only an own format can be removed.
    QVERIFY(formats.txtCerca->text().isEmpty());
    QCOMPARE(formats.current()->id(), ownProductId(QStringLiteral("Spedizioni")));
    QVERIFY(formats.btnElimina->isEnabled());
    // A second one of the same name is refused.
    {
        TfrmNuovoFormato same(folder.folder);
        same.txtNome->setText(QStringLiteral("spedizioni"));
        QVERIFY(!same.btnSalva->isEnabled());
    }
    formats.btnOK->click();
    QCOMPARE(folder.settings().chosenId(Use::Mailing), ownProductId(QStringLiteral("Spedizioni")));

    TfrmFormatoEtichette again(folder.folder, Use::Mailing);
    QCOMPARE(again.current()->id(), ownProductId(QStringLiteral("Spedizioni")));
    m_messages->answerNext(ui::MessageAnswer::No);
    again.btnElimina->click();
    QCOMPARE(folder.settings().ownFormats().size(), 1);
    m_messages->answerNext(ui::MessageAnswer::Yes);
    again.btnElimina->click();
    QCOMPARE(m_messages->last().text, TfrmFormatoEtichette::removeQuestion(QStringLiteral("Spedizioni")));
    QVERIFY(folder.settings().ownFormats().isEmpty());
    QCOMPARE(again.model()->rowOf(ownProductId(QStringLiteral("Spedizioni"))), -1);
    QCOMPARE(again.current()->id(), LabelProduct::builtInId());
    QVERIFY(!again.btnElimina->isEnabled());
    // The print falls back on the built-in sheet.
    QCOMPARE(folder.settings().chosen(Use::Mailing).id(), LabelProduct::builtInId());
}

void TestFormatDialog::keyboardAlone()
{
    Folder folder;
    const QString iniPath = folder.folder.file(QStringLiteral("Impostazioni.ini"));
    QByteArray before;
    IniFile::load(iniPath, &before);
    {
        TfrmFormatoEtichette dialog(folder.folder, Use::OneAddress);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(QApplication::focusWidget(), dialog.txtCerca);
        QWidget *expected[] = {dialog.lstFormati, dialog.btnAnnulla, dialog.btnGuida, dialog.btnNuovo, dialog.btnOK};
        for (QWidget *next : expected) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), dialog.txtCerca);
        // Typed and moved with the arrows from the search; Esc writes nothing.
        QTest::keyClicks(dialog.txtCerca, QStringLiteral("testa"));
        QTest::keyClick(dialog.txtCerca, Qt::Key_Down);
        QCOMPARE(dialog.current(), &dialog.model()->format(1));
        QTest::keyClick(dialog.txtCerca, Qt::Key_Escape);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(!dialog.isVisible());
    }
    QByteArray after;
    IniFile::load(iniPath, &after);
    QCOMPARE(after, before);
    // Enter in the search keeps the format current there.
    TfrmFormatoEtichette dialog(folder.folder, Use::OneAddress);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QTest::keyClicks(dialog.txtCerca, QStringLiteral("t200"));
    QTest::keyClick(dialog.txtCerca, Qt::Key_Return);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(folder.settings().chosenId(Use::OneAddress), catalogueProductId(QStringLiteral("Testa"), QStringLiteral("T200")));
}

void TestFormatDialog::previewShownAgainOnTheChosenFormat()
{
    Folder folder;
    QList<int> labels; // the labels of each preview shown
    report::hooks::setPreviewHandler([&labels](report::Report &document) {
        const report::PageSequence pages = document.pages();
        labels << (pages.isEmpty() ? 0 : int(pages.at(0).texts().size()) / 6);
        if (labels.size() > 1)
            return;
        // From the first preview's toolbar, T200 is chosen.
        report::PreviewWindow preview(document);
        auto *button = preview.findChild<QToolButton *>(QStringLiteral("btnFormato"));
        QVERIFY(button);
        onNextDialog<TfrmFormatoEtichette>([](TfrmFormatoEtichette *formats) {
            formats->txtCerca->setText(QStringLiteral("T200"));
            formats->btnOK->click();
        });
        button->click();
    });
    TfrmAnteprima_Etichetta dialog(folder.folder, [] { return QStringList(6, QStringLiteral("riga")); });
    dialog.btnStampa->click();
    report::hooks::setPreviewHandler({});
    QCOMPARE(labels, (QList<int>{24, 14}));
    QCOMPARE(folder.settings().chosenId(Use::OneAddress), catalogueProductId(QStringLiteral("Testa"), QStringLiteral("T200")));
    QVERIFY(folder.settings().chosenId(Use::LabelPages).isEmpty());
}

void TestFormatDialog::sheetDescribed_data()
{
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("grid");
    QTest::newRow("one column") << 1 << 6 << ", 1 colonna per 6 righe";
    QTest::newRow("one row") << 3 << 1 << ", 3 colonne per 1 riga";
    QTest::newRow("both more") << 3 << 8 << ", 3 colonne per 8 righe";
}

void TestFormatDialog::sheetDescribed()
{
    QFETCH(int, columns);
    QFETCH(int, rows);
    QFETCH(QString, grid);
    LabelProduct p = LabelProduct::builtIn();
    p.layouts = {LabelProduct::Layout{columns, rows, 10, 10, 64, 35}};
    const QString text = TfrmFormatoEtichette::describe(p);
    QVERIFY2(text.contains(grid + QLatin1Char('.')) || text.contains(grid + QLatin1Char(',')), qPrintable(text));
}

QTEST_MAIN(TestFormatDialog)
#include "tst_formatdialog.moc"
