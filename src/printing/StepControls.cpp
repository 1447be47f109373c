#include "printing/StepControls.h"

#include <QLineEdit>
#include <QPushButton>

namespace tavolux {

QPushButton *stepButton(const QString &text, const char *name, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setFixedSize(32, 28);
    QFont font = button->font();
    font.setBold(true);
    font.setPointSize(12);
    button->setFont(font);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

QLineEdit *valueBox(const char *name, QWidget *parent)
{
    auto *box = new QLineEdit(QStringLiteral("0"), parent);
    box->setObjectName(QLatin1String(name));
    box->setReadOnly(true);
    box->setAlignment(Qt::AlignCenter);
    box->setFixedWidth(56);
    QFont font = box->font();
    font.setBold(true);
    box->setFont(font);
    return box;
}

} // namespace tavolux
