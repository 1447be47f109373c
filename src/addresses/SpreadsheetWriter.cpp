#include "addresses/SpreadsheetWriter.h"

#include "platform/Cp1252.h"

#include <array>
#include <cstring>
#include <vector>

namespace tavolux {

namespace {

const char kHead[] =
    "<html xmlns:o=\"urn:schemas-microsoft-com:office:office\""
    " xmlns:x=\"urn:schemas-microsoft-com:office:excel\""
    " xmlns=\"http://www.w3.org/TR/REC-html40\">"
    "<head>"
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">"
    "<!--[if gte mso 9]><xml>"
    "<x:ExcelWorkbook>"
    "<x:ExcelWorksheets>"
    "<x:ExcelWorksheet>"
    "<x:Name>Archivio Indirizzi</x:Name>"
    "<x:WorksheetOptions>"
    "<x:Selected/>"
    "<x:Panes>"
    "<x:Pane>"
    "<x:Number>1</x:Number>"
    "<x:ActiveRow>3</x:ActiveRow>"
    "</x:Pane>"
    "</x:Panes>"
    "<x:ProtectContents>False</x:ProtectContents>"
    "<x:ProtectObjects>False</x:ProtectObjects>"
    "<x:ProtectScenarios>False</x:ProtectScenarios>"
    "</x:WorksheetOptions>"
    "</x:ExcelWorksheet>"
    "</x:ExcelWorksheets>"
    "</x:ExcelWorkbook>"
    "</xml><![endif]-->"
    "</head>"
    "<body>"
    "<table x:str>"
    "<tr>";

const char kHeaderCell[] = "<td style=\"text-align: left; font-weight: bold;\" width=";

const struct {
    const char *width;
    const char *title;
} kHeader[kSpreadsheetColumns] = {
    {"300", "Nome etichetta"},
    {"250", "Tipo"},
    {"450", "Indirizzo (rigo 1)"},
    {"450", "Indirizzo (rigo 2)"},
    {"450", "Indirizzo (rigo 3)"},
    {"450", "Indirizzo (rigo 4)"},
    {"450", "Indirizzo (rigo 5)"},
    {"450", "Indirizzo (rigo 6)"},
    {"350", "Note"},
};

const char kCellOpen[] = "<td style=\"text-align: left;\">";
// A cell whose text begins with '=' is marked as text for itself: LibreOffice
// ignores the table's x:str and would run it as a formula, but keeps a cell
// in the text number format ("@") as it stands.
const char kTextCellOpen[] = "<td style=\"text-align: left;\" x:str sdnum=\"1040;0;@\">";
const char kCellClose[] = "</td>";
const char kTail[] = "</table></body></html>";

QStringView trimmedView(QStringView text)
{
    qsizetype begin = 0, end = text.size();
    while (begin < end && text[begin].unicode() <= 32)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 32)
        --end;
    return text.sliced(begin, end - begin);
}

// The output buffer: one block, reused. Every write first makes room for
// what it is about to write: what is held goes to the sink when the rest
// does not fit, and a single write longer than a piece gets a piece of its own.
class Output
{
public:
    using Sink = std::function<bool(const char *, qsizetype)>;

    Output(qsizetype piece, const Sink &sink) : m_block(size_t(piece)), m_piece(piece), m_limit(piece), m_sink(sink) {}

    // Room for `size` more bytes at end(); false when the sink refused a piece.
    bool reserve(qsizetype size)
    {
        if (size <= m_limit - m_used)
            return true;
        if (!flush())
            return false;
        if (size > m_limit) {
            if (size > qsizetype(m_block.size()))
                m_block.resize(size_t(size));
            m_limit = size;
        }
        return true;
    }
    bool put(const char *text, qsizetype size)
    {
        if (!reserve(size))
            return false;
        std::memcpy(m_block.data() + m_used, text, size_t(size));
        m_used += size;
        return true;
    }
    bool put(const char *text) { return put(text, qsizetype(std::strlen(text))); }
    // Writing straight into the block, after reserve(): where the next byte
    // goes, and how many were written there.
    char *end() { return m_block.data() + m_used; }
    void advance(qsizetype size) { m_used += size; }

    bool flush()
    {
        const bool ok = m_used == 0 || m_sink(m_block.data(), m_used);
        m_used = 0;
        m_limit = m_piece;
        return ok;
    }

private:
    std::vector<char> m_block;
    const qsizetype m_piece;
    qsizetype m_limit; // the current piece's size: m_piece, or one long write's
    qsizetype m_used = 0;
    const Sink &m_sink;
};

constexpr qsizetype kCellOpenSize = qsizetype(sizeof kCellOpen - 1);
constexpr qsizetype kTextCellOpenSize = qsizetype(sizeof kTextCellOpen - 1);
constexpr qsizetype kCellCloseSize = qsizetype(sizeof kCellClose - 1);
// The longest form of one character: '&' as "&amp;".
constexpr qsizetype kWidestChar = 5;

// Writes one cell: the text trimmed, in the code page, with the three markup
// characters escaped. Room for its longest form is made first.
bool putCell(Output &out, const QString &text)
{
    const QStringView value = trimmedView(text);
    const bool formulaLike = value.startsWith(u'=');
    const qsizetype openSize = formulaLike ? kTextCellOpenSize : kCellOpenSize;
    const qsizetype need = openSize + kWidestChar * value.size() + kCellCloseSize;
    if (!out.reserve(need))
        return false;
    char *const start = out.end();
    char *dst = start;
    std::memcpy(dst, formulaLike ? kTextCellOpen : kCellOpen, size_t(openSize));
    dst += openSize;
    const char16_t *p = value.utf16();
    const char16_t *end = p + value.size();
    for (; p != end; ++p) {
        char c;
        if (*p < 0x80) {
            c = char(*p);
        } else {
            // A surrogate pair is one character and becomes one '?'.
            if (QChar::isHighSurrogate(*p) && p + 1 != end && QChar::isLowSurrogate(p[1]))
                ++p;
            c = cp1252::encodeChar(*p);
        }
        switch (c) {
        case '&': std::memcpy(dst, "&amp;", 5); dst += 5; break;
        case '<': std::memcpy(dst, "&lt;", 4); dst += 4; break;
        case '>': std::memcpy(dst, "&gt;", 4); dst += 4; break;
        default: *dst++ = c;
        }
    }
    std::memcpy(dst, kCellClose, size_t(kCellCloseSize));
    dst += kCellCloseSize;
    Q_ASSERT(dst - start <= need);
    out.advance(dst - start);
    return true;
}

// What each code-page byte becomes in the file: the byte its character
// encodes back to, as for a cell given as text.
const std::array<char, 256> &byteForms()
{
    static const std::array<char, 256> forms = [] {
        std::array<char, 256> f{};
        for (int b = 0; b < 256; ++b) {
            const char byte = char(b);
            f[size_t(b)] = cp1252::encodeChar(cp1252::decode(&byte, 1).at(0).unicode());
        }
        return f;
    }();
    return forms;
}

// The same cell from code-page bytes.
bool putCell(Output &out, QByteArrayView bytes)
{
    qsizetype begin = 0, stop = bytes.size();
    while (begin < stop && static_cast<unsigned char>(bytes[begin]) <= 32)
        ++begin;
    while (stop > begin && static_cast<unsigned char>(bytes[stop - 1]) <= 32)
        --stop;
    const qsizetype size = stop - begin;
    const bool formulaLike = size > 0 && bytes[begin] == '=';
    const qsizetype openSize = formulaLike ? kTextCellOpenSize : kCellOpenSize;
    const qsizetype need = openSize + kWidestChar * size + kCellCloseSize;
    if (!out.reserve(need))
        return false;
    char *const start = out.end();
    char *dst = start;
    std::memcpy(dst, formulaLike ? kTextCellOpen : kCellOpen, size_t(openSize));
    dst += openSize;
    const auto &forms = byteForms();
    const char *p = bytes.data() + begin;
    const char *const end = p + size;
    for (; p != end; ++p) {
        const char c = forms[static_cast<unsigned char>(*p)];
        switch (c) {
        case '&': std::memcpy(dst, "&amp;", 5); dst += 5; break;
        case '<': std::memcpy(dst, "&lt;", 4); dst += 4; break;
        case '>': std::memcpy(dst, "&gt;", 4); dst += 4; break;
        default: *dst++ = c;
        }
    }
    std::memcpy(dst, kCellClose, size_t(kCellCloseSize));
    dst += kCellCloseSize;
    Q_ASSERT(dst - start <= need);
    out.advance(dst - start);
    return true;
}

} // namespace

bool writeSpreadsheet(qsizetype rows, const std::function<SpreadsheetCell(qsizetype, int)> &cell,
                      const std::function<bool(const char *, qsizetype)> &sink)
{
    Output out(kSpreadsheetPiece, sink);
    bool ok = out.put(kHead);
    for (const auto &column : kHeader) {
        ok = ok && out.put(kHeaderCell) && out.put(column.width) && out.put(">", 1) && out.put(column.title)
             && out.put(kCellClose, kCellCloseSize);
    }
    ok = ok && out.put("</tr>");
    for (qsizetype r = 0; r < rows; ++r) {
        if (!ok)
            return false;
        ok = out.put("<tr>");
        for (int c = 0; c < kSpreadsheetColumns && ok; ++c) {
            const SpreadsheetCell value = cell(r, c);
            ok = value.text ? putCell(out, *value.text) : putCell(out, value.bytes);
        }
        ok = ok && out.put("</tr>");
    }
    return ok && out.put(kTail) && out.flush();
}

bool writeSpreadsheet(const QList<QStringList> &rows, const std::function<bool(const char *, qsizetype)> &sink)
{
    static const QString empty;
    return writeSpreadsheet(
        rows.size(),
        [&rows](qsizetype r, int c) {
            const QStringList &row = rows.at(r);
            return SpreadsheetCell{c < row.size() ? &row.at(c) : &empty, {}};
        },
        sink);
}

QByteArray writeSpreadsheet(const QList<QStringList> &rows)
{
    QByteArray out;
    writeSpreadsheet(rows, [&out](const char *data, qsizetype size) {
        out.append(data, size);
        return true;
    });
    return out;
}

} // namespace tavolux
