#pragma once

#include <QObject>
#include <QString>

class QLabel;
class QLineEdit;

namespace tavolux {

// Marks an address line field whose text will be cut in print, on a label or
// on an envelope, with a dark-orange text colour, and says which in the
// status text while the field has the focus.
class LineFitMarker : public QObject
{
    Q_OBJECT
public:
    static void install(QLineEdit *field, QLabel *status);

    // The status text for a line, or empty when it prints whole everywhere.
    static QString warning(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    LineFitMarker(QLineEdit *field, QLabel *status);
    void update();
    void restore();

    QLineEdit *m_field;
    QLabel *m_status;
    QString m_shown;  // the warning this marker put in the status text
    QString m_before; // the status text it replaced
};

} // namespace tavolux
