#include "printing/LabelSheetOptions.h"

#include "printing/LabelCalibration.h"
#include "printing/LabelPageTemplate.h"
#include "printing/TfrmCalibrazione.h"
#include "report/Report.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>

#include <algorithm>

namespace tavolux {

void LabelSheetOptions::setFirstLabel(int label)
{
    m_firstLabel = std::clamp(label, 1, LabelPageTemplate::kSlots);
}

void LabelSheetOptions::apply(report::Report &document) const
{
    applyLabelShift(document, m_folder ? LabelCalibration(*m_folder).read() : LabelShift{});
    for (int slot = 1; slot <= LabelPageTemplate::kSlots; ++slot) {
        const bool used = slot < m_firstLabel;
        if (report::ReportObject *background = document.FindObject(LabelPageTemplate::shapeName(slot)))
            background->Visible = !used;
        for (int line = 1; line <= LabelPageTemplate::kLines; ++line)
            if (report::ReportObject *box = document.FindObject(LabelPageTemplate::lineName(slot, line)))
                box->Visible = !used;
    }
}

void LabelSheetOptions::addControls(report::Report &document, bool startControl)
{
    auto calibrate = [this, &document](QWidget *parent, const std::function<void()> &changed) {
        TfrmCalibrazione dialog(*m_folder, parent);
        if (dialog.exec() == QDialog::Accepted) {
            apply(document);
            changed();
        }
    };
    auto start = [this, &document](QWidget *parent, const std::function<void()> &changed) -> QWidget * {
        auto *box = new QWidget(parent);
        box->setObjectName(QStringLiteral("panInizio"));
        auto *row = new QHBoxLayout(box);
        row->setContentsMargins(6, 0, 6, 0);
        auto *caption = new QLabel(QStringLiteral("Inizia dall'etichetta:"), box);
        auto *value = new QSpinBox(box);
        value->setObjectName(QStringLiteral("txtInizio"));
        value->setRange(1, LabelPageTemplate::kSlots);
        value->setValue(m_firstLabel);
        caption->setBuddy(value);
        row->addWidget(caption);
        row->addWidget(value);
        QObject::connect(value, qOverload<int>(&QSpinBox::valueChanged), box, [this, &document, changed](int label) {
            setFirstLabel(label);
            apply(document);
            changed();
        });
        return box;
    };
    if (m_folder) {
        document.addPreviewControl([calibrate](QWidget *parent, const std::function<void()> &changed) -> QWidget * {
            auto *button = new QToolButton(parent);
            button->setObjectName(QStringLiteral("btnCalibrazione"));
            button->setText(QStringLiteral("Calibrazione..."));
            QObject::connect(button, &QToolButton::clicked, button,
                             [button, calibrate, changed] { calibrate(button->window(), changed); });
            return button;
        });
        document.addPrintControl([calibrate](QWidget *parent, const std::function<void()> &changed) -> QWidget * {
            auto *button = new QPushButton(QStringLiteral("Calibrazione..."), parent);
            button->setObjectName(QStringLiteral("btnCalibrazione"));
            QObject::connect(button, &QPushButton::clicked, button,
                             [button, calibrate, changed] { calibrate(button->window(), changed); });
            return button;
        });
    }
    if (startControl) {
        document.addPreviewControl(start);
        document.addPrintControl(start);
    }
}

} // namespace tavolux
