#include "app/Program.h"

#include "access/TfrmCambiaPassword.h"
#include "access/TfrmPassword.h"
#include "addresses/TfrmArchivio_Indirizzi.h"
#include "app/TfrmAvvio.h"
#include "labels/TfrmArchivio_Etichette.h"

#include <QCoreApplication>

namespace tavolux {

Program::Program(const QString &programFolder)
    : m_folder(programFolder)
{
    m_login = std::make_unique<TfrmPassword>(m_folder);
    m_launcher = std::make_unique<TfrmAvvio>(m_folder);
    m_changePassword = std::make_unique<TfrmCambiaPassword>(m_folder);
    m_addresses = std::make_unique<TfrmArchivio_Indirizzi>(m_folder);
    m_labels = std::make_unique<TfrmArchivio_Etichette>(m_folder);

    connect(m_login.get(), &TfrmPassword::loggedIn, this, [this] { moveTo(m_launcher.get(), m_login.get()); });
    connect(m_login.get(), &TfrmPassword::changePasswordRequested, this,
            [this] { moveTo(m_changePassword.get(), m_login.get()); });
    connect(m_login.get(), &TfrmPassword::endRequested, this, &Program::end);
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
}

Program::~Program() = default;

QList<QWidget *> Program::persistentWindows() const
{
    return {m_login.get(), m_launcher.get(), m_changePassword.get(), m_addresses.get(), m_labels.get()};
}

void Program::start()
{
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
