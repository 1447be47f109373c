#include "ui/NamedComboBox.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace tavolux::ui {

namespace {

class NamedComboBoxAccessible : public QAccessibleWidget
{
public:
    explicit NamedComboBoxAccessible(NamedComboBox *box) : QAccessibleWidget(box, QAccessible::ComboBox)
    {
        addControllingSignal(QStringLiteral("activated(int)"));
    }

    QString text(QAccessible::Text t) const override
    {
        const auto *box = static_cast<const QComboBox *>(widget());
        if (t == QAccessible::Name)
            return box->accessibleName().isEmpty() ? box->currentText() : box->accessibleName();
        if (t == QAccessible::Value)
            return box->currentText();
        return QAccessibleWidget::text(t);
    }

    QStringList actionNames() const override { return {showMenuAction()}; }
    void doAction(const QString &name) override
    {
        if (name == showMenuAction() && widget()->isEnabled())
            static_cast<QComboBox *>(widget())->showPopup();
    }
};

QAccessibleInterface *accessibleFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("tavolux::ui::NamedComboBox") && object && object->isWidgetType())
        return new NamedComboBoxAccessible(static_cast<NamedComboBox *>(object));
    return nullptr;
}

} // namespace

NamedComboBox::NamedComboBox(QWidget *parent)
    : QComboBox(parent)
{
    static const bool factory = (QAccessible::installFactory(accessibleFactory), true);
    Q_UNUSED(factory);
}

} // namespace tavolux::ui
