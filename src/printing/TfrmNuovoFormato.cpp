#include "printing/TfrmNuovoFormato.h"

#include "help/ShowHelp.h"
#include "labelformats/LabelCatalogue.h"
#include "labelformats/LabelFormatSettings.h"
#include "printing/InfoPicture.h"
#include "printing/LabelFormatModel.h"
#include "printing/SheetDrawing.h"
#include "printing/StepControls.h"
#include "ui/Messages.h"
#include "ui/Shortcuts.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

namespace tavolux {

namespace {

constexpr int kMaxColumns = 100;

QLineEdit *mmBox(const char *name, const QString &accessibleName, const QString &value, QWidget *parent)
{
    auto *box = new QLineEdit(value, parent);
    box->setObjectName(QLatin1String(name));
    box->setAccessibleName(accessibleName);
    box->setMaxLength(10);
    box->setFixedWidth(80);
    box->setAlignment(Qt::AlignRight);
    return box;
}

QSpinBox *countBox(const char *name, const QString &accessibleName, int value, QWidget *parent)
{
    auto *box = new QSpinBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setAccessibleName(accessibleName);
    // Its edit field is what assistive tools reach.
    if (auto *field = box->findChild<QLineEdit *>())
        field->setAccessibleName(accessibleName);
    box->setRange(1, kMaxColumns);
    box->setValue(value);
    box->setFixedWidth(80);
    box->setAlignment(Qt::AlignRight);
    return box;
}

} // namespace

QString TfrmNuovoFormato::instructionsText()
{
    return QStringLiteral("Misurare il foglio di etichette e inserire le misure in millimetri. I margini vanno dal "
                          "bordo del foglio alla prima etichetta in alto a sinistra; i passi dall'inizio di "
                          "un'etichetta all'inizio della successiva, a destra e in basso.");
}

QString TfrmNuovoFormato::failureMessage()
{
    return QStringLiteral("Attenzione: non è stato possibile salvare il formato in Impostazioni.ini.\n\r\n\r"
                          "Accertarsi di possedere i privilegi di scrittura nella cartella di installazione del programma.");
}

TfrmNuovoFormato::TfrmNuovoFormato(const ProgramFolder &folder, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_folder(folder)
{
    setObjectName(QStringLiteral("TfrmNuovoFormato"));
    setWindowTitle(QStringLiteral(" Nuovo formato etichette"));
    setFixedSize(780, 580);
    auto *column = stepDialogColumn(this);
    imgIstruzioni = instructionsPanel(column, infoPicture(QStringLiteral("info"), instructionsText(), QSize(730, 56)),
                                      instructionsText());

    // The paper sizes: A4 and US Letter first, then those of the catalogue's sheets.
    const LabelFormatSettings settings(m_folder);
    m_papers << Paper{QStringLiteral("A4"), QStringLiteral("A4"), QSizeF(210, 297)}
             << Paper{QStringLiteral("US-Letter"), QStringLiteral("US Letter"), QSizeF(215.9, 279.4)};
    QList<Paper> others;
    for (const LabelProduct &p : LabelCatalogue::installed(settings.catalogueFolder()).products()) {
        if (p.roll || p.paperId.isEmpty() || p.paperId.compare(QLatin1String("Other"), Qt::CaseInsensitive) == 0)
            continue;
        const auto same = [&p](const Paper &paper) { return paper.id == p.paperId; };
        if (std::none_of(m_papers.begin(), m_papers.end(), same) && std::none_of(others.begin(), others.end(), same))
            others << Paper{p.paperId, p.paperName.isEmpty() ? p.paperId : p.paperName, p.pageMm};
    }
    std::sort(others.begin(), others.end(), [](const Paper &a, const Paper &b) { return a.name < b.name; });
    m_papers << others << Paper{QStringLiteral("Other"), QString(), QSizeF()};
    for (const LabelProduct &own : settings.ownFormats())
        m_ownNames << own.part;

    auto *body = new QHBoxLayout;
    body->setSpacing(12);
    auto *form = new QGroupBox(QStringLiteral("Misure in millimetri"), this);
    form->setObjectName(QStringLiteral("grpMisure"));
    auto *grid = new QGridLayout(form);
    grid->setContentsMargins(14, 20, 14, 10);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(7);
    const auto caption = [form](const QString &text, QWidget *buddy) {
        auto *label = new QLabel(text, form);
        label->setBuddy(buddy);
        label->setStyleSheet(QStringLiteral("font-weight: normal; color: black;"));
        return label;
    };

    txtNome = new QLineEdit(form);
    txtNome->setObjectName(QStringLiteral("txtNome"));
    txtNome->setAccessibleName(QStringLiteral("Nome del formato"));
    txtNome->setMaxLength(60);
    cboPagina = new QComboBox(form);
    cboPagina->setObjectName(QStringLiteral("cboPagina"));
    cboPagina->setAccessibleName(QStringLiteral("Formato della pagina"));
    for (const Paper &paper : std::as_const(m_papers))
        cboPagina->addItem(paper.id == QLatin1String("Other")
                               ? QStringLiteral("Altra misura")
                               : QStringLiteral("%1 (%2 \u00D7 %3 mm)")
                                     .arg(paper.name, millimetres(paper.mm.width()), millimetres(paper.mm.height())));
    txtLarghezzaPagina = mmBox("txtLarghezzaPagina", QStringLiteral("Larghezza della pagina"), QStringLiteral("210"), form);
    txtAltezzaPagina = mmBox("txtAltezzaPagina", QStringLiteral("Altezza della pagina"), QStringLiteral("297"), form);
    txtColonne = countBox("txtColonne", QStringLiteral("Colonne"), 3, form);
    txtRighe = countBox("txtRighe", QStringLiteral("Righe"), 8, form);
    txtLarghezza = mmBox("txtLarghezza", QStringLiteral("Larghezza dell'etichetta"), QStringLiteral("62"), form);
    txtAltezza = mmBox("txtAltezza", QStringLiteral("Altezza dell'etichetta"), QStringLiteral("32"), form);
    txtSinistro = mmBox("txtSinistro", QStringLiteral("Margine sinistro"), QStringLiteral("10"), form);
    txtSuperiore = mmBox("txtSuperiore", QStringLiteral("Margine superiore"), QStringLiteral("10"), form);
    txtPassoOrizzontale = mmBox("txtPassoOrizzontale", QStringLiteral("Passo orizzontale"), QStringLiteral("64"), form);
    txtPassoVerticale = mmBox("txtPassoVerticale", QStringLiteral("Passo verticale"), QStringLiteral("35"), form);

    grid->addWidget(caption(QStringLiteral("&Nome:"), txtNome), 0, 0);
    grid->addWidget(txtNome, 0, 1, 1, 3);
    grid->addWidget(caption(QStringLiteral("&Formato pagina:"), cboPagina), 1, 0);
    grid->addWidget(cboPagina, 1, 1, 1, 3);
    const auto pair = [&](int row, const QString &left, QWidget *leftBox, const QString &right, QWidget *rightBox) {
        grid->addWidget(caption(left, leftBox), row, 0);
        grid->addWidget(leftBox, row, 1);
        grid->addWidget(caption(right, rightBox), row, 2);
        grid->addWidget(rightBox, row, 3);
    };
    pair(2, QStringLiteral("Larg&hezza pagina:"), txtLarghezzaPagina, QStringLiteral("Alte&zza pagina:"), txtAltezzaPagina);
    pair(3, QStringLiteral("&Colonne:"), txtColonne, QStringLiteral("&Righe:"), txtRighe);
    pair(4, QStringLiteral("Lar&ghezza etichetta:"), txtLarghezza, QStringLiteral("&Altezza etichetta:"), txtAltezza);
    pair(5, QStringLiteral("Margine &sinistro:"), txtSinistro, QStringLiteral("Margine s&uperiore:"), txtSuperiore);
    pair(6, QStringLiteral("Passo &orizzontale:"), txtPassoOrizzontale, QStringLiteral("Passo &verticale:"), txtPassoVerticale);
    lblErrori = new QLabel(form);
    lblErrori->setObjectName(QStringLiteral("lblErrori"));
    lblErrori->setWordWrap(true);
    lblErrori->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblErrori->setStyleSheet(QStringLiteral("font-weight: normal; color: #b00000;"));
    grid->addWidget(lblErrori, 7, 0, 1, 4);
    grid->setRowStretch(7, 1);
    body->addWidget(form, 1);

    auto *sheet = new QGroupBox(QStringLiteral("Foglio"), this);
    sheet->setObjectName(QStringLiteral("grpFoglio"));
    sheet->setFixedWidth(270);
    auto *sheetColumn = new QVBoxLayout(sheet);
    sheetColumn->setContentsMargins(10, 18, 10, 10);
    imgFoglio = new SheetDrawing(sheet);
    imgFoglio->setObjectName(QStringLiteral("imgFoglio"));
    imgFoglio->setAccessibleName(QStringLiteral("Disegno del foglio"));
    sheetColumn->addWidget(imgFoglio);
    body->addWidget(sheet);
    column->addLayout(body, 1);

    auto *buttons = new QHBoxLayout;
    btnAnnulla = new QPushButton(QStringLiteral("Annulla"), this);
    btnAnnulla->setObjectName(QStringLiteral("btnAnnulla"));
    btnGuida = new QPushButton(QStringLiteral("Guida"), this);
    btnGuida->setObjectName(QStringLiteral("btnGuida"));
    btnSalva = new QPushButton(QStringLiteral("Salva"), this);
    btnSalva->setObjectName(QStringLiteral("btnSalva"));
    for (QPushButton *b : {btnAnnulla, btnGuida, btnSalva}) {
        b->setMinimumSize(120, 32);
        b->setCursor(Qt::PointingHandCursor);
        b->setAutoDefault(false);
    }
    btnSalva->setDefault(true);
    buttons->addWidget(btnAnnulla);
    buttons->addStretch();
    buttons->addWidget(btnGuida);
    buttons->addStretch();
    buttons->addWidget(btnSalva);
    column->addLayout(buttons);
    ui::bindShortcut(this, btnGuida, QKeySequence(Qt::Key_F1));

    QWidget *chain[] = {txtNome, cboPagina, txtLarghezzaPagina, txtAltezzaPagina, txtColonne, txtRighe,
                        txtLarghezza, txtAltezza, txtSinistro, txtSuperiore, txtPassoOrizzontale,
                        txtPassoVerticale, btnAnnulla, btnGuida, btnSalva};
    for (size_t i = 1; i < std::size(chain); ++i)
        setTabOrder(chain[i - 1], chain[i]);

    for (QLineEdit *box : {txtNome, txtLarghezzaPagina, txtAltezzaPagina, txtLarghezza, txtAltezza, txtSinistro,
                           txtSuperiore, txtPassoOrizzontale, txtPassoVerticale})
        connect(box, &QLineEdit::textChanged, this, &TfrmNuovoFormato::check);
    for (QSpinBox *box : {txtColonne, txtRighe})
        connect(box, qOverload<int>(&QSpinBox::valueChanged), this, &TfrmNuovoFormato::check);
    connect(cboPagina, qOverload<int>(&QComboBox::currentIndexChanged), this, &TfrmNuovoFormato::paperChosen);
    connect(btnSalva, &QPushButton::clicked, this, &TfrmNuovoFormato::save);
    connect(btnAnnulla, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnGuida, &QPushButton::clicked, this, [this] { showHelpTopic(this, m_folder, HelpTopic::LabelFormats); });

    paperChosen(0);
    txtNome->setFocus();
}

TfrmNuovoFormato::~TfrmNuovoFormato() = default;

void TfrmNuovoFormato::paperChosen(int index)
{
    const Paper &paper = m_papers.at(std::clamp(index, 0, int(m_papers.size()) - 1));
    const bool own = paper.id == QLatin1String("Other");
    if (!own) {
        txtLarghezzaPagina->setText(millimetres(paper.mm.width()));
        txtAltezzaPagina->setText(millimetres(paper.mm.height()));
    }
    txtLarghezzaPagina->setReadOnly(!own);
    txtAltezzaPagina->setReadOnly(!own);
    check();
}

LabelProduct TfrmNuovoFormato::format() const
{
    const auto mm = [](const QLineEdit *box) {
        double value = std::numeric_limits<double>::quiet_NaN();
        readMillimetres(box->text(), &value);
        return value;
    };
    const Paper &paper = m_papers.at(std::max(0, cboPagina->currentIndex()));
    LabelProduct p;
    p.source = LabelProduct::Source::Own;
    p.part = txtNome->text();
    p.paperId = paper.id;
    p.paperName = paper.id == QLatin1String("Other") ? QStringLiteral("Pagina propria") : paper.name;
    p.pageMm = QSizeF(mm(txtLarghezzaPagina), mm(txtAltezzaPagina));
    p.labelMm = QSizeF(mm(txtLarghezza), mm(txtAltezza));
    p.layouts << LabelProduct::Layout{txtColonne->value(), txtRighe->value(), mm(txtSinistro), mm(txtSuperiore),
                                      mm(txtPassoOrizzontale), mm(txtPassoVerticale)};
    return p;
}

QStringList TfrmNuovoFormato::faults() const
{
    QStringList found;
    const QList<QPair<QLineEdit *, QString>> numbers = {
        {txtLarghezzaPagina, QStringLiteral("Larghezza pagina")}, {txtAltezzaPagina, QStringLiteral("Altezza pagina")},
        {txtLarghezza, QStringLiteral("Larghezza etichetta")},    {txtAltezza, QStringLiteral("Altezza etichetta")},
        {txtSinistro, QStringLiteral("Margine sinistro")},        {txtSuperiore, QStringLiteral("Margine superiore")},
        {txtPassoOrizzontale, QStringLiteral("Passo orizzontale")}, {txtPassoVerticale, QStringLiteral("Passo verticale")},
    };
    for (const auto &number : numbers) {
        double value = 0;
        if (!readMillimetres(number.first->text(), &value))
            found << QStringLiteral("Scrivere in \"%1\" un numero di millimetri, ad esempio 63,5.").arg(number.second);
    }
    if (!found.isEmpty())
        return found;
    const LabelProduct p = format();
    found = checkLabelProduct(p);
    for (const QString &name : m_ownNames)
        if (name.compare(p.part.trimmed(), Qt::CaseInsensitive) == 0)
            found << QStringLiteral("Esiste già un formato proprio con questo nome.");
    return found;
}

void TfrmNuovoFormato::check()
{
    const QStringList found = faults();
    btnSalva->setEnabled(found.isEmpty());
    lblErrori->setText(found.join(QLatin1Char('\n')));
    imgFoglio->setProduct(format());
    const LabelProduct p = format();
    imgFoglio->setAccessibleDescription(found.isEmpty() ? QStringLiteral("%1 etichette").arg(p.labelsPerSheet())
                                                        : found.join(QLatin1Char(' ')));
}

void TfrmNuovoFormato::save()
{
    if (!faults().isEmpty())
        return;
    const LabelProduct p = format();
    QString reason;
    if (!LabelFormatSettings(m_folder).saveOwnFormat(p, &reason)) {
        ui::notice(this, ui::MessageKind::Warning, ui::withReason(failureMessage(), reason));
        return;
    }
    m_savedId = p.id();
    accept();
}

} // namespace tavolux
