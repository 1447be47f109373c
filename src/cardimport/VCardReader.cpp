#include "cardimport/VCardReader.h"

#include "cardimport/TextEncoding.h"
#include "platform/Cp1252.h"
#include "platform/TextUtil.h"

#include <QStringDecoder>

#include <algorithm>

namespace tavolux {

namespace {

// One content line, unfolded, still in bytes.
struct ContentLine
{
    QByteArray name; // upper case, without its group
    QList<QByteArray> params;
    QByteArray value;
    qsizetype line = 0;

    // The value of parameter `key` ("CHARSET"), without quotes; empty when missing.
    QByteArray param(const char *key) const
    {
        for (const QByteArray &p : params) {
            const qsizetype eq = p.indexOf('=');
            if (eq > 0 && p.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0) {
                QByteArray v = p.mid(eq + 1).trimmed();
                if (v.size() >= 2 && v.startsWith('"') && v.endsWith('"'))
                    v = v.mid(1, v.size() - 2);
                return v;
            }
        }
        return QByteArray();
    }
    // A bare 2.1 parameter ("QUOTED-PRINTABLE", "PREF"), ENCODING=, PREF=n,
    // or one of the TYPE= values.
    bool hasFlag(const QByteArray &flag) const
    {
        for (const QByteArray &p : params) {
            const QByteArray upper = p.trimmed().toUpper();
            if (upper == flag || upper == "ENCODING=" + flag)
                return true;
            if (flag == "PREF" && upper.startsWith("PREF="))
                return true;
            if (upper.startsWith("TYPE=")) {
                for (const QByteArray &type : upper.mid(5).replace('"', QByteArray()).split(','))
                    if (type.trimmed() == flag)
                        return true;
            }
        }
        return false;
    }
    bool quotedPrintable() const { return hasFlag("QUOTED-PRINTABLE") || hasFlag("QP"); }
    bool base64() const { return hasFlag("BASE64") || hasFlag("B"); }
};

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Splits at `sep` outside double quotes.
QList<QByteArray> splitOutsideQuotes(QByteArrayView text, char sep)
{
    QList<QByteArray> parts;
    bool quoted = false;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == '"')
            quoted = !quoted;
        else if (text.at(i) == sep && !quoted) {
            parts << text.sliced(start, i - start).toByteArray();
            start = i + 1;
        }
    }
    parts << text.sliced(start).toByteArray();
    return parts;
}

// Makes one content line of an unfolded line; false when it has no name.
bool parseLine(const QByteArray &text, qsizetype number, ContentLine &out)
{
    // The value begins after the first ':' outside quoted parameters.
    qsizetype colon = -1;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (c == '"')
            quoted = !quoted;
        else if (c == ':' && !quoted) {
            colon = i;
            break;
        }
    }
    if (colon <= 0)
        return false;
    QList<QByteArray> head = splitOutsideQuotes(QByteArrayView(text).first(colon), ';');
    QByteArray name = head.takeFirst().trimmed().toUpper();
    const qsizetype dot = name.lastIndexOf('.');
    if (dot >= 0)
        name = name.mid(dot + 1); // item1.ADR
    out.name = name;
    out.params = head;
    out.value = text.mid(colon + 1);
    out.line = number;
    return true;
}

// The physical lines unfolded: a line that begins with a blank or a tab
// continues the one before, and a quoted-printable value whose line ends in
// '=' continues on the next line. All on bytes, so a fold may fall inside a
// character.
QList<ContentLine> contentLines(QByteArrayView bytes)
{
    QList<ContentLine> lines;
    QByteArray current;
    qsizetype currentLine = 0;
    bool softBreak = false;
    auto flush = [&] {
        ContentLine line;
        if (!current.trimmed().isEmpty() && parseLine(current, currentLine, line))
            lines.append(std::move(line));
        current.clear();
    };
    qsizetype number = 0;
    for (qsizetype i = 0; i < bytes.size();) {
        qsizetype end = i;
        while (end < bytes.size() && bytes.at(end) != '\n' && bytes.at(end) != '\r')
            ++end;
        const QByteArrayView piece = bytes.sliced(i, end - i);
        ++number;
        if (softBreak) {
            current.append(piece);
        } else if (!piece.isEmpty() && isBlank(piece.at(0)) && !current.isEmpty()) {
            current.append(piece.sliced(1));
        } else {
            flush();
            current = piece.toByteArray();
            currentLine = number;
        }
        softBreak = false;
        if (current.endsWith('=')) {
            const qsizetype colon = current.indexOf(':');
            const QByteArray head = current.left(colon < 0 ? 0 : colon).toUpper();
            if (head.contains("QUOTED-PRINTABLE")) {
                current.chop(1);
                softBreak = true;
            }
        }
        if (end == bytes.size())
            break;
        i = end + ((bytes.at(end) == '\r' && end + 1 < bytes.size() && bytes.at(end + 1) == '\n') ? 2 : 1);
    }
    flush();
    return lines;
}

QByteArray decodeQuotedPrintable(QByteArrayView value)
{
    QByteArray bytes;
    bytes.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const char c = value.at(i);
        if (c == '=' && i + 2 < value.size() && hexDigit(QLatin1Char(value.at(i + 1))) >= 0
            && hexDigit(QLatin1Char(value.at(i + 2))) >= 0) {
            bytes.append(char(hexDigit(QLatin1Char(value.at(i + 1))) * 16 + hexDigit(QLatin1Char(value.at(i + 2)))));
            i += 2;
        } else {
            bytes.append(c);
        }
    }
    return bytes;
}

QString decodeCharset(QByteArrayView bytes, const QByteArray &charset)
{
    const QByteArray upper = charset.toUpper();
    if (upper == "UTF-8" || upper == "UTF8")
        return decodeUtf8OrWindows1252(bytes); // a wrong byte reads as Windows-1252, never as U+FFFD
    // ISO-8859-1 as mail programs write it is Windows-1252.
    if (upper == "ISO-8859-1" || upper == "LATIN1" || upper == "WINDOWS-1252" || upper == "CP1252"
        || upper == "US-ASCII" || upper == "ASCII")
        return cp1252::decode(bytes.data(), int(bytes.size()));
    QStringDecoder decoder(upper.constData());
    if (decoder.isValid())
        return decoder.decode(bytes);
    return decodeUtf8OrWindows1252(bytes);
}

// Splits at `sep` where it is not escaped by a backslash.
QStringList splitUnescaped(const QString &value, QChar sep)
{
    QStringList parts;
    QString current;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c == QLatin1Char('\\') && i + 1 < value.size()) {
            current.append(c);
            current.append(value.at(++i));
        } else if (c == sep) {
            parts.append(current);
            current.clear();
        } else {
            current.append(c);
        }
    }
    parts.append(current);
    return parts;
}

QString unescape(const QString &value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c == QLatin1Char('\\') && i + 1 < value.size()) {
            const QChar n = value.at(++i);
            if (n == QLatin1Char('n') || n == QLatin1Char('N'))
                out.append(QLatin1Char('\n'));
            else
                out.append(n); // \, \; \\ and \: stand for themselves
        } else {
            out.append(c);
        }
    }
    return out;
}

// A parameter value with the circumflex escapes of RFC 6868 (^n, ^^, ^').
QString unescapeParameter(const QString &value)
{
    QString out;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c == QLatin1Char('^') && i + 1 < value.size()) {
            const QChar n = value.at(i + 1);
            if (n == QLatin1Char('n')) {
                out.append(QLatin1Char('\n'));
                ++i;
                continue;
            }
            if (n == QLatin1Char('^') || n == QLatin1Char('\'')) {
                out.append(n == QLatin1Char('^') ? n : QChar(QLatin1Char('"')));
                ++i;
                continue;
            }
        }
        out.append(c);
    }
    return unescape(out);
}

// Each part of a structured value (';'), unescaped; a part that is a list
// (',') has its non-empty items joined by ", ".
QStringList structured(const QString &value)
{
    QStringList parts = splitUnescaped(value, QLatin1Char(';'));
    for (QString &part : parts) {
        QStringList items;
        for (const QString &item : splitUnescaped(part, QLatin1Char(','))) {
            const QString text = trimText(unescape(item));
            if (!text.isEmpty())
                items << text;
        }
        part = items.join(QStringLiteral(", "));
    }
    return parts;
}

bool isItaly(const QString &country)
{
    static const QStringList names{QStringLiteral("italia"), QStringLiteral("italy"),  QStringLiteral("it"),
                                   QStringLiteral("ita"),    QStringLiteral("italie"), QStringLiteral("italien")};
    return names.contains(trimText(country).toLower());
}

QStringList splitLines(const QString &text)
{
    QStringList lines;
    for (const QString &line : QString(text)
                                       .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                                       .replace(QLatin1Char('\r'), QLatin1Char('\n'))
                                       .split(QLatin1Char('\n'))) {
        const QString trimmed = trimText(line);
        if (!trimmed.isEmpty())
            lines << trimmed;
    }
    return lines;
}

QString joinNonEmpty(const QStringList &parts, const QString &sep)
{
    QStringList kept;
    for (const QString &part : parts) {
        const QString trimmed = trimText(part);
        if (!trimmed.isEmpty())
            kept << trimmed;
    }
    return kept.join(sep);
}

} // namespace

bool VCardReader::looksLikeVCard(QByteArrayView bytes)
{
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = start;
        while (end < bytes.size() && bytes.at(end) != '\n' && bytes.at(end) != '\r')
            ++end;
        const QByteArrayView trimmed = bytes.sliced(start, end - start).trimmed();
        if (!trimmed.isEmpty())
            return trimmed.compare("BEGIN:VCARD", Qt::CaseInsensitive) == 0;
        start = end + 1;
    }
    return false;
}

bool VCardReader::read(QByteArrayView bytes, Lines lines)
{
    m_cards.clear();
    m_error.clear();
    m_otherWayLines = 0;
    m_highBytes = 0;
    m_textBytes = 0;
    const QList<ContentLine> content = contentLines(bytes);

    // The lines that are not ASCII decide, where the file's encoding is not given.
    m_utf8 = lines != Lines::Windows1252;
    if (lines == Lines::Detect) {
        int utf8 = 0, other = 0;
        for (const ContentLine &line : content) {
            const QByteArrayView value = line.value;
            if (std::all_of(value.begin(), value.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
                continue;
            (isUtf8(value) ? utf8 : other) += 1;
        }
        m_utf8 = other <= utf8;
    }

    VCard card;
    auto text = [&](QByteArrayView raw) {
        // A value or parameter that names no charset.
        const bool ascii =
                std::all_of(raw.begin(), raw.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        if (ascii || (m_utf8 && isUtf8(raw)))
            return QString::fromUtf8(raw);
        if (m_utf8) {
            ++m_otherWayLines;
            card.readOtherWay = true;
        }
        for (const char c : raw) {
            const auto b = static_cast<unsigned char>(c);
            m_highBytes += b >= 0x80 ? 1 : 0;
            m_textBytes += b > ' ' ? 1 : 0;
        }
        return cp1252::decode(raw.data(), int(raw.size()));
    };
    auto valueText = [&](const ContentLine &line) {
        const QByteArray charset = line.param("CHARSET");
        if (line.quotedPrintable()) {
            // Decoded on its own: UTF-8 where its bytes are, else Windows-1252.
            const QByteArray decoded = decodeQuotedPrintable(line.value);
            return charset.isEmpty() ? decodeUtf8OrWindows1252(decoded) : decodeCharset(decoded, charset);
        }
        if (!charset.isEmpty())
            return decodeCharset(line.value, charset);
        return text(line.value);
    };

    bool inside = false;
    qsizetype begun = 0;
    int nested = 0;          // depth inside an AGENT's own card
    bool agentNext = false;  // the line before was an empty AGENT
    int addressRank = 3;     // of the chosen ADR: 0 preferred, 1 work, 2 any other
    for (const ContentLine &line : content) {
        const bool begin = line.name == "BEGIN" && line.value.trimmed().compare("VCARD", Qt::CaseInsensitive) == 0;
        const bool end = line.name == "END" && line.value.trimmed().compare("VCARD", Qt::CaseInsensitive) == 0;
        if (nested > 0) {
            nested += begin ? 1 : end ? -1 : 0;
            continue;
        }
        if (begin) {
            if (inside && agentNext) {
                nested = 1; // vCard 2.1: AGENT: then the agent's card
                agentNext = false;
                continue;
            }
            if (inside) {
                m_error = QStringLiteral("la scheda della riga %1 non termina con END:VCARD").arg(begun);
                return false;
            }
            inside = true;
            addressRank = 3;
            begun = line.line;
            card = VCard();
            continue;
        }
        agentNext = false;
        if (!inside)
            continue;
        if (end) {
            m_cards.append(card);
            inside = false;
            continue;
        }
        if (line.name == "AGENT") {
            agentNext = line.value.trimmed().isEmpty();
            continue;
        }
        if (line.base64())
            continue;
        if (line.name == "FN") {
            card.formattedName = unescape(valueText(line));
        } else if (line.name == "N") {
            card.name = structured(valueText(line));
        } else if (line.name == "ORG") {
            if (card.organisation.isEmpty()) {
                QStringList units = structured(valueText(line));
                units.removeAll(QString());
                card.organisation = units.join(QStringLiteral(", "));
            }
        } else if (line.name == "ADR") {
            // The preferred address, else the first work address, else the first.
            const int rank = line.hasFlag("PREF") ? 0 : line.hasFlag("WORK") ? 1 : 2;
            if (rank < addressRank) {
                addressRank = rank;
                card.address = structured(valueText(line));
                const QByteArray label = line.param("LABEL");
                if (!label.isEmpty())
                    card.label = unescapeParameter(text(label));
            }
        } else if (line.name == "LABEL") {
            if (card.label.isEmpty())
                card.label = unescape(valueText(line));
        } else if (line.name == "NOTE") {
            card.note = unescape(valueText(line));
        }
    }
    if (inside) {
        m_error = QStringLiteral("la scheda della riga %1 non termina con END:VCARD").arg(begun);
        return false;
    }
    if (m_cards.isEmpty()) {
        m_error = QStringLiteral("nessuna scheda BEGIN:VCARD ... END:VCARD");
        return false;
    }
    return true;
}

QStringList VCard::values() const
{
    const QString formatted = trimText(formattedName);
    // N: family; given; additional; prefixes; suffixes.
    auto part = [this](int i) { return i < name.size() ? name.at(i) : QString(); };
    const QString fromN = joinNonEmpty({part(3), part(1), part(2), part(0), part(4)}, QStringLiteral(" "));
    const QString org = trimText(organisation);
    QString person = !formatted.isEmpty() ? formatted : fromN;
    const QString cardName = !person.isEmpty() ? person : org;
    if (person == org)
        person.clear();

    QStringList lines;
    if (!person.isEmpty())
        lines << person;
    if (!org.isEmpty())
        lines << org;
    QStringList lower;
    const bool hasAddress = std::any_of(address.begin(), address.end(),
                                        [](const QString &part) { return !trimText(part).isEmpty(); });
    if (hasAddress) {
        // ADR: PO box; extended; street; locality; region; postal code; country.
        auto adr = [this](int i) { return i < address.size() ? trimText(address.at(i)) : QString(); };
        QStringList streets;
        streets << splitLines(adr(0)) << splitLines(adr(2)) << splitLines(adr(1));
        QString town = joinNonEmpty({adr(5), adr(3)}, QStringLiteral(" "));
        if (!adr(4).isEmpty())
            town = town.isEmpty() ? adr(4) : town + QStringLiteral(" (") + adr(4) + QLatin1Char(')');
        lower = streets;
        if (!town.isEmpty())
            lower << town;
        if (!adr(6).isEmpty() && !isItaly(adr(6)))
            lower << adr(6);
        // Six lines at most: the streets share one line first.
        if (lines.size() + lower.size() > 6 && streets.size() > 1)
            lower = QStringList{streets.join(QStringLiteral(", "))} + lower.mid(int(streets.size()));
    } else if (!trimText(label).isEmpty()) {
        lower = splitLines(label);
    }
    lines += lower;
    if (lines.size() > 6)
        lines = lines.mid(0, 5) << lines.mid(5).join(QStringLiteral(", "));
    while (lines.size() < 6)
        lines << QString();

    QStringList row{cardName, QString()};
    row += lines;
    row << trimText(note);
    return row;
}

} // namespace tavolux
