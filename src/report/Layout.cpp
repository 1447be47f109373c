#include "report/Layout.h"

#include "platform/Conventions.h"
#include "report/Band.h"
#include "report/ReportPage.h"
#include "report/Shape.h"
#include "report/TextBox.h"
#include "report/Units.h"

#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <limits>

namespace tavolux::report {

namespace {

constexpr double kEps = 1e-6;
constexpr double kNoLimit = std::numeric_limits<double>::max() / 4;

// The lines of a text box as they print, with the font's measures.
struct BoxText
{
    explicit BoxText(const TextBox &box, const QDate &today);

    FontMeasure measure;
    QStringList lines;
    double pitch = 0;

    // Top of line i from the box's top edge.
    double lineTop(int i) const { return kTextGap + i * pitch; }
    // Number of lines that start inside a box of the given height.
    int visibleLines(double boxHeight) const;
};

QStringList wrapLine(const QString &line, double width, const FontMeasure &measure)
{
    QStringList out;
    QString rest = line;
    while (!rest.isEmpty() && measure.width(rest) > width + kEps) {
        int cut = 1;
        int lastSpace = -1;
        for (int i = 1; i <= rest.size(); ++i) {
            if (measure.width(rest.left(i)) > width + kEps)
                break;
            cut = i;
            if (i < rest.size() && rest.at(i) == QLatin1Char(' '))
                lastSpace = i;
        }
        if (lastSpace > 0 && cut < rest.size())
            cut = lastSpace;
        out << rest.left(cut);
        rest = rest.mid(cut);
        while (rest.startsWith(QLatin1Char(' ')))
            rest.remove(0, 1);
    }
    if (!rest.isEmpty() || out.isEmpty())
        out << rest;
    return out;
}

BoxText::BoxText(const TextBox &box, const QDate &today)
    : measure(box.Font)
{
    pitch = box.LinePitch > 0 ? box.LinePitch : measure.lineSpacing();
    for (const QString &raw : box.Lines) {
        const QString line = box.AllowExpressions ? expandExpressions(raw, today) : raw;
        if (box.WordWrap)
            lines << wrapLine(line, box.Width - 2 * kTextGap, measure);
        else
            lines << line;
    }
}

int BoxText::visibleLines(double boxHeight) const
{
    int n = 0;
    while (n < lines.size() && lineTop(n) < boxHeight - kEps)
        ++n;
    return n;
}

// Cuts a line of text to the characters that the clip shows, at least in part.
// Returns false when nothing is left.
bool cutToClip(QString &text, double &x, double clipLeft, double clipRight, const FontMeasure &measure)
{
    auto prefixWidth = [&](int n) { return measure.width(text.left(n)); };
    // Drop the characters that end left of the clip.
    if (x < clipLeft - kEps) {
        int lo = 0, hi = int(text.size());
        while (lo < hi) {
            const int mid = (lo + hi + 1) / 2;
            if (x + prefixWidth(mid) <= clipLeft + kEps)
                lo = mid;
            else
                hi = mid - 1;
        }
        x += prefixWidth(lo);
        text.remove(0, lo);
    }
    // Keep the characters that start left of the clip's right edge.
    if (!fitsWidth(measure, text, clipRight - x)) {
        int lo = 0, hi = int(text.size());
        while (lo < hi) {
            const int mid = (lo + hi + 1) / 2;
            if (mid == 0 || x + prefixWidth(mid - 1) < clipRight - kEps)
                lo = mid;
            else
                hi = mid - 1;
        }
        text.truncate(lo);
    }
    return !text.isEmpty();
}

class PageBuilder
{
public:
    PageBuilder(const ReportPage &page, const QDate &today)
        : m_page(page), m_today(today),
          m_area(page.printableArea().translated(mmToUnits(page.ShiftX), mmToUnits(page.ShiftY)))
    {
        startPage();
    }

    QList<PreparedPage> run();

private:
    const BoxText &textOf(const TextBox &box)
    {
        auto it = m_texts.find(&box);
        if (it == m_texts.end())
            it = m_texts.insert(&box, std::make_shared<BoxText>(box, m_today));
        return *it.value();
    }

    void startPage();
    void emitObject(const ReportObject &object, const QPointF &origin, double windowTop, double windowBottom);
    void emitText(const TextBox &box, const QRectF &onPage, double windowTop, double windowBottom);
    void placeBand(const Band &band, double keepRoom);
    double breakPoint(const Band &band, double from, double limit);
    double contentBottom(const Band &band);
    double lastLineTop(const Band &band);

    const ReportPage &m_page;
    QDate m_today;
    QRectF m_area;
    QList<PreparedPage> m_pages;
    double m_y = 0; // from the top of the printable area
    QHash<const TextBox *, std::shared_ptr<BoxText>> m_texts;
};

void PageBuilder::startPage()
{
    PreparedPage page;
    const QSizeF paper = m_page.paperSize();
    page.paper = QSizeF(mmToUnits(paper.width()), mmToUnits(paper.height()));
    page.orientation = m_page.Orientation;
    m_pages.append(page);
    m_y = 0;
    for (const auto &object : m_page.objects())
        emitObject(*object, m_area.topLeft(), -kNoLimit, kNoLimit);
}

void PageBuilder::emitObject(const ReportObject &object, const QPointF &origin, double windowTop, double windowBottom)
{
    if (!object.Visible)
        return;
    const QRectF onPage = object.rect().translated(origin);
    if (object.kind() == ReportObject::Kind::Text) {
        emitText(static_cast<const TextBox &>(object), onPage, windowTop, windowBottom);
        return;
    }
    if (object.kind() != ReportObject::Kind::Shape)
        return;
    const auto &shape = static_cast<const Shape &>(object);
    const double top = std::max(onPage.top(), windowTop);
    const double bottom = std::min(onPage.bottom(), windowBottom);
    if (bottom < top - kEps || (bottom - top < kEps && onPage.height() > kEps))
        return;
    PlacedItem item;
    item.kind = PlacedItem::Kind::Rect;
    item.source = shape.name();
    item.rect = QRectF(onPage.left(), top, onPage.width(), bottom - top);
    item.clip = item.rect;
    item.fill = shape.Fill;
    item.outline = shape.Outline;
    item.guide = shape.Guide;
    m_pages.last().items.append(item);
}

void PageBuilder::emitText(const TextBox &box, const QRectF &onPage, double windowTop, double windowBottom)
{
    const double clipTop = std::max(onPage.top(), windowTop);
    const double clipBottom = std::min(onPage.bottom(), windowBottom);
    if (clipBottom - clipTop < kEps)
        return;
    const QRectF clip(onPage.left(), clipTop, onPage.width(), clipBottom - clipTop);
    if (box.Fill.isValid()) {
        PlacedItem fill;
        fill.kind = PlacedItem::Kind::Rect;
        fill.source = box.name();
        fill.rect = clip;
        fill.clip = clip;
        fill.fill = box.Fill;
        m_pages.last().items.append(fill);
    }
    const BoxText &text = textOf(box);
    const int count = text.visibleLines(box.Height);
    for (int i = 0; i < count; ++i) {
        const double top = onPage.top() + text.lineTop(i);
        if (top < windowTop - kEps || top >= windowBottom - kEps)
            continue;
        QString line = text.lines.at(i);
        if (line.isEmpty())
            continue;
        const double width = text.measure.width(line);
        double x = onPage.left() + kTextGap;
        if (box.HAlign == TextBox::Align::Center)
            x = onPage.left() + (onPage.width() - width) / 2;
        else if (box.HAlign == TextBox::Align::Right)
            x = onPage.right() - kTextGap - width;
        if (!cutToClip(line, x, clip.left(), clip.right(), text.measure))
            continue;
        PlacedItem item;
        item.kind = PlacedItem::Kind::Text;
        item.source = box.name();
        item.rect = QRectF(x, top, text.measure.width(line), text.pitch);
        item.clip = clip;
        item.text = line;
        item.font = box.Font;
        item.color = box.FontColor;
        item.baseline = text.measure.ascent();
        // The clip matters only where ink could cross it: a line cut at the
        // box's edge, a glyph overhanging it, a bottom line partly outside.
        // Underline and strike-out lines are not in the characters' bounds.
        const QRectF ink = text.measure.inkBounds(line);
        item.clipped = ink.isNull() || box.Font.underline || box.Font.strikeOut
                       || !clip.contains(ink.translated(x, top + item.baseline));
        m_pages.last().items.append(item);
    }
}

// The lowest place in (from, limit] where the band can be cut without cutting
// a line of text in two; "from" when there is none.
double PageBuilder::breakPoint(const Band &band, double from, double limit)
{
    struct Extent { double top, bottom; };
    QList<Extent> lines;
    QList<double> candidates{limit};
    for (const auto &object : band.objects()) {
        if (object->kind() != ReportObject::Kind::Text)
            continue;
        const auto &box = static_cast<const TextBox &>(*object);
        const BoxText &text = textOf(box);
        const int count = text.visibleLines(box.Height);
        for (int i = 0; i < count; ++i) {
            const double top = box.Top + text.lineTop(i);
            lines.append({top, std::min(top + text.pitch, box.Top + box.Height)});
            if (top > from + kEps && top < limit)
                candidates.append(top);
        }
    }
    std::sort(candidates.begin(), candidates.end(), std::greater<double>());
    for (double b : candidates) {
        const bool cutsALine = std::any_of(lines.begin(), lines.end(), [b](const Extent &line) {
            return line.top < b - kEps && b < line.bottom - kEps;
        });
        if (!cutsALine)
            return b;
    }
    return from;
}

// The bottom of what the band prints, from its top: below it the band is blank.
double PageBuilder::contentBottom(const Band &band)
{
    double bottom = 0;
    for (const auto &object : band.objects()) {
        if (object->kind() == ReportObject::Kind::Shape) {
            bottom = std::max(bottom, object->Top + object->Height);
            continue;
        }
        if (object->kind() != ReportObject::Kind::Text)
            continue;
        const auto &box = static_cast<const TextBox &>(*object);
        if (box.Fill.isValid()) {
            bottom = std::max(bottom, box.Top + box.Height);
            continue;
        }
        const BoxText &text = textOf(box);
        for (int i = text.visibleLines(box.Height) - 1; i >= 0; --i) {
            if (text.lines.at(i).isEmpty())
                continue;
            bottom = std::max(bottom, std::min(box.Top + text.lineTop(i) + text.pitch, box.Top + box.Height));
            break;
        }
    }
    return bottom;
}

// The top of the band's last line of text, from its top; 0 when it has none.
double PageBuilder::lastLineTop(const Band &band)
{
    double last = 0;
    for (const auto &object : band.objects()) {
        if (object->kind() != ReportObject::Kind::Text)
            continue;
        const auto &box = static_cast<const TextBox &>(*object);
        const BoxText &text = textOf(box);
        for (int i = text.visibleLines(box.Height) - 1; i >= 0; --i) {
            if (text.lines.at(i).isEmpty())
                continue;
            last = std::max(last, box.Top + text.lineTop(i));
            break;
        }
    }
    return last;
}

// keepRoom: the height of what must follow the band's end on the same page
// (the footer), so that it never stands on a page of its own.
void PageBuilder::placeBand(const Band &band, double keepRoom)
{
    const double pageHeight = m_area.height();
    double done = 0; // how much of the band has been placed
    while (done < band.Height - kEps) {
        const double room = pageHeight - m_y;
        const double rest = band.Height - done;
        double cut = band.Height;
        bool blankRest = false; // the part that does not fit prints nothing
        const bool endsHere = band.AllowSplit && contentBottom(band) <= done + room + kEps;
        if (endsHere && keepRoom > 0 && std::min(rest, room) + keepRoom > room + kEps) {
            if (contentBottom(band) - done + keepRoom <= room + kEps) {
                // What follows fits below the last line, in the band's blank
                // end: the band ends where it must begin.
                cut = done + room - keepRoom;
                blankRest = true;
            } else {
                // Not even there: the last line goes on to the next page with it.
                cut = breakPoint(band, done, lastLineTop(band));
                if (cut <= done + kEps) { // a page too small for one line and the footer: as it comes
                    cut = std::min(band.Height, done + room);
                    blankRest = true;
                }
            }
        } else if (rest > room + kEps && endsHere) {
            // Only blank band is left below the page's end: the band ends there
            // rather than start a page with nothing on it.
            cut = done + room;
            blankRest = true;
        } else if (rest > room + kEps) {
            cut = band.AllowSplit ? breakPoint(band, done, done + room) : done;
            if (cut <= done + kEps) {
                if (m_y > kEps) { // nothing fits below what is there: go on on a new page
                    startPage();
                    continue;
                }
                // Taller than a whole page and no place to cut: cut at the page's end.
                cut = band.AllowSplit ? done + room : band.Height;
            }
        }
        const double top = m_area.top() + m_y;
        const QPointF origin(m_area.left() + band.Left, top - done);
        for (const auto &object : band.objects())
            emitObject(*object, origin, top, top + (cut - done));
        m_y += cut - done;
        done = blankRest ? band.Height : cut;
        if (done < band.Height - kEps)
            startPage();
    }
}

QList<PreparedPage> PageBuilder::run()
{
    const std::vector<const Band *> bands = m_page.bands();
    for (size_t i = 0; i < bands.size(); ++i) {
        // A footer is kept with the end of the band before it.
        const Band *next = i + 1 < bands.size() ? bands[i + 1] : nullptr;
        placeBand(*bands[i], next && next->type() == Band::Type::Footer ? next->Height : 0);
    }
    return m_pages;
}

} // namespace

QString expandExpressions(const QString &text, const QDate &today)
{
    static const QRegularExpression expression(QStringLiteral("\\[([^\\[\\]]*)\\]"));
    QString out;
    qsizetype last = 0;
    auto it = expression.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        out += text.mid(last, match.capturedStart() - last);
        if (match.captured(1).trimmed().compare(QLatin1String("DATE"), Qt::CaseInsensitive) == 0)
            out += conventions::shortDate(today);
        else
            out += match.captured(0);
        last = match.capturedEnd();
    }
    out += text.mid(last);
    return out;
}

QList<PreparedPage> layoutPage(const ReportPage &page, const QDate &today)
{
    return PageBuilder(page, today).run();
}

} // namespace tavolux::report
