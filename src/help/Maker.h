#pragma once

#include <QString>

namespace tavolux::maker {

// The maker's name, web address and contact e-mail, set when the program is built.
QString name();
QString webSite();
QString mail();

} // namespace tavolux::maker
