#include "help/ShowHelp.h"

#include "help/TfrmGuida.h"

#include <QLabel>
#include <QPlainTextEdit>

namespace tavolux {

void showHelpTopic(QWidget *owner, const ProgramFolder &folder, HelpTopic topic)
{
    TfrmGuida dialog(folder, owner);
    dialog.lblTitolo->setText(helpTitle(topic));
    dialog.txtGuida->setPlainText(helpText(topic));
    dialog.exec();
}

} // namespace tavolux
