#pragma once

#include "platform/ProgramFolder.h"

#include <QString>

namespace tavolux {

// The access password's store, `unins000.dll` in the program folder: an INI
// file holding the enciphered stored form under Accesso / Valore. Nothing is
// kept between calls; each operation is one read or one write of the file.
class PasswordStore
{
public:
    enum class Check { Right, Wrong, Unreadable };

    explicit PasswordStore(const ProgramFolder &folder);

    static QString fileName();
    // The password as the store keeps it: ASCII a-z made upper case, then trimmed.
    static QString storedForm(const QString &typed);
    // Whether the stored form can be kept so that it is recognised again:
    // at most 255 characters, each with a code of 255 or less.
    static bool canHold(const QString &typed);
    static constexpr int MaxLength = 255;

    QString path() const;
    // The enciphered value, empty when the file, section or key is missing or
    // the file is damaged (not a regular file, or too large): then *damaged is set.
    QString readValue(bool *damaged = nullptr) const;
    bool writeValue(const QString &value, QString *reason = nullptr);

    // Compares the typed text with the deciphered store. An empty stored form
    // never passes. Unreadable when the stored value cannot be deciphered or
    // the store is damaged.
    Check check(const QString &typed) const;

    // Stores the new password. False when it cannot be held or written; the
    // old value then stays as it was, and *reason (where given) says why a
    // write failed, in Italian.
    bool setPassword(const QString &typed, QString *reason = nullptr);

private:
    ProgramFolder m_folder;
};

} // namespace tavolux
