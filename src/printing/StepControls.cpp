#include "printing/StepControls.h"
#include "ui/AccessibleNames.h"


#include "ui/Look.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

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

QVBoxLayout *stepDialogColumn(QWidget *dialog, QWidget *holder)
{
    dialog->setStyleSheet(QStringLiteral("QDialog { background: #dfe8f6; }"
                                         "QGroupBox { background: white; border: 1px solid %1; border-radius: 6px;"
                                         " margin-top: 14px; font-weight: bold; color: #1f3f80; }"
                                         "QGroupBox::title { subcontrol-origin: margin; left: 10px; padding: 0 4px; }")
                              .arg(ui::kPanelBorder));
    auto *column = new QVBoxLayout(holder ? holder : dialog);
    column->setContentsMargins(12, 12, 12, 12);
    column->setSpacing(10);
    return column;
}

QLabel *instructionsPanel(QVBoxLayout *column, const QPixmap &picture, const QString &text)
{
    auto *panel = new QFrame(column->parentWidget());
    panel->setObjectName(QStringLiteral("panIstruzioni"));
    panel->setStyleSheet(ui::panelStyle(QStringLiteral("QFrame#panIstruzioni"), 6));
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(12, 10, 12, 10);
    auto *image = new QLabel(panel);
    image->setObjectName(QStringLiteral("imgIstruzioni"));
    image->setPixmap(picture);
    ui::describePicture(image, QStringLiteral("Istruzioni"), text);
    layout->addWidget(image);
    column->addWidget(panel);
    return image;
}

QGroupBox *stepPairBox(const QString &title, const char *name, const QString &leftCaption, StepRow &left,
                       const QString &rightCaption, StepRow &right, QWidget *parent)
{
    auto *box = new QGroupBox(title, parent);
    box->setObjectName(QLatin1String(name));
    auto *grid = new QGridLayout(box);
    grid->setContentsMargins(16, 18, 16, 12);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(6);
    const auto addRow = [&](int at, const QString &caption, StepRow &row) {
        row.minus = stepButton(QStringLiteral("-"), row.minusName, box);
        row.value = valueBox(row.valueName, box);
        row.plus = stepButton(QStringLiteral("+"), row.plusName, box);
        grid->addWidget(new QLabel(caption, box), 0, at, 1, 4);
        grid->addWidget(row.minus, 1, at);
        grid->addWidget(row.value, 1, at + 1);
        grid->addWidget(row.plus, 1, at + 2);
        grid->addWidget(new QLabel(QStringLiteral("mm"), box), 1, at + 3);
    };
    addRow(0, leftCaption, left);
    grid->setColumnMinimumWidth(4, 30);
    addRow(5, rightCaption, right);
    grid->setColumnStretch(9, 1);
    return box;
}

} // namespace tavolux
