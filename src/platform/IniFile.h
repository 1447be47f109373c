#pragma once

#include <QByteArray>
#include <QString>

namespace tavolux {

// An INI-format text file with Windows profile semantics: sections and keys
// are matched without regard to case, a missing value reads as empty, a value
// in matching double or single quotes reads without them, and a write replaces
// one value and keeps every other line as it was. The file is Windows-1252;
// one that begins with a UTF-8 byte-order mark is UTF-8 and keeps its mark.
class IniFile
{
public:
    // Only regular files up to this size are read; anything else is damaged.
    static constexpr qint64 MaxSize = 1 << 20;

    enum class Load { Ok, Missing, Damaged };

    explicit IniFile(const QString &path);

    QString path() const { return m_path; }

    // Trimmed value, or empty when the file, section or key is missing or the
    // file is damaged (then *damaged is set, where given).
    QString readString(const QString &section, const QString &key, bool *damaged = nullptr) const;
    // The same lookup in the bytes of an INI file.
    static QString valueIn(const QByteArray &content, const QString &section, const QString &key);

    // The whole file, never blocking: a FIFO, a device, a folder or a file
    // larger than MaxSize is Damaged, a file that is not there is Missing.
    static Load load(const QString &path, QByteArray *content);

    // How a write treats the rest of the file.
    enum class Style {
        // As Windows writes a profile: every line ends in CR LF, and a new
        // section follows an empty line.
        Profile,
        // Only the line written changes or is added: every other byte stays,
        // line ends included; an added line ends as the file's first line does.
        KeepBytes,
    };

    // Writes one value; the file is replaced as saveFile() replaces a file, so
    // a failure leaves the old file as it was. False when it cannot be
    // written, or when the file there is damaged; *reason (where given) then
    // says why, in Italian.
    bool writeString(const QString &section, const QString &key, const QString &value, Style style = Style::Profile,
                     QString *reason = nullptr);
    // The reason given for a file that is there but cannot be read whole.
    static QString damagedReason();

private:
    QString m_path;
};

} // namespace tavolux
