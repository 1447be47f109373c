// Renders the program's windows with sample data to PNG files.
#include "access/TfrmCambiaPassword.h"
#include "access/TfrmPassword.h"
#include "addresses/TfrmArchivio_Indirizzi.h"
#include "app/Program.h"
#include "app/TavoluxApplication.h"
#include "app/TfrmAvvio.h"
#include "help/HelpTopic.h"
#include "help/TfrmGuida.h"
#include "help/TfrmInfo.h"
#include "help/TfrmSplash.h"
#include "storage/AddressArchive.h"

#include <QLabel>
#include <QPlainTextEdit>

#include <QDir>
#include <QLineEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QCoreApplication>

using namespace tavolux;

namespace {

QString outputDir;

void snap(QWidget *window, const QString &name)
{
    if (window->minimumSize() != window->maximumSize())
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
    }
    Program program(folder.path());
    program.start();
    program.loginWindow()->txtPassword->setText(QStringLiteral("chiave"));
    snap(program.loginWindow(), QStringLiteral("login"));
    program.loginWindow()->hide();

    TfrmCambiaPassword *change = program.changePasswordWindow();
    change->show();
    change->txtPasswordOld->setText(QStringLiteral("chiaveprovvisa"));
    change->txtPasswordNew->setText(QStringLiteral("nuova"));
    change->txtPasswordNew->setFocus();
    snap(change, QStringLiteral("change_password"));
    change->hide();

    snap(program.launcher(), QStringLiteral("launcher"));
    {
        TfrmGuida help(program.folder(), program.launcher());
        help.lblTitolo->setText(helpTitle(HelpTopic::General));
        help.txtGuida->setPlainText(helpText(HelpTopic::General));
        snap(&help, QStringLiteral("help"));
    }
    {
        TfrmInfo info(program.launcher());
        snap(&info, QStringLiteral("info"));
    }
    {
        TfrmSplash credits(program.launcher());
        snap(&credits, QStringLiteral("credits"));
    }
    program.launcher()->hide();

    TfrmArchivio_Indirizzi *addresses = program.addressWindow();
    addresses->show();
    addresses->last();
    addresses->txtRigo04->setFocus();
    snap(addresses, QStringLiteral("address_window"));
    return 0;
}
