// Tavolux benchmarks: each case times the program's own path (a dialog
// opened through its window's button, the export window's export step, label
// pages through the print steps, the whole start-up process) beside the
// machine's limit for the same work, the two interleaved in a random order
// in every repetition (Harness.h), and ends in one table.
#include "ArchiveGenerator.h"
#include "BarePainter.h"
#include "DialogOpening.h"
#include "Harness.h"

#include "cardlist/CardList.h"
#include "addresses/ExportGridModel.h"
#include "addresses/SpreadsheetFile.h"
#include "addresses/SpreadsheetWriter.h"
#include "addresses/TfrmArchivio_Indirizzi.h"
#include "addresses/TfrmExpIndirizzi.h"
#include "labels/TfrmArchivio_Etichette.h"
#include "platform/TextUtil.h"
#include "printing/LabelPageFill.h"
#include "printing/LabelPageTemplate.h"
#include "report/PreparedPage.h"
#include "report/Report.h"
#include "report/Units.h"
#include "reportui/ReportPrinter.h"
#include "storage/AddressArchive.h"
#include "ui/Messages.h"
#include "ui/PictureButton.h"
#include "workbook/WorkbookWriter.h"

#include <benchmark/benchmark.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QSaveFile>
#include <QTableView>

#include <algorithm>
#include <random>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char **environ;

using namespace tavolux;
using namespace tavolux::bench;

namespace {

qint64 residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> f = statm.readAll().split(' ');
    return f.size() > 1 ? f[1].toLongLong() * 4096 : 0;
}

// --- The find and import dialogs, opened through their windows' buttons -------

void dialogOpen(benchmark::State &state, bool import)
{
    const int cards = int(state.range(0));
    ensureArchive(cards);
    const ProgramFolder folder(archiveFolder(cards));
    TfrmArchivio_Indirizzi addresses(folder);
    TfrmArchivio_Etichette labels(folder);
    QWidget &window = import ? static_cast<QWidget &>(labels) : addresses;
    window.show();
    QCoreApplication::processEvents();
    DialogOpening opening(viewportOf(QStringLiteral("lstRecords")));
    auto press = [&] {
        if (import)
            labels.impIndirizzo_E(1)->click();
        else
            addresses.cmdTrova->click();
    };
    opening.run(press); // once untimed: the process's first opening also loads its fonts
    std::vector<double> closes;
    for (auto _ : state) {
        const Pairs pairs = interleave(
            repetitions(),
            [&] {
                const DialogTimes t = opening.run(press);
                closes.push_back(t.close);
                return t.open;
            },
            [&] { return seconds([&] { readArchiveFile(cards); }); });
        state.SetIterationTime(median(pairs.ours));
        const std::string what = import ? "import dialog opened (button to list painted)"
                                        : "find dialog opened (button to list painted)";
        addRow({what, cardsLabel(cards), "reading the file", pairs.ours, pairs.ref, 3});
        addRow({import ? "import dialog closed" : "find dialog closed", cardsLabel(cards), "reading the file", closes,
                pairs.ref, 3});
    }
    window.hide();
}

void findDialogOpen(benchmark::State &state) { dialogOpen(state, false); }
void importDialogOpen(benchmark::State &state) { dialogOpen(state, true); }

// --- The export window: opened through the address window's button ----------

void exportWindowOpen(benchmark::State &state)
{
    const int cards = int(state.range(0));
    ensureArchive(cards);
    TfrmArchivio_Indirizzi addresses{ProgramFolder(archiveFolder(cards))};
    addresses.show();
    QCoreApplication::processEvents();
    DialogOpening opening(viewportOf(QStringLiteral("grdRecords")));
    // Once untimed, as for the dialogs. Its memory is the window's: later
    // openings reuse what the process freed, so their growth says little.
    double grown = 0, text = 0;
    const qint64 before = residentBytes();
    opening.onPainted = [&](QWidget *dialog) {
        grown = double(residentBytes() - before);
        text = double(static_cast<TfrmExpIndirizzi *>(dialog)->model()->textBytes());
    };
    opening.run([&] { addresses.cmdEsporta->click(); });
    opening.onPainted = nullptr;
    std::vector<double> closes;
    for (auto _ : state) {
        const Pairs pairs = interleave(
            repetitions(),
            [&] {
                const DialogTimes t = opening.run([&] { addresses.cmdEsporta->click(); });
                closes.push_back(t.close);
                return t.open;
            },
            [&] { return seconds([&] { readArchiveFile(cards); }); });
        state.SetIterationTime(median(pairs.ours));
        addRow({"export window opened (button to grid painted)", cardsLabel(cards), "reading the file", pairs.ours,
                pairs.ref, 3});
        addRow({"export window closed", cardsLabel(cards), "reading the file", closes, pairs.ref, 3});
        // Memory: what the first opening added to the process, against the grid's text.
        Row memory{"export window memory (first opening)", cardsLabel(cards), "of grid text", {grown}, {text}, 3};
        memory.unit = "B";
        addRow(memory);
    }
    addresses.hide();
}

// --- The export window's own export step, against writing as many bytes ------

void exportStep(benchmark::State &state)
{
    const int cards = int(state.range(0));
    ensureArchive(cards);
    TfrmExpIndirizzi window{ProgramFolder(archiveFolder(cards))};
    window.show();
    QCoreApplication::processEvents();
    const QString path = archiveFolder(cards) + QStringLiteral("/Archivio_Indirizzi.xls");
    const QString refPath = archiveFolder(cards) + QStringLiteral("/riferimento.xls");
    auto exportOnce = [&] {
        ui::MessageRecorder messages;
        messages.answerNext(ui::MessageAnswer::Yes); // export
        messages.answerNext(ui::MessageAnswer::No);  // and do not open it
        window.exportArchive();
    };
    QFile::remove(path);
    exportOnce(); // once first, for the size of the file
    const QByteArray bytes(QFileInfo(path).size(), 'x');
    for (auto _ : state) {
        if (bytes.isEmpty()) {
            state.SkipWithError("the export wrote no file");
            break;
        }
        const Pairs pairs = interleave(
            repetitions(), [&] { return seconds(exportOnce); },
            [&] {
                // The same number of bytes written as a new file in the same way.
                return seconds([&] {
                    QSaveFile file(refPath);
                    file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
                    for (qsizetype at = 0; at < bytes.size(); at += kSpreadsheetPiece)
                        file.write(bytes.constData() + at, std::min(kSpreadsheetPiece, bytes.size() - at));
                    file.commit();
                });
            });
        state.SetIterationTime(median(pairs.ours));
        addRow({"export to the file (export step)", cardsLabel(cards), "writing as many bytes", pairs.ours, pairs.ref,
                2});
    }
}

// --- The .xlsx export step, against the library writing the same rows -------

void workbookStep(benchmark::State &state)
{
    const int cards = int(state.range(0));
    ensureArchive(cards);
    TfrmExpIndirizzi window{ProgramFolder(archiveFolder(cards))};
    window.show();
    QCoreApplication::processEvents();
    const ExportGridModel &model = *window.model();
    // The same sheet the step writes, made straight in place (its read-back
    // included), without the private folder and the copy into place.
    WorkbookSheet sheet;
    sheet.name = TfrmExpIndirizzi::workbookSheetName();
    for (int c = TfrmExpIndirizzi::colNome; c < TfrmExpIndirizzi::ColumnCount; ++c)
        sheet.columns << WorkbookColumn{ExportGridModel::header(c), window.grdRecords->columnWidth(c)};
    sheet.rows = model.rowCount();
    sheet.cell = [&model](qsizetype row, int column) {
        return trimText(model.text(int(row), TfrmExpIndirizzi::colNome + column));
    };
    const QString refPath = archiveFolder(cards) + QStringLiteral("/riferimento.xlsx");
    for (auto _ : state) {
        const Pairs pairs = interleave(
            repetitions(),
            [&] {
                return seconds([&] {
                    ui::MessageRecorder messages;
                    messages.answerNext(ui::MessageAnswer::No); // do not open it
                    window.exportWorkbook();
                });
            },
            [&] { return seconds([&] { writeWorkbook(refPath, sheet); }); });
        state.SetIterationTime(median(pairs.ours));
        addRow({"export to .xlsx (export step)", cardsLabel(cards), "the library writing it in place", pairs.ours,
                pairs.ref, 0});
    }
}

// --- Label pages through the print steps into a PDF ---------------------------

// All six lines of every label written, so that a page holds 144 texts.
QString labelLine(int page, int slot, int line)
{
    return fullCard(quint32(page * 24 + slot - 1))[TSchedaIndirizzo::Rigo01 + line - 1];
}

void labelPages(benchmark::State &state)
{
    const int pages = int(state.range(0));
    const QString ourPath = scratchFolder() + QStringLiteral("/etichette.pdf");
    const QString refPath = scratchFolder() + QStringLiteral("/riferimento.pdf");
    std::vector<std::vector<QString>> lines(static_cast<size_t>(pages));
    for (int page = 0; page < pages; ++page)
        for (int slot = 1; slot <= 24; ++slot)
            for (int line = 1; line <= 6; ++line)
                lines[size_t(page)].push_back(labelLine(page, slot, line));
    auto lineOf = [&](int page) {
        return [&lines, page](int slot, int line) { return lines[size_t(page)][size_t((slot - 1) * 6 + line - 1)]; };
    };
    // What a bare painter draws: the same items, as the layout placed them.
    auto document = LabelPageTemplate::create(QStringLiteral("Pagina Etichette"));
    QList<report::PreparedPage> laidOut;
    for (int page = 0; page < pages; ++page) {
        fillLabelPage(*document, lineOf(page));
        document->PrepareReport();
        laidOut << document->preparedPages().first();
    }
    const BarePainter bare(laidOut);
    std::vector<double> cpu;
    for (auto _ : state) {
        const Pairs pairs = interleave(
            repetitions(),
            [&] {
                double wall = 0;
                cpu.push_back(cpuSeconds([&] {
                    wall = seconds([&] {
                        // As the print steps do it: each page filled from the window's
                        // lines and prepared, the job painted into the printer.
                        auto job = LabelPageTemplate::create(QStringLiteral("Pagina Etichette"));
                        QList<report::PreparedPage> prepared;
                        for (int page = 0; page < pages; ++page) {
                            fillLabelPage(*job, lineOf(page));
                            job->PrepareReport();
                            prepared << job->preparedPages();
                        }
                        QPrinter printer(QPrinter::HighResolution);
                        printer.setOutputFormat(QPrinter::PdfFormat);
                        printer.setOutputFileName(ourPath);
                        report::preparePrinter(printer, job->name(), prepared);
                        QString error;
                        if (!report::printPages(prepared, printer, &error))
                            wall = -1e9;
                    });
                }) / pages);
                return wall < 0 ? -1.0 : wall / pages;
            },
            [&] { return bare.print(refPath, QStringLiteral("Pagina Etichette")) / pages; });
        state.SetIterationTime(median(pairs.ours));
        const std::string size = pages == 1 ? "1 page" : std::to_string(pages) + " pages, per page";
        addRow({"label pages to PDF (fill, prepare, print steps)", size, bare.description("page"), pairs.ours,
                pairs.ref, 1.5});
        Row cpuRow{"label pages to PDF, cpu time", size, "", cpu, {}, 0};
        cpuRow.limit = pages > 1 ? 1.6e-3 : 0;
        addRow(cpuRow);
    }
}

// --- One navigation step: open, count, read one card, close -----------------

void navigationStep(benchmark::State &state)
{
    const int cards = int(state.range(0));
    ensureArchive(cards);
    const ProgramFolder folder(archiveFolder(cards));
    std::mt19937 random(7);
    std::uniform_int_distribution<qint64> anywhere(1, cards);
    for (auto _ : state) {
        const std::vector<double> steps = repeat(repetitions(), [&] {
            constexpr int kSteps = 200;
            return seconds([&] {
                       for (int i = 0; i < kSteps; ++i) {
                           AddressArchive archive(folder);
                           archive.open();
                           const qint64 count = archive.count();
                           TSchedaIndirizzo card;
                           archive.read(std::min(count, anywhere(random)), card);
                           archive.close();
                           benchmark::DoNotOptimize(card);
                       }
                   })
                   / kSteps;
        });
        state.SetIterationTime(median(steps));
        Row row{"one navigation step (open, count, read, close)", cardsLabel(cards), "", steps, {}, 0};
        row.limit = 1e-3;
        addRow(row);
    }
}

// --- "Trova" that matches nothing -------------------------------------------

void findNoMatch(benchmark::State &state)
{
    const int count = int(state.range(0));
    cardlist::CardLines lines;
    for (int n = 0; n < count; ++n)
        lines.appendRecord(sampleCard(quint32(n)).toRecord().constData());
    lines.sort();
    std::string text;
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray lowered = lines.lineBytes(i).toByteArray().toLower();
        text.append(lowered.constData(), size_t(lowered.size()));
        text.push_back('\n');
    }
    for (auto _ : state) {
        const Pairs pairs = interleave(
            repetitions(),
            [&] {
                cardlist::Search search;
                return seconds([&] { benchmark::DoNotOptimize(search.findNext(lines, 0, QStringLiteral("Zanzibar"))); });
            },
            [&] { return seconds([&] { benchmark::DoNotOptimize(text.find("zanzibar")); }); });
        state.SetIterationTime(median(pairs.ours));
        addRow({"\"Trova\" with no match", std::to_string(count) + " lines", "substring scan of the lowered text",
                pairs.ours, pairs.ref, 3});
    }
}

// --- Start-up as a whole process ----------------------------------------------

// Seconds the program took, or -1 when it failed (the probe fails when a
// persistent window is missing at the login's first paint).
double runProcess(const char *path)
{
    pid_t pid;
    char *argv[] = {const_cast<char *>(path), nullptr};
    const double s = seconds([&] {
        if (posix_spawn(&pid, path, nullptr, nullptr, argv, environ) != 0) {
            pid = -1;
            return;
        }
        int status = 0;
        waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            pid = -1;
    });
    return pid < 0 ? -1 : s;
}

void startup(benchmark::State &state)
{
    for (auto _ : state) {
        const Pairs pairs = interleave(std::max(15, repetitions()), [] { return runProcess(STARTUP_PROBE); },
                                       [] { return runProcess(MINIMAL_WINDOW); });
        state.SetIterationTime(median(pairs.ours));
        addRow({"start-up: five windows made, login painted", "process", "Qt \"hello\" window painted", pairs.ours,
                pairs.ref, 1.5});
    }
}

// --- Peak memory of the find dialog, in its own process -----------------------

void findDialogMemory(benchmark::State &state)
{
    const int cards = int(state.range(0));
    ensureArchive(cards);
    for (auto _ : state) {
        QProcess probe;
        probe.start(QStringLiteral(MEMORY_PROBE), {archiveFolder(cards)});
        Row row{"find dialog peak memory", cardsLabel(cards), "of list text", {}, {}, 3};
        row.unit = "B";
        if (probe.waitForFinished(600000)) {
            const QList<QByteArray> f = probe.readAllStandardOutput().trimmed().split(' ');
            if (f.size() == 4) {
                row.ours = {(f[1].toDouble() - f[0].toDouble()) * 1024.0};
                row.ref = {f[2].toDouble()};
            }
        }
        state.SetIterationTime(1);
        addRow(row);
    }
}

} // namespace

#define TAVOLUX_CASE(function, name) \
    BENCHMARK(function)->Name(name)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond)

TAVOLUX_CASE(findDialogOpen, "find-dialog")->Arg(10000)->Arg(100000)->Arg(1000000);
TAVOLUX_CASE(importDialogOpen, "import-dialog")->Arg(10000)->Arg(100000)->Arg(1000000);
TAVOLUX_CASE(exportWindowOpen, "export-window")->Arg(10000)->Arg(100000)->Arg(1000000);
TAVOLUX_CASE(exportStep, "export-step")->Arg(10000)->Arg(100000)->Arg(1000000);
TAVOLUX_CASE(workbookStep, "xlsx-step")->Arg(10000)->Arg(100000);
TAVOLUX_CASE(labelPages, "label-pages")->Arg(1)->Arg(100);
TAVOLUX_CASE(navigationStep, "navigate")->Arg(1000000);
TAVOLUX_CASE(findNoMatch, "find-no-match")->Arg(100000);
TAVOLUX_CASE(startup, "startup");
TAVOLUX_CASE(findDialogMemory, "find-memory")->Arg(100000)->Arg(1000000);

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    printTable();
    return 0;
}
