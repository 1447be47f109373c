// A user of a program folder, through the program's own windows:
//   folder_driver <folder> save <tag> <n>       n cards and n label pages
//   folder_driver <folder> count <tag>          prints "<cards> <pages>" of that tag
//   folder_driver <folder> settings <top> <left> envelope margins, as a print saves them
//   folder_driver <folder> password <old> <new> changes the access password
//   folder_driver <folder> login <password>     exit code 0 when it lets the user in
//   folder_driver <folder> attach <file>        copies a document into the attachments
//   folder_driver <folder> export               writes the spreadsheet file
#include "access/TfrmCambiaPassword.h"
#include "access/TfrmPassword.h"
#include "addresses/TfrmAllegaCartella.h"
#include "addresses/TfrmArchivio_Indirizzi.h"
#include "addresses/TfrmExpIndirizzi.h"
#include "labels/TfrmArchivio_Etichette.h"
#include "printing/TfrmStampaBusta.h"
#include "ui/FileChooser.h"
#include "storage/AddressArchive.h"
#include "storage/LabelPageArchive.h"
#include "ui/Messages.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

#include <cstdio>

using namespace tavolux;

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    if (argc < 3)
        return 2;
    const ProgramFolder folder(QString::fromLocal8Bit(argv[1]));
    folder.shareWithGroupWhereSetUp();
    const QString action = QString::fromLatin1(argv[2]);
    const QString tag = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString();
    ui::MessageRecorder messages;
    if (action == QLatin1String("save") && argc == 5) {
        TfrmArchivio_Indirizzi addresses(folder);
        TfrmArchivio_Etichette labels(folder);
        const int n = QString::fromLatin1(argv[4]).toInt();
        for (int i = 0; i < n; ++i) {
            const QString name = QStringLiteral("%1 %2").arg(tag).arg(i);
            addresses.newCard();
            addresses.txtNome->setText(name);
            addresses.save();
            labels.newPage();
            labels.fillSlot(1, name, {name});
            labels.save();
        }
        // Every save said it stored the card or page.
        for (const auto &entry : messages.entries())
            if (entry.kind != ui::MessageKind::Information)
                return 1;
        return messages.count() == 2 * n ? 0 : 1;
    }
    if (action == QLatin1String("settings") && argc == 5) {
        TfrmStampaBusta envelope(folder, [] { return QStringList(); });
        envelope.txtTop->setText(tag);
        envelope.txtLeft->setText(QString::fromLocal8Bit(argv[4]));
        envelope.btnApplicaTop->click();
        envelope.btnApplicaLeft->click();
        return messages.count() == 0 ? 0 : 1;
    }
    if (action == QLatin1String("password") && argc == 5) {
        TfrmCambiaPassword change(folder);
        change.show();
        change.txtPasswordOld->setText(tag);
        change.txtPasswordNew->setText(QString::fromLocal8Bit(argv[4]));
        change.txtConferma->setText(QString::fromLocal8Bit(argv[4]));
        change.cmdOK->click();
        return messages.last().text == QStringLiteral("Modifica della password completata con successo.") ? 0 : 1;
    }
    if (action == QLatin1String("login")) {
        TfrmPassword login(folder);
        bool in = false;
        QObject::connect(&login, &TfrmPassword::loggedIn, [&in] { in = true; });
        login.txtPassword->setText(tag);
        login.cmdOK->click();
        return in ? 0 : 1;
    }
    if (action == QLatin1String("attach")) {
        TfrmArchivio_Indirizzi addresses(folder);
        TfrmAllegaCartella attachments(addresses);
        ui::setFileChooserHandler([&tag](QWidget *, const QString &, const QString &) { return tag; });
        attachments.btnSfoglia01->click();
        return 0;
    }
    if (action == QLatin1String("export")) {
        TfrmArchivio_Indirizzi addresses(folder);
        TfrmExpIndirizzi exporter(folder, &addresses);
        exporter.show();
        messages.answerNext(ui::MessageAnswer::Yes);
        messages.answerNext(ui::MessageAnswer::No);
        exporter.exportArchive();
        return messages.count() == 2 ? 0 : 1;
    }
    if (action == QLatin1String("count")) {
        int cards = 0, pages = 0;
        AddressArchive cardArchive(folder);
        LabelPageArchive pageArchive(folder);
        if (!cardArchive.open() || !pageArchive.open())
            return 1;
        for (qint64 p = 1; p <= cardArchive.count(); ++p) {
            TSchedaIndirizzo card;
            cards += cardArchive.read(p, card) && card[TSchedaIndirizzo::Nome].startsWith(tag + QLatin1Char(' '));
        }
        for (qint64 p = 1; p <= pageArchive.count(); ++p) {
            TPaginaEtichette page;
            pages += pageArchive.read(p, page) && page.name(1).startsWith(tag + QLatin1Char(' '));
        }
        std::printf("%d %d\n", cards, pages);
        return 0;
    }
    return 2;
}
