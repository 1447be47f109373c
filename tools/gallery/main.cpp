// Renders the program's windows with sample data to PNG files.
#include "addresses/TfrmArchivio_Indirizzi.h"
#include "addresses/TfrmTrovaIndirizzi.h"
#include "app/Program.h"
#include "app/TavoluxApplication.h"
#include "app/TfrmAvvio.h"
#include "storage/AddressArchive.h"

#include <QDir>
#include <QLineEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QCoreApplication>

using namespace tavolux;

namespace {

QString outputDir;

void snap(QWidget *window, const QString &name, bool fixedSize = false)
{
    if (!fixedSize)
        window->resize(1280, 960);
    if (!window->isVisible())
        window->show();
    QCoreApplication::processEvents();
    const QString path = outputDir + QLatin1Char('/') + name + QStringLiteral(".png");
    window->grab().save(path);
    qInfo("%s", qPrintable(path));
}

TSchedaIndirizzo sampleCard()
{
    TSchedaIndirizzo card;
    card[TSchedaIndirizzo::Nome] = QStringLiteral("Rossi Mario – studio");
    card[TSchedaIndirizzo::Tipo] = QStringLiteral("Cliente");
    card[TSchedaIndirizzo::Rigo01] = QStringLiteral("Spett.le");
    card[TSchedaIndirizzo::Rigo02] = QStringLiteral("Studio Rossi & Figli");
    card[TSchedaIndirizzo::Rigo03] = QStringLiteral("alla c.a. Sig. Mario Rossi");
    card[TSchedaIndirizzo::Rigo04] = QStringLiteral("Via Giuseppe Garibaldi, 12");
    card[TSchedaIndirizzo::Rigo05] = QStringLiteral("20121 Milano (MI)");
    card[TSchedaIndirizzo::Note] = QStringLiteral("Consegna in portineria, è chiuso il lunedì");
    return card;
}

} // namespace

int main(int argc, char *argv[])
{
    TavoluxApplication application(argc, argv);
    outputDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    QDir().mkpath(outputDir);
    QTemporaryDir folder;
    {
        AddressArchive archive{ProgramFolder(folder.path())};
        archive.open();
        for (int i = 0; i < 3; ++i)
            archive.append(sampleCard());
        const char *names[][3] = {{"Bianchi Laura", "Privato", ""},
                                  {"Caffè Roma s.n.c.", "Fornitore", "Ordini il martedì"},
                                  {"Esposito Gennaro", "Cliente", "Preferisce la PEC"},
                                  {"Ferrari & Co.", "Cliente", ""},
                                  {"Associazione Culturale Amici della Città di Trento", "Ente", "Tessera n. 42"}};
        for (const auto &n : names) {
            TSchedaIndirizzo card = sampleCard();
            card[TSchedaIndirizzo::Nome] = QString::fromUtf8(n[0]);
            card[TSchedaIndirizzo::Tipo] = QString::fromUtf8(n[1]);
            card[TSchedaIndirizzo::Note] = QString::fromUtf8(n[2]);
            archive.append(card);
        }
    }
    Program program(folder.path());
    snap(program.launcher(), QStringLiteral("launcher"));
    program.launcher()->hide();

    TfrmArchivio_Indirizzi *addresses = program.addressWindow();
    addresses->show();
    addresses->last();
    addresses->txtRigo04->setFocus();
    snap(addresses, QStringLiteral("address_window"));

    {
        TfrmTrovaIndirizzi find(*addresses);
        find.show();
        find.txtTrova->setText(QStringLiteral("cliente"));
        find.find();
        find.find();
        snap(&find, QStringLiteral("find_dialog"), true);
    }
    return 0;
}
