#pragma once

#include <QFrame>
#include <QObject>
#include <QString>

class QWidget;

namespace tavolux::ui {

// The names that assistive tools read for the program's controls that have
// no text of their own (edit fields, lists, picture buttons), by object name.
// Empty when the control has no name here.
QString accessibleNameFor(const QString &objectName);

// The short caption of a picture button, by object name (its hint is the
// description); empty when it has none here.
QString pictureButtonName(const QString &objectName);

// A picture that shows text or stands for something: assistive tools read
// `name`, and as its description the text drawn in it.
void describePicture(QWidget *picture, const QString &name, const QString &description = QString());

// A frame that assistive tools know as a group of the controls in it, by
// its name, so that controls of the same name in several groups are told apart.
class GroupFrame : public QFrame
{
    Q_OBJECT
public:
    GroupFrame(const QString &name, QWidget *parent);
};

// Gives every control of `window` that has no accessible name yet the name
// above; run once per window when it is first shown.
void nameControls(QWidget *window);

// Names the controls of every window as it is first shown.
class AccessibleNamer : public QObject
{
    Q_OBJECT
public:
    explicit AccessibleNamer(QObject *parent = nullptr) : QObject(parent) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace tavolux::ui
