#include "addresses/LineFitFormats.h"

#include "printing/LabelMailing.h"
#include "printing/LineFit.h"

#include <QSet>

namespace tavolux {

LineFitFormats::LineFitFormats(QObject *parent)
    : QObject(parent), m_labels{SheetFormat::standard()}
{
}

QList<SheetFormat> LineFitFormats::chosen(const ProgramFolder &folder)
{
    using Use = LabelFormatSettings::Use;
    QList<SheetFormat> formats;
    QSet<QString> ids;
    for (const Use use : {Use::OneAddress, Use::LabelPages, Use::Mailing}) {
        SheetFormat format = LabelMailing::chosenFormat(folder, use);
        if (!ids.contains(format.id)) {
            ids.insert(format.id);
            formats << std::move(format);
        }
    }
    return formats;
}

void LineFitFormats::setLabels(const QList<SheetFormat> &labels)
{
    m_labels = labels.isEmpty() ? QList<SheetFormat>{SheetFormat::standard()} : labels;
    emit changed();
}

bool LineFitFormats::fitsLabel(const QString &text, int line) const
{
    for (const SheetFormat &format : m_labels)
        if (!fitsLabelLine(text, format, line))
            return false;
    return true;
}

} // namespace tavolux
