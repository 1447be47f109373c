// Renders the program's windows with sample data to PNG files.
#include "addresses/TfrmArchivio_Indirizzi.h"
#include "app/Program.h"
#include "app/TavoluxApplication.h"
#include "app/TfrmAvvio.h"
#include "printing/TfrmAnteprima_Etichetta.h"
#include "printing/TfrmAnteprima_Etichette.h"
#include "printing/TfrmStampaBusta.h"
#include "printing/TfrmStampaPagina.h"
#include "report/PreviewWindow.h"
#include "report/Report.h"
#include "report/ReportHooks.h"
#include "storage/AddressArchive.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QCoreApplication>

using namespace tavolux;

namespace {

QString outputDir;

void snap(QWidget *window, const QString &name)
{
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
    snap(program.launcher(), QStringLiteral("launcher"));
    program.launcher()->hide();

    TfrmArchivio_Indirizzi *addresses = program.addressWindow();
    addresses->show();
    addresses->last();
    addresses->txtRigo04->setFocus();
    snap(addresses, QStringLiteral("address_window"));

    // The printing dialogs, and the previews they open.
    const QStringList lines = addresses->shownLines();
    TfrmStampaBusta envelope(ProgramFolder(folder.path()), [lines] { return lines; }, addresses);
    envelope.lblAttendere->show();
    snap(&envelope, QStringLiteral("envelope_dialog"));
    envelope.hide();

    auto sampleLine = [](int slot, int line) {
        static const QStringList names{"Studio Rossi & Figli", "Bianchi S.r.l.", "Ferri Giovanna", "Colombo Luca",
                                       "Ricci Anna", "Marino e Greco", "Bruno Arredamenti", "Gallo Paolo"};
        switch (line) {
        case 1: return names.at((slot - 1) % names.size());
        case 2: return QStringLiteral("alla c.a. Ufficio Acquisti");
        case 3: return QStringLiteral("Via Garibaldi, %1").arg(slot * 3);
        case 4: return QStringLiteral("%1 Milano (MI)").arg(20100 + slot);
        case 5: return slot % 4 == 0 ? QStringLiteral("Italia") : QString();
        default: return slot % 5 == 0 ? QStringLiteral("Una riga molto lunga che non entra nella sua etichetta e viene tagliata al bordo") : QString();
        }
    };
    TfrmAnteprima_Etichette pagePreview(sampleLine, addresses);
    snap(&pagePreview, QStringLiteral("label_page_preview_dialog"));
    pagePreview.hide();
    TfrmStampaPagina pagePrint(sampleLine, addresses);
    snap(&pagePrint, QStringLiteral("label_page_print_dialog"));
    pagePrint.hide();
    TfrmAnteprima_Etichetta oneAddress([lines] { return lines; }, addresses);
    snap(&oneAddress, QStringLiteral("one_address_dialog"));
    oneAddress.hide();

    QString previewName;
    report::hooks::setPreviewHandler([&previewName](report::Report &document) {
        report::PreviewWindow preview(document);
        snap(&preview, previewName);
        preview.fitPage();
        snap(&preview, previewName + QStringLiteral("_whole"));
    });
    previewName = QStringLiteral("label_page_preview");
    TfrmAnteprima_Etichette(sampleLine, addresses).btnStampa->click();
    previewName = QStringLiteral("one_address_preview");
    TfrmAnteprima_Etichetta([lines] { return lines; }, addresses).btnStampa->click();
    report::hooks::setPreviewHandler({});
    return 0;
}
