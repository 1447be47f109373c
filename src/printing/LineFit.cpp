#include "printing/LineFit.h"

#include "platform/Cp1252.h"
#include "platform/TextUtil.h"
#include "printing/EnvelopeTemplate.h"
#include "printing/LabelPageTemplate.h"
#include "printing/SheetFormat.h"
#include "report/Layout.h"
#include "report/Report.h"
#include "report/TextBox.h"

#include <algorithm>
#include <cmath>

namespace tavolux {

namespace {

// Shaping (ligatures, marks) may draw a line a little narrower or wider than
// its characters' widths: near the box's edge a line is measured.
constexpr double kMargin = 0.03;

// The first box of a template as it is designed, with its font and width.
bool fits(const report::Report &document, const QString &boxName, const QString &text)
{
    const auto *box = static_cast<const report::TextBox *>(document.FindObject(boxName));
    const report::FontMeasure measure(box->Font);
    return report::printsWhole(measure, trimText(text), box->Width - report::kTextGap);
}

const report::Report &labels()
{
    static const std::unique_ptr<report::Report> document = LabelPageTemplate::create(QString());
    return *document;
}

const report::Report &envelope()
{
    static const std::unique_ptr<report::Report> document = EnvelopeTemplate::create();
    return *document;
}

} // namespace

bool fitsLabelLine(const QString &text)
{
    return fits(labels(), LabelPageTemplate::lineName(1, 1), text);
}

bool fitsLabelLine(const QString &text, const SheetFormat &format, int line)
{
    if (format.isStandard())
        return fitsLabelLine(text);
    const QString trimmed = trimText(text);
    if (line < 1 || line > format.linesPerLabel())
        return trimmed.isEmpty();
    const report::FontMeasure measure(report::TextFont{format.fontFamily, format.pointSize});
    return report::printsWhole(measure, trimmed, format.labels.first().lines.at(line - 1).width() - report::kTextGap);
}

bool fitsEnvelopeLine(const QString &text)
{
    return fits(envelope(), EnvelopeTemplate::lineName(1), text);
}

LineFitTable::LineFitTable(LineBox which)
{
    const auto *box = static_cast<const report::TextBox *>(
        which == LineBox::Label ? labels().FindObject(LabelPageTemplate::lineName(1, 1))
                                : envelope().FindObject(EnvelopeTemplate::lineName(1)));
    measure(box->Font, box->Width - report::kTextGap);
}

LineFitTable::LineFitTable(const SheetFormat &format)
{
    if (format.isStandard() || format.linesPerLabel() == 0) {
        *this = LineFitTable(LineBox::Label);
        m_lines = format.isStandard() ? SheetFormat::kLines : 0;
        return;
    }
    m_lines = format.linesPerLabel();
    measure(report::TextFont{format.fontFamily, format.pointSize},
            format.labels.first().lines.first().width() - report::kTextGap);
}

void LineFitTable::measure(const report::TextFont &font, double room)
{
    const report::FontMeasure measure(font);
    constexpr double kScale = 4096;
    m_fits = qint64(room * (1 - kMargin) * kScale);
    m_cut = qint64(room * (1 + kMargin) * kScale);
    qint64 widest = 0;
    for (int b = 0; b < 256; ++b) {
        const char byte = char(b);
        m_width[size_t(b)] = qint64(std::ceil(measure.width(cp1252::decode(&byte, 1)) * kScale));
        widest = std::max(widest, m_width[size_t(b)]);
    }
    m_alwaysFits = widest > 0 ? qsizetype(m_fits / widest) : 0;
}

LineFitTable::Verdict LineFitTable::quick(QByteArrayView line) const
{
    if (line.size() <= m_alwaysFits)
        return Verdict::Fits;
    qint64 width = 0;
    for (const char c : line)
        width += m_width[static_cast<unsigned char>(c)];
    return verdict(width, line.size());
}

LineFitTable::Verdict LineFitTable::verdict(qint64 width, qsizetype length) const
{
    if (length <= m_alwaysFits || width < m_fits)
        return Verdict::Fits;
    if (width > m_cut)
        return Verdict::Cut;
    return Verdict::Measure;
}

} // namespace tavolux
