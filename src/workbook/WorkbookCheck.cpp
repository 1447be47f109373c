#include "workbook/WorkbookCheck.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>

#include <zlib.h>

namespace tavolux {

namespace {

quint32 le32(const QByteArray &bytes, qsizetype at)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData() + at);
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

quint16 le16(const QByteArray &bytes, qsizetype at)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData() + at);
    return quint16(p[0] | p[1] << 8);
}

// The name of the first element of an XML text.
QByteArray rootName(QByteArrayView head)
{
    qsizetype at = 0;
    while ((at = head.indexOf('<', at)) >= 0 && at + 1 < head.size()) {
        const char next = head.at(at + 1);
        if (next != '?' && next != '!') {
            qsizetype end = at + 1;
            while (end < head.size() && head.at(end) != ' ' && head.at(end) != '>' && head.at(end) != '/'
                   && head.at(end) != '\r' && head.at(end) != '\n')
                ++end;
            return head.sliced(at + 1, end - at - 1).toByteArray();
        }
        ++at;
    }
    return {};
}

struct Part
{
    QByteArray name;
    quint16 method = 0;
    quint32 crc = 0;
    quint32 packed = 0;
    quint32 size = 0;
    quint32 local = 0;
};

// Inflates one part and checks it; counts "</row>" where `rowsSeen` is given,
// and keeps the text where `content` is.
QString checkPart(const QByteArray &zip, const Part &part, qsizetype *rowsSeen, QByteArray *content = nullptr)
{
    const QString name = QString::fromUtf8(part.name);
    if (qsizetype(part.local) + 30 > zip.size() || le32(zip, part.local) != 0x04034b50)
        return name + QStringLiteral(": local header missing");
    const qsizetype data = qsizetype(part.local) + 30 + le16(zip, part.local + 26) + le16(zip, part.local + 28);
    if (data + qsizetype(part.packed) > zip.size())
        return name + QStringLiteral(": cut short");

    QByteArray head, tail;
    quint32 crc = crc32(0, nullptr, 0);
    quint64 total = 0;
    qsizetype rows = 0;
    QByteArray carry; // the end of the last chunk, for a "</row>" across two chunks
    const auto take = [&](const char *bytes, qsizetype size) {
        crc = crc32(crc, reinterpret_cast<const Bytef *>(bytes), uInt(size));
        total += quint64(size);
        if (content)
            content->append(bytes, size);
        if (head.size() < 512)
            head.append(bytes, qMin<qsizetype>(size, 512 - head.size()));
        const QByteArrayView chunk(bytes, size);
        if (rowsSeen) {
            const QByteArray joined = carry + chunk.first(qMin<qsizetype>(size, 5)).toByteArray();
            rows += joined.count("</row>");
            rows += chunk.toByteArray().count("</row>");
            carry = chunk.last(qMin<qsizetype>(size, 5)).toByteArray();
        }
        tail = (tail + chunk.last(qMin<qsizetype>(size, 64)).toByteArray()).right(64);
    };

    if (part.method == 0) {
        take(zip.constData() + data, part.packed);
    } else if (part.method == 8) {
        z_stream stream{};
        if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
            return name + QStringLiteral(": no inflater");
        stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(zip.constData() + data));
        stream.avail_in = uInt(part.packed);
        char out[1 << 16];
        int state = Z_OK;
        while (state == Z_OK) {
            stream.next_out = reinterpret_cast<Bytef *>(out);
            stream.avail_out = sizeof out;
            state = inflate(&stream, Z_NO_FLUSH);
            if (state == Z_OK || state == Z_STREAM_END)
                take(out, qsizetype(sizeof out - stream.avail_out));
        }
        inflateEnd(&stream);
        if (state != Z_STREAM_END)
            return name + QStringLiteral(": compressed data damaged");
    } else {
        return name + QStringLiteral(": unknown compression");
    }
    if (total != part.size || crc != part.crc)
        return name + QStringLiteral(": size or checksum wrong");
    if (part.name.endsWith(".xml") || part.name.endsWith(".rels")) {
        const QByteArray root = rootName(head);
        if (root.isEmpty() || !tail.trimmed().endsWith("</" + root + ">"))
            return name + QStringLiteral(": cut short");
    }
    if (rowsSeen)
        *rowsSeen = rows;
    return {};
}

// The parts of a zip file, from its directory; empty with `problem` set when damaged.
QList<Part> zipParts(const QByteArray &zip, QString *problem)
{
    QList<Part> parts;

    // The end record: its signature in the last 22 bytes plus room for a comment.
    qsizetype end = -1;
    for (qsizetype at = zip.size() - 22; at >= 0 && at >= zip.size() - 22 - 65535; --at) {
        if (le32(zip, at) == 0x06054b50) {
            end = at;
            break;
        }
    }
    if (end < 0) {
        *problem = QStringLiteral("no zip directory");
        return {};
    }
    const int count = le16(zip, end + 10);
    qsizetype at = le32(zip, end + 16);
    for (int n = 0; n < count; ++n) {
        if (at + 46 > zip.size() || le32(zip, at) != 0x02014b50) {
            *problem = QStringLiteral("zip directory damaged");
            return {};
        }
        Part part;
        part.method = le16(zip, at + 10);
        part.crc = le32(zip, at + 16);
        part.packed = le32(zip, at + 20);
        part.size = le32(zip, at + 24);
        const int nameLength = le16(zip, at + 28);
        part.local = le32(zip, at + 42);
        part.name = zip.mid(at + 46, nameLength);
        at += 46 + nameLength + le16(zip, at + 30) + le16(zip, at + 32);
        parts << part;
    }
    return parts;
}

QByteArray readZip(const QString &path, QString *problem)
{
    QFile file(path);
    QByteArray zip;
    if (file.open(QIODevice::ReadOnly))
        zip = file.readAll();
    if (!file.isOpen() || file.error() != QFileDevice::NoError)
        *problem = QStringLiteral("cannot be read");
    return zip;
}

} // namespace

QString checkWorkbook(const QString &path, qsizetype rows)
{
    QString problem;
    const QByteArray zip = readZip(path, &problem);
    const QList<Part> parts = problem.isEmpty() ? zipParts(zip, &problem) : QList<Part>();
    if (!problem.isEmpty())
        return problem;
    bool sheetSeen = false;
    for (const Part &part : parts) {
        const bool sheet = part.name == "xl/worksheets/sheet1.xml";
        qsizetype rowsSeen = 0;
        const QString damage = checkPart(zip, part, sheet ? &rowsSeen : nullptr);
        if (!damage.isEmpty())
            return damage;
        if (sheet) {
            sheetSeen = true;
            if (rowsSeen != rows)
                return QStringLiteral("the sheet holds %1 rows, not %2").arg(rowsSeen).arg(rows);
        }
    }
    return sheetSeen ? QString() : QStringLiteral("no sheet");
}

QByteArray workbookPart(const QString &path, const QByteArray &name)
{
    QString problem;
    const QByteArray zip = readZip(path, &problem);
    const QList<Part> parts = problem.isEmpty() ? zipParts(zip, &problem) : QList<Part>();
    for (const Part &part : parts) {
        QByteArray content;
        if (part.name == name && checkPart(zip, part, nullptr, &content).isEmpty())
            return content;
    }
    return {};
}

} // namespace tavolux
