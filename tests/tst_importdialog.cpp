#include "cardlist/CardListModel.h"
#include "labels/TfrmArchivio_Etichette.h"
#include "labels/TfrmImportaIndirizzi.h"
#include "storage/AddressArchive.h"
#include "ui/Messages.h"
#include "ui/PictureButton.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace tavolux;

namespace {

TSchedaIndirizzo card(const QString &nome, const QString &tag, bool withLine4 = true)
{
    TSchedaIndirizzo c;
    c[TSchedaIndirizzo::Nome] = nome;
    c[TSchedaIndirizzo::Tipo] = QStringLiteral("tipo ") + tag;
    c[TSchedaIndirizzo::Note] = QStringLiteral("nota segreta");
    for (int j = 0; j < 6; ++j)
        c[TSchedaIndirizzo::Rigo01 + j] = QStringLiteral("%1 riga %2").arg(tag).arg(j + 1);
    if (!withLine4)
        c[TSchedaIndirizzo::Rigo04].clear();
    return c;
}

} // namespace

class TestImportDialog : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void titleAndHiddenTag();
    void importWritesOnlyItsSlot();
    void importReplacesTheWholeSlot();
    void unnamedCardsAreNotListed();
    void equalLinesImportTheLaterCard();
    void chiudiAndUnknownTagChangeNothing_data();
    void chiudiAndUnknownTagChangeNothing();
    void importButtonOpensDialogWithItsTag();

private:
    void fill(const QList<TSchedaIndirizzo> &cards);
    std::unique_ptr<TfrmImportaIndirizzi> openDialog(int slot);
    QStringList slotContent(int slot) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TfrmArchivio_Etichette> m_window;
    std::unique_ptr<ui::MessageRecorder> m_messages;
};

void TestImportDialog::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_messages = std::make_unique<ui::MessageRecorder>();
    m_window = std::make_unique<TfrmArchivio_Etichette>(ProgramFolder(m_dir->path()));
    m_window->show();
}

void TestImportDialog::cleanup()
{
    m_window.reset();
    m_messages.reset();
    m_dir.reset();
}

void TestImportDialog::fill(const QList<TSchedaIndirizzo> &cards)
{
    AddressArchive archive{ProgramFolder(m_dir->path())};
    QVERIFY(archive.open());
    for (const TSchedaIndirizzo &c : cards)
        QVERIFY(archive.append(c) > 0);
}

std::unique_ptr<TfrmImportaIndirizzi> TestImportDialog::openDialog(int slot)
{
    auto dialog = std::make_unique<TfrmImportaIndirizzi>(*m_window);
    dialog->lblMemory->setText(TfrmArchivio_Etichette::slotTag(slot));
    dialog->show();
    return dialog;
}

QStringList TestImportDialog::slotContent(int slot) const
{
    QStringList content{m_window->txtNome_E(slot)->text()};
    for (int j = 1; j <= 6; ++j)
        content << m_window->lineText(slot, j);
    return content;
}

void TestImportDialog::titleAndHiddenTag()
{
    auto dialog = openDialog(3);
    QCOMPARE(dialog->windowTitle(), QStringLiteral(" Importa etichetta da archivio indirizzi"));
    QVERIFY(dialog->lblMemory->isHidden());
    QCOMPARE(dialog->lblMemory->text(), QStringLiteral("etichetta_E03"));
    QCOMPARE(dialog->size(), QSize(862, 560));
}

void TestImportDialog::importWritesOnlyItsSlot()
{
    fill({card("Bianchi", "b"), card("Rossi", "r")});
    QList<QStringList> before;
    for (int k = 1; k <= 24; ++k)
        before << slotContent(k);
    auto dialog = openDialog(5);
    QCOMPARE(dialog->lines().size(), 2);
    dialog->setCurrentLine(1); // Rossi
    dialog->recallCurrent();
    QVERIFY(!dialog->isVisible());
    for (int k = 1; k <= 24; ++k) {
        if (k == 5)
            QCOMPARE(slotContent(k), QStringList({"Rossi", "r riga 1", "r riga 2", "r riga 3", "r riga 4",
                                                   "r riga 5", "r riga 6"}));
        else
            QCOMPARE(slotContent(k), before.at(k - 1));
    }
    QVERIFY(m_window->lblPosizione->text().isEmpty());
    QCOMPARE(m_messages->count(), 0);
}

void TestImportDialog::importReplacesTheWholeSlot()
{
    fill({card("Primo", "p"), card("Secondo", "s", false)});
    auto first = openDialog(12);
    first->setCurrentLine(0);
    first->recallCurrent();
    QCOMPARE(m_window->lineText(12, 4), QStringLiteral("p riga 4"));
    m_window->lblPosizione->setText(QStringLiteral("3"));
    auto second = openDialog(12);
    second->setCurrentLine(1);
    second->recallCurrent();
    QCOMPARE(slotContent(12), QStringList({"Secondo", "s riga 1", "s riga 2", "s riga 3", "", "s riga 5", "s riga 6"}));
    // Type and note never reach the page; the position label stays.
    QCOMPARE(m_window->lblPosizione->text(), QStringLiteral("3"));
}

void TestImportDialog::unnamedCardsAreNotListed()
{
    fill({card("", "x"), card("  ", "y"), card("Nominata", "z")});
    auto dialog = openDialog(1);
    QCOMPARE(dialog->lines().size(), 1);
    QVERIFY(dialog->lines().at(0).startsWith("Nominata"));
}

void TestImportDialog::equalLinesImportTheLaterCard()
{
    fill({card("Gemelli", "prima"), card("Altro", "a"), card("Gemelli", "prima")});
    // Same name, type and note, different lines: the later card wins.
    {
        AddressArchive archive{ProgramFolder(m_dir->path())};
        QVERIFY(archive.open());
        TSchedaIndirizzo later = card("Gemelli", "prima");
        later[TSchedaIndirizzo::Rigo01] = QStringLiteral("la seconda");
        QVERIFY(archive.write(3, later));
    }
    auto dialog = openDialog(24);
    QCOMPARE(dialog->lines().at(1), dialog->lines().at(2));
    dialog->setCurrentLine(1);
    dialog->recallCurrent();
    QCOMPARE(m_window->lineText(24, 1), QStringLiteral("la seconda"));
}

void TestImportDialog::chiudiAndUnknownTagChangeNothing_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<bool>("close");
    QTest::newRow("chiudi") << "etichetta_E02" << true;
    QTest::newRow("tag of no slot") << "etichetta_E25" << false;
    QTest::newRow("tag in small letters") << "Etichetta_E02" << false;
    QTest::newRow("tag of the attachments") << "archivio_indirizzi" << false;
}

void TestImportDialog::chiudiAndUnknownTagChangeNothing()
{
    QFETCH(QString, tag);
    QFETCH(bool, close);
    fill({card("Rossi", "r")});
    m_window->fillSlot(2, QStringLiteral("Già qui"), {"uno", "due"});
    const QStringList before = slotContent(2);
    TfrmImportaIndirizzi dialog(*m_window);
    dialog.lblMemory->setText(tag);
    dialog.show();
    dialog.setCurrentLine(0);
    if (close)
        dialog.btnChiudi->click();
    else
        dialog.recallCurrent();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(slotContent(2), before);
}

void TestImportDialog::importButtonOpensDialogWithItsTag()
{
    fill({card("Rossi", "r")});
    QString seenTag;
    QTimer::singleShot(0, this, [&] {
        auto *dialog = qobject_cast<TfrmImportaIndirizzi *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        seenTag = dialog->lblMemory->text();
        dialog->setCurrentLine(0);
        dialog->recallCurrent();
    });
    m_window->impIndirizzo_E(17)->click();
    QCOMPARE(seenTag, QStringLiteral("etichetta_E17"));
    QCOMPARE(m_window->txtNome_E(17)->text(), QStringLiteral("Rossi"));
    QVERIFY(!QApplication::activeModalWidget());
}

QTEST_MAIN(TestImportDialog)
#include "tst_importdialog.moc"
