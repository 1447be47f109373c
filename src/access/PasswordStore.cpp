#include "access/PasswordStore.h"

#include "access/Crypt.h"
#include "platform/IniFile.h"
#include "platform/TextUtil.h"

namespace tavolux {

namespace {
const QString kSection = QStringLiteral("Accesso");
const QString kKey = QStringLiteral("Valore");
} // namespace

PasswordStore::PasswordStore(const ProgramFolder &folder)
    : m_folder(folder)
{
}

QString PasswordStore::fileName()
{
    return QStringLiteral("unins000.dll");
}

QString PasswordStore::storedForm(const QString &typed)
{
    QString upper = typed;
    for (QChar &ch : upper) {
        if (ch.unicode() >= 'a' && ch.unicode() <= 'z')
            ch = QChar(char16_t(ch.unicode() - 'a' + 'A'));
    }
    return trimText(upper);
}

bool PasswordStore::canHold(const QString &typed)
{
    const QString form = storedForm(typed);
    if (form.size() > MaxLength)
        return false;
    for (const QChar ch : form) {
        if (ch.unicode() > 255)
            return false;
    }
    return true;
}

QString PasswordStore::path() const
{
    return m_folder.file(fileName());
}

QString PasswordStore::readValue(bool *damaged) const
{
    return IniFile(path()).readString(kSection, kKey, damaged);
}

bool PasswordStore::writeValue(const QString &value, QString *reason)
{
    return IniFile(path()).writeString(kSection, kKey, value, IniFile::Style::Profile, reason);
}

PasswordStore::Check PasswordStore::check(const QString &typed) const
{
    bool damaged = false;
    const std::optional<QString> stored = Crypt::DecifraPassword(readValue(&damaged));
    if (!stored || damaged)
        return Check::Unreadable;
    const QString form = storedForm(typed);
    return !form.isEmpty() && trimText(*stored) == form ? Check::Right : Check::Wrong;
}

bool PasswordStore::setPassword(const QString &typed, QString *reason)
{
    if (!canHold(typed) || storedForm(typed).isEmpty())
        return false;
    return writeValue(trimText(Crypt::CifraPassword(storedForm(typed))), reason);
}

} // namespace tavolux
