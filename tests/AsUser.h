#pragma once

// While alive, this thread reaches files as the user `nobody`: the file-system
// ids are changed (setfsuid), which also drops root's right to pass over file
// modes. Needs root; active() is false elsewhere, and the test skips.
#include <pwd.h>
#include <sys/fsuid.h>
#include <unistd.h>

class AsNobody
{
public:
    AsNobody()
    {
        const passwd *pw = ::getpwnam("nobody");
        if (::geteuid() != 0 || !pw)
            return;
        m_uid = pw->pw_uid;
        m_gid = pw->pw_gid;
        ::setfsgid(m_gid);
        ::setfsuid(m_uid);
        // Both calls answer with the id in force; -1 changes nothing.
        m_active = ::setfsuid(uid_t(-1)) == int(m_uid) && ::setfsgid(gid_t(-1)) == int(m_gid);
        if (!m_active)
            restore();
    }
    ~AsNobody() { restore(); }
    AsNobody(const AsNobody &) = delete;
    AsNobody &operator=(const AsNobody &) = delete;

    bool active() const { return m_active; }
    static const char *skipReason() { return "needs root to act as the user nobody"; }
    uid_t uid() const { return m_uid; }

private:
    void restore()
    {
        ::setfsuid(::geteuid());
        ::setfsgid(::getegid());
    }
    uid_t m_uid = 0;
    gid_t m_gid = 0;
    bool m_active = false;
};
