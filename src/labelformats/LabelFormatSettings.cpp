#include "labelformats/LabelFormatSettings.h"

#include "labelformats/LabelCatalogue.h"
#include "platform/IniFile.h"

#include <QLocale>

#include <cmath>

namespace tavolux {

namespace {

const QString kNumber = QStringLiteral("Numero");
const QString kName = QStringLiteral("Nome");
const QString kPaper = QStringLiteral("Carta");
const QString kPageWidth = QStringLiteral("Larghezza pagina");
const QString kPageHeight = QStringLiteral("Altezza pagina");
const QString kColumns = QStringLiteral("Colonne");
const QString kRows = QStringLiteral("Righe");
const QString kWidth = QStringLiteral("Larghezza");
const QString kHeight = QStringLiteral("Altezza");
const QString kLeft = QStringLiteral("Sinistro");
const QString kTop = QStringLiteral("Superiore");
const QString kPitchX = QStringLiteral("Passo orizzontale");
const QString kPitchY = QStringLiteral("Passo verticale");

// More own formats than this are not read.
constexpr int kMaxOwn = 200;

QString ownSectionOf(int n)
{
    return LabelFormatSettings::ownSection() + QLatin1Char(' ') + QString::number(n);
}

// "63,5": up to two decimals, a decimal comma.
QString number(double mm)
{
    QString text = QString::number(std::round(mm * 100) / 100, 'f', 2);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text.replace(QLatin1Char('.'), QLatin1Char(','));
}

double parseNumber(QString text, bool *ok)
{
    text = text.trimmed();
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    const double value = QLocale::c().toDouble(text, ok);
    if (*ok && !std::isfinite(value))
        *ok = false;
    return value;
}

// A value that begins and ends with the same quote would read back without it.
QString quotedIfNeeded(const QString &value)
{
    if (value.size() >= 2 && value.front() == value.back()
        && (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')))
        return QLatin1Char('"') + value + QLatin1Char('"');
    return value;
}

} // namespace

QString millimetres(double mm)
{
    return number(mm);
}

bool readMillimetres(const QString &text, double *mm)
{
    bool ok = false;
    const double value = parseNumber(text, &ok);
    if (ok)
        *mm = value;
    return ok;
}

QString LabelFormatSettings::useKey(Use use)
{
    switch (use) {
    case Use::LabelPages:
        return QStringLiteral("Pagine");
    case Use::OneAddress:
        return QStringLiteral("Indirizzo");
    case Use::Mailing:
        break;
    }
    return QStringLiteral("Archivio");
}

LabelFormatSettings::LabelFormatSettings(const QString &iniPath) : m_path(iniPath) {}

LabelFormatSettings::LabelFormatSettings(const ProgramFolder &folder)
    : m_path(folder.file(QStringLiteral("Impostazioni.ini")))
{
}

QString LabelFormatSettings::catalogueFolder() const
{
    return IniFile(m_path).readString(section(), folderKey());
}

QString LabelFormatSettings::chosenId(Use use) const
{
    return IniFile(m_path).readString(section(), useKey(use));
}

bool LabelFormatSettings::writeChosenId(Use use, const QString &id, QString *reason)
{
    return IniFile(m_path).writeString(section(), useKey(use), quotedIfNeeded(id), IniFile::Style::KeepBytes, reason);
}

QList<LabelProduct> LabelFormatSettings::ownFormats() const
{
    QList<LabelProduct> formats;
    QByteArray content;
    if (IniFile::load(m_path, &content) != IniFile::Load::Ok)
        return formats;
    bool ok = false;
    const int stored = IniFile::valueIn(content, ownSection(), kNumber).toInt(&ok);
    if (!ok)
        return formats;
    for (int n = 1; n <= std::min(stored, kMaxOwn); ++n) {
        const QString s = ownSectionOf(n);
        auto value = [&](const QString &key) { return IniFile::valueIn(content, s, key); };
        bool good = true;
        auto mm = [&](const QString &key) {
            bool read = false;
            const double v = parseNumber(value(key), &read);
            good = good && read;
            return v;
        };
        auto whole = [&](const QString &key) {
            bool read = false;
            const int v = value(key).toInt(&read);
            good = good && read;
            return v;
        };
        LabelProduct p;
        p.source = LabelProduct::Source::Own;
        p.part = value(kName);
        p.paperId = value(kPaper);
        p.pageMm = QSizeF(mm(kPageWidth), mm(kPageHeight));
        p.labelMm = QSizeF(mm(kWidth), mm(kHeight));
        p.layouts << LabelProduct::Layout{whole(kColumns), whole(kRows), mm(kLeft), mm(kTop), mm(kPitchX), mm(kPitchY)};
        p.paperName = p.paperId == QLatin1String("US-Letter") ? QStringLiteral("US Letter") : p.paperId;
        if (!good || !checkLabelProduct(p).isEmpty())
            continue;
        bool taken = false;
        for (const LabelProduct &other : std::as_const(formats))
            taken = taken || other.part.compare(p.part, Qt::CaseInsensitive) == 0;
        if (!taken)
            formats << p;
    }
    return formats;
}

namespace {

// Writes the own formats as sections 1 to n and their number: what stood
// beyond n is no longer read.
bool writeOwnFormats(const QString &path, const QList<LabelProduct> &formats, QString *reason)
{
    IniFile file(path);
    for (int n = 1; n <= formats.size(); ++n) {
        const LabelProduct &f = formats[n - 1];
        const LabelProduct::Layout &l = f.layouts.first();
        const QString s = ownSectionOf(n);
        const QList<QPair<QString, QString>> values = {
            {kName, f.part},
            {kPaper, f.paperId},
            {kPageWidth, number(f.pageMm.width())},
            {kPageHeight, number(f.pageMm.height())},
            {kColumns, QString::number(l.columns)},
            {kRows, QString::number(l.rows)},
            {kWidth, number(f.labelMm.width())},
            {kHeight, number(f.labelMm.height())},
            {kLeft, number(l.x0)},
            {kTop, number(l.y0)},
            {kPitchX, number(l.dx)},
            {kPitchY, number(l.dy)},
        };
        for (const auto &value : values)
            if (!file.writeString(s, value.first, quotedIfNeeded(value.second), IniFile::Style::KeepBytes, reason))
                return false;
    }
    return file.writeString(LabelFormatSettings::ownSection(), kNumber, QString::number(formats.size()),
                            IniFile::Style::KeepBytes, reason);
}

} // namespace

bool LabelFormatSettings::saveOwnFormat(const LabelProduct &format, QString *reason)
{
    LabelProduct p = format;
    p.source = LabelProduct::Source::Own;
    const QStringList faults = checkLabelProduct(p);
    if (!faults.isEmpty()) {
        if (reason)
            *reason = faults.first();
        return false;
    }
    QList<LabelProduct> formats = ownFormats();
    int at = -1;
    for (int i = 0; i < formats.size(); ++i)
        if (formats[i].part.compare(p.part, Qt::CaseInsensitive) == 0)
            at = i;
    if (at < 0 && formats.size() >= kMaxOwn) {
        if (reason)
            *reason = QStringLiteral("Si possono tenere al massimo %1 formati propri.").arg(kMaxOwn);
        return false;
    }
    if (at < 0)
        formats << p;
    else
        formats[at] = p;
    return writeOwnFormats(m_path, formats, reason);
}

bool LabelFormatSettings::removeOwnFormat(const QString &name, QString *reason)
{
    QList<LabelProduct> formats = ownFormats();
    const qsizetype before = formats.size();
    formats.removeIf([&name](const LabelProduct &f) { return f.part.compare(name, Qt::CaseInsensitive) == 0; });
    return formats.size() == before || writeOwnFormats(m_path, formats, reason);
}

LabelProduct LabelFormatSettings::byId(const QString &id, bool *found) const
{
    if (found)
        *found = true;
    if (id.startsWith(QLatin1String("proprio:"))) {
        const QString name = id.mid(8);
        for (const LabelProduct &p : ownFormats())
            if (p.part.compare(name, Qt::CaseInsensitive) == 0)
                return p;
    } else if (id.startsWith(QLatin1String("catalogo:"))) {
        if (const LabelProduct *p = LabelCatalogue::installed(catalogueFolder()).find(id))
            return *p;
    } else if (id == LabelProduct::builtInId()) {
        return LabelProduct::builtIn();
    }
    if (found)
        *found = false;
    return LabelProduct::builtIn();
}

LabelProduct LabelFormatSettings::chosen(Use use) const
{
    return byId(chosenId(use));
}

QList<LabelProduct> LabelFormatSettings::all() const
{
    QList<LabelProduct> formats{LabelProduct::builtIn()};
    formats += ownFormats();
    formats += LabelCatalogue::installed(catalogueFolder()).products();
    return formats;
}

QString LabelFormatSettings::calibrationSection(const QString &id)
{
    const QString base = QStringLiteral("Calibrazione Etichette");
    if (id.isEmpty() || id == LabelProduct::builtInId())
        return base;
    QString name = id;
    // Brackets would end the section's name.
    name.replace(QLatin1Char('['), QLatin1Char('(')).replace(QLatin1Char(']'), QLatin1Char(')'));
    return base + QLatin1Char(' ') + name;
}

} // namespace tavolux
