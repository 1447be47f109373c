#pragma once

#include "help/HelpTopic.h"
#include "platform/ProgramFolder.h"

class QWidget;

namespace tavolux {

// Opens a help window owned by `owner` with the topic's title and text,
// modally, and discards it when it closes. Every help button goes through here.
void showHelpTopic(QWidget *owner, const ProgramFolder &folder, HelpTopic topic);

} // namespace tavolux
