#include "help/HelpArt.h"

#include "help/Maker.h"
#include "ui/Art.h"
#include "ui/Look.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

static void initHelpArt()
{
    Q_INIT_RESOURCE(help);
}

namespace tavolux {

QPixmap helpArt(const QString &name, const QSize &size)
{
    static const bool ready = (initHelpArt(), true);
    Q_UNUSED(ready);
    return ui::art(name, size);
}

QPixmap headerPicture(const QString &iconName, const QString &lettering, const QSize &size)
{
    QPixmap pixmap = ui::canvas(size);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const int side = size.height() - 12;
    const QRect icon(10, 6, side, side);
    painter.drawPixmap(icon, helpArt(iconName, icon.size()));
    QFont font(ui::kTextFace);
    font.setPixelSize(qMax(14, size.height() * 2 / 5));
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(0x1F, 0x4F, 0xB0));
    const QRect text(icon.right() + 16, 0, size.width() - icon.right() - 20, size.height());
    painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, lettering);
    return pixmap;
}

namespace {

QStringList creditsLines()
{
    return {QStringLiteral("Tavolux"), QStringLiteral("Indirizzi ed etichette, stampati in pochi secondi"),
            QStringLiteral("Un software di ") + maker::name(),
            QStringLiteral("\u00A9 ") + maker::name() + QStringLiteral(" - Tutti i diritti riservati")};
}

} // namespace

QPixmap creditsPicture(const QSize &size)
{
    QPixmap pixmap = ui::canvas(size);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    const QRectF area(0.5, 0.5, size.width() - 1, size.height() - 1);
    QPainterPath frame;
    frame.addRoundedRect(area, 12, 12);
    QLinearGradient sky(area.topLeft(), area.bottomLeft());
    sky.setColorAt(0, QColor(0x23, 0x3B, 0x6E));
    sky.setColorAt(1, QColor(0x35, 0x25, 0x25));
    painter.fillPath(frame, sky);
    painter.setPen(QPen(QColor(0xE0, 0xC0, 0x70), 2));
    painter.drawPath(frame);

    // The two apps, as on the launcher's tiles.
    const int w = size.width();
    const int h = size.height();
    painter.drawPixmap(QRect(w / 2 - 200, h / 2 - 40, 180, 112), ui::art(QStringLiteral("busta"), QSize(180, 112)));
    painter.drawPixmap(QRect(w / 2 + 40, h / 2 - 50, 96, 126), ui::art(QStringLiteral("etichette"), QSize(96, 126)));

    QFont title(ui::kTextFace);
    title.setPixelSize(56);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(QColor(0xFF, 0xD7, 0x5A));
    const QStringList lines = creditsLines();
    painter.drawText(QRect(0, 18, w, 72), Qt::AlignHCenter | Qt::AlignVCenter, lines.at(0));

    QFont line(ui::kTextFace);
    line.setPixelSize(14);
    line.setItalic(true);
    painter.setFont(line);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, 90, w, 24), Qt::AlignHCenter | Qt::AlignVCenter, lines.at(1));

    QFont maker(ui::kTextFace);
    maker.setPixelSize(16);
    maker.setBold(true);
    painter.setFont(maker);
    painter.drawText(QRect(0, h - 76, w, 26), Qt::AlignHCenter | Qt::AlignVCenter, lines.at(2));
    QFont rights(ui::kTextFace);
    rights.setPixelSize(12);
    painter.setFont(rights);
    painter.setPen(QColor(0xDD, 0xDD, 0xDD));
    painter.drawText(QRect(0, h - 48, w, 22), Qt::AlignHCenter | Qt::AlignVCenter, lines.at(3));
    return pixmap;
}

QString creditsText()
{
    return creditsLines().join(QStringLiteral(". ")) + QLatin1Char('.');
}

} // namespace tavolux
