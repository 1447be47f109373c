#include "cardimport/VCardReader.h"

#include "platform/Cp1252.h"
#include "platform/TextUtil.h"

#include <QStringDecoder>

namespace tavolux {

namespace {

struct ContentLine
{
    QString name;       // upper case, without its group
    QStringList params; // upper case as written, e.g. "CHARSET=UTF-8", "QUOTED-PRINTABLE"
    QString value;
    qsizetype line = 0;

    QString param(const QString &key) const
    {
        for (const QString &p : params) {
            const qsizetype eq = p.indexOf(QLatin1Char('='));
            if (eq > 0 && p.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0) {
                QString v = p.mid(eq + 1).trimmed();
                if (v.size() >= 2 && v.startsWith(QLatin1Char('"')) && v.endsWith(QLatin1Char('"')))
                    v = v.mid(1, v.size() - 2);
                return v;
            }
        }
        return QString();
    }
    // A bare 2.1 parameter ("QUOTED-PRINTABLE", "PREF"), ENCODING=, PREF=n,
    // or one of the TYPE= values.
    bool hasFlag(const QString &flag) const
    {
        for (const QString &p : params) {
            const QString upper = p.trimmed().toUpper();
            if (upper == flag || upper == QStringLiteral("ENCODING=") + flag)
                return true;
            if (flag == QLatin1String("PREF") && upper.startsWith(QStringLiteral("PREF=")))
                return true;
            if (upper.startsWith(QStringLiteral("TYPE="))) {
                const QStringList types = upper.mid(5).remove(QLatin1Char('"')).split(QLatin1Char(','));
                if (types.contains(flag))
                    return true;
            }
        }
        return false;
    }
};

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

QByteArray decodeQuotedPrintable(const QString &value)
{
    QByteArray bytes;
    bytes.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c == QLatin1Char('=') && i + 2 < value.size() && hexDigit(value.at(i + 1)) >= 0
            && hexDigit(value.at(i + 2)) >= 0) {
            bytes.append(char(hexDigit(value.at(i + 1)) * 16 + hexDigit(value.at(i + 2))));
            i += 2;
        } else if (c.unicode() < 0x100) {
            bytes.append(char(c.unicode()));
        } else {
            bytes.append(value.mid(i, 1).toUtf8());
        }
    }
    return bytes;
}

QString decodeCharset(const QByteArray &bytes, const QString &charset, TextEncoding fileEncoding)
{
    const QString upper = charset.toUpper();
    if (upper.isEmpty()) {
        if (fileEncoding == TextEncoding::Windows1252)
            return cp1252::decode(bytes);
        return QString::fromUtf8(bytes);
    }
    if (upper == QLatin1String("UTF-8") || upper == QLatin1String("UTF8"))
        return QString::fromUtf8(bytes);
    if (upper == QLatin1String("ISO-8859-1") || upper == QLatin1String("LATIN1"))
        return QString::fromLatin1(bytes);
    if (upper == QLatin1String("WINDOWS-1252") || upper == QLatin1String("CP1252")
        || upper == QLatin1String("ISO-8859-15") || upper == QLatin1String("US-ASCII")
        || upper == QLatin1String("ASCII"))
        return cp1252::decode(bytes);
    QStringDecoder decoder(upper.toLatin1().constData());
    if (decoder.isValid())
        return decoder.decode(bytes);
    return cp1252::decode(bytes);
}

// Unfolds the physical lines into content lines. A line that begins with a
// blank or a tab continues the one before; a quoted-printable value whose
// line ends in '=' continues on the next line.
QList<ContentLine> contentLines(const QString &text)
{
    QList<ContentLine> lines;
    const QStringList physical = text.split(QLatin1Char('\n'));
    QString current;
    qsizetype currentLine = 0;
    bool softBreak = false;
    auto flush = [&] {
        if (current.trimmed().isEmpty()) {
            current.clear();
            return;
        }
        ContentLine line;
        line.line = currentLine;
        // The value begins after the first ':' outside quoted parameters.
        qsizetype colon = -1;
        bool quoted = false;
        for (qsizetype i = 0; i < current.size(); ++i) {
            const QChar c = current.at(i);
            if (c == QLatin1Char('"'))
                quoted = !quoted;
            else if (c == QLatin1Char(':') && !quoted) {
                colon = i;
                break;
            }
        }
        if (colon > 0) {
            const QStringList head = current.left(colon).split(QLatin1Char(';'));
            QString name = head.first().trimmed().toUpper();
            const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
            if (dot >= 0)
                name = name.mid(dot + 1); // item1.ADR
            line.name = name;
            line.params = head.mid(1);
            line.value = current.mid(colon + 1);
            lines.append(line);
        }
        current.clear();
    };
    for (qsizetype i = 0; i < physical.size(); ++i) {
        QString piece = physical.at(i);
        if (piece.endsWith(QLatin1Char('\r')))
            piece.chop(1);
        if (softBreak) {
            current.append(piece);
        } else if (!piece.isEmpty() && (piece.at(0) == QLatin1Char(' ') || piece.at(0) == QLatin1Char('\t'))
                   && !current.isEmpty()) {
            current.append(piece.mid(1));
        } else {
            flush();
            current = piece;
            currentLine = i + 1;
        }
        // Quoted-printable soft line break.
        softBreak = false;
        if (current.endsWith(QLatin1Char('='))) {
            const QString upper = current.left(current.indexOf(QLatin1Char(':'))).toUpper();
            if (upper.contains(QLatin1String("QUOTED-PRINTABLE"))) {
                current.chop(1);
                softBreak = true;
            }
        }
    }
    flush();
    return lines;
}

QString valueText(const ContentLine &line, TextEncoding fileEncoding)
{
    const QString charset = line.param(QStringLiteral("CHARSET"));
    if (line.hasFlag(QStringLiteral("QUOTED-PRINTABLE")))
        return decodeCharset(decodeQuotedPrintable(line.value), charset, fileEncoding);
    // 2.1 may give one value a charset of its own in a file that is not UTF-8:
    // its bytes come back unchanged from Windows-1252 and are read in that charset.
    if (!charset.isEmpty() && fileEncoding == TextEncoding::Windows1252)
        return decodeCharset(cp1252::encode(line.value), charset, fileEncoding);
    return line.value;
}

QStringList structured(const QString &value)
{
    QStringList parts = splitUnescaped(value, QLatin1Char(';'));
    for (QString &part : parts)
        part = unescape(part);
    return parts;
}

} // namespace

bool VCardReader::looksLikeVCard(QStringView text)
{
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            end = text.size();
        const QStringView trimmed = text.mid(start, end - start).trimmed();
        if (!trimmed.isEmpty())
            return trimmed.compare(QLatin1String("BEGIN:VCARD"), Qt::CaseInsensitive) == 0;
        start = end + 1;
    }
    return false;
}

bool VCardReader::read(const QString &text, TextEncoding fileEncoding)
{
    m_cards.clear();
    m_error.clear();
    bool inside = false;
    bool preferredAddress = false;
    qsizetype begun = 0;
    VCard card;
    for (const ContentLine &line : contentLines(text)) {
        if (line.name == QLatin1String("BEGIN")
            && line.value.trimmed().compare(QLatin1String("VCARD"), Qt::CaseInsensitive) == 0) {
            if (inside) {
                m_error = QStringLiteral("la scheda della riga %1 non termina con END:VCARD").arg(begun);
                return false;
            }
            inside = true;
            preferredAddress = false;
            begun = line.line;
            card = VCard();
            continue;
        }
        if (!inside)
            continue;
        if (line.name == QLatin1String("END")) {
            m_cards.append(card);
            inside = false;
            continue;
        }
        const QString value = valueText(line, fileEncoding);
        if (line.name == QLatin1String("FN")) {
            card.formattedName = unescape(value);
        } else if (line.name == QLatin1String("N")) {
            card.name = structured(value);
        } else if (line.name == QLatin1String("ORG")) {
            QStringList units = structured(value);
            units.removeAll(QString());
            card.organisation = units.join(QStringLiteral(", "));
        } else if (line.name == QLatin1String("ADR")) {
            // The first address, or a later one marked as preferred.
            const bool preferred = line.hasFlag(QStringLiteral("PREF"));
            if (card.address.isEmpty() || (preferred && !preferredAddress)) {
                card.address = structured(value);
                preferredAddress = preferred;
                const QString label = line.param(QStringLiteral("LABEL"));
                if (!label.isEmpty())
                    card.label = unescape(label);
            }
        } else if (line.name == QLatin1String("LABEL")) {
            if (card.label.isEmpty())
                card.label = unescape(value);
        } else if (line.name == QLatin1String("NOTE")) {
            card.note = unescape(value);
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

} // namespace tavolux
