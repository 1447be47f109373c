// Importing an address book through the import window (choose the file,
// Importa), against the machine's limit for the same work: reading the file,
// splitting it into fields and writing the archive's bytes (3,765 a card) the
// way the import writes them. The two interleaved in a random order in every
// repetition; the peak memory of the import in a process of its own.
#include "Harness.h"
#include "ImportBenchFiles.h"

#include "addresses/TfrmArchivio_Indirizzi.h"
#include "addresses/TfrmImportaSchede.h"
#include "storage/AddressArchive.h"
#include "storage/RecordFile.h"
#include "ui/FileChooser.h"
#include "ui/Messages.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>

#include <cstring>
#include <vector>

using namespace tavolux;
using namespace tavolux::bench;

namespace {

// "100,000 rows".
std::string rowsLabel(int rows)
{
    std::string digits = std::to_string(rows);
    for (int i = int(digits.size()) - 3; i > 0; i -= 3)
        digits.insert(size_t(i), ",");
    return digits + " rows";
}

QString archiveFolderFor(const QString &name)
{
    const QString folder = scratchFolder() + QLatin1Char('/') + name;
    QDir().mkpath(folder);
    return folder;
}

// Reading the file and splitting it into fields, as fast as a plain loop
// can: the offsets of the fields, quotes honoured.
qint64 splitFields(const QByteArray &text, std::vector<quint32> &starts)
{
    starts.clear();
    const char *const base = text.constData();
    const char *p = base;
    const char *const end = base + text.size();
    qint64 records = 0;
    while (p != end) {
        starts.push_back(quint32(p - base));
        if (*p == '"') {
            for (++p; p != end; ++p)
                if (*p == '"' && (++p == end || *p != '"'))
                    break;
        }
        while (p != end && *p != ';' && *p != '\n' && *p != '\r')
            ++p;
        if (p == end)
            break;
        if (*p == ';') {
            ++p;
            continue;
        }
        ++records;
        if (*p == '\r' && p + 1 != end && p[1] == '\n')
            ++p;
        ++p;
    }
    return records;
}

// Wall-clock seconds of `work`, and its cpu seconds (user and system) added to `cpu`.
double timed(const std::function<void()> &work, std::vector<double> &cpu)
{
    double wall = 0;
    cpu.push_back(cpuSeconds([&] { wall = seconds(work); }));
    return wall;
}

// The reference: read, split, write a record per data row under one lock in
// one pass, as the import's append does.
double reference(const QString &csv, const ProgramFolder &folder, std::vector<double> &cpu)
{
    QFile::remove(folder.file(AddressArchive::fileName()));
    std::vector<quint32> starts;
    const double taken = timed([&] {
        QFile file(csv);
        if (!file.open(QIODevice::ReadOnly))
            return;
        const QByteArray text = file.readAll();
        const qint64 rows = splitFields(text, starts) - 1;
        RecordFile archive(TSchedaIndirizzo::RecordSize);
        if (!archive.open(folder.file(AddressArchive::fileName())))
            return;
        archive.appendAll(rows, [&](qint64 i, char *record) {
            // The bytes of one card: its fields as they come, zeros after them.
            std::memset(record, 0, TSchedaIndirizzo::RecordSize);
            const quint32 from = starts[size_t(10 * (i + 1))];
            std::memcpy(record + 1, text.constData() + from, 40);
        });
    }, cpu);
    const bool written = QFileInfo(folder.file(AddressArchive::fileName())).size() > 0;
    QFile::remove(folder.file(AddressArchive::fileName()));
    return written ? taken : -1;
}

// The program: the window's own steps, from choosing the file to the last card written.
double throughWindow(const QString &csv, const ProgramFolder &folder, qint64 rows, std::vector<double> &cpu)
{
    QFile::remove(folder.file(AddressArchive::fileName()));
    ui::MessageRecorder messages;
    ui::setFileChooserHandler([&](QWidget *, const QString &, const QString &) { return csv; });
    TfrmArchivio_Indirizzi window(folder);
    window.show();
    double taken = 0;
    {
        TfrmImportaSchede dialog(window);
        dialog.show();
        QCoreApplication::processEvents();
        taken = timed([&] {
            dialog.btnScegli->click();
            dialog.btnImporta->click();
        }, cpu);
    }
    ui::setFileChooserHandler({});
    AddressArchive archive(folder);
    const qint64 cards = archive.open() ? archive.count() : -1;
    archive.close();
    QFile::remove(folder.file(AddressArchive::fileName()));
    return cards == rows ? taken : -1;
}

void importWindow(benchmark::State &state)
{
    const int rows = int(state.range(0));
    const QString csv = importCsv(rows);
    const ProgramFolder ours(archiveFolderFor(QStringLiteral("import-ours")));
    const ProgramFolder ref(archiveFolderFor(QStringLiteral("import-ref")));
    std::vector<double> oursCpu, refCpu;
    throughWindow(csv, ours, rows, oursCpu); // once untimed: fonts, the page cache
    oursCpu.clear();
    for (auto _ : state) {
        const Pairs pairs = interleave(
                rows >= 1000000 ? 5 : repetitions(), [&] { return throughWindow(csv, ours, rows, oursCpu); },
                [&] { return reference(csv, ref, refCpu); });
        state.SetIterationTime(median(pairs.ours));
        const double mb = double(QFileInfo(csv).size()) / 1e6;
        Row row{"import through the window (choose the file, Importa)", rowsLabel(rows),
                "reading, splitting, writing the records", pairs.ours, pairs.ref, 1.5};
        char note[64];
        std::snprintf(note, sizeof note, "(%.0f MB CSV, %.0f MB archive)", mb,
                      double(rows) * TSchedaIndirizzo::RecordSize / 1e6);
        row.note = note;
        addRow(row);
        // The same runs in cpu time (user and system), which other work on the machine does not stretch.
        Row cpu{"the same, cpu time", rowsLabel(rows), "of the reference", oursCpu, refCpu};
        addRow(cpu);
    }
}

void importMemory(benchmark::State &state)
{
    const int rows = int(state.range(0));
    const QString csv = importCsv(rows);
    const QString folder = archiveFolderFor(QStringLiteral("import-memory"));
    for (auto _ : state) {
        Row row{"import peak memory (choose the file, Importa)", rowsLabel(rows),
                "of the CSV file", {}, {}, 3};
        row.unit = "B";
        QProcess probe;
        probe.start(QStringLiteral(IMPORT_PROBE), {csv, folder});
        if (probe.waitForFinished(1800000)) {
            const QList<QByteArray> f = probe.readAllStandardOutput().trimmed().split(' ');
            if (f.size() == 5 && f[4].toLongLong() == rows) {
                row.ours = {(f[1].toDouble() - f[0].toDouble()) * 1024.0};
                row.ref = {f[2].toDouble()};
                row.note = "(" + f[3].toStdString() + " s in its own process)";
            }
        }
        state.SetIterationTime(1);
        addRow(row);
    }
}

} // namespace

BENCHMARK(importWindow)->Name("import-window")->Arg(100000)->Arg(1000000)->Iterations(1)->UseManualTime()
        ->Unit(benchmark::kMillisecond);
BENCHMARK(importMemory)->Name("import-memory")->Arg(100000)->Arg(1000000)->Iterations(1)->UseManualTime()
        ->Unit(benchmark::kMillisecond);
