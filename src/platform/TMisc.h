#pragma once

#include <QString>

#include <functional>

namespace tavolux {

// Hands a document path, a web address or a mail link to the desktop shell's
// open action, without checking the result.
class TMisc
{
public:
    using Opener = std::function<void(const QString &target)>;

    static void Open(const QString &target);

    // Test seam: replaces the desktop shell; an empty opener restores it.
    static void setOpener(Opener opener);
};

} // namespace tavolux
