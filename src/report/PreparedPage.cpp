#include "report/PreparedPage.h"

namespace tavolux::report {

namespace {
QList<PlacedItem> select(const QList<PlacedItem> &items, PlacedItem::Kind kind, const QString &source)
{
    QList<PlacedItem> found;
    for (const PlacedItem &item : items)
        if (item.kind == kind && (source.isEmpty() || item.source == source))
            found.append(item);
    return found;
}
} // namespace

QList<PlacedItem> PreparedPage::texts(const QString &source) const
{
    return select(items, PlacedItem::Kind::Text, source);
}

QList<PlacedItem> PreparedPage::rects(const QString &source) const
{
    return select(items, PlacedItem::Kind::Rect, source);
}

} // namespace tavolux::report
