#include "app/Program.h"

#include "access/TfrmCambiaPassword.h"
#include "access/TfrmPassword.h"
#include "addresses/TfrmArchivio_Indirizzi.h"
#include "app/ItalianQtTexts.h"
#include "app/TfrmAvvio.h"
#include "labels/TfrmArchivio_Etichette.h"
#include "platform/Conventions.h"
#include "platform/FileSave.h"
#include "ui/AccessibleNames.h"
#include "ui/FocusLook.h"
#include "ui/FocusReturn.h"
#include "ui/TitleBarGuard.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QCoreApplication>
#include <QEvent>

static void initAppResources()
{
    Q_INIT_RESOURCE(app);
}

namespace tavolux {

Program::Program(const QString &programFolder)
    : m_folder(programFolder)
{
    // The number and date conventions hold before any window is shown.
    conventions::apply();
    // A file size limit makes a write fail with its message, as a full disk does.
    ignoreFileSizeSignal();
    if (qApp) {
        initAppResources();
        QCoreApplication::setOrganizationName(QStringLiteral("Tavolux Software"));
        QCoreApplication::setOrganizationDomain(QStringLiteral("tavolux.it"));
        QCoreApplication::setApplicationVersion(QStringLiteral(TAVOLUX_VERSION));
        QGuiApplication::setDesktopFileName(QStringLiteral("it.tavolux.Tavolux"));
        QApplication::setWindowIcon(QIcon(QStringLiteral(":/app/tavolux.svg")));
        // Plain buttons show a focus ring that can be seen.
        if (!qobject_cast<ui::FocusRingStyle *>(QApplication::style()))
            QApplication::setStyle(new ui::FocusRingStyle);
        qApp->installEventFilter(new ui::TitleBarGuard(this));
        qApp->installEventFilter(new ui::AccessibleNamer(this));
        qApp->installEventFilter(new ui::FocusReturn(this));
        // Qt's own texts (print and file dialogs, context menus) in Italian,
        // whatever the system's language.
        auto *qtTexts = new QTranslator(this);
        if (qtTexts->load(QLocale(QLocale::Italian, QLocale::Italy), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(qtTexts);
        // Installed after Qt's catalogue, so asked first: the texts it lacks.
        QCoreApplication::installTranslator(new ItalianQtTexts(this));
    }
    m_login = std::make_unique<TfrmPassword>(m_folder);
    connect(m_login.get(), &TfrmPassword::loggedIn, this, [this] { moveTo(launcher(), m_login.get()); });
    connect(m_login.get(), &TfrmPassword::changePasswordRequested, this,
            [this] { moveTo(changePasswordWindow(), m_login.get()); });
    connect(m_login.get(), &TfrmPassword::endRequested, this, &Program::end);
}

void Program::createWindows()
{
    if (m_launcher)
        return;
    m_launcher = std::make_unique<TfrmAvvio>(m_folder);
    m_changePassword = std::make_unique<TfrmCambiaPassword>(m_folder);
    m_addresses = std::make_unique<TfrmArchivio_Indirizzi>(m_folder);
    m_labels = std::make_unique<TfrmArchivio_Etichette>(m_folder);

    connect(m_changePassword.get(), &TfrmCambiaPassword::closed, this, [this] {
        m_login->clearPassword();
        moveTo(m_login.get(), m_changePassword.get());
    });
    connect(m_launcher.get(), &TfrmAvvio::openAddresses, this,
            [this] { moveTo(m_addresses.get(), m_launcher.get()); });
    connect(m_launcher.get(), &TfrmAvvio::endRequested, this, &Program::end);
    connect(m_addresses.get(), &TfrmArchivio_Indirizzi::closed, this,
            [this] { moveTo(m_launcher.get(), m_addresses.get()); });
    connect(m_launcher.get(), &TfrmAvvio::openLabels, this,
            [this] { moveTo(m_labels.get(), m_launcher.get()); });
    connect(m_labels.get(), &TfrmArchivio_Etichette::closed, this,
            [this] { moveTo(m_launcher.get(), m_labels.get()); });
    // A card to mend, chosen in the mailing window: the address window shows it.
    connect(m_labels.get(), &TfrmArchivio_Etichette::openAddressCard, this, [this](qint64 position) {
        moveTo(m_addresses.get(), m_labels.get());
        m_addresses->openCard(position);
    });
}

TfrmAvvio *Program::launcher()
{
    createWindows();
    return m_launcher.get();
}

TfrmCambiaPassword *Program::changePasswordWindow()
{
    createWindows();
    return m_changePassword.get();
}

TfrmArchivio_Indirizzi *Program::addressWindow()
{
    createWindows();
    return m_addresses.get();
}

TfrmArchivio_Etichette *Program::labelWindow()
{
    createWindows();
    return m_labels.get();
}

Program::~Program() = default;

QList<QWidget *> Program::persistentWindows()
{
    createWindows();
    return {m_login.get(), m_launcher.get(), m_changePassword.get(), m_addresses.get(), m_labels.get()};
}

void Program::start()
{
    // All persistent windows exist before the login window is shown; they
    // draw their pictures only when first shown, so this stays quick. Every
    // widget asks to be polished (styled) as soon as it is made; a window is
    // polished anyway when it is shown, so the hidden ones wait until then.
    createWindows();
    QCoreApplication::removePostedEvents(nullptr, QEvent::PolishRequest);
    m_login->show();
}

void Program::moveTo(QWidget *next, QWidget *current)
{
    if (next->minimumSize() == next->maximumSize())
        next->show();
    else
        next->showMaximized();
    current->hide();
}

void Program::end()
{
    emit ended();
    QCoreApplication::quit();
}

} // namespace tavolux
