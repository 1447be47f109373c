#pragma once

#include "platform/ProgramFolder.h"

#include <QObject>

#include <memory>

class QWidget;

namespace tavolux {

class TfrmAvvio;
class TfrmArchivio_Indirizzi;
class TfrmArchivio_Etichette;
class TfrmCambiaPassword;
class TfrmPassword;

// Start-up: creates the persistent windows once, in their order, shows the
// login window and wires the moves between them. Windows never show each
// other. The login window is made with the program; start() makes the other
// four (if no accessor has made them yet) before it shows the login window.
class Program : public QObject
{
    Q_OBJECT
public:
    explicit Program(const QString &programFolder);
    ~Program() override;

    void start();

    const ProgramFolder &folder() const { return m_folder; }
    TfrmPassword *loginWindow() const { return m_login.get(); }
    TfrmAvvio *launcher();
    TfrmCambiaPassword *changePasswordWindow();
    TfrmArchivio_Indirizzi *addressWindow();
    TfrmArchivio_Etichette *labelWindow();
    // The persistent windows in the order they are created.
    QList<QWidget *> persistentWindows();

signals:
    // The program ends: the event loop is asked to stop.
    void ended();

private:
    // Shows `next` (maximised, unless it has a fixed size), then hides `current`.
    static void moveTo(QWidget *next, QWidget *current);
    void end();
    // Creates the launcher, change-password, address and label-page windows, once.
    void createWindows();

    ProgramFolder m_folder;
    std::unique_ptr<TfrmPassword> m_login;
    std::unique_ptr<TfrmAvvio> m_launcher;
    std::unique_ptr<TfrmCambiaPassword> m_changePassword;
    std::unique_ptr<TfrmArchivio_Indirizzi> m_addresses;
    std::unique_ptr<TfrmArchivio_Etichette> m_labels;
};

} // namespace tavolux
