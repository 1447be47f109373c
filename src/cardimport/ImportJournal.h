#pragma once

#include "platform/ProgramFolder.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

namespace tavolux {

// One run of an import: the file it reads (known by its content), how it
// reads it, and the first row it imports.
struct ImportJob
{
    quint64 digest = 0; // of the file's bytes (importjournal::digest)
    qint64 size = 0;
    QString name;       // the file's name, for the messages
    int encoding = 0;   // TextEncoding
    bool headerRow = false;
    QList<int> mapping;
    int fromRow = 0;    // file row (0-based, a header row included)

    int firstDataRow() const { return headerRow ? 1 : 0; }
};

// An import found in its journal.
struct FoundImport
{
    enum class State {
        None,     // no journal, or nothing of it in the archive
        Running,  // another process is importing the file now
        Stopped,  // it stopped before its end: `cards` of the run are in the archive
        Finished, // the taking out of a stopped run was finished now
        Damaged,  // a journal that cannot be read
    };
    State state = State::None;
    ImportJob job;
    qint64 cards = 0;
    // Whether rows before the run are in the archive (an earlier run's).
    bool earlierRows() const { return job.fromRow > job.firstDataRow(); }
};

// What an import keeps beside the address archive while it writes, so that
// one that never ended (the program killed, the machine switched off) is
// found again: the run, where each batch of cards went with a digest of
// each card, and, while other copies' cards are moved back into place after
// a stop, those cards. One file for each imported file, locked while its
// import runs; removed when the import ends or is taken out.
class ImportJournal
{
public:
    explicit ImportJournal(const ProgramFolder &folder);
    ~ImportJournal();
    ImportJournal(const ImportJournal &) = delete;
    ImportJournal &operator=(const ImportJournal &) = delete;

    // Starts the run's journal; false (errno EBUSY) where another process is
    // importing into this archive, or when the journal cannot be written.
    bool begin(const ImportJob &job);
    // Before the batch is written: its position, count and records.
    bool addBatch(qint64 position, qint64 count, const char *records);
    // Before the run's cards are taken out: see RecordFile::AppendHooks::undo.
    bool beginUndo(qint64 from, qint64 count, const QByteArray &kept);
    // The import ended: the journal goes.
    void end();
    // The run was taken out: the journal tells only of the rows before the
    // run, where there are any, else it goes.
    void backToStart();

    static QString fileName(quint64 digest);

    // The journal of the file with this digest, read and checked against the
    // archive; a taking out that a process began and did not end is finished.
    static FoundImport find(const ProgramFolder &folder, quint64 digest);
    // Forgets a stopped import of the file (its journal goes).
    static void forget(const ProgramFolder &folder, quint64 digest);

private:
    bool replaceWith(const QByteArray &text);
    bool put(const QByteArray &bytes);
    void close();

    ProgramFolder m_folder;
    ImportJob m_job;
    QString m_path;
    int m_fd = -1;
    qint64 m_lastPosition = 0; // the last card written, and its digest
    quint32 m_lastDigest = 0;
};

namespace importjournal {

// A digest of a file's bytes, the same on every machine.
quint64 digest(QByteArrayView bytes);
// A digest of what an address card record holds (its fields' texts).
quint32 recordDigest(const char *record);

} // namespace importjournal
} // namespace tavolux
