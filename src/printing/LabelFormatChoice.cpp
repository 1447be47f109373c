#include "printing/LabelFormatChoice.h"

#include "printing/LabelMailing.h"
#include "printing/TfrmFormatoEtichette.h"
#include "report/Report.h"
#include "reportui/PreviewWindow.h"

#include <QPushButton>
#include <QToolButton>

namespace tavolux {

namespace {

const char kName[] = "btnFormato";

QString chosenNow(const ProgramFolder &folder, LabelFormatSettings::Use use)
{
    const LabelFormatSettings settings(folder);
    return settings.byId(settings.chosenId(use)).id();
}

} // namespace

LabelFormatChoice::LabelFormatChoice(const ProgramFolder &folder, LabelFormatSettings::Use use)
    : m_folder(folder), m_use(use)
{
}

bool LabelFormatChoice::choose(QWidget *control)
{
    QWidget *window = control->window();
    const QString before = chosenNow(m_folder, m_use);
    TfrmFormatoEtichette dialog(m_folder, m_use, window);
    if (dialog.exec() != QDialog::Accepted || chosenNow(m_folder, m_use) == before)
        return false;
    m_chosen = true;
    // The print dialog opened from a preview closes with it.
    QWidget *behind = window->parentWidget() ? window->parentWidget()->window() : nullptr;
    window->close();
    if (qobject_cast<report::PreviewWindow *>(behind))
        behind->close();
    return true;
}

void LabelFormatChoice::offerIn(report::Report &document)
{
    document.addPreviewControl([this](QWidget *parent, const std::function<void()> &) -> QWidget * {
        auto *button = new QToolButton(parent);
        button->setObjectName(QLatin1String(kName));
        button->setText(QStringLiteral("Formato etichette..."));
        button->setAccessibleName(QStringLiteral("Formato etichette"));
        button->setToolTip(QStringLiteral("Sceglie il foglio di etichette su cui stampare."));
        QObject::connect(button, &QToolButton::clicked, button, [this, button] { choose(button); });
        return button;
    });
    document.addPrintControl([this](QWidget *parent, std::function<void()> &) -> QWidget * {
        auto *button = new QPushButton(QStringLiteral("Formato etichette..."), parent);
        button->setObjectName(QLatin1String(kName));
        QObject::connect(button, &QPushButton::clicked, button, [this, button] { choose(button); });
        return button;
    });
}

bool LabelFormatChoice::takeChosen()
{
    const bool chosen = m_chosen;
    m_chosen = false;
    return chosen;
}

bool LabelFormatChoice::reopen(std::unique_ptr<LabelMailing> &sheets, const QString &title, bool startControl)
{
    if (!takeChosen())
        return false;
    sheets = chosenSheets(title, startControl);
    return true;
}

std::unique_ptr<LabelMailing> LabelFormatChoice::chosenSheets(const QString &title, bool startControl)
{
    std::unique_ptr<LabelMailing> sheets = LabelMailing::forChosenFormat(m_folder, m_use, title, startControl);
    if (sheets)
        offerIn(sheets->document());
    return sheets;
}

} // namespace tavolux
