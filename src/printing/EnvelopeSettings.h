#pragma once

#include "platform/ProgramFolder.h"

#include <QString>

namespace tavolux {

// The envelope margins and orientation in Impostazioni.ini: those of the A4
// page in the sections "Margini Busta" and "Stampa Busta"; those of each
// envelope format in a section of its own ("Busta DL", ...), with the sides
// of the user's own format; the format chosen last in "Formato Busta"; the
// sender's lines, and the formats it prints with, in "Mittente".
class EnvelopeSettings
{
public:
    static QString fileName() { return QStringLiteral("Impostazioni.ini"); }
    static QString portrait() { return QStringLiteral("Verticale"); }
    static QString landscape() { return QStringLiteral("Orizzontale"); }
    // The values of a sender switch.
    static QString yes() { return QStringLiteral("Sì"); }
    static QString no() { return QStringLiteral("No"); }

    // The keys of an envelope format's section.
    static QString topKey() { return QStringLiteral("Superiore"); }
    static QString leftKey() { return QStringLiteral("Sinistro"); }
    static QString orientationKey() { return QStringLiteral("Orientamento"); }
    static QString shortSideKey() { return QStringLiteral("Lato corto"); }
    static QString longSideKey() { return QStringLiteral("Lato lungo"); }

    explicit EnvelopeSettings(const ProgramFolder &folder);

    // As stored; empty where the file or key is missing.
    QString top() const;
    QString left() const;
    QString orientation() const;

    // Each writes one value; false when the file cannot be written, and
    // *reason (where given) says why, in Italian.
    bool writeTop(const QString &value, QString *reason = nullptr);
    bool writeLeft(const QString &value, QString *reason = nullptr);
    bool writeOrientation(const QString &value, QString *reason = nullptr);

    // The key of the format chosen last; empty when none is stored.
    QString format() const;
    bool writeFormat(const QString &formatKey, QString *reason = nullptr);

    // A value of an envelope format's own section.
    static QString formatSection(const QString &formatKey) { return QStringLiteral("Busta ") + formatKey; }
    QString formatValue(const QString &formatKey, const QString &key) const;
    bool writeFormatValue(const QString &formatKey, const QString &key, const QString &value,
                          QString *reason = nullptr);

    // Line 1 to 4 of the sender, and whether it prints with a format
    // (yes() or no(); empty when not stored).
    QString senderLine(int line) const;
    bool writeSenderLine(int line, const QString &value, QString *reason = nullptr);
    QString senderSwitch(const QString &formatKey) const;
    bool writeSenderSwitch(const QString &formatKey, bool on, QString *reason = nullptr);

private:
    QString m_path;
};

} // namespace tavolux
