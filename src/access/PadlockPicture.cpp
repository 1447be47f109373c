#include "access/PadlockPicture.h"

#include "ui/Art.h"
#include "ui/Look.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

static void initAccessArt()
{
    Q_INIT_RESOURCE(access);
}

namespace tavolux {

QPixmap padlockPicture(const QString &title, const QStringList &lines, const QSize &size)
{
    static const bool ready = (initAccessArt(), true);
    Q_UNUSED(ready);

    QPixmap pixmap = ui::canvas(size);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    QPainterPath box;
    box.addRoundedRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1), 8, 8);
    painter.fillPath(box, Qt::white);
    painter.setPen(QPen(QColor(0x9F, 0xB6, 0xD9), 1));
    painter.drawPath(box);

    const int iconSide = qMin(72, size.height() - 20);
    const QRect icon(14, (size.height() - iconSide) / 2, iconSide, iconSide);
    painter.drawPixmap(icon, ui::art(QStringLiteral("lucchetto"), icon.size()));

    const int textLeft = icon.right() + 16;
    QRect text(textLeft, 12, size.width() - textLeft - 12, size.height() - 24);
    QFont titleFont(ui::kTextFace);
    titleFont.setPixelSize(22);
    titleFont.setBold(true);
    painter.setFont(titleFont);
    painter.setPen(QColor(0x1F, 0x4F, 0xB0));
    const QRect titleRect = painter.boundingRect(text, Qt::AlignLeft | Qt::AlignTop, title);
    painter.drawText(text, Qt::AlignLeft | Qt::AlignTop, title);
    text.setTop(titleRect.bottom() + 6);

    QFont lineFont(ui::kTextFace);
    lineFont.setPixelSize(12);
    painter.setFont(lineFont);
    painter.setPen(QColor(0x30, 0x30, 0x30));
    painter.drawText(text, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, lines.join(QLatin1Char('\n')));
    return pixmap;
}

} // namespace tavolux
