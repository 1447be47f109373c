#include "ui/Shortcuts.h"

#include "ui/PictureButton.h"

#include <QAbstractButton>
#include <QShortcut>
#include <QStringList>
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

QString keyName(Qt::Key key)
{
    switch (key) {
    case Qt::Key_Home:
        return QStringLiteral("Home");
    case Qt::Key_End:
        return QStringLiteral("Fine");
    case Qt::Key_Left:
        return QStringLiteral("Freccia sinistra");
    case Qt::Key_Right:
        return QStringLiteral("Freccia destra");
    case Qt::Key_Up:
        return QStringLiteral("Freccia su");
    case Qt::Key_Down:
        return QStringLiteral("Freccia giù");
    case Qt::Key_Escape:
        return QStringLiteral("Esc");
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QStringLiteral("Invio");
    case Qt::Key_Delete:
        return QStringLiteral("Canc");
    case Qt::Key_Space:
        return QStringLiteral("Spazio");
    default:
        return QKeySequence(key).toString(QKeySequence::PortableText);
    }
}

} // namespace

QString keyText(const QKeySequence &keys)
{
    QStringList chords;
    for (int i = 0; i < keys.count(); ++i) {
        const QKeyCombination chord = keys[i];
        QString text;
        if (chord.keyboardModifiers() & Qt::ControlModifier)
            text += QStringLiteral("Ctrl+");
        if (chord.keyboardModifiers() & Qt::ShiftModifier)
            text += QStringLiteral("Maiusc+");
        if (chord.keyboardModifiers() & Qt::AltModifier)
            text += QStringLiteral("Alt+");
        chords << text + keyName(chord.key());
    }
    return chords.join(QStringLiteral(", "));
}

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
    const QString text = keyText(keys);
    const QString before = control->property(kKeys).toString();
    control->setProperty(kKeys, before.isEmpty() ? text : before + QStringLiteral(", ") + text);
    refreshTooltip(control);
}

} // namespace tavolux::ui
