#pragma once

#include <QStringList>

#include <memory>

class QWidget;

namespace tavolux {

class Program;

// The program's windows by name, for tests that look at every one of them.
namespace allwindows {

// The five persistent windows, then the dialogs.
QStringList names();
// The names of the windows that have a fixed size and no title-bar buttons.
QStringList fixedNames();
// The window of that name: a persistent window of `program` (owned by it, so
// `owned` stays empty), or a new dialog over its owner, held by `owned`.
QWidget *make(Program &program, const QString &name, std::unique_ptr<QWidget> &owned);

} // namespace allwindows
} // namespace tavolux
