#include "printing/EnvelopeSettings.h"

#include "platform/IniFile.h"

namespace tavolux {

namespace {
const QString kMargins = QStringLiteral("Margini Busta");
const QString kPrint = QStringLiteral("Stampa Busta");
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

} // namespace tavolux
