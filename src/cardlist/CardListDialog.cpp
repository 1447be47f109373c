#include "cardlist/CardListDialog.h"

#include "archivewindow/ArchiveNotices.h"
#include "cardlist/CardListModel.h"
#include "platform/TextUtil.h"
#include "printing/ListReportTemplate.h"
#include "report/Report.h"
#include "reportui/ReportSteps.h"
#include "storage/AddressArchive.h"
#include "ui/AccessibleNames.h"
#include "ui/Art.h"
#include "ui/FocusLook.h"
#include "ui/GradientWidget.h"
#include "ui/Look.h"
#include "ui/Messages.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <cerrno>


namespace tavolux {

CardListDialog::CardListDialog(const ProgramFolder &folder, const QString &title, const QString &banner,
                               QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint),
      frxReport(ListReportTemplate::create()), m_folder(folder), m_model(new CardListModel(this))
{
    setWindowTitle(title);
    setFixedSize(862, 560);
    setModal(true);

    auto *background = new ui::GradientWidget(ui::colors::SteelBlue, this);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(background);
    auto *column = new QVBoxLayout(background);
    column->setContentsMargins(16, 10, 16, 12);
    column->setSpacing(8);

    auto *bannerPicture = new QLabel(background);
    bannerPicture->setObjectName(QStringLiteral("imgBanner"));
    bannerPicture->setPixmap(ui::textArt(banner, QSize(830, 44), 26, Qt::white, true));
    column->addWidget(bannerPicture);
    ui::describePicture(bannerPicture, banner);
    auto *instructions = new QLabel(background);
    instructions->setObjectName(QStringLiteral("imgIstruzioni"));
    instructions->setPixmap(ui::textArt(
        QStringLiteral("1. Scrivere il testo da cercare    2. Premere Trova    3. Fare doppio clic sulla voce"),
        QSize(830, 22), 13, QColor(0x10, 0x25, 0x50), true, true));
    ui::describePicture(instructions, QStringLiteral("Istruzioni"),
                        QStringLiteral("1. Scrivere il testo da cercare. 2. Premere Trova. 3. Fare doppio clic sulla voce."));
    column->addWidget(instructions);

    auto *searchRow = new QHBoxLayout;
    auto *lens = new QLabel(background);
    lens->setObjectName(QStringLiteral("imgTrova"));
    lens->setPixmap(ui::art(QStringLiteral("trova"), QSize(30, 30)));
    ui::describePicture(lens, QStringLiteral("Lente di ingrandimento"));
    txtTrova = new QLineEdit(background);
    txtTrova->setObjectName(QStringLiteral("txtTrova"));
    QFont searchFont(ui::kTextFace, 12);
    searchFont.setBold(true);
    txtTrova->setFont(searchFont);
    btnTrova = new QPushButton(QStringLiteral("Trova"), background);
    btnTrova->setObjectName(QStringLiteral("btnTrova"));
    btnTrova->setMinimumWidth(110);
    searchRow->addWidget(lens);
    searchRow->addWidget(txtTrova, 1);
    searchRow->addWidget(btnTrova);
    column->addLayout(searchRow);

    lstRecords = new QListView(background);
    lstRecords->setObjectName(QStringLiteral("lstRecords"));
    lstRecords->setModel(m_model);
    lstRecords->setUniformItemSizes(true);
    lstRecords->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstRecords->setSelectionMode(QAbstractItemView::SingleSelection);
    lstRecords->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    lstRecords->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    lstRecords->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // The current line shows whether the list has the focus.
    lstRecords->setItemDelegate(new ui::CurrentLineDelegate(lstRecords));
    column->addWidget(lstRecords, 1);

    lblRigo03 = new QLabel(QStringLiteral("Fare doppio clic su una voce in elenco per richiamare la scheda"), background);
    lblRigo03->setObjectName(QStringLiteral("lblRigo03"));
    lblRigo03->setAlignment(Qt::AlignCenter);
    QFont hintFont(ui::kTextFace, 10);
    hintFont.setBold(true);
    lblRigo03->setFont(hintFont);
    lblRigo03->setStyleSheet(QStringLiteral("color: #DC143C;"));
    column->addWidget(lblRigo03);

    auto *bottomRow = new QHBoxLayout;
    btnChiudi = new QPushButton(QStringLiteral("Chiudi"), background);
    btnChiudi->setObjectName(QStringLiteral("btnChiudi"));
    btnStampa = new QPushButton(QStringLiteral("Stampa"), background);
    btnStampa->setObjectName(QStringLiteral("btnStampa"));
    for (QPushButton *button : {btnChiudi, btnStampa})
        button->setMinimumWidth(110);
    bottomRow->addWidget(btnChiudi);
    bottomRow->addStretch(1);
    bottomRow->addWidget(btnStampa);
    column->addLayout(bottomRow);

    setTabOrder(txtTrova, lstRecords);
    setTabOrder(lstRecords, btnStampa);
    setTabOrder(btnStampa, btnTrova);
    setTabOrder(btnTrova, btnChiudi);

    // The search field's Enter, the list's Enter and a double click anywhere
    // on the list are handled here, so that none of them reaches a button.
    txtTrova->installEventFilter(this);
    lstRecords->installEventFilter(this);
    lstRecords->viewport()->installEventFilter(this);
    connect(btnTrova, &QPushButton::clicked, this, &CardListDialog::find);
    connect(btnChiudi, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnStampa, &QPushButton::clicked, this, &CardListDialog::printList);

    if (QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

CardListDialog::~CardListDialog() = default;

int CardListDialog::currentLine() const
{
    const QModelIndex index = lstRecords->currentIndex();
    return index.isValid() ? index.row() : -1;
}

void CardListDialog::setCurrentLine(int line)
{
    const QModelIndex index = m_model->index(line, 0);
    lstRecords->setCurrentIndex(index);
    if (index.isValid())
        lstRecords->scrollTo(index);
}

QStringList CardListDialog::lines() const
{
    return m_model->lines().toStringList();
}

void CardListDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Filled when the dialog opens, not when the window manager shows it
    // again after a minimise: the search and the current line stay.
    if (!m_opened) {
        m_opened = true;
        fill();
    }
}

void CardListDialog::fill()
{
    m_search.clear();
    txtTrova->clear();
    // One pass over the archive; a failure stops the filling silently and
    // keeps the lines read so far. Another copy that held the archive longer
    // than a read waits is said, with the choice to read it again.
    cardlist::CardLines lines;
    for (;;) {
        AddressArchive archive(m_folder);
        if (!archive.open() || cardlist::readLines(archive, lines) || archive.systemError() != EBUSY)
            break;
        archive.close();
        if (!archivewindow::askRetryBusy(this))
            break;
        lines.clear();
    }
    m_model->setLines(std::move(lines));
    setCurrentLine(0);
    txtTrova->setFocus();
}

void CardListDialog::find()
{
    if (m_model->rowCount() == 0) {
        ui::plain(this, QStringLiteral("Ricerca non applicabile: la lista non contiene nessuna voce."));
        return;
    }
    if (currentLine() < 0)
        setCurrentLine(0);
    const int found = m_search.findNext(m_model->lines(), currentLine(), txtTrova->text());
    if (found >= 0)
        setCurrentLine(found);
}

void CardListDialog::recallCurrent()
{
    const int line = currentLine();
    if (line >= 0) {
        // Lines compare trimmed and exactly; a card's line is built from its
        // record's bytes, as the list built it.
        const QByteArrayView chosen = cardlist::trimmedLine(m_model->lines().lineBytes(line));
        AddressArchive archive(m_folder);
        if (archive.open()) {
            QByteArray candidate;
            archive.readAllRaw([&](qint64 position, const char *record) {
                candidate.clear();
                if (cardlist::appendLineOfRecord(candidate, record) && cardlist::trimmedLine(candidate) == chosen)
                    recall(TSchedaIndirizzo::fromRecord(record), position);
                return true;
            });
        }
    }
    accept();
}

void CardListDialog::printList()
{
    // Failures go to the general handling, which shows their own message.
    if (!ListReportTemplate::fill(*frxReport, lines())) {
        ui::showFailure(this, frxReport->errorString());
        return;
    }
    frxReport->PrepareReport();
    if (!report::Print(*frxReport, this) && frxReport->failed())
        ui::showFailure(this, frxReport->errorString());
}

void CardListDialog::done(int result)
{
    m_model->clear();
    m_opened = false;
    QDialog::done(result);
}

bool CardListDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // Enter in the search field moves to "Trova"; it does not search by itself.
            if (watched == txtTrova) {
                btnTrova->setFocus();
                return true;
            }
            // Enter on a line recalls it, as a double click does; without a
            // line it does nothing (it never reaches the default button).
            if (watched == lstRecords) {
                if (currentLine() >= 0)
                    recallCurrent();
                return true;
            }
        }
    }
    // A double click anywhere on the list, lines or blank part, acts on the current line.
    if (watched == lstRecords->viewport() && event->type() == QEvent::MouseButtonDblClick
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        recallCurrent();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace tavolux
