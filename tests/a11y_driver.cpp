// Shows the program's windows one at a time for the walk through the
// assistive-technology bus (a11y_walk.py), on commands read line by line from
// the standard input:
//   show NAME   shows that window (a name of AllWindows, "message box" or
//               "preview") and answers "shown WINDOW-ID TITLE"
//   hide        hides it again and answers "hidden"
//   quit
// Every answer is one line on the standard output.
#include "AllWindows.h"
#include "access/TfrmPassword.h"
#include "app/Program.h"
#include "labels/TfrmArchivio_Etichette.h"
#include "printing/LabelPageTemplate.h"
#include "report/Report.h"
#include "reportui/PreviewWindow.h"
#include "storage/AddressArchive.h"
#include "ui/Messages.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>
#include <memory>
#include <unistd.h>

using namespace tavolux;

namespace {

void answer(const QString &line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid() || !QFile::copy(QStringLiteral(DEFAULT_STORE), dir.filePath(QStringLiteral("unins000.dll"))))
        return 1;
    {
        AddressArchive archive{ProgramFolder(dir.path())};
        if (!archive.open())
            return 1;
        for (const char *name : {"Anna Rossi", "Bruno Verdi"}) {
            TSchedaIndirizzo card;
            card[TSchedaIndirizzo::Nome] = QString::fromLatin1(name);
            card[TSchedaIndirizzo::Rigo01] = QStringLiteral("Via ") + QString::fromLatin1(name);
            archive.append(card);
        }
    }
    Program program(dir.path());
    std::unique_ptr<report::Report> document;
    std::unique_ptr<QWidget> owned;
    QWidget *shown = nullptr;

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char buffer[256];
        if (!std::fgets(buffer, sizeof buffer, stdin)) {
            app.quit();
            return;
        }
        const QString command = QString::fromUtf8(buffer).trimmed();
        if (command == QLatin1String("quit")) {
            app.quit();
        } else if (command == QLatin1String("hide")) {
            if (shown)
                shown->hide();
            program.loginWindow()->hide();
            shown = nullptr;
            owned.reset();
            document.reset();
            answer(QStringLiteral("hidden"));
        } else if (command.startsWith(QLatin1String("show "))) {
            const QString name = command.mid(5);
            if (name == QLatin1String("message box")) {
                // A warning as the program shows it, over the login window.
                program.loginWindow()->show();
                owned.reset(ui::messageBox(program.loginWindow(), ui::MessageKind::Warning,
                                           QStringLiteral("Attenzione: password errata."), ui::MessageButtons::OkCancel));
            } else if (name == QLatin1String("preview")) {
                document = LabelPageTemplate::create(QStringLiteral("Pagina Etichette"));
                document->PrepareReport();
                owned = std::make_unique<report::PreviewWindow>(*document, program.labelWindow());
                owned->setWindowTitle(QStringLiteral("Pagina Etichette"));
            } else {
                shown = allwindows::make(program, name, owned);
            }
            if (owned)
                shown = owned.get();
            if (!shown) {
                answer(QStringLiteral("unknown ") + name);
                return;
            }
            shown->show();
            shown->raise();
            shown->activateWindow();
            QCoreApplication::processEvents();
            answer(QStringLiteral("shown %1 %2").arg(shown->winId()).arg(shown->windowTitle().trimmed()));
        }
    });
    answer(QStringLiteral("ready"));
    return app.exec();
}
