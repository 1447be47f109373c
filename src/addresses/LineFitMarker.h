#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QLabel;
class QLineEdit;

namespace tavolux {

class LineFitFormats;

// Marks an address line field whose text will be cut in print, on a label or
// on an envelope, with a dark-orange text colour, and says which in the
// status text while the field has the focus.
class LineFitMarker : public QObject
{
    Q_OBJECT
public:
    // The field holds line `line` (1 to 6) of a card, judged on the label
    // formats given (the built-in one without), again when they change.
    static void install(QLineEdit *field, QLabel *status, int line = 1, const LineFitFormats *formats = nullptr);

    // The status text for a line, or empty when it prints whole everywhere.
    static QString warning(const QString &text, int line = 1, const LineFitFormats *formats = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    LineFitMarker(QLineEdit *field, QLabel *status, int line, const LineFitFormats *formats);
    void update();
    void restore();

    QLineEdit *m_field;
    QLabel *m_status;
    int m_line;
    QPointer<const LineFitFormats> m_formats;
    QString m_shown;  // the warning this marker put in the status text
    QString m_before; // the status text it replaced
};

} // namespace tavolux
