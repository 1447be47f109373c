// Importing 100,000 CSV rows into the address archive, against reading and
// parsing the file alone. Each round times both, one after the other.
#include "cardimport/CardAppender.h"
#include "cardimport/CsvReader.h"
#include "cardimport/ImportFile.h"
#include "storage/AddressArchive.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

using namespace tavolux;

namespace {

QString importFolder()
{
    static QTemporaryDir scratch;
    const QString root = qEnvironmentVariable("TAVOLUX_BENCH_DATA", scratch.path());
    const QString folder = root + QStringLiteral("/import");
    QDir().mkpath(folder);
    return folder;
}

// An address book as a mail program writes it, in UTF-8 with quoted fields.
QString csvFile(int rows)
{
    const QString path = importFolder() + QStringLiteral("/rubrica-%1.csv").arg(rows);
    if (QFile::exists(path))
        return path;
    QByteArray csv("First Name;Last Name;Company;Business Street;Business Postal Code;Business City;Business State;"
                   "Business Country/Region;Notes;E-mail Address\r\n");
    for (int i = 1; i <= rows; ++i) {
        csv += QStringLiteral("Nome%1;Cognome%1;\"Società %2; S.r.l.\";Via Giuseppe Garibaldi %1;%3;Città %2;MI;Italia;"
                              "\"Cliente dal 2019, è chiuso il lunedì\";nome%1@esempio.it\r\n")
                       .arg(i)
                       .arg(i % 97)
                       .arg(10000 + i % 90000)
                       .toUtf8();
    }
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(csv);
    return path;
}

double seconds(const std::function<void()> &work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void importCsv(benchmark::State &state)
{
    const int rows = int(state.range(0));
    const QString path = csvFile(rows);
    const QString archiveFolder = importFolder() + QStringLiteral("/archive");
    QDir().mkpath(archiveFolder);
    const ProgramFolder folder(archiveFolder);
    const QString archivePath = folder.file(AddressArchive::fileName());
    qint64 imported = 0;
    std::vector<double> ours, ref;
    for (auto _ : state) {
        // The reference: the file read and its records parsed, nothing more.
        ref.push_back(seconds([&] {
            QFile file(path);
            file.open(QIODevice::ReadOnly);
            const QString text = decodeText(file.readAll(), TextEncoding::Utf8);
            CsvReader reader;
            reader.read(text, CsvReader::detectSeparator(text));
            benchmark::DoNotOptimize(reader.rows().size());
        }));
        // The program's import: read, detect, parse, map, build and cut the
        // cards, look for lost characters, append them all under one lock.
        QFile::remove(archivePath);
        ours.push_back(seconds([&] {
            ImportTable table;
            importfile::load(path, table);
            const importfile::ImportPlan plan = importfile::plan(table, table.proposed);
            benchmark::DoNotOptimize(plan.lostCharacters.size());
            const AppendResult result =
                    importfile::appendPlanned(folder, table, table.proposed, plan, [](qint64) { return true; });
            imported = result.status == AppendResult::Status::Done ? qint64(plan.rows.size()) : -1;
        }));
        state.SetIterationTime(ours.back());
    }
    QFile::remove(archivePath);
    state.counters["cards"] = double(imported);
    state.counters["ours_ms"] = median(ours) * 1e3;
    state.counters["ref_ms"] = median(ref) * 1e3;
    state.counters["ratio"] = median(ours) / median(ref);
}

} // namespace

BENCHMARK(importCsv)->Name("import/csv")->Arg(100000)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
