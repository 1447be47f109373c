#include "printing/LabelSheetOptions.h"

#include "labelformats/LabelFormatSettings.h"
#include "printing/LabelCalibration.h"
#include "printing/LabelPageTemplate.h"
#include "printing/TfrmCalibrazione.h"
#include "report/Report.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QToolButton>

#include <algorithm>

namespace tavolux {

void LabelSheetOptions::setFirstLabel(int label)
{
    m_firstLabel = std::clamp(label, 1, std::max(1, m_sheet.labelsPerSheet()));
}

void LabelSheetOptions::setSheet(const SheetFormat &format)
{
    m_sheet = format;
    setFirstLabel(m_firstLabel);
}

LabelShift LabelSheetOptions::shift() const
{
    return m_folder ? LabelCalibration(*m_folder, LabelFormatSettings::calibrationSection(m_sheet.id)).read() : LabelShift{};
}

void LabelSheetOptions::apply(report::Report &document) const
{
    applyLabelShift(document, shift());
    // The label page's own template; the other sheets hide their used labels as they lay them out.
    if (!m_sheet.isStandard())
        return;
    for (int slot = 1; slot <= LabelPageTemplate::kSlots; ++slot) {
        const bool used = slot < m_firstLabel;
        if (report::ReportObject *background = document.FindObject(LabelPageTemplate::shapeName(slot)))
            background->Visible = !used;
        for (int line = 1; line <= LabelPageTemplate::kLines; ++line)
            if (report::ReportObject *box = document.FindObject(LabelPageTemplate::lineName(slot, line)))
                box->Visible = !used;
    }
}

void LabelSheetOptions::listen(QObject *control, std::function<void()> listener)
{
    m_listeners.push_back({control, std::move(listener)});
}

void LabelSheetOptions::changed()
{
    m_listeners.erase(std::remove_if(m_listeners.begin(), m_listeners.end(),
                                     [](const Listener &listener) { return listener.control.isNull(); }),
                      m_listeners.end());
    const std::vector<Listener> listeners = m_listeners; // a listener may add others
    for (const Listener &listener : listeners)
        if (listener.control)
            listener.call();
}

void LabelSheetOptions::addControls(report::Report &document, bool startControl)
{
    document.setPrintControlsTitle(QStringLiteral("Etichette"));
    // "changed": what shows the calibration saved (a preview's relayout, or
    // nothing in the print dialog, whose pages are laid out when it is accepted).
    auto calibrate = [this, &document](QWidget *parent, const std::function<void()> &changed) {
        TfrmCalibrazione dialog(*m_folder, m_sheet, parent);
        if (dialog.exec() == QDialog::Accepted) {
            apply(document);
            changed();
        }
    };
    auto startBox = [this](QWidget *parent, QSpinBox **value) {
        auto *box = new QWidget(parent);
        box->setObjectName(QStringLiteral("panInizio"));
        auto *row = new QHBoxLayout(box);
        row->setContentsMargins(6, 0, 6, 0);
        auto *caption = new QLabel(QStringLiteral("Inizia dall'etichetta:"), box);
        *value = new QSpinBox(box);
        (*value)->setObjectName(QStringLiteral("txtInizio"));
        (*value)->setRange(1, std::max(1, m_sheet.labelsPerSheet()));
        (*value)->setValue(m_firstLabel);
        caption->setBuddy(*value);
        row->addWidget(caption);
        row->addWidget(*value);
        return box;
    };
    if (m_folder) {
        document.addPreviewControl([this, calibrate](QWidget *parent, const std::function<void()> &changed) -> QWidget * {
            auto *button = new QToolButton(parent);
            button->setObjectName(QStringLiteral("btnCalibrazione"));
            button->setText(QStringLiteral("Calibrazione..."));
            QObject::connect(button, &QToolButton::clicked, button,
                             [button, calibrate, changed] { calibrate(button->window(), changed); });
            listen(button, changed);
            return button;
        });
        document.addPrintControl([this, calibrate](QWidget *parent, std::function<void()> &) -> QWidget * {
            auto *button = new QPushButton(QStringLiteral("Calibrazione..."), parent);
            button->setObjectName(QStringLiteral("btnCalibrazione"));
            QObject::connect(button, &QPushButton::clicked, button,
                             [this, button, calibrate] { calibrate(button->window(), [this] { changed(); }); });
            return button;
        });
    }
    if (startControl) {
        document.addPreviewControl([this, &document, startBox](QWidget *parent, const std::function<void()> &changed) -> QWidget * {
            QSpinBox *value = nullptr;
            QWidget *box = startBox(parent, &value);
            QObject::connect(value, qOverload<int>(&QSpinBox::valueChanged), box, [this, &document, changed](int label) {
                setFirstLabel(label);
                apply(document);
                changed();
            });
            listen(value, [this, value, changed] {
                if (value->value() == m_firstLabel)
                    return;
                const QSignalBlocker quiet(value);
                value->setValue(m_firstLabel);
                changed();
            });
            return box;
        });
        document.addPrintControl([this, &document, startBox](QWidget *parent, std::function<void()> &accept) -> QWidget * {
            QSpinBox *value = nullptr;
            QWidget *box = startBox(parent, &value);
            // Kept apart from the options until the dialog is accepted.
            auto chosen = std::make_shared<int>(m_firstLabel);
            QObject::connect(value, qOverload<int>(&QSpinBox::valueChanged), box, [chosen](int label) { *chosen = label; });
            accept = [this, &document, chosen] {
                if (*chosen == m_firstLabel)
                    return;
                setFirstLabel(*chosen);
                apply(document);
                changed();
            };
            return box;
        });
    }
}

} // namespace tavolux
