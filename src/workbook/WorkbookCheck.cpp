#include "workbook/WorkbookCheck.h"

#include "workbook/XlsxLibrary.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>


#include <functional>
#include <string_view>

namespace tavolux {

namespace {

// The name of the first element of an XML text.
QByteArrayView rootName(QByteArrayView head)
{
    qsizetype at = 0;
    while ((at = head.indexOf('<', at)) >= 0 && at + 1 < head.size()) {
        const char next = head.at(at + 1);
        if (next != '?' && next != '!') {
            qsizetype end = at + 1;
            while (end < head.size() && head.at(end) != ' ' && head.at(end) != '>' && head.at(end) != '/'
                   && head.at(end) != '\r' && head.at(end) != '\n')
                ++end;
            return head.sliced(at + 1, end - at - 1);
        }
        ++at;
    }
    return {};
}

// An opened zip file, closed when it goes.
class Zip
{
public:
    Zip(const XlsxLibrary &x, const QString &path)
        : m_x(x), m_file(x.error.isEmpty() ? x.unzOpen64(QFile::encodeName(path).constData()) : nullptr) {}
    ~Zip()
    {
        if (m_file)
            m_x.unzClose(m_file);
    }
    Zip(const Zip &) = delete;
    Zip &operator=(const Zip &) = delete;
    unzFile file() const { return m_file; }
    const XlsxLibrary &x() const { return m_x; }

private:
    const XlsxLibrary &m_x;
    unzFile m_file;
};

// The name and size of the zip's current part.
bool currentPart(const Zip &zip, QByteArray &name, quint64 &size)
{
    unz_file_info64 info;
    char buffer[512];
    if (zip.x().unzGetCurrentFileInfo64(zip.file(), &info, buffer, sizeof buffer, nullptr, 0, nullptr, 0) != UNZ_OK)
        return false;
    name = QByteArray(buffer, qsizetype(qMin<uLong>(info.size_filename, sizeof buffer)));
    size = info.uncompressed_size;
    return true;
}

// Inflates the current part a piece at a time, handing each piece to
// `take`: empty when it inflates whole to its size and checksum, else what
// is wrong.
QString readPart(const Zip &zip, const QByteArray &name, quint64 size, const std::function<void(QByteArrayView)> &take)
{
    const QString what = QString::fromUtf8(name);
    if (zip.x().unzOpenCurrentFile(zip.file()) != UNZ_OK)
        return what + QStringLiteral(": cannot be opened");
    char piece[1 << 16];
    quint64 total = 0;
    int n;
    while ((n = zip.x().unzReadCurrentFile(zip.file(), piece, sizeof piece)) > 0) {
        take(QByteArrayView(piece, n));
        total += quint64(n);
    }
    // Closing tells a wrong checksum of a part read to its end.
    const int closed = zip.x().unzCloseCurrentFile(zip.file());
    if (n < 0)
        return what + QStringLiteral(": compressed data damaged");
    if (closed != UNZ_OK || total != size)
        return what + QStringLiteral(": size or checksum wrong");
    return {};
}

// Checks one part: whole, its root element closed at its end, and the rows
// it holds counted where `rows` is given.
QString checkPart(const Zip &zip, qsizetype *rows)
{
    QByteArray name;
    quint64 size = 0;
    if (!currentPart(zip, name, size))
        return QStringLiteral("zip directory damaged");
    QByteArray head, tail;
    qsizetype closedRows = 0;
    const std::string_view rowEnd("</row>");
    QByteArray carry; // the end of the last piece, for a "</row>" across two pieces
    const QString damage = readPart(zip, name, size, [&](QByteArrayView piece) {
        if (head.size() < 512)
            head.append(piece.first(qMin<qsizetype>(piece.size(), 512 - head.size())));
        tail.append(piece.last(qMin<qsizetype>(piece.size(), 64)));
        tail = tail.right(64);
        if (!rows)
            return;
        const QByteArray seam = carry + piece.first(qMin<qsizetype>(piece.size(), qsizetype(rowEnd.size()) - 1)).toByteArray();
        for (const QByteArrayView text : {QByteArrayView(seam), piece}) {
            const std::string_view haystack(text.data(), size_t(text.size()));
            for (size_t at = haystack.find(rowEnd); at != std::string_view::npos; at = haystack.find(rowEnd, at + 1))
                ++closedRows;
        }
        carry = piece.last(qMin<qsizetype>(piece.size(), qsizetype(rowEnd.size()) - 1)).toByteArray();
    });
    if (!damage.isEmpty())
        return damage;
    if (name.endsWith(".xml") || name.endsWith(".rels")) {
        const QByteArrayView root = rootName(head);
        if (root.isEmpty() || !tail.trimmed().endsWith("</" + root.toByteArray() + ">"))
            return QString::fromUtf8(name) + QStringLiteral(": cut short");
    }
    if (rows)
        *rows = closedRows;
    return {};
}

bool isSheet(const Zip &zip)
{
    QByteArray name;
    quint64 size = 0;
    return currentPart(zip, name, size) && name == "xl/worksheets/sheet1.xml";
}

} // namespace

QString checkWorkbook(const QString &path, qsizetype rows)
{
    if (!QFile::exists(path))
        return QStringLiteral("cannot be read");
    const XlsxLibrary &x = xlsx();
    if (!x.error.isEmpty())
        return QStringLiteral("no library to read it: ") + x.error;
    const Zip zip(x, path);
    if (!zip.file())
        return QStringLiteral("no zip directory");
    bool sheetSeen = false;
    int step = x.unzGoToFirstFile(zip.file());
    for (; step == UNZ_OK; step = x.unzGoToNextFile(zip.file())) {
        const bool sheet = isSheet(zip);
        qsizetype rowsSeen = 0;
        const QString damage = checkPart(zip, sheet ? &rowsSeen : nullptr);
        if (!damage.isEmpty())
            return damage;
        if (sheet) {
            sheetSeen = true;
            if (rowsSeen != rows)
                return QStringLiteral("the sheet holds %1 rows, not %2").arg(rowsSeen).arg(rows);
        }
    }
    if (step != UNZ_END_OF_LIST_OF_FILE)
        return QStringLiteral("zip directory damaged");
    return sheetSeen ? QString() : QStringLiteral("no sheet");
}

QByteArray workbookPart(const QString &path, const QByteArray &name)
{
    const Zip zip(xlsx(), path);
    if (!zip.file() || zip.x().unzLocateFile(zip.file(), name.constData(), 1) != UNZ_OK)
        return {};
    QByteArray found;
    quint64 size = 0;
    QByteArray content;
    if (!currentPart(zip, found, size)
        || !readPart(zip, found, size, [&](QByteArrayView piece) { content.append(piece); }).isEmpty())
        return {};
    return content;
}

} // namespace tavolux
