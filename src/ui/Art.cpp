#include "ui/Art.h"

#include "ui/Look.h"

#include <QEvent>
#include <QFont>
#include <QLabel>
#include <QGuiApplication>
#include <QFontMetricsF>
#include <QHash>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QSvgRenderer>

static void initArtResources()
{
    Q_INIT_RESOURCE(art);
}

namespace tavolux::ui {

qreal pixelRatio()
{
    return qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
}

QPixmap canvas(const QSize &size)
{
    const qreal ratio = pixelRatio();
    QPixmap pixmap(size * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

QPixmap art(const QString &name, const QSize &size)
{
    // Each picture is drawn once per size and pixel ratio; copies share it.
    static QHash<QString, QPixmap> drawn;
    const QString key = name + QLatin1Char('@') + QString::number(size.width()) + QLatin1Char('x')
                        + QString::number(size.height()) + QLatin1Char('*') + QString::number(pixelRatio());
    const auto found = drawn.constFind(key);
    if (found != drawn.constEnd())
        return *found;
    QPixmap pixmap = canvas(size);
    static const bool ready = (initArtResources(), true);
    Q_UNUSED(ready);
    QSvgRenderer renderer(QStringLiteral(":/art/%1.svg").arg(name));
    if (renderer.isValid()) {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    }
    drawn.insert(key, pixmap);
    return pixmap;
}

QPixmap buttonArt(const QString &caption, const QSize &size)
{
    QPixmap pixmap = canvas(size);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF face = QRectF(QPointF(0, 0), QSizeF(size)).adjusted(1, 1, -1, -1);
    QLinearGradient gradient(face.topLeft(), face.bottomLeft());
    gradient.setColorAt(0, QColor(0x4F, 0x8F, 0xE8));
    gradient.setColorAt(1, QColor(0x1F, 0x4F, 0xB0));
    QPainterPath path;
    path.addRoundedRect(face, 6, 6);
    painter.fillPath(path, gradient);
    painter.setPen(QPen(QColor(0x15, 0x35, 0x80), 1));
    painter.drawPath(path);
    QFont font(QStringLiteral("Arial"));
    font.setBold(true);
    font.setPixelSize(qMax(10, size.height() * 2 / 5));
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(face, Qt::AlignCenter, caption);
    return pixmap;
}

QPixmap textArt(const QString &text, const QSize &size, int pixelSize, const QColor &color, bool bold, bool italic)
{
    QPixmap pixmap = canvas(size);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::TextAntialiasing);
    QFont font(kTextFace);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setItalic(italic);
    // Whatever font the machine substitutes, the whole line stays in the
    // picture: the size steps down until its ink fits with a pixel to spare.
    while (font.pixelSize() > 6) {
        const QRectF ink = QFontMetricsF(font).tightBoundingRect(text);
        if (ink.width() + 2 <= size.width() && QFontMetricsF(font).height() <= size.height() + 2)
            break;
        font.setPixelSize(font.pixelSize() - 1);
    }
    painter.setFont(font);
    painter.setPen(color);
    painter.drawText(QRect(QPoint(0, 0), size), Qt::AlignCenter, text);
    return pixmap;
}

namespace {

class PictureWhenShown : public QObject
{
public:
    PictureWhenShown(QLabel *label, std::function<QPixmap()> make) : QObject(label), m_make(std::move(make))
    {
        label->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show || event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            static_cast<QLabel *>(watched)->setPixmap(m_make());
            deleteLater();
        }
        return false;
    }

private:
    std::function<QPixmap()> m_make;
};

} // namespace

void setPictureWhenShown(QLabel *label, const QSize &size, std::function<QPixmap()> make)
{
    label->setMinimumSize(size);
    new PictureWhenShown(label, std::move(make));
}

} // namespace tavolux::ui
