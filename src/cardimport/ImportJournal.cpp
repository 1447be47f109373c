#include "cardimport/ImportJournal.h"

#include "storage/AddressArchive.h"
#include "storage/TCampo250.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace tavolux {

namespace {

constexpr char Prefix[] = "Archivio_Indirizzi.importa.";
constexpr int RecordSize = TSchedaIndirizzo::RecordSize;

quint32 fnv32(const char *data, qsizetype size, quint32 h = 2166136261u)
{
    for (qsizetype i = 0; i < size; ++i)
        h = (h ^ quint8(data[i])) * 16777619u;
    return h;
}

QByteArray hex8(quint32 value)
{
    return QByteArray::number(value, 16).rightJustified(8, '0');
}

// One line: its text, a blank and the digest of the text, so that a line cut
// short by a stop is known.
QByteArray line(const QByteArray &text)
{
    return text + ' ' + hex8(fnv32(text.constData(), text.size())) + '\n';
}

// Takes the next whole line from `at`; empty where there is none.
QByteArray takeLine(const QByteArray &bytes, qsizetype &at)
{
    const qsizetype end = bytes.indexOf('\n', at);
    if (end < 0)
        return {};
    const QByteArray whole = bytes.mid(at, end - at);
    at = end + 1;
    const qsizetype blank = whole.lastIndexOf(' ');
    if (blank < 0)
        return {};
    const QByteArray text = whole.left(blank);
    return whole.mid(blank + 1) == hex8(fnv32(text.constData(), text.size())) ? text : QByteArray();
}

QByteArray header(const ImportJob &job)
{
    QStringList mapping;
    for (int target : job.mapping)
        mapping << QString::number(target);
    return "import 1 " + QByteArray::number(job.digest, 16) + ' ' + QByteArray::number(job.size) + ' '
           + QByteArray::number(job.encoding) + ' ' + QByteArray::number(job.headerRow ? 1 : 0) + ' '
           + QByteArray::number(job.fromRow) + ' ' + (mapping.isEmpty() ? QByteArray("-") : mapping.join(',').toLatin1())
           + ' ' + job.name.toUtf8().toPercentEncoding();
}

bool parseHeader(const QByteArray &text, ImportJob &job)
{
    const QList<QByteArray> parts = text.split(' ');
    if (parts.size() != 9 || parts.at(0) != "import" || parts.at(1) != "1")
        return false;
    bool ok[5];
    job.digest = parts.at(2).toULongLong(&ok[0], 16);
    job.size = parts.at(3).toLongLong(&ok[1]);
    job.encoding = parts.at(4).toInt(&ok[2]);
    job.headerRow = parts.at(5).toInt(&ok[3]) != 0;
    job.fromRow = parts.at(6).toInt(&ok[4]);
    job.mapping.clear();
    if (parts.at(7) != "-")
        for (const QByteArray &target : parts.at(7).split(','))
            job.mapping << target.toInt();
    job.name = QString::fromUtf8(QByteArray::fromPercentEncoding(parts.at(8)));
    return ok[0] && ok[1] && ok[2] && ok[3] && ok[4] && job.fromRow >= 0;
}

// A batch as its line tells it.
struct Batch
{
    qint64 position = 0;
    QList<quint32> digests;
};

// A taking out as its line and the kept records after it tell it.
struct Undo
{
    qint64 from = 0;
    qint64 count = 0;
    quint32 lastDigest = 0;
    QByteArray kept;
};

bool parseBatch(const QByteArray &text, Batch &batch)
{
    const QList<QByteArray> parts = text.split(' ');
    if (parts.size() != 4 || parts.at(0) != "B")
        return false;
    bool ok1, ok2;
    batch.position = parts.at(1).toLongLong(&ok1);
    const qint64 count = parts.at(2).toLongLong(&ok2);
    if (!ok1 || !ok2 || batch.position < 1 || count < 1 || parts.at(3).size() != count * 8)
        return false;
    batch.digests.resize(count);
    for (qint64 i = 0; i < count; ++i) {
        bool ok;
        batch.digests[i] = parts.at(3).mid(i * 8, 8).toUInt(&ok, 16);
        if (!ok)
            return false;
    }
    return true;
}

// False only where another process holds the file; a file system without
// locks goes on unlocked, as the archive does.
bool lockNow(int fd)
{
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc == -1 && errno == EINTR);
    return rc == 0 || errno != EWOULDBLOCK;
}

// Whether another process holds the journal at `path` (is importing).
bool heldElsewhere(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool held = !lockNow(fd);
    ::close(fd);
    return held;
}

bool writeAll(int fd, const char *data, qsizetype size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= n;
    }
    return true;
}

} // namespace

ImportJournal::ImportJournal(const ProgramFolder &folder)
    : m_folder(folder)
{
}

ImportJournal::~ImportJournal()
{
    close();
}

QString ImportJournal::fileName(quint64 digest)
{
    return QLatin1String(Prefix) + QStringLiteral("%1").arg(digest, 16, 16, QLatin1Char('0'));
}

void ImportJournal::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool ImportJournal::begin(const ImportJob &job)
{
    m_job = job;
    m_path = m_folder.file(fileName(job.digest));
    // One import at a time into an archive: the others' journals are locked.
    const QStringList journals = QDir(m_folder.path()).entryList({QLatin1String(Prefix) + QLatin1Char('*')},
                                                                 QDir::Files | QDir::Hidden);
    for (const QString &name : journals) {
        if (heldElsewhere(m_folder.file(name))) {
            errno = EBUSY;
            return false;
        }
    }
    return replaceWith(line(header(job)));
}

bool ImportJournal::replaceWith(const QByteArray &text)
{
    // Written beside the journal and put in its place whole, so that a stop
    // leaves the old one or the new one.
    const QString next = m_path + QStringLiteral(".nuovo");
    const QByteArray nextName = QFile::encodeName(next);
    const int fd = ::open(nextName.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    if (!lockNow(fd)) {
        ::close(fd);
        errno = EBUSY;
        return false;
    }
    if (::ftruncate(fd, 0) != 0 || !writeAll(fd, text.constData(), text.size())
        || ::rename(nextName.constData(), QFile::encodeName(m_path).constData()) != 0) {
        const int reason = errno;
        ::unlink(nextName.constData());
        ::close(fd);
        errno = reason;
        return false;
    }
    close();
    m_fd = fd;
    return true;
}

bool ImportJournal::put(const QByteArray &bytes)
{
    return m_fd >= 0 && writeAll(m_fd, bytes.constData(), bytes.size());
}

bool ImportJournal::addBatch(qint64 position, qint64 count, const char *records)
{
    QByteArray digests;
    digests.reserve(count * 8);
    for (qint64 i = 0; i < count; ++i)
        digests += hex8(importjournal::recordDigest(records + i * RecordSize));
    m_lastPosition = position + count - 1;
    m_lastDigest = importjournal::recordDigest(records + (count - 1) * RecordSize);
    return put(line("B " + QByteArray::number(position) + ' ' + QByteArray::number(count) + ' ' + digests));
}

bool ImportJournal::beginUndo(qint64 from, qint64 count, const QByteArray &kept)
{
    // The last record before the taking out: this run's last card, or the
    // last of the others' cards after it.
    const quint32 last = count == m_lastPosition ? m_lastDigest
                                                 : importjournal::recordDigest(kept.constData() + kept.size() - RecordSize);
    return put(line("U " + QByteArray::number(from) + ' ' + QByteArray::number(count) + ' '
                    + QByteArray::number(kept.size() / RecordSize) + ' ' + hex8(last) + ' '
                    + hex8(fnv32(kept.constData(), kept.size()))))
           && put(kept);
}

void ImportJournal::end()
{
    if (m_fd >= 0)
        ::unlink(QFile::encodeName(m_path).constData());
    close();
}

void ImportJournal::backToStart()
{
    if (m_fd < 0)
        return;
    if (m_job.fromRow <= m_job.firstDataRow() || !replaceWith(line(header(m_job))))
        ::unlink(QFile::encodeName(m_path).constData());
    close();
}

FoundImport ImportJournal::find(const ProgramFolder &folder, quint64 digest)
{
    FoundImport found;
    ImportJournal journal(folder);
    journal.m_path = folder.file(fileName(digest));
    journal.m_fd = ::open(QFile::encodeName(journal.m_path).constData(), O_RDONLY | O_CLOEXEC);
    if (journal.m_fd < 0)
        return found;
    if (!lockNow(journal.m_fd)) {
        found.state = FoundImport::State::Running;
        return found;
    }
    QFile file;
    QByteArray bytes;
    if (file.open(journal.m_fd, QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
        bytes = file.readAll();
    qsizetype at = 0;
    if (!parseHeader(takeLine(bytes, at), found.job) || found.job.digest != digest) {
        found.state = FoundImport::State::Damaged;
        return found;
    }
    journal.m_job = found.job;
    // The batches, up to a line cut short; then perhaps a taking out.
    QList<Batch> batches;
    Undo undo;
    bool undoing = false;
    for (;;) {
        const QByteArray text = takeLine(bytes, at);
        Batch batch;
        if (parseBatch(text, batch)) {
            batches << batch;
            continue;
        }
        const QList<QByteArray> parts = text.split(' ');
        if (parts.size() == 6 && parts.at(0) == "U") {
            undo.from = parts.at(1).toLongLong();
            undo.count = parts.at(2).toLongLong();
            const qint64 kept = parts.at(3).toLongLong();
            undo.lastDigest = parts.at(4).toUInt(nullptr, 16);
            undo.kept = bytes.mid(at, kept * RecordSize);
            undoing = kept > 0 && undo.kept.size() == kept * RecordSize && undo.from >= 1
                      && hex8(fnv32(undo.kept.constData(), undo.kept.size())) == parts.at(5);
        }
        break;
    }
    AddressArchive archive(folder);
    if (!archive.open())
        return FoundImport();
    if (undoing) {
        if (!archive.finishUndo(undo.from, undo.count, undo.kept, [&](const char *record) {
                return importjournal::recordDigest(record) == undo.lastDigest;
            }))
            return FoundImport();
        archive.close();
        found.state = FoundImport::State::Finished;
        journal.backToStart();
        return found;
    }
    // Every batch but the last was written whole before the next began; of
    // the last, the cards that are where it went, in turn.
    for (qsizetype b = 0; b + 1 < batches.size(); ++b)
        found.cards += batches.at(b).digests.size();
    if (!batches.isEmpty()) {
        const Batch &last = batches.last();
        RecordFile records(RecordSize);
        QByteArray record;
        if (!records.open(archive.path()))
            return FoundImport();
        const qint64 count = records.count();
        for (qsizetype i = 0; i < last.digests.size() && last.position + i <= count; ++i) {
            if (!records.read(last.position + i, record)
                || importjournal::recordDigest(record.constData()) != last.digests.at(i))
                break;
            ++found.cards;
        }
    }
    if (found.cards == 0 && !found.earlierRows()) {
        ::unlink(QFile::encodeName(journal.m_path).constData());
        return FoundImport();
    }
    found.state = FoundImport::State::Stopped;
    return found;
}

void ImportJournal::forget(const ProgramFolder &folder, quint64 digest)
{
    const QByteArray path = QFile::encodeName(folder.file(fileName(digest)));
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    if (lockNow(fd))
        ::unlink(path.constData());
    ::close(fd);
}

namespace importjournal {

quint64 digest(QByteArrayView bytes)
{
    // Eight bytes at a time, each word mixed in by a multiplication.
    quint64 h = 0x9E3779B97F4A7C15ull ^ quint64(bytes.size());
    const char *p = bytes.data();
    qsizetype left = bytes.size();
    for (; left >= 8; left -= 8, p += 8) {
        quint64 word;
        std::memcpy(&word, p, 8);
        h = (h ^ word) * 0x100000001B3ull;
        h ^= h >> 29;
    }
    for (; left > 0; --left, ++p) {
        h = (h ^ quint8(*p)) * 0x100000001B3ull;
        h ^= h >> 29;
    }
    return h;
}

quint32 recordDigest(const char *record)
{
    quint32 h = 2166136261u;
    for (int f = 0; f < TSchedaIndirizzo::FieldCount; ++f) {
        const char *field = record + f * TCampo250::Size;
        const int length = qMin(int(quint8(field[0])), TCampo250::Size - 1);
        h = fnv32(field, 1 + length, h);
    }
    return h;
}

} // namespace importjournal
} // namespace tavolux
