// The mailing window ("Etichette dall'archivio"): opened through the label
// window's button on large archives; its choices and re-sorting over a
// million cards; the first preview sheet; printing to PDF against a bare
// painter; the job's peak memory at two sizes; and the whole process against
// the batch printer of Debian's glabels merging the same addresses.
#include "ArchiveGenerator.h"
#include "BarePainter.h"
#include "DialogOpening.h"
#include "Harness.h"

#include "cardlist/CardList.h"
#include "labels/TfrmArchivio_Etichette.h"
#include "mailing/MailingListModel.h"
#include "mailing/TfrmStampaSchede.h"
#include "printing/LabelMailing.h"
#include "printing/SheetFormat.h"
#include "report/PageSequence.h"
#include "report/Units.h"
#include "reportui/ReportHooks.h"
#include "reportui/ReportPrinter.h"
#include "storage/AddressArchive.h"
#include "ui/Messages.h"
#include "ui/PictureButton.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QLineEdit>

#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char **environ;

using namespace tavolux;
using namespace tavolux::bench;

namespace {

// An archive of `cards` cards with all six lines written, made once and read
// once so that it is in the page cache.
QString fullArchiveFolder(int cards)
{
    const QString folder = scratchFolder() + QStringLiteral("/mailing-%1").arg(cards);
    const QString path = folder + QStringLiteral("/Archivio_Indirizzi.pro");
    if (QFile(path).size() != qint64(cards) * TSchedaIndirizzo::RecordSize) {
        std::fprintf(stderr, "generating %d cards with six lines...\n", cards);
        writeAddressArchive(folder, cards, fullCard);
    }
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        while (!file.read(1 << 20).isEmpty()) {
        }
    return folder;
}

// The print dialog answers OK with the output into a PDF file.
struct PrintToPdf
{
    explicit PrintToPdf(const QString &path)
    {
        report::hooks::setPrinterListHandler([] { return QStringList{QStringLiteral("PDF")}; });
        report::hooks::setPrintDialogHandler([path](QPrinter &printer, const report::PrintRequest &) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(path);
            return true;
        });
    }
    ~PrintToPdf()
    {
        report::hooks::setPrintDialogHandler({});
        report::hooks::setPrinterListHandler({});
    }
};

// Cpu seconds (user and system) a child process took, or -1 when it failed.
double childCpu(const QStringList &arguments, QByteArray *output = nullptr)
{
    std::vector<std::string> args;
    for (const QString &a : arguments)
        args.push_back(a.toStdString());
    std::vector<char *> argv;
    for (std::string &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const QString out = scratchFolder() + QStringLiteral("/child-output.txt");
    posix_spawn_file_actions_addopen(&actions, 1, out.toLocal8Bit().constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return -1;
    int status = 0;
    struct rusage usage {};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    if (output) {
        QFile file(out);
        if (file.open(QIODevice::ReadOnly))
            *output = file.readAll();
    }
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
           + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// --- Opened through the label window's button -------------------------------

void mailingWindowOpen(benchmark::State &state)
{
    const int cards = int(state.range(0));
    ensureArchive(cards);
    TfrmArchivio_Etichette labels{ProgramFolder(archiveFolder(cards))};
    labels.show();
    QCoreApplication::processEvents();
    DialogOpening opening(viewportOf(QStringLiteral("lstSchede")));
    const auto press = [&] { labels.cmdSchede->click(); };
    opening.run(press); // once untimed: the first opening also loads fonts
    for (auto _ : state) {
        const Pairs pairs = interleave(
            repetitions(), [&] { return opening.run(press).open; },
            [&] { return seconds([&] { readArchiveFile(cards); }); });
        state.SetIterationTime(median(pairs.ours));
        addRow({"mailing window opened (button to list and types painted)", cardsLabel(cards), "reading the file",
                pairs.ours, pairs.ref, 3});
    }
    labels.hide();
}

// --- Choosing and re-sorting a million cards ---------------------------------

void mailingChoice(benchmark::State &state)
{
    const int cards = int(state.range(0));
    ensureArchive(cards);
    TfrmStampaSchede window{ProgramFolder(archiveFolder(cards))};
    window.show();
    QCoreApplication::processEvents();
    // The reference: one pass over the list's text (lowered), looking for a text it lacks.
    std::string text;
    const cardlist::CardLines &lines = window.model()->lines();
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray lowered = lines.lineBytes(i).toByteArray().toLower();
        text.append(lowered.constData(), size_t(lowered.size()));
        text.push_back('\n');
    }
    QListWidgetItem *clients = nullptr;
    for (int i = 0; i < window.lstTipi->count(); ++i)
        if (window.lstTipi->item(i)->data(Qt::UserRole).toString() == QLatin1String("Cliente"))
            clients = window.lstTipi->item(i);
    // Every place of a key in it, as a search of the text in one pass finds them.
    const auto passFinding = [&text](const char *key) {
        size_t found = 0;
        for (size_t at = text.find(key); at != std::string::npos; at = text.find(key, at + 1))
            ++found;
        benchmark::DoNotOptimize(found);
    };
    struct Step {
        const char *what;
        std::function<void()> choose, undo;
        const char *key;       // what the reference pass looks for
        const char *reference; // and how the row says it
    };
    const std::vector<Step> steps{
        {"mailing: choosing by text (\"rossi\")",
         [&] {
             window.txtTesto->setText(QStringLiteral("rossi"));
             window.optTesto->setChecked(true);
         },
         [&] { window.optTutte->setChecked(true); }, "rossi",
         "one pass over the list's text finding every \"rossi\""},
        {"mailing: choosing by type (Cliente)", [&] { clients->setCheckState(Qt::Checked); },
         [&] {
             clients->setCheckState(Qt::Unchecked);
             window.optTutte->setChecked(true);
         },
         "zanzibar", "one pass over the list's text"},
        {"mailing: re-sorting by postal code", [&] { window.optCap->setChecked(true); },
         [&] { window.optNome->setChecked(true); }, "zanzibar", "one pass over the list's text"},
    };
    // The first search waits for the list's lowered copy, made after the window opened.
    steps.front().choose();
    steps.front().undo();
    for (auto _ : state) {
        if (!clients) {
            state.SkipWithError("no type Cliente in the archive");
            break;
        }
        for (const Step &step : steps) {
            const Pairs pairs = interleave(
                repetitions(),
                [&] {
                    const double s = seconds(step.choose);
                    step.undo();
                    return s;
                },
                [&] { return seconds([&] { passFinding(step.key); }); });
            addRow({step.what, cardsLabel(cards), step.reference, pairs.ours, pairs.ref, 3});
            state.SetIterationTime(median(pairs.ours));
        }
    }
}

// --- The first sheet of the preview ------------------------------------------

void mailingPreview(benchmark::State &state)
{
    const int cards = int(state.range(0));
    ensureArchive(cards);
    TfrmStampaSchede window{ProgramFolder(archiveFolder(cards))};
    window.show();
    QCoreApplication::processEvents();
    DialogOpening opening(viewportOf(QStringLiteral("pagesView")));
    const auto press = [&] { window.btnAnteprima->click(); };
    opening.run(press);
    for (auto _ : state) {
        const std::vector<double> times = repeat(repetitions(), [&] { return opening.run(press).open; });
        state.SetIterationTime(median(times));
        Row row{"mailing: first preview sheet shown (button to sheet painted)",
                cardsLabel(int(window.chosen().cards.size())) + " chosen", "", times, {}, 0};
        row.limit = 0.3;
        addRow(row);
    }
}

// --- Printing to PDF against a bare painter ----------------------------------

void mailingPrint(benchmark::State &state)
{
    const int cards = int(state.range(0));
    const QString folder = fullArchiveFolder(cards);
    const QString ourPath = scratchFolder() + QStringLiteral("/mailing.pdf");
    const QString refPath = scratchFolder() + QStringLiteral("/mailing-riferimento.pdf");
    const PrintToPdf pdf(ourPath);
    ui::MessageRecorder messages; // the question after printing: not kept
    TfrmStampaSchede window{ProgramFolder(folder)};
    window.show();
    QCoreApplication::processEvents();
    const auto printOnce = [&] {
        messages.answerNext(ui::MessageAnswer::No);
        window.btnStampa->click();
    };
    printOnce(); // once untimed, which also sets the mailing up
    const QList<report::PreparedPage> laidOut = window.mailing().sheets().toList();
    const int sheets = int(laidOut.size());
    const BarePainter bare(laidOut);
    for (auto _ : state) {
        const Pairs pairs = interleave(
            repetitions(), [&] { return seconds(printOnce) / sheets; },
            [&] { return bare.print(refPath, TfrmStampaSchede::title()) / sheets; });
        state.SetIterationTime(median(pairs.ours));
        addRow({"mailing printed to PDF (print button to last sheet)",
                cardsLabel(cards) + ", " + std::to_string(sheets) + " sheets, per sheet",
                bare.description("sheet"), pairs.ours, pairs.ref, 1.3});
    }
}

// --- The job's peak memory at two sizes, each in its own process --------------

void mailingMemory(benchmark::State &state)
{
    for (auto _ : state) {
        std::vector<double> peaks;
        for (int cards : {10000, 100000}) {
            const QString folder = fullArchiveFolder(cards);
            QByteArray output;
            const bool ran = childCpu({QStringLiteral(MAILING_PROBE), folder,
                                       scratchFolder() + QStringLiteral("/mailing-memory.pdf")},
                                      &output) >= 0;
            const QList<QByteArray> f = output.trimmed().split(' ');
            Row row{"mailing: window and print job, peak memory", cardsLabel(cards), "", {}, {}, 0};
            row.unit = "B";
            if (ran && f.size() == 3) {
                row.ours = {(f[1].toDouble() - f[0].toDouble()) * 1024.0};
                row.note = "(" + f[2].toStdString() + " sheets)";
                peaks.push_back(f[1].toDouble() * 1024.0);
            }
            addRow(row);
        }
        Row flat{"mailing: peak memory, 100,000 cards less 10,000", "", "", {}, {}, 0};
        flat.unit = "B";
        flat.limit = 50e6;
        if (peaks.size() == 2)
            flat.ours = {peaks[1] - peaks[0]};
        addRow(flat);
        state.SetIterationTime(1);
    }
}

// --- Against glabels' batch printer, whole process ---------------------------

// A glabels document of the label page's sheet: each label a light-yellow box
// and six one-line texts in Arial 7 pt, 5 mm apart, filled from the fields of
// a CSV file, one record a label.
QString writeGlabelsDocument(const QString &csv)
{
    const SheetFormat &format = SheetFormat::standard();
    const auto mm = [](double units) { return QString::number(report::unitsToMm(units), 'f', 3) + QStringLiteral("mm"); };
    const QRectF label = format.labels.first().rect;
    const QRectF second = format.labels.at(1).rect;
    const QRectF below = format.labels.at(3).rect;
    const QString identity = QStringLiteral(R"( a0="1" a1="0" a2="0" a3="1" a4="0" a5="0")");
    QString objects = QStringLiteral(R"(<Object-box x="0mm" y="0mm" w="%1" h="%2" line_width="0.25pt" line_color="0xffffe0ff" fill_color="0xffffe0ff"%3/>)")
                          .arg(mm(label.width()), mm(label.height()), identity);
    for (int line = 0; line < format.linesPerLabel(); ++line) {
        // The line boxes of the second row: the first row's sit 0.2 mm higher.
        const QRectF box = format.labels.at(3).lines.at(line).translated(-below.topLeft());
        objects += QStringLiteral(R"(<Object-text x="%1" y="%2" w="%3" h="%4" justify="Left" valign="Top" auto_shrink="False"%5>)"
                                  R"(<Span font_family="Arial" font_size="%6" font_weight="Regular" font_italic="False" )"
                                  R"(color="0x000000ff" line_spacing="1"><Field name="%7"/></Span></Object-text>)")
                       .arg(mm(box.left()), mm(box.top()), mm(box.width()), mm(box.height()), identity)
                       .arg(format.pointSize)
                       .arg(line + 1);
    }
    const QString document =
        QStringLiteral(R"(<?xml version="1.0"?>
<Glabels-document xmlns="http://glabels.org/xmlns/3.0/">
  <Template brand="Tavolux" part="A4-24" size="A4" description="A4, 24 etichette 62 x 32 mm">
    <Label-rectangle id="0" width="%1" height="%2" round="0mm" x_waste="0mm" y_waste="0mm">
      <Layout nx="3" ny="8" x0="%3mm" y0="%4mm" dx="%5" dy="%6"/>
    </Label-rectangle>
  </Template>
  <Objects id="0" rotate="False">%7</Objects>
  <Merge type="Text/Comma" src="%8"/>
</Glabels-document>
)")
            .arg(mm(label.width()), mm(label.height()))
            .arg(format.leftMm)
            .arg(format.topMm)
            .arg(mm(second.left() - label.left()), mm(below.top() - label.top()), objects, csv);
    const QString path = scratchFolder() + QStringLiteral("/etichette.glabels");
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(document.toUtf8());
    return path;
}

// The six lines of every card of the archive, as CSV (UTF-8, fields quoted).
QString writeCsv(const QString &folder)
{
    const QString path = scratchFolder() + QStringLiteral("/indirizzi.csv");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    AddressArchive archive{ProgramFolder(folder)};
    archive.open();
    archive.readAll([&](qint64, const TSchedaIndirizzo &card) {
        QStringList fields;
        for (int line = 0; line < 6; ++line)
            fields << QLatin1Char('"') + QString(card[TSchedaIndirizzo::Rigo01 + line]).replace(QLatin1Char('"'), QStringLiteral("\"\""))
                          + QLatin1Char('"');
        file.write((fields.join(QLatin1Char(',')) + QLatin1Char('\n')).toUtf8());
        return true;
    });
    return path;
}

void mailingAgainstGlabels(benchmark::State &state)
{
    const int cards = int(state.range(0));
    const QString glabels = QStandardPaths::findExecutable(QStringLiteral("glabels-3-batch"));
    const QString folder = fullArchiveFolder(cards);
    const QString document = writeGlabelsDocument(writeCsv(folder));
    const QString peerPdf = scratchFolder() + QStringLiteral("/glabels.pdf");
    const QString ourPdf = scratchFolder() + QStringLiteral("/mailing-process.pdf");
    for (auto _ : state) {
        if (glabels.isEmpty()) {
            state.SkipWithError("glabels-3-batch is not installed (scripts/bench.sh installs glabels)");
            break;
        }
        // Each glabels run takes minutes: the harness's least number of repetitions.
        const Pairs pairs = interleave(
            5, [&] { return childCpu({QStringLiteral(MAILING_PROBE), folder, ourPdf}); },
            [&] { return childCpu({glabels, QStringLiteral("-o"), peerPdf, document}); });
        state.SetIterationTime(median(pairs.ours));
        addRow({"mailing printed to PDF, whole process, cpu", std::to_string(cards) + " labels",
                "glabels-3-batch merging the same CSV onto the same sheet", pairs.ours, pairs.ref, 0.1});
    }
}

} // namespace

#define TAVOLUX_MAILING_CASE(function, name) \
    BENCHMARK(function)->Name(name)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond)

TAVOLUX_MAILING_CASE(mailingWindowOpen, "mailing-window")->Arg(100000)->Arg(1000000);
TAVOLUX_MAILING_CASE(mailingChoice, "mailing-choice")->Arg(1000000);
TAVOLUX_MAILING_CASE(mailingPreview, "mailing-preview")->Arg(1000000);
TAVOLUX_MAILING_CASE(mailingPrint, "mailing-print")->Arg(10000);
TAVOLUX_MAILING_CASE(mailingMemory, "mailing-memory");
TAVOLUX_MAILING_CASE(mailingAgainstGlabels, "mailing-glabels")->Arg(10000);
