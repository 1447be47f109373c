#include "printing/TfrmFormatoEtichette.h"

#include "help/ShowHelp.h"
#include "platform/Conventions.h"
#include "printing/InfoPicture.h"
#include "printing/LabelFormatModel.h"
#include "printing/SheetDrawing.h"
#include "printing/StepControls.h"
#include "printing/TfrmNuovoFormato.h"
#include "ui/Messages.h"
#include "ui/Shortcuts.h"

#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace tavolux {

namespace {

QPushButton *button(const QString &text, const char *name, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setMinimumSize(120, 32);
    b->setCursor(Qt::PointingHandCursor);
    b->setAutoDefault(false);
    return b;
}

} // namespace

QString TfrmFormatoEtichette::instructionsText()
{
    return QStringLiteral("Cercare il foglio di etichette per marca, codice, descrizione o misura (ad esempio "
                          "L7160, herma 4677 oppure 63,5 x 38), sceglierlo nell'elenco e premere OK.\n"
                          "Il disegno mostra in scala il foglio scelto. Un foglio che non è in elenco si "
                          "aggiunge con \"Nuovo formato...\".");
}

QString TfrmFormatoEtichette::failureMessage()
{
    return QStringLiteral("Attenzione: non è stato possibile salvare il formato scelto in Impostazioni.ini.\n\r\n\r"
                          "Accertarsi di possedere i privilegi di scrittura nella cartella di installazione del programma.");
}

QString TfrmFormatoEtichette::removeQuestion(const QString &name)
{
    return QStringLiteral("Si vuole eliminare il formato proprio \"%1\"?").arg(name);
}

QString TfrmFormatoEtichette::describe(const LabelProduct &p)
{
    const QString times = QStringLiteral(" \u00D7 ");
    if (p.roll)
        return QStringLiteral("Rotolo per stampanti di etichette: un'etichetta di %1 per pagina.").arg(p.sizeText());
    QString text = QStringLiteral("%1 (%2%3%4 mm): %5 etichette di %6")
                       .arg(p.source == LabelProduct::Source::Own && p.paperId == QLatin1String("Other")
                                ? QStringLiteral("Pagina propria")
                                : p.paperName,
                            millimetres(p.pageMm.width()), times, millimetres(p.pageMm.height()),
                            conventions::formatCount(p.labelsPerSheet()), p.sizeText());
    if (p.layouts.size() == 1)
    {
        const int columns = p.layouts.first().columns, rows = p.layouts.first().rows;
        text += (columns == 1 ? QStringLiteral(", 1 colonna") : QStringLiteral(", %1 colonne").arg(columns))
                + (rows == 1 ? QStringLiteral(" per 1 riga") : QStringLiteral(" per %1 righe").arg(rows));
    }
    else
        text += QStringLiteral(" in %1 gruppi").arg(p.layouts.size());
    if (p.radiusMm > 0)
        text += QStringLiteral(", angoli arrotondati (raggio %1 mm)").arg(millimetres(p.radiusMm));
    text += QLatin1Char('.');
    if (!p.equivalentOf.isEmpty())
        text += QStringLiteral(" Uguale a %1 %2.").arg(p.brand, p.equivalentOf);
    return text;
}

TfrmFormatoEtichette::TfrmFormatoEtichette(const ProgramFolder &folder, LabelFormatSettings::Use use, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_folder(folder), m_use(use),
      m_model(new LabelFormatModel(this))
{
    setObjectName(QStringLiteral("TfrmFormatoEtichette"));
    setWindowTitle(QStringLiteral(" Formato etichette"));
    setFixedSize(940, 620);
    auto *column = stepDialogColumn(this);
    imgIstruzioni = instructionsPanel(column, infoPicture(QStringLiteral("info"), instructionsText(), QSize(890, 56)),
                                      instructionsText());

    auto *searchRow = new QHBoxLayout;
    auto *searchCaption = new QLabel(QStringLiteral("&Cerca:"), this);
    txtCerca = new QLineEdit(this);
    txtCerca->setObjectName(QStringLiteral("txtCerca"));
    txtCerca->setAccessibleName(QStringLiteral("Cerca formato"));
    txtCerca->setMaxLength(100);
    txtCerca->setClearButtonEnabled(true);
    txtCerca->setPlaceholderText(QStringLiteral("marca, codice, descrizione o misura"));
    searchCaption->setBuddy(txtCerca);
    lblTrovati = new QLabel(this);
    lblTrovati->setObjectName(QStringLiteral("lblTrovati"));
    lblTrovati->setMinimumWidth(150);
    lblTrovati->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    searchRow->addWidget(searchCaption);
    searchRow->addWidget(txtCerca, 1);
    searchRow->addWidget(lblTrovati);
    column->addLayout(searchRow);

    auto *body = new QHBoxLayout;
    body->setSpacing(12);
    lstFormati = new QTableView(this);
    lstFormati->setObjectName(QStringLiteral("lstFormati"));
    lstFormati->setAccessibleName(QStringLiteral("Formati di etichette"));
    lstFormati->setModel(m_model);
    lstFormati->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstFormati->setSelectionMode(QAbstractItemView::SingleSelection);
    lstFormati->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstFormati->setTabKeyNavigation(false);
    lstFormati->setAlternatingRowColors(true);
    lstFormati->setWordWrap(false);
    lstFormati->verticalHeader()->hide();
    lstFormati->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    lstFormati->verticalHeader()->setDefaultSectionSize(22);
    QHeaderView *header = lstFormati->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setHighlightSections(false);
    const int widths[] = {100, 100, 190, 66, 110};
    for (int c = 0; c < LabelFormatModel::Columns; ++c)
        header->resizeSection(c, widths[c]);
    header->setSectionResizeMode(LabelFormatModel::Description, QHeaderView::Stretch);
    body->addWidget(lstFormati, 1);

    auto *sheet = new QGroupBox(QStringLiteral("Foglio scelto"), this);
    sheet->setObjectName(QStringLiteral("grpFoglio"));
    sheet->setFixedWidth(300);
    auto *sheetColumn = new QVBoxLayout(sheet);
    sheetColumn->setContentsMargins(10, 18, 10, 10);
    imgFoglio = new SheetDrawing(sheet);
    imgFoglio->setObjectName(QStringLiteral("imgFoglio"));
    imgFoglio->setAccessibleName(QStringLiteral("Disegno del foglio"));
    lblFoglio = new QLabel(sheet);
    lblFoglio->setObjectName(QStringLiteral("lblFoglio"));
    lblFoglio->setWordWrap(true);
    lblFoglio->setMinimumHeight(64);
    lblFoglio->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblFoglio->setStyleSheet(QStringLiteral("font-weight: normal; color: black;"));
    sheetColumn->addWidget(imgFoglio, 1);
    sheetColumn->addWidget(lblFoglio);
    body->addWidget(sheet);
    column->addLayout(body, 1);

    auto *buttons = new QHBoxLayout;
    btnAnnulla = button(QStringLiteral("Annulla"), "btnAnnulla", this);
    btnGuida = button(QStringLiteral("Guida"), "btnGuida", this);
    btnNuovo = button(QStringLiteral("&Nuovo formato..."), "btnNuovo", this);
    btnElimina = button(QStringLiteral("&Elimina formato"), "btnElimina", this);
    btnOK = button(QStringLiteral("OK"), "btnOK", this);
    btnOK->setDefault(true);
    buttons->addWidget(btnAnnulla);
    buttons->addWidget(btnGuida);
    buttons->addStretch(1);
    buttons->addWidget(btnNuovo);
    buttons->addWidget(btnElimina);
    buttons->addStretch(1);
    buttons->addWidget(btnOK);
    column->addLayout(buttons);

    ui::setHintTooltip(btnNuovo, QStringLiteral("Aggiunge un formato di etichette con le misure di un foglio proprio."));
    ui::setHintTooltip(btnElimina, QStringLiteral("Elimina il formato proprio scelto nell'elenco."));
    ui::setHintTooltip(btnGuida, QStringLiteral("Visualizza la guida in linea."));
    ui::bindShortcut(this, btnGuida, QKeySequence(Qt::Key_F1));

    // The focus goes from the search to the list, then along the buttons.
    QWidget *chain[] = {txtCerca, lstFormati, btnAnnulla, btnGuida, btnNuovo, btnElimina, btnOK};
    for (size_t i = 1; i < std::size(chain); ++i)
        setTabOrder(chain[i - 1], chain[i]);

    connect(txtCerca, &QLineEdit::textChanged, this, &TfrmFormatoEtichette::search);
    connect(lstFormati, &QTableView::doubleClicked, this, &TfrmFormatoEtichette::choose);
    connect(btnOK, &QPushButton::clicked, this, &TfrmFormatoEtichette::choose);
    connect(btnAnnulla, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnNuovo, &QPushButton::clicked, this, &TfrmFormatoEtichette::newFormat);
    connect(btnElimina, &QPushButton::clicked, this, &TfrmFormatoEtichette::removeFormat);
    connect(btnGuida, &QPushButton::clicked, this, [this] { showHelpTopic(this, m_folder, HelpTopic::LabelFormats); });
    // The arrows and page keys typed in the search move along the list.
    txtCerca->installEventFilter(this);

    const LabelFormatSettings settings(m_folder);
    bool found = false;
    const QString chosen = settings.byId(settings.chosenId(m_use), &found).id();
    reload(found ? chosen : LabelProduct::builtInId());
    txtCerca->setFocus();
}

TfrmFormatoEtichette::~TfrmFormatoEtichette() = default;

const LabelProduct *TfrmFormatoEtichette::current() const
{
    const QModelIndex index = lstFormati->currentIndex();
    return index.isValid() ? &m_model->format(index.row()) : nullptr;
}

bool TfrmFormatoEtichette::setCurrent(const QString &id)
{
    const int row = m_model->rowOf(id);
    if (row < 0)
        return false;
    lstFormati->setCurrentIndex(m_model->index(row, 0));
    lstFormati->scrollTo(lstFormati->currentIndex(), QAbstractItemView::PositionAtCenter);
    return true;
}

void TfrmFormatoEtichette::reload(const QString &id)
{
    m_model->setFormats(LabelFormatSettings(m_folder).all());
    connect(lstFormati->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &TfrmFormatoEtichette::showCurrent, Qt::UniqueConnection);
    search(txtCerca->text());
    if (!setCurrent(id) && m_model->rowCount() > 0)
        lstFormati->setCurrentIndex(m_model->index(0, 0));
    showCurrent();
}

void TfrmFormatoEtichette::search(const QString &text)
{
    const LabelProduct *before = current();
    const QString id = before ? before->id() : QString();
    m_model->setSearch(text);
    // The format that was current stays so where it is still shown.
    if (!setCurrent(id) && m_model->rowCount() > 0)
        lstFormati->setCurrentIndex(m_model->index(0, 0));
    const int shown = m_model->rowCount();
    lblTrovati->setText(shown == 1 ? QStringLiteral("1 formato")
                                   : QStringLiteral("%1 formati").arg(conventions::formatCount(shown)));
    showCurrent();
}

void TfrmFormatoEtichette::showCurrent()
{
    const LabelProduct *p = current();
    btnOK->setEnabled(p);
    btnElimina->setEnabled(p && p->source == LabelProduct::Source::Own);
    if (!p) {
        imgFoglio->setProduct(LabelProduct());
        lblFoglio->setText(QStringLiteral("Nessun formato corrisponde alla ricerca."));
        return;
    }
    imgFoglio->setProduct(*p);
    const QString text = p->title() + QLatin1Char('\n') + describe(*p);
    lblFoglio->setText(text);
    imgFoglio->setAccessibleDescription(text);
}

void TfrmFormatoEtichette::choose()
{
    const LabelProduct *p = current();
    if (!p)
        return;
    QString reason;
    if (!LabelFormatSettings(m_folder).writeChosenId(m_use, p->id(), &reason)) {
        ui::notice(this, ui::MessageKind::Warning, ui::withReason(failureMessage(), reason));
        return;
    }
    accept();
}

void TfrmFormatoEtichette::newFormat()
{
    TfrmNuovoFormato dialog(m_folder, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // The new format is shown whatever the search.
    txtCerca->clear();
    reload(dialog.savedId());
    lstFormati->setFocus();
}

void TfrmFormatoEtichette::removeFormat()
{
    const LabelProduct *p = current();
    if (!p || p->source != LabelProduct::Source::Own)
        return;
    const QString name = p->part;
    if (!ui::ask(this, removeQuestion(name)))
        return;
    QString reason;
    if (!LabelFormatSettings(m_folder).removeOwnFormat(name, &reason)) {
        ui::notice(this, ui::MessageKind::Warning, ui::withReason(TfrmNuovoFormato::failureMessage(), reason));
        return;
    }
    reload(LabelProduct::builtInId());
}

bool TfrmFormatoEtichette::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtCerca && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
            QKeyEvent copy(QEvent::KeyPress, key, static_cast<QKeyEvent *>(event)->modifiers());
            QApplication::sendEvent(lstFormati, &copy);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace tavolux
