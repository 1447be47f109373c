#include "printing/LabelPrintDialog.h"

#include "platform/Conventions.h"
#include "printing/InfoPicture.h"
#include "ui/AccessibleNames.h"
#include "ui/Look.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tavolux {

QStringList LabelPrintDialog::previewInformation()
{
    return {QStringLiteral("Questa operazione visualizza sullo schermo i dati che appariranno in stampa."),
            QStringLiteral("Premere \"Mostra anteprima\" per vedere il documento prima che venga stampato su carta.")};
}

LabelPrintDialog::LabelPrintDialog(const QString &caption, const QStringList &information,
                                   const QStringList &pictures, const QString &action, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    conventions::apply();
    setWindowTitle(caption);
    setFixedSize(364, 287);
    setStyleSheet(QStringLiteral("QDialog { background: #dfe8f6; }"));

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(10, 10, 10, 10);
    column->setSpacing(10);

    auto *panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("panInformazioni"));
    panel->setStyleSheet(ui::panelStyle(QStringLiteral("QFrame#panInformazioni"), 6));
    auto *infoColumn = new QVBoxLayout(panel);
    infoColumn->setContentsMargins(12, 12, 12, 12);
    infoColumn->setSpacing(12);
    QLabel **targets[] = {&imgInfo01, &imgInfo02};
    for (int i = 0; i < 2; ++i) {
        auto *picture = new QLabel(panel);
        picture->setObjectName(QStringLiteral("imgInfo%1").arg(i + 1, 2, 10, QLatin1Char('0')));
        picture->setPixmap(infoPicture(pictures.value(i), information.value(i), QSize(316, 84)));
        ui::describePicture(picture, i == 0 ? QStringLiteral("Informazioni") : QStringLiteral("Istruzioni"),
                            information.value(i));
        infoColumn->addWidget(picture);
        *targets[i] = picture;
    }
    infoColumn->addStretch();
    column->addWidget(panel, 1);

    auto *buttons = new QHBoxLayout;
    btnAnnulla = new QPushButton(QStringLiteral("Annulla"), this);
    btnAnnulla->setObjectName(QStringLiteral("btnAnnulla"));
    btnStampa = new QPushButton(action, this);
    btnStampa->setObjectName(QStringLiteral("btnStampa"));
    for (QPushButton *button : {btnAnnulla, btnStampa}) {
        button->setMinimumSize(130, 32);
        button->setCursor(Qt::PointingHandCursor);
    }
    btnStampa->setDefault(true);
    buttons->addWidget(btnAnnulla);
    buttons->addStretch();
    buttons->addWidget(btnStampa);
    column->addLayout(buttons);

    connect(btnAnnulla, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnStampa, &QPushButton::clicked, this, [this] {
        run();
        accept();
    });
}

} // namespace tavolux
