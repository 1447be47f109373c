#pragma once

// The benchmark harness: each case is timed beside its reference in the same
// run, the two taken in a random order in every repetition, and the table
// shows medians and spread. Any bench file can add cases through it.

#include <QString>

#include <functional>
#include <string>
#include <vector>

namespace tavolux::bench {

// Seconds of wall-clock time the work took.
double seconds(const std::function<void()> &work);
// Seconds of this process's cpu time the work took.
double cpuSeconds(const std::function<void()> &work);

double median(std::vector<double> values);

// The folder of the generated archive of `cards` cards, made once and kept
// (under TAVOLUX_BENCH_DATA, else a scratch folder); its file is read once
// so that every case starts from the page cache.
QString archiveFolder(int cards);
QString archivePath(int cards);
void ensureArchive(int cards);
// A scratch folder of the run.
QString scratchFolder();
// Reads the archive file of `cards` cards to its end, as fast as the
// machine allows: the reference of every case that reads the archive.
void readArchiveFile(int cards);

// Repetitions per case: TAVOLUX_BENCH_REPS, at least 5 (default 7).
int repetitions();

// The times of one case and its reference, one pair per repetition.
struct Pairs {
    std::vector<double> ours, ref;
};

// Runs `ours` and `ref` `reps` times each, in a random order within every
// repetition. Each returns the seconds it measured (so that set-up outside
// the timed part is not counted); a negative value marks a failed run.
Pairs interleave(int reps, const std::function<double()> &ours, const std::function<double()> &ref);
// The same, for a case without a reference.
std::vector<double> repeat(int reps, const std::function<double()> &ours);

// One row of the table.
struct Row {
    std::string what;      // the case
    std::string size;      // "100,000 cards", "1 page"
    std::string reference; // what the reference does, or empty
    std::vector<double> ours, ref;
    double target = 0;     // ratio target (<=), or 0
    double limit = 0;      // absolute target in seconds (<), or 0
    std::string unit = "s"; // "s" for times, "B" for bytes
    std::string note;      // shown after the verdict
};

void addRow(Row row);
// Prints the table (Markdown, ready for the README) to stdout.
void printTable();

std::string cardsLabel(int cards);

} // namespace tavolux::bench
