#include "ui/Shortcuts.h"

#include "ui/PictureButton.h"

#include <QAbstractButton>
#include <QShortcut>
#include <QVariant>
#include <QWidget>

namespace tavolux::ui {

namespace {

const char kHint[] = "tavoluxHint";
const char kKeys[] = "tavoluxKeys";

void refreshTooltip(QWidget *control)
{
    const QString hint = control->property(kHint).toString();
    const QString keys = control->property(kKeys).toString();
    control->setToolTip(keys.isEmpty() ? hint : hint.isEmpty() ? keys : hint + QLatin1Char('\n') + keys);
}

} // namespace

void setHintTooltip(QWidget *control, const QString &hint)
{
    control->setProperty(kHint, hint);
    refreshTooltip(control);
}

void bindShortcut(QWidget *window, QWidget *control, const QKeySequence &keys)
{
    auto *shortcut = new QShortcut(keys, window);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, control, [control] {
        if (!control->isVisible() || !control->isEnabled())
            return;
        if (auto *picture = qobject_cast<PictureButton *>(control))
            picture->click();
        else if (auto *button = qobject_cast<QAbstractButton *>(control))
            button->click();
    });
    const QString text = keys.toString(QKeySequence::NativeText);
    const QString before = control->property(kKeys).toString();
    control->setProperty(kKeys, before.isEmpty() ? text : before + QStringLiteral(", ") + text);
    refreshTooltip(control);
}

} // namespace tavolux::ui
