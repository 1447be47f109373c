#include "printing/EnvelopeSettings.h"

#include "platform/IniFile.h"

namespace tavolux {

namespace {
const QString kMargins = QStringLiteral("Margini Busta");
const QString kPrint = QStringLiteral("Stampa Busta");
const QString kFormat = QStringLiteral("Formato Busta");
const QString kSender = QStringLiteral("Mittente");

QString senderKey(int line)
{
    return QStringLiteral("Rigo%1").arg(line, 2, 10, QLatin1Char('0'));
}

// A value that begins and ends with the same quote would read back without
// it: another pair of quotes keeps it whole.
QString quotedIfNeeded(const QString &value)
{
    if (value.size() >= 2 && value.front() == value.back()
        && (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')))
        return QLatin1Char('"') + value + QLatin1Char('"');
    return value;
}

// The added sections leave every other line of the file as it is.
bool writeAdded(const QString &path, const QString &section, const QString &key, const QString &value,
                QString *reason)
{
    return IniFile(path).writeString(section, key, quotedIfNeeded(value), IniFile::Style::KeepBytes, reason);
}
} // namespace

EnvelopeSettings::EnvelopeSettings(const ProgramFolder &folder)
    : m_path(folder.file(fileName()))
{
}

QString EnvelopeSettings::top() const
{
    return IniFile(m_path).readString(kMargins, QStringLiteral("Superiore"));
}

QString EnvelopeSettings::left() const
{
    return IniFile(m_path).readString(kMargins, QStringLiteral("Sinistro"));
}

QString EnvelopeSettings::orientation() const
{
    return IniFile(m_path).readString(kPrint, QStringLiteral("Orientamento"));
}

bool EnvelopeSettings::writeTop(const QString &value, QString *reason)
{
    return IniFile(m_path).writeString(kMargins, QStringLiteral("Superiore"), value, IniFile::Style::Profile, reason);
}

bool EnvelopeSettings::writeLeft(const QString &value, QString *reason)
{
    return IniFile(m_path).writeString(kMargins, QStringLiteral("Sinistro"), value, IniFile::Style::Profile, reason);
}

bool EnvelopeSettings::writeOrientation(const QString &value, QString *reason)
{
    return IniFile(m_path).writeString(kPrint, QStringLiteral("Orientamento"), value, IniFile::Style::Profile, reason);
}

QString EnvelopeSettings::format() const
{
    return IniFile(m_path).readString(kFormat, QStringLiteral("Formato"));
}

bool EnvelopeSettings::writeFormat(const QString &formatKey, QString *reason)
{
    return writeAdded(m_path, kFormat, QStringLiteral("Formato"), formatKey, reason);
}

QString EnvelopeSettings::formatValue(const QString &formatKey, const QString &key) const
{
    return IniFile(m_path).readString(formatSection(formatKey), key);
}

bool EnvelopeSettings::writeFormatValue(const QString &formatKey, const QString &key, const QString &value,
                                        QString *reason)
{
    return writeAdded(m_path, formatSection(formatKey), key, value, reason);
}

QString EnvelopeSettings::senderLine(int line) const
{
    return IniFile(m_path).readString(kSender, senderKey(line));
}

bool EnvelopeSettings::writeSenderLine(int line, const QString &value, QString *reason)
{
    return writeAdded(m_path, kSender, senderKey(line), value, reason);
}

QString EnvelopeSettings::senderSwitch(const QString &formatKey) const
{
    return IniFile(m_path).readString(kSender, formatKey);
}

bool EnvelopeSettings::writeSenderSwitch(const QString &formatKey, bool on, QString *reason)
{
    return writeAdded(m_path, kSender, formatKey, on ? yes() : no(), reason);
}

} // namespace tavolux
