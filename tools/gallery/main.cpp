// Renders the program's windows with sample data to PNG files.
#include "addresses/TfrmAllegaCartella.h"
#include "access/TfrmCambiaPassword.h"
#include "access/TfrmPassword.h"
#include "addresses/TfrmArchivio_Indirizzi.h"
#include "addresses/TfrmTrovaIndirizzi.h"
#include "addresses/TfrmExpIndirizzi.h"
#include "addresses/TfrmImportaSchede.h"
#include "app/Program.h"
#include "app/TavoluxApplication.h"
#include "app/TfrmAvvio.h"
#include "labels/TfrmArchivio_Etichette.h"
#include "labels/TfrmImportaIndirizzi.h"
#include "mailing/TfrmStampaSchede.h"
#include "help/HelpTopic.h"
#include "help/TfrmGuida.h"
#include "help/TfrmInfo.h"
#include "help/TfrmSplash.h"
#include "printing/TfrmAnteprima_Etichetta.h"
#include "printing/TfrmAnteprima_Etichette.h"
#include "printing/TfrmCalibrazione.h"
#include "printing/TfrmFormatoEtichette.h"
#include "printing/TfrmNuovoFormato.h"
#include "labelformats/LabelFormatSettings.h"
#include "printing/TfrmStampaBusta.h"
#include "printing/TfrmStampaPagina.h"
#include "reportui/PreviewWindow.h"
#include "report/Report.h"
#include "reportui/ReportHooks.h"
#include "storage/AddressArchive.h"
#include "storage/LabelPageArchive.h"
#include "ui/FileChooser.h"

#include <QLabel>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QPrintDialog>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QElapsedTimer>
#include <QPrinter>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QCoreApplication>

using namespace tavolux;

namespace {

QString outputDir;

void snap(QWidget *window, const QString &name, bool fixedSize = false)
{
    if (!fixedSize && window->minimumSize() != window->maximumSize())
        window->resize(1280, 960);
    if (!window->isVisible())
        window->show();
    QCoreApplication::processEvents();
    const QString path = outputDir + QLatin1Char('/') + name + QStringLiteral(".png");
    window->grab().save(path);
    qInfo("%s", qPrintable(path));
}

// Under a window manager (the xcb platform): the whole screen too, with the
// window's frame as the window manager draws it.
void snapScreen(const QString &name)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    QElapsedTimer settling;
    settling.start();
    while (settling.elapsed() < 700)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    const QString path = outputDir + QStringLiteral("/screen_") + name + QStringLiteral(".png");
    QGuiApplication::primaryScreen()->grabWindow(0).save(path);
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

TPaginaEtichette samplePage()
{
    const QStringList names{
        QStringLiteral("Rossi Mario – studio"), QStringLiteral("Bianchi Lucia"), QStringLiteral("Ferramenta Verdi S.r.l."),
        QStringLiteral("Esposito Gennaro"), QStringLiteral("Comune di Bergamo – Ufficio Tributi"), QStringLiteral("Ricci Anna"),
        QStringLiteral("Colombo & Figli"), QString(), QStringLiteral("Gallo Francesca"),
        QStringLiteral("Parrocchia San Michele"), QStringLiteral("Conti Giorgio"), QStringLiteral("De Luca Sara"),
        QStringLiteral("Caffè Mancini"), QStringLiteral("Costa Paolo"), QStringLiteral("Giordano Elena"),
        QStringLiteral("Rizzo Antonio"), QStringLiteral("Lombardi Chiara"), QStringLiteral("Moretti Luca"),
        QStringLiteral("Barbieri Giulia"), QStringLiteral("Fontana Marco"), QString(),
        QStringLiteral("Santoro Ilaria"), QStringLiteral("Marino Davide"), QString()};
    TPaginaEtichette page;
    for (int k = 1; k <= TPaginaEtichette::Slots; ++k) {
        const QString &name = names.at(k - 1);
        if (name.isEmpty())
            continue;
        page.name(k) = name;
        page.line(k, 1) = name;
        page.line(k, 2) = QStringLiteral("Via Roma, %1").arg(k);
        page.line(k, 3) = QStringLiteral("20121 Milano (MI)");
    }
    return page;
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
        TSchedaIndirizzo other;
        other[TSchedaIndirizzo::Nome] = QStringLiteral("Bianchi Lucia");
        other[TSchedaIndirizzo::Tipo] = QStringLiteral("Fornitore");
        other[TSchedaIndirizzo::Rigo01] = QStringLiteral("Gent.ma Sig.ra");
        other[TSchedaIndirizzo::Rigo02] = QStringLiteral("Lucia Bianchi");
        other[TSchedaIndirizzo::Rigo03] = QStringLiteral("Corso Vittorio Emanuele, 5");
        other[TSchedaIndirizzo::Rigo04] = QStringLiteral("00186 Roma (RM)");
        other[TSchedaIndirizzo::Note] = QStringLiteral("Preferisce essere contattata via e-mail");
        archive.append(other);
        TSchedaIndirizzo condominium;
        condominium[TSchedaIndirizzo::Nome] = QStringLiteral("Condominio Le Terrazze");
        condominium[TSchedaIndirizzo::Tipo] = QStringLiteral("Ente");
        condominium[TSchedaIndirizzo::Rigo01] = QStringLiteral("Spett.le Amministrazione del Condominio Le Terrazze del Lago");
        condominium[TSchedaIndirizzo::Rigo02] = QStringLiteral("Via Lungolago, 8");
        condominium[TSchedaIndirizzo::Rigo03] = QStringLiteral("22100 Como (CO)");
        archive.append(condominium);
        TSchedaIndirizzo unnamed;
        unnamed[TSchedaIndirizzo::Rigo01] = QStringLiteral("Scheda senza nome");
        archive.append(unnamed);
    }
    {
        LabelPageArchive archive{ProgramFolder(folder.path())};
        archive.open();
        archive.append(samplePage());
        archive.append(samplePage());
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
        help.lblTitolo->setText(helpTitle(HelpTopic::Export));
        help.txtGuida->setPlainText(helpText(HelpTopic::Export));
        snap(&help, QStringLiteral("help_export"));
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
    addresses->first();
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
    addresses->hide();

    TfrmArchivio_Etichette *labels = program.labelWindow();
    labels->show();
    labels->last();
    labels->txtNome_E(5)->setFocus();
    labels->panInfo->setText(QStringLiteral("Importa etichetta da archivio indirizzi."));
    snap(labels, QStringLiteral("label_window"));
    {
        TfrmImportaIndirizzi import(*labels);
        import.lblMemory->setText(TfrmArchivio_Etichette::slotTag(8));
        import.show();
        import.txtTrova->setText(QStringLiteral("roma"));
        import.find();
        snap(&import, QStringLiteral("import_dialog"), true);
    }
    labels->hide();

    {
        // The attachments of the shown card, as the attach button fills them.
        TfrmAllegaCartella attachments(*addresses);
        attachments.lblMemory->setText(TfrmAllegaCartella::callerTag());
        attachments.txtFile01->setText(QStringLiteral("Contratto_Rossi_2024.pdf"));
        attachments.txtDesc01->setText(QStringLiteral("Contratto di fornitura firmato"));
        attachments.txtFile02->setText(QStringLiteral("Planimetria ufficio.dwg"));
        attachments.txtDesc02->setText(QStringLiteral("Planimetria per la consegna"));
        attachments.txtDesc03->setText(QStringLiteral("Fattura da allegare"));
        snap(&attachments, QStringLiteral("attachments_dialog"), true);
    }
    {
        TfrmExpIndirizzi exporter(program.folder(), addresses);
        exporter.show();
        exporter.grdRecords->setCurrentIndex(exporter.grdRecords->model()->index(1, TfrmExpIndirizzi::colNome));
        exporter.panInfo->setText(QStringLiteral("Esporta l'archivio in formato Microsoft Excel."));
        snap(&exporter, QStringLiteral("export_dialog"), true);
    }
    {
        // An Italian mail program's address book, ready to import: work and
        // home addresses, a contact with an e-mail alone, a row another
        // program wrote in Windows-1252.
        const QString csv = folder.filePath(QStringLiteral("rubrica.csv"));
        QFile file(csv);
        if (file.open(QIODevice::WriteOnly)) {
            file.write(QStringLiteral("Nome;Cognome;Società;Città (uff.);CAP (uff.);Via (uff.);Provincia (uff.);"
                                      "Via (ab.);Città (ab.);CAP (ab.);Note;Indirizzo posta elettronica\r\n"
                                      "Mario;Rossi;Studio Rossi & Figli;Città di Castello;06012;Via Garibaldi 12;PG;;;;"
                                      "Cliente dal 2019;mario@rossi.it\r\n"
                                      "Lucia;Bianchi;;;;;;\"Corso Italia 5, scala B\";Torino;10121;;lucia@bianchi.it\r\n"
                                      ";;;;;;;;;;;notizie@esempio.it\r\n")
                               .toUtf8());
            file.write("Gennaro;Esposito;Caff\xE8 Esposito;Napoli;80134;Via Toledo 200;NA;;;;Consegna il luned\xEC;\r\n");
        }
        file.close();
        TfrmImportaSchede importer(*addresses);
        importer.setFile(csv);
        snap(&importer, QStringLiteral("import_cards_dialog"), true);
    }
    // The printing dialogs, and the previews they open.
    const QStringList lines = addresses->shownLines();
    TfrmStampaBusta envelope(ProgramFolder(folder.path()), [lines] { return lines; }, addresses);
    envelope.lblAttendere->show();
    snap(&envelope, QStringLiteral("envelope_dialog"));
    envelope.hide();
    {
        TfrmCalibrazione calibration(ProgramFolder(folder.path()), addresses);
        calibration.btnOrizzPlus->click();
        calibration.btnVertMinus->click();
        snap(&calibration, QStringLiteral("calibration_dialog"));
    }

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
    {
        // The mailing window: every card by postal code, two copies, from label 5.
        TfrmStampaSchede mailing(program.folder(), addresses);
        mailing.show();
        mailing.optCap->setChecked(true);
        mailing.txtCopie->setValue(2);
        mailing.txtInizio->setValue(5);
        snap(&mailing, QStringLiteral("mailing_window"), true);
        mailing.tabElenchi->setCurrentIndex(1);
        snap(&mailing, QStringLiteral("mailing_window_cut_lines"), true);
        previewName = QStringLiteral("mailing_preview");
        mailing.preview();
        // The same cards on envelopes: DL with a sender, chosen in the envelope dialog.
        mailing.tabElenchi->setCurrentIndex(0);
        mailing.optBuste->setChecked(true);
        QTimer::singleShot(0, [] {
            auto *settings = qobject_cast<TfrmStampaBusta *>(QApplication::activeModalWidget());
            if (!settings)
                return;
            settings->cboFormato->setCurrentIndex(1);
            settings->txtMittente[0]->setText(QStringLiteral("Studio Bianchi"));
            settings->txtMittente[1]->setText(QStringLiteral("Corso Italia 5"));
            settings->txtMittente[2]->setText(QStringLiteral("10121 Torino (TO)"));
            snap(settings, QStringLiteral("mailing_envelope_settings"));
            settings->btnStampa->click();
        });
        mailing.btnBusta->click();
        snap(&mailing, QStringLiteral("mailing_window_envelopes"), true);
        previewName = QStringLiteral("mailing_preview_envelopes");
        mailing.preview();
    }
    previewName = QStringLiteral("label_page_preview");
    TfrmAnteprima_Etichette(program.folder(), sampleLine, addresses).btnStampa->click();
    previewName = QStringLiteral("one_address_preview");
    TfrmAnteprima_Etichetta(program.folder(), [lines] { return lines; }, addresses).btnStampa->click();
    previewName = QStringLiteral("one_address_preview_from_7");
    TfrmAnteprima_Etichetta fromSeven(program.folder(), [lines] { return lines; }, addresses);
    fromSeven.options().setFirstLabel(7);
    fromSeven.btnStampa->click();
    {
        // A DL envelope with a sender, and its preview.
        TfrmStampaBusta dl(ProgramFolder(folder.path()), [lines] { return lines; }, addresses);
        dl.cboFormato->setCurrentIndex(1);
        const QStringList sender{QStringLiteral("Studio Bianchi"), QStringLiteral("Corso Italia 5"),
                                 QStringLiteral("10121 Torino (TO)"), QString()};
        for (int line = 0; line < 4; ++line)
            dl.txtMittente[line]->setText(sender.at(line));
        snap(&dl, QStringLiteral("envelope_dialog_dl"));
        previewName = QStringLiteral("envelope_preview_dl");
        dl.btnAnteprima->click();
        dl.cboFormato->setCurrentIndex(6);
        dl.optVerticale->setChecked(true);
        snap(&dl, QStringLiteral("envelope_dialog_own"));
        previewName = QStringLiteral("envelope_preview_own");
        dl.btnAnteprima->click();
        dl.hide();
    }
    {
        // The label formats: the dialog and its search, a sheet of one's own
        // (sound, then with overlapping labels), and previews on Avery L7160.
        const ProgramFolder here(folder.path());
        TfrmFormatoEtichette formats(here, LabelFormatSettings::Use::OneAddress, addresses);
        snap(&formats, QStringLiteral("label_format_dialog"));
        formats.txtCerca->setText(QStringLiteral("L7160"));
        snap(&formats, QStringLiteral("label_format_dialog_l7160"));
        formats.txtCerca->setText(QStringLiteral("63,5 x 38"));
        snap(&formats, QStringLiteral("label_format_dialog_size"));
        formats.hide();
        TfrmNuovoFormato own(here, addresses);
        own.txtNome->setText(QStringLiteral("Etichette spedizioni 2 x 4"));
        own.txtColonne->setValue(2);
        own.txtRighe->setValue(4);
        own.txtLarghezza->setText(QStringLiteral("99,1"));
        own.txtAltezza->setText(QStringLiteral("67,7"));
        own.txtSinistro->setText(QStringLiteral("4,6"));
        own.txtSuperiore->setText(QStringLiteral("13"));
        own.txtPassoOrizzontale->setText(QStringLiteral("101,6"));
        own.txtPassoVerticale->setText(QStringLiteral("67,7"));
        snap(&own, QStringLiteral("new_label_format_dialog"));
        own.txtPassoVerticale->setText(QStringLiteral("60"));
        snap(&own, QStringLiteral("new_label_format_dialog_faults"));
        own.hide();
        LabelFormatSettings settings(here);
        const QString l7160 = catalogueProductId(QStringLiteral("Avery"), QStringLiteral("L7160"));
        settings.writeChosenId(LabelFormatSettings::Use::OneAddress, l7160);
        settings.writeChosenId(LabelFormatSettings::Use::LabelPages, l7160);
        previewName = QStringLiteral("one_address_preview_l7160");
        TfrmAnteprima_Etichetta(here, [lines] { return lines; }, addresses).btnStampa->click();
        previewName = QStringLiteral("label_page_preview_l7160");
        TfrmAnteprima_Etichette(here, sampleLine, addresses).btnStampa->click();
        settings.writeChosenId(LabelFormatSettings::Use::OneAddress, LabelProduct::builtInId());
        settings.writeChosenId(LabelFormatSettings::Use::LabelPages, LabelProduct::builtInId());
    }
    report::hooks::setPreviewHandler({});

    // Qt's own print dialog, in Italian like the rest of the program, as the
    // label page opens it: each of its tabs, the options shown.
    report::hooks::setPrinterListHandler([] { return QStringList{QStringLiteral("Stampante")}; });
    QTimer::singleShot(0, [] {
        QPrintDialog *dialog = nullptr;
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (auto *shown = qobject_cast<QPrintDialog *>(widget); shown && shown->isVisible())
                dialog = shown;
        if (!dialog)
            return;
        for (QPushButton *button : dialog->findChildren<QPushButton *>())
            if (button->text().remove(QLatin1Char('&')).startsWith(QLatin1String("Opzioni")))
                button->click();
        QCoreApplication::processEvents();
        if (auto *tabs = dialog->findChild<QTabWidget *>()) {
            for (int i = 0; i < tabs->count(); ++i) {
                tabs->setCurrentIndex(i);
                snap(dialog, QStringLiteral("qt_print_dialog_%1").arg(i + 1), true);
                snapScreen(QStringLiteral("qt_print_dialog_%1").arg(i + 1));
            }
        }
        dialog->reject();
    });
    TfrmStampaPagina(program.folder(), sampleLine, addresses).btnStampa->click();
    report::hooks::setPrinterListHandler({});

    // Qt's own file dialog, on a folder with a subfolder and a file.
    QDir(folder.path()).mkpath(QStringLiteral("Documenti_Allegati"));
    QTimer::singleShot(0, [] {
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (auto *dialog = qobject_cast<QFileDialog *>(widget); dialog && dialog->isVisible()) {
                for (QToolButton *button : dialog->findChildren<QToolButton *>())
                    if (button->objectName() == QLatin1String("detailModeButton"))
                        button->click();
                QElapsedTimer reading; // the folder is read in the background
                reading.start();
                while (reading.elapsed() < 500)
                    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
                snap(dialog, QStringLiteral("qt_file_dialog"), true);
                snapScreen(QStringLiteral("qt_file_dialog"));
                dialog->reject();
            }
    });
    ui::chooseOpenFile(addresses, QStringLiteral("Selezionare il file da allegare:"), QStringLiteral("Tutti i file (*.*)"),
                       folder.path());
    return 0;
}
