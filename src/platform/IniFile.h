#pragma once

#include <QString>

namespace tavolux {

// An INI-format text file with Windows profile semantics: sections and keys
// are matched without regard to case, a missing value reads as empty, and a
// write replaces one value and keeps every other line. The file is Windows-1252.
class IniFile
{
public:
    explicit IniFile(const QString &path);

    QString path() const { return m_path; }

    // Trimmed value, or empty when the file, section or key is missing.
    QString readString(const QString &section, const QString &key) const;
    // The same lookup in the bytes of an INI file.
    static QString valueIn(const QByteArray &content, const QString &section, const QString &key);

    // Writes one value; the file is replaced atomically (new file, then rename),
    // so a failure leaves the old file as it was. False when it cannot be written.
    bool writeString(const QString &section, const QString &key, const QString &value);

private:
    QString m_path;
};

} // namespace tavolux
