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

// Start-up: creates the persistent windows once, shows the first one and
// wires the moves between them. Windows never show each other.
class Program : public QObject
{
    Q_OBJECT
public:
    explicit Program(const QString &programFolder);
    ~Program() override;

    void start();

    const ProgramFolder &folder() const { return m_folder; }
    TfrmPassword *loginWindow() const { return m_login.get(); }
    TfrmAvvio *launcher() const { return m_launcher.get(); }
    TfrmCambiaPassword *changePasswordWindow() const { return m_changePassword.get(); }
    TfrmArchivio_Indirizzi *addressWindow() const { return m_addresses.get(); }
    TfrmArchivio_Etichette *labelWindow() const { return m_labels.get(); }
    // The persistent windows in the order they are created.
    QList<QWidget *> persistentWindows() const;

signals:
    // The program ends: the event loop is asked to stop.
    void ended();

private:
    // Shows `next` (maximised, unless it has a fixed size), then hides `current`.
    static void moveTo(QWidget *next, QWidget *current);
    void end();

    ProgramFolder m_folder;
    std::unique_ptr<TfrmPassword> m_login;
    std::unique_ptr<TfrmAvvio> m_launcher;
    std::unique_ptr<TfrmCambiaPassword> m_changePassword;
    std::unique_ptr<TfrmArchivio_Indirizzi> m_addresses;
    std::unique_ptr<TfrmArchivio_Etichette> m_labels;
};

} // namespace tavolux
