#include "printing/EnvelopeChoices.h"

#include "platform/Conventions.h"
#include "platform/TextUtil.h"
#include "printing/EnvelopeSettings.h"
#include "printing/EnvelopeTemplate.h"

#include <cmath>

namespace tavolux {

namespace {

// A stored side, within the limits; the format's own where it is no whole number.
int side(const QString &text, int designed)
{
    bool ok = false;
    const int value = trimText(text).toInt(&ok);
    return ok && value >= envelopeFormats::kOwnMinMm && value <= envelopeFormats::kOwnMaxMm ? value : designed;
}

} // namespace

EnvelopeChoices::EnvelopeChoices(const EnvelopeSettings &settings)
{
    m_storedFormat = trimText(settings.format());
    const EnvelopeFormat *stored = envelopeFormats::find(m_storedFormat);
    m_format = stored ? stored : &envelopeFormats::page();
    for (const EnvelopeFormat &format : envelopeFormats::all()) {
        EnvelopeFormatChoice &choice = m_choices[format.key];
        const QString on = trimText(settings.senderSwitch(format.key));
        if (on.compare(EnvelopeSettings::yes(), Qt::CaseInsensitive) == 0)
            choice.sender = true;
        else if (on.compare(EnvelopeSettings::no(), Qt::CaseInsensitive) == 0)
            choice.sender = false;
        else
            choice.sender = !format.isPage(); // the A4 page prints none unless asked to
        if (format.isPage()) {
            // As the dialog shows them when it opens.
            const QString top = trimText(settings.top());
            const QString left = trimText(settings.left());
            if (!top.isEmpty())
                choice.top = settings.top();
            if (!left.isEmpty())
                choice.left = settings.left();
            choice.portrait = trimText(settings.orientation()) != EnvelopeSettings::landscape();
            continue;
        }
        const QString top = settings.formatValue(format.key, EnvelopeSettings::topKey());
        const QString left = settings.formatValue(format.key, EnvelopeSettings::leftKey());
        if (!trimText(top).isEmpty())
            choice.top = top;
        if (!trimText(left).isEmpty())
            choice.left = left;
        // As on the A4 page, the exact word counts; an envelope is fed landscape unless told.
        choice.portrait = trimText(settings.formatValue(format.key, EnvelopeSettings::orientationKey()))
                          == EnvelopeSettings::portrait();
        if (format.kind == EnvelopeFormat::Kind::Own) {
            const int a = side(settings.formatValue(format.key, EnvelopeSettings::shortSideKey()), int(format.sizeMm.width()));
            const int b = side(settings.formatValue(format.key, EnvelopeSettings::longSideKey()), int(format.sizeMm.height()));
            choice.shortSide = a;
            choice.longSide = b;
        }
    }
    for (auto it = m_choices.cbegin(); it != m_choices.cend(); ++it)
        m_storedSwitch.insert(it.key(), it.value().sender);
    for (int line = 1; line <= EnvelopeTemplate::kSenderLines; ++line)
        m_storedSender << trimText(settings.senderLine(line));
    sender = m_storedSender;
}

std::optional<double> EnvelopeChoices::marginMm(const QString &text)
{
    constexpr double kMaxMarginMm = 1000;
    bool ok = false;
    const double value = conventions::toNumber(trimText(text), &ok);
    if (!ok || !std::isfinite(value) || std::fabs(value) > kMaxMarginMm)
        return std::nullopt;
    return value;
}

std::optional<EnvelopePlacement> EnvelopeChoices::placement() const
{
    const EnvelopeFormatChoice shown = m_choices.value(m_format->key);
    const std::optional<double> top = marginMm(shown.top);
    const std::optional<double> left = marginMm(shown.left);
    if (!top || !left)
        return std::nullopt;
    return EnvelopePlacement{shown.portrait ? report::Orientation::Portrait : report::Orientation::Landscape, *top,
                             *left};
}

void EnvelopeChoices::setFormat(const EnvelopeFormat &format)
{
    const EnvelopeFormat *known = envelopeFormats::find(format.key);
    m_format = known ? known : &envelopeFormats::page();
}

EnvelopeFormat EnvelopeChoices::effectiveFormat() const
{
    if (m_format->kind != EnvelopeFormat::Kind::Own)
        return *m_format;
    const EnvelopeFormatChoice own = m_choices.value(m_format->key);
    return envelopeFormats::own(own.shortSide, own.longSide);
}

QStringList EnvelopeChoices::senderToPrint() const
{
    if (!m_choices.value(m_format->key).sender)
        return {};
    QStringList lines;
    for (const QString &line : sender)
        lines << trimText(line);
    return lines;
}

bool EnvelopeChoices::saveTop(EnvelopeSettings &settings, QString *reason) const
{
    const EnvelopeFormatChoice choice = m_choices.value(m_format->key);
    const QString orientation = choice.portrait ? EnvelopeSettings::portrait() : EnvelopeSettings::landscape();
    return settings.writeFormatValue(m_format->key, EnvelopeSettings::topKey(), trimText(choice.top), reason)
           && settings.writeFormatValue(m_format->key, EnvelopeSettings::orientationKey(), orientation, reason);
}

bool EnvelopeChoices::saveLeft(EnvelopeSettings &settings, QString *reason) const
{
    const EnvelopeFormatChoice choice = m_choices.value(m_format->key);
    const QString orientation = choice.portrait ? EnvelopeSettings::portrait() : EnvelopeSettings::landscape();
    return settings.writeFormatValue(m_format->key, EnvelopeSettings::leftKey(), trimText(choice.left), reason)
           && settings.writeFormatValue(m_format->key, EnvelopeSettings::orientationKey(), orientation, reason);
}

bool EnvelopeChoices::saveRest(EnvelopeSettings &settings, QString *reason) const
{
    const QString key = m_format->key;
    const EnvelopeFormatChoice choice = m_choices.value(key);
    // No format stored reads as the A4 page.
    const bool sameFormat = m_storedFormat.compare(key, Qt::CaseInsensitive) == 0
                            || (m_storedFormat.isEmpty() && m_format->isPage());
    if (!sameFormat && !settings.writeFormat(key, reason))
        return false;
    if (m_format->kind == EnvelopeFormat::Kind::Own) {
        const EnvelopeFormat own = effectiveFormat();
        if (!settings.writeFormatValue(key, EnvelopeSettings::shortSideKey(), QString::number(int(own.sizeMm.width())), reason)
            || !settings.writeFormatValue(key, EnvelopeSettings::longSideKey(), QString::number(int(own.sizeMm.height())), reason))
            return false;
    }
    for (int line = 1; line <= EnvelopeTemplate::kSenderLines; ++line) {
        const QString text = trimText(sender.value(line - 1));
        if (text != m_storedSender.value(line - 1) && !settings.writeSenderLine(line, text, reason))
            return false;
    }
    if (m_storedSwitch.value(key) != choice.sender && !settings.writeSenderSwitch(key, choice.sender, reason))
        return false;
    return true;
}

} // namespace tavolux
