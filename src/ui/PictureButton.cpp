#include "ui/PictureButton.h"

#include "ui/Art.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace tavolux::ui {

namespace {

// A picture button is a push button to assistive tools: its role, its name,
// its hint as the description and the press action. The twin of a button is
// a picture.
class PictureButtonAccessible : public QAccessibleWidget
{
public:
    explicit PictureButtonAccessible(PictureButton *button)
        : QAccessibleWidget(button, button->twin() ? QAccessible::Graphic : QAccessible::Button)
    {
        addControllingSignal(QStringLiteral("clicked()"));
    }

    QAccessible::Role role() const override
    {
        return static_cast<const PictureButton *>(widget())->twin() ? QAccessible::Graphic : QAccessible::Button;
    }

    QString text(QAccessible::Text t) const override
    {
        const auto *button = static_cast<const PictureButton *>(widget());
        if (t == QAccessible::Name)
            return button->spokenName();
        if (t == QAccessible::Description && !button->accessibleDescription().isEmpty())
            return button->accessibleDescription();
        if (t == QAccessible::Description)
            return button->toolTip();
        return QAccessibleWidget::text(t);
    }

    QStringList actionNames() const override
    {
        return static_cast<const PictureButton *>(widget())->twin() ? QStringList() : QStringList{pressAction()};
    }
    void doAction(const QString &name) override
    {
        if (name == pressAction() && widget()->isEnabled())
            static_cast<PictureButton *>(widget())->click();
    }
};

QAccessibleInterface *accessibleFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("tavolux::ui::PictureButton") && object && object->isWidgetType())
        return new PictureButtonAccessible(static_cast<PictureButton *>(object));
    return nullptr;
}

} // namespace

PictureButton::PictureButton(const QString &artName, const QSize &size, QWidget *parent)
    : PictureButton(size, [artName, size] { return art(artName, size); }, parent)
{
}

PictureButton::PictureButton(const QSize &size, std::function<QPixmap()> make, QWidget *parent)
    : QLabel(parent)
{
    setFixedSize(size);
    setPictureWhenShown(this, size, std::move(make));
    setUp();
}

PictureButton::PictureButton(const QPixmap &picture, QWidget *parent)
    : QLabel(parent)
{
    setPixmap(picture);
    setFixedSize(picture.deviceIndependentSize().toSize());
    setUp();
}

void PictureButton::setUp()
{
    static const bool factory = (QAccessible::installFactory(accessibleFactory), true);
    Q_UNUSED(factory);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
}

void PictureButton::setTwin(PictureButton *twin)
{
    m_twin = twin;
    setFocusPolicy(twin ? Qt::NoFocus : Qt::StrongFocus);
}

QString PictureButton::spokenName() const
{
    if (!accessibleName().isEmpty())
        return accessibleName();
    QString name = toolTip().section(QLatin1Char('\n'), 0, 0).trimmed();
    if (name.endsWith(QLatin1Char('.')))
        name.chop(1);
    return name;
}

void PictureButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_pressed = true;
}

void PictureButton::mouseReleaseEvent(QMouseEvent *event)
{
    const bool wasPressed = m_pressed;
    m_pressed = false;
    if (wasPressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

void PictureButton::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!event->isAutoRepeat() && event->modifiers() == Qt::NoModifier) {
            emit clicked();
            return;
        }
        break;
    default:
        break;
    }
    QLabel::keyPressEvent(event);
}

void PictureButton::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    // The focus mark: a blue dotted frame just inside the picture.
    QPainter painter(this);
    QPen pen(QColor(0x1F, 0x4F, 0xB0), 2, Qt::DotLine);
    painter.setPen(pen);
    painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 4, 4);
}

void PictureButton::focusInEvent(QFocusEvent *event)
{
    QLabel::focusInEvent(event);
    update();
}

void PictureButton::focusOutEvent(QFocusEvent *event)
{
    QLabel::focusOutEvent(event);
    update();
}

} // namespace tavolux::ui
