#include "Harness.h"

#include "ArchiveGenerator.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <random>

namespace tavolux::bench {

namespace {

std::vector<Row> &rows()
{
    static std::vector<Row> table;
    return table;
}

std::mt19937 &generator()
{
    static std::mt19937 random = [] {
        const quint32 seed = qEnvironmentVariableIsSet("TAVOLUX_BENCH_SEED")
                                 ? quint32(qEnvironmentVariableIntValue("TAVOLUX_BENCH_SEED"))
                                 : std::random_device{}();
        std::fprintf(stderr, "interleaving seed %u\n", seed);
        return std::mt19937(seed);
    }();
    return random;
}

QString root()
{
    static std::unique_ptr<QTemporaryDir> scratch;
    static const QString folder = [] {
        if (qEnvironmentVariableIsSet("TAVOLUX_BENCH_DATA"))
            return qEnvironmentVariable("TAVOLUX_BENCH_DATA");
        scratch = std::make_unique<QTemporaryDir>();
        return scratch->path();
    }();
    return folder;
}

std::string human(double value, const std::string &unit)
{
    char text[32];
    if (unit == "B")
        std::snprintf(text, sizeof text, "%.1f MB", value / 1e6);
    else if (value < 1e-3)
        std::snprintf(text, sizeof text, "%.1f µs", value * 1e6);
    else if (value < 1)
        std::snprintf(text, sizeof text, "%.2f ms", value * 1e3);
    else
        std::snprintf(text, sizeof text, "%.2f s", value);
    return text;
}

std::string spread(const std::vector<double> &values, const std::string &unit)
{
    if (values.empty())
        return "–";
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    return human(median(values), unit) + " (" + human(*low, unit) + "–" + human(*high, unit) + ")";
}

} // namespace

double seconds(const std::function<void()> &work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double cpuSeconds(const std::function<void()> &work)
{
    auto now = [] {
        timespec t{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
    };
    const double start = now();
    work();
    return now() - start;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

QString scratchFolder()
{
    QDir().mkpath(root());
    return root();
}

QString archiveFolder(int cards)
{
    return root() + QStringLiteral("/cards-%1").arg(cards);
}

QString archivePath(int cards)
{
    return archiveFolder(cards) + QStringLiteral("/Archivio_Indirizzi.pro");
}

void ensureArchive(int cards)
{
    const QString path = archivePath(cards);
    if (QFile(path).size() != qint64(cards) * TSchedaIndirizzo::RecordSize) {
        std::fprintf(stderr, "generating %d cards...\n", cards);
        writeAddressArchive(archiveFolder(cards), cards);
    }
    readArchiveFile(cards);
}

void readArchiveFile(int cards)
{
    static std::vector<char> chunk(1 << 20);
    QFile file(archivePath(cards));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return;
    qint64 total = 0, n;
    while ((n = file.read(chunk.data(), qint64(chunk.size()))) > 0)
        total += n;
    static volatile qint64 sink;
    sink = total;
}

int repetitions()
{
    const int asked = qEnvironmentVariableIntValue("TAVOLUX_BENCH_REPS");
    return asked >= 5 ? asked : 7;
}

Pairs interleave(int reps, const std::function<double()> &ours, const std::function<double()> &ref)
{
    Pairs pairs;
    std::bernoulli_distribution oursFirst(0.5);
    for (int r = 0; r < reps; ++r) {
        double a, b;
        if (oursFirst(generator())) {
            a = ours();
            b = ref();
        } else {
            b = ref();
            a = ours();
        }
        if (a >= 0)
            pairs.ours.push_back(a);
        if (b >= 0)
            pairs.ref.push_back(b);
    }
    return pairs;
}

std::vector<double> repeat(int reps, const std::function<double()> &ours)
{
    std::vector<double> out;
    for (int r = 0; r < reps; ++r) {
        const double a = ours();
        if (a >= 0)
            out.push_back(a);
    }
    return out;
}

void addRow(Row row)
{
    rows().push_back(std::move(row));
}

std::string cardsLabel(int cards)
{
    std::string digits = std::to_string(cards);
    for (int at = int(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(size_t(at), ",");
    return digits + " cards";
}

void printTable()
{
    std::printf("\n| case | size | Tavolux: median (min–max) | reference: median (min–max) | ratio of medians "
                "(min–max of the pairs) | target | |\n|---|---|---|---|---|---|---|\n");
    for (const Row &row : rows()) {
        const double ours = median(row.ours);
        std::string ratio = "–", verdict;
        if (!row.ref.empty() && !row.ours.empty()) {
            const double r = ours / median(row.ref);
            std::vector<double> each;
            for (size_t i = 0; i < std::min(row.ours.size(), row.ref.size()); ++i)
                each.push_back(row.ours[i] / row.ref[i]);
            const auto [low, high] = std::minmax_element(each.begin(), each.end());
            char text[64];
            std::snprintf(text, sizeof text, "%.2f (%.2f–%.2f)", r, *low, *high);
            ratio = text;
            if (row.target > 0)
                verdict = r <= row.target ? "met" : "MISSED";
        }
        std::string target = "–";
        if (row.target > 0) {
            char text[32];
            std::snprintf(text, sizeof text, "≤ %.1f ×", row.target);
            target = text;
        }
        if (row.limit > 0) {
            target = (row.target > 0 ? target + ", " : std::string()) + "< " + human(row.limit, row.unit);
            const bool within = !row.ours.empty() && ours < row.limit;
            verdict = (verdict.empty() || verdict == "met") && within ? "met" : "MISSED";
        }
        if (row.ours.empty())
            verdict = "FAILED";
        std::string reference = row.ref.empty() ? (row.reference.empty() ? "–" : row.reference)
                                                : spread(row.ref, row.unit) + " " + row.reference;
        std::printf("| %s | %s | %s | %s | %s | %s | %s%s |\n", row.what.c_str(), row.size.c_str(),
                    spread(row.ours, row.unit).c_str(), reference.c_str(), ratio.c_str(), target.c_str(),
                    verdict.c_str(), row.note.empty() ? "" : (" " + row.note).c_str());
    }
    std::fflush(stdout);
}

} // namespace tavolux::bench
