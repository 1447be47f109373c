#include "addresses/TfrmAllegaCartella.h"

#include "addresses/TfrmArchivio_Indirizzi.h"
#include "platform/FileSave.h"
#include "platform/TMisc.h"
#include "platform/TextUtil.h"
#include "ui/AccessibleNames.h"
#include "ui/Art.h"
#include "ui/FileChooser.h"
#include "ui/GradientWidget.h"
#include "ui/Look.h"
#include "ui/Messages.h"
#include "ui/PictureButton.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>

#include <filesystem>
#include <system_error>

namespace tavolux {

namespace {

const QColor kLightBlue(0xBF, 0xDA, 0xF7);

std::filesystem::path fsPath(const QString &path)
{
    return std::filesystem::path(path.toStdU16String());
}

// Copies source over target, as saveFile() replaces a file: the old copy
// stays whole unless the new one is written whole. Never when both names lead
// to the same file: a file chosen from the attachments folder itself stays intact.
bool copyReplacing(const QString &source, const QString &target)
{
    std::error_code error;
    if (std::filesystem::equivalent(fsPath(source), fsPath(target), error))
        return false;
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    const auto write = [&in](const ByteSink &sink) {
        if (!in.seek(0))
            return false;
        for (;;) {
            const QByteArray chunk = in.read(1 << 16);
            if (in.error() != QFileDevice::NoError)
                return false;
            if (chunk.isEmpty())
                return true;
            if (!sink(chunk.constData(), chunk.size()))
                return false;
        }
    };
    // The copy must hold every byte of the source.
    const FileContent content{write, in.size()};
    return saveFile(target, content).ok();
}

// Whether the shell may be handed `path`: a regular file that, with every link
// resolved, lies in `folder`; or nothing at all, which the shell fails to open.
// A link that leads out of the folder, to a folder or to a device, is refused.
bool liesInside(const QString &path, const QString &folder)
{
    std::error_code error;
    const auto status = std::filesystem::symlink_status(fsPath(path), error);
    if (status.type() == std::filesystem::file_type::not_found)
        return true;
    if (error)
        return false;
    const QString resolved = QFileInfo(path).canonicalFilePath();
    const QString inside = QFileInfo(folder).canonicalFilePath();
    return !resolved.isEmpty() && !inside.isEmpty() && resolved.startsWith(inside + QLatin1Char('/'))
           && std::filesystem::is_regular_file(fsPath(resolved), error);
}

QLabel *caption(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setFont(QFont(ui::kTextFace, 12));
    label->setStyleSheet(QStringLiteral("color: #1f3f80; background: transparent;"));
    return label;
}

QPushButton *button(const QString &text, const char *name, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    // Enter in a description must not press a button.
    b->setAutoDefault(false);
    b->setCursor(Qt::PointingHandCursor);
    return b;
}

} // namespace

QString TfrmAllegaCartella::overwriteQuestion()
{
    return QStringLiteral("Attenzione: nella cartella dei documenti allegati è presente un file con lo stesso nome.\r\n\r\n"
                          "Si vuole sovrascrivere il file esistente?");
}

bool TfrmAllegaCartella::isBareName(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        return false;
    // A drive: "C:" with or without a path after it.
    if (name.size() >= 2 && name.at(1) == QLatin1Char(':') && name.at(0).isLetter() && name.at(0).unicode() < 128)
        return false;
    return true;
}

QString TfrmAllegaCartella::folderPath(const ProgramFolder &folder)
{
    return folder.file(folderName());
}

TfrmAllegaCartella::TfrmAllegaCartella(TfrmArchivio_Indirizzi &owner)
    : QDialog(&owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_owner(owner), m_folder(owner.folder())
{
    setObjectName(QStringLiteral("TfrmAllegaCartella"));
    setWindowTitle(QStringLiteral(" Allega file"));
    setFixedSize(634, 534);

    auto *background = new ui::GradientWidget(kLightBlue, this);
    auto *fill = new QVBoxLayout(this);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(background);

    auto *panel = new QFrame(background);
    panel->setObjectName(QStringLiteral("panAllegati"));
    panel->setStyleSheet(ui::panelStyle(QStringLiteral("QFrame#panAllegati"), 6));
    auto *outer = new QVBoxLayout(background);
    outer->setContentsMargins(10, 10, 10, 10);
    outer->addWidget(panel);

    auto *column = new QVBoxLayout(panel);
    column->setContentsMargins(12, 8, 12, 12);
    column->setSpacing(12);

    // Banner: a paper clip and the title.
    auto *banner = new QWidget(panel);
    banner->setObjectName(QStringLiteral("imgBanner"));
    auto *bannerRow = new QHBoxLayout(banner);
    bannerRow->setContentsMargins(0, 0, 0, 0);
    auto *clip = new QLabel(banner);
    clip->setPixmap(ui::art(QStringLiteral("graffetta"), QSize(36, 36)));
    auto *title = new QLabel(banner);
    title->setPixmap(ui::textArt(QStringLiteral("Documenti allegati alla scheda"), QSize(420, 36), 22,
                                 QColor(0x1F, 0x4F, 0xB0), true));
    ui::describePicture(clip, QStringLiteral("Graffetta"));
    ui::describePicture(title, QStringLiteral("Documenti allegati alla scheda"));
    bannerRow->addWidget(clip);
    bannerRow->addWidget(title);
    bannerRow->addStretch();
    column->addWidget(banner);

    lblMemory = new QLabel(panel);
    lblMemory->setObjectName(QStringLiteral("lblMemory"));
    lblMemory->hide();

    for (int n = 1; n <= 3; ++n)
        column->addWidget(buildGroup(n, panel));
    txtFile01 = m_slots[0].file;
    txtFile02 = m_slots[1].file;
    txtFile03 = m_slots[2].file;
    txtDesc01 = m_slots[0].desc;
    txtDesc02 = m_slots[1].desc;
    txtDesc03 = m_slots[2].desc;
    imgCancella01 = m_slots[0].clear;
    imgCancella02 = m_slots[1].clear;
    imgCancella03 = m_slots[2].clear;
    btnSfoglia01 = m_slots[0].browse;
    btnSfoglia02 = m_slots[1].browse;
    btnSfoglia03 = m_slots[2].browse;
    btnApri01 = m_slots[0].open;
    btnApri02 = m_slots[1].open;
    btnApri03 = m_slots[2].open;

    btnAnnulla = button(QStringLiteral("Annulla"), "btnAnnulla", panel);
    btnApplica = button(QStringLiteral("Applica e chiudi"), "btnApplica", panel);
    btnAnnulla->setMinimumSize(120, 30);
    btnApplica->setMinimumSize(150, 30);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnAnnulla);
    buttons->addWidget(btnApplica);
    column->addStretch();
    column->addLayout(buttons);
    column->addSpacing(2);

    // Tab order: slot by slot, then "Applica e chiudi" and "Annulla".
    QWidget *previous = nullptr;
    auto chain = [&previous, this](QWidget *next) {
        if (previous)
            setTabOrder(previous, next);
        previous = next;
    };
    for (const Slot &slot : m_slots) {
        chain(slot.file);
        chain(slot.browse);
        chain(slot.open);
        chain(slot.desc);
    }
    chain(btnApplica);
    chain(btnAnnulla);

    connect(btnApplica, &QPushButton::clicked, this, &TfrmAllegaCartella::apply);
    connect(btnAnnulla, &QPushButton::clicked, this, &QDialog::reject);
}

QWidget *TfrmAllegaCartella::buildGroup(int n, QWidget *parent)
{
    const QString digits = QStringLiteral("0%1").arg(n);
    auto *group = new ui::GroupFrame(QStringLiteral("%1° file allegato").arg(n), parent);
    group->setObjectName(QStringLiteral("grpAllegato") + digits);
    group->setStyleSheet(QStringLiteral("QFrame#%1 { background: #e6f0fc; border: 1px solid #87b4e8; border-radius: 5px; }")
                             .arg(group->objectName()));
    auto *grid = new QGridLayout(group);
    grid->setContentsMargins(10, 8, 10, 10);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);

    Slot &slot = m_slots[size_t(n - 1)];
    slot.file = new QLineEdit(group);
    slot.file->setObjectName(QStringLiteral("txtFile") + digits);
    slot.file->setReadOnly(true);
    QFont nameFont(ui::kTextFace, 10);
    nameFont.setBold(true);
    slot.file->setFont(nameFont);
    slot.file->setStyleSheet(QStringLiteral("QLineEdit { background: #f4f7fb; border: 1px solid #87b4e8; padding: 2px; }"));

    slot.clear = new ui::PictureButton(QStringLiteral("cancella"), QSize(22, 22), group);
    slot.clear->setObjectName(QStringLiteral("imgCancella") + digits);
    slot.clear->setToolTip(QStringLiteral("Cancella"));
    slot.browse = button(QStringLiteral("Sfoglia..."), qPrintable(QStringLiteral("btnSfoglia") + digits), group);
    slot.open = button(QStringLiteral("Apri"), qPrintable(QStringLiteral("btnApri") + digits), group);
    slot.open->setEnabled(false);

    slot.desc = new QLineEdit(group);
    slot.desc->setObjectName(QStringLiteral("txtDesc") + digits);
    QFont descFont(ui::kTextFace, 12);
    descFont.setBold(true);
    slot.desc->setFont(descFont);
    slot.desc->setStyleSheet(QStringLiteral("QLineEdit { background: white; border: 1px solid #87b4e8; padding: 1px; }"));

    auto *nameRow = new QHBoxLayout;
    nameRow->setSpacing(6);
    nameRow->addWidget(slot.file, 1);
    nameRow->addWidget(slot.clear);
    nameRow->addWidget(slot.browse);
    nameRow->addWidget(slot.open);
    grid->addWidget(caption(QStringLiteral("Nome %1° file allegato:").arg(n), group), 0, 0);
    grid->addLayout(nameRow, 1, 0);
    grid->addWidget(caption(QStringLiteral("Descrizione %1° file allegato:").arg(n), group), 2, 0);
    grid->addWidget(slot.desc, 3, 0);

    QPushButton *open = slot.open;
    connect(slot.file, &QLineEdit::textChanged, open,
            [open](const QString &text) { open->setEnabled(!trimText(text).isEmpty()); });
    connect(slot.clear, &ui::PictureButton::clicked, this, [this, n] { clearName(n); });
    connect(slot.browse, &QPushButton::clicked, this, [this, n] { browse(n); });
    connect(slot.open, &QPushButton::clicked, this, [this, n] { openDocument(n); });
    return group;
}

void TfrmAllegaCartella::run(TfrmArchivio_Indirizzi &owner)
{
    TfrmAllegaCartella dialog(owner);
    dialog.lblMemory->setText(callerTag());
    dialog.txtFile01->setText(trimText(owner.lblFile01->text()));
    dialog.txtDesc01->setText(trimText(owner.lblDesc01->text()));
    dialog.txtFile02->setText(trimText(owner.lblFile02->text()));
    dialog.txtDesc02->setText(trimText(owner.lblDesc02->text()));
    dialog.txtFile03->setText(trimText(owner.lblFile03->text()));
    dialog.txtDesc03->setText(trimText(owner.lblDesc03->text()));
    dialog.exec();
}

void TfrmAllegaCartella::browse(int n)
{
    const Slot &slot = slotAt(n);
    const QString chosen = ui::chooseOpenFile(this, QStringLiteral("Selezionare il file da allegare:"),
                                              QStringLiteral("Tutti i file (*.*)"));
    if (chosen.isEmpty())
        return;
    slot.file->setText(QFileInfo(chosen).fileName());

    // From here on a failure ends the operation silently; the name stays.
    const QString folder = folderPath(m_folder);
    if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder))
        return;
    const QString name = trimText(slot.file->text());
    if (!isBareName(name))
        return;
    const QString target = folder + QLatin1Char('/') + name;
    if (QFileInfo::exists(target) && !ui::ask(this, overwriteQuestion()))
        return;
    copyReplacing(chosen, target);
}

void TfrmAllegaCartella::openDocument(int n)
{
    const QString name = trimText(slotAt(n).file->text());
    // A damaged archive must not make the shell open anything outside the folder.
    if (!isBareName(name))
        return;
    const QString folder = folderPath(m_folder);
    const QString path = folder + QLatin1Char('/') + name;
    if (!liesInside(path, folder))
        return;
    TMisc::Open(QLatin1Char('"') + QDir::toNativeSeparators(path) + QLatin1Char('"'));
}

void TfrmAllegaCartella::clearName(int n)
{
    slotAt(n).file->clear();
}

void TfrmAllegaCartella::apply()
{
    if (trimText(lblMemory->text()) == callerTag()) {
        m_owner.lblFile01->setText(trimText(txtFile01->text()));
        m_owner.lblDesc01->setText(trimText(txtDesc01->text()));
        m_owner.lblFile02->setText(trimText(txtFile02->text()));
        m_owner.lblDesc02->setText(trimText(txtDesc02->text()));
        m_owner.lblFile03->setText(trimText(txtFile03->text()));
        m_owner.lblDesc03->setText(trimText(txtDesc03->text()));
    }
    accept();
}

void TfrmAllegaCartella::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        if (const QScreen *screen = this->screen())
            move(screen->availableGeometry().center() - rect().center());
    }
}

} // namespace tavolux
