#include "addresses/LineFitMarker.h"

#include "addresses/LineFitFormats.h"
#include "printing/LineFit.h"
#include "ui/FocusHighlight.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>

namespace tavolux {

LineFitMarker::LineFitMarker(QLineEdit *field, QLabel *status, int line, const LineFitFormats *formats)
    : QObject(field), m_field(field), m_status(status), m_line(line), m_formats(formats)
{
}

void LineFitMarker::install(QLineEdit *field, QLabel *status, int line, const LineFitFormats *formats)
{
    auto *marker = new LineFitMarker(field, status, line, formats);
    field->installEventFilter(marker);
    connect(field, &QLineEdit::textChanged, marker, &LineFitMarker::update);
    if (formats)
        connect(formats, &LineFitFormats::changed, marker, &LineFitMarker::update);
    marker->update();
}

QString LineFitMarker::warning(const QString &text, int line, const LineFitFormats *formats)
{
    // An empty line always fits (and a window with empty fields measures nothing).
    if (text.isEmpty())
        return QString();
    const bool label = formats ? !formats->fitsLabel(text, line) : !fitsLabelLine(text);
    const bool envelope = !fitsEnvelopeLine(text);
    if (label && envelope)
        return QStringLiteral("Attenzione: il rigo è troppo lungo per l'etichetta e per la busta e in stampa verrà tagliato. "
                              "Si consiglia di abbreviarlo.");
    if (label)
        return QStringLiteral("Attenzione: il rigo è troppo lungo per l'etichetta e in stampa verrà tagliato. Si consiglia di abbreviarlo.");
    if (envelope)
        return QStringLiteral("Attenzione: il rigo è troppo lungo per la busta e in stampa verrà tagliato. Si consiglia di abbreviarlo.");
    return QString();
}

void LineFitMarker::update()
{
    const QString text = warning(m_field->text(), m_line, m_formats.data());
    ui::FocusHighlight::setTextColor(m_field, text.isEmpty() ? QColor(Qt::black) : kCutLineColor);
    if (!m_field->hasFocus())
        return;
    if (!text.isEmpty()) {
        if (m_shown.isEmpty())
            m_before = m_status->text();
        m_status->setText(text);
    } else {
        restore();
    }
    m_shown = text;
}

void LineFitMarker::restore()
{
    // Only while the status text is still the warning: a hint written since stays.
    if (!m_shown.isEmpty() && m_status->text() == m_shown)
        m_status->setText(m_before);
}

bool LineFitMarker::eventFilter(QObject *, QEvent *event)
{
    if (event->type() == QEvent::FocusIn) {
        update();
    } else if (event->type() == QEvent::FocusOut) {
        restore();
        m_shown.clear();
    }
    return false;
}

} // namespace tavolux
