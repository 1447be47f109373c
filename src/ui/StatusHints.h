#pragma once

#include <QHash>
#include <QObject>
#include <QSet>

class QLabel;
class QWidget;

namespace tavolux::ui {

// Writes a control's hint into the status text when the mouse moves over it,
// and clears the status text over the window's background controls.
class StatusHints : public QObject
{
    Q_OBJECT
public:
    StatusHints(QLabel *status, QObject *parent);

    void addHint(QWidget *control, const QString &hint);
    void addBackground(QWidget *control);
    // Controls over which the status text stays as it is (edit fields, labels).
    void addNeutral(QWidget *control);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *m_status;
    QHash<QObject *, QString> m_hints;
    QSet<QObject *> m_background;
    QSet<QObject *> m_neutral;
};

} // namespace tavolux::ui
