#pragma once

#include "platform/ProgramFolder.h"

#include <QString>

namespace tavolux {

// The envelope margins and orientation in Impostazioni.ini.
class EnvelopeSettings
{
public:
    static QString fileName() { return QStringLiteral("Impostazioni.ini"); }
    static QString portrait() { return QStringLiteral("Verticale"); }
    static QString landscape() { return QStringLiteral("Orizzontale"); }

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

private:
    QString m_path;
};

} // namespace tavolux
