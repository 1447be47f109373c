#include "printing/InfoPicture.h"

#include "ui/Art.h"
#include "ui/Look.h"

#include <QFont>
#include <QPainter>

namespace tavolux {

QPixmap infoPicture(const QString &artName, const QString &text, const QSize &size)
{
    QPixmap picture = ui::canvas(size);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const int icon = std::min(40, size.height());
    painter.drawPixmap(0, 0, ui::art(artName, QSize(icon, icon)));
    QFont font(ui::kTextFace);
    font.setPixelSize(13);
    painter.setFont(font);
    painter.setPen(QColor(0x1f, 0x3f, 0x80));
    painter.drawText(QRect(icon + 10, 0, size.width() - icon - 10, size.height()),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
    return picture;
}

} // namespace tavolux
