#pragma once

#include "platform/ProgramFolder.h"
#include "ui/GradientWidget.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace tavolux {

class FocusGlow;

// The login window, the program's main window: lets the user reach the
// launcher only with the access password. It keeps no password between uses.
class TfrmPassword : public ui::GradientWidget
{
    Q_OBJECT
public:
    explicit TfrmPassword(const ProgramFolder &folder, QWidget *parent = nullptr);

    static QString wrongPasswordMessage();
    static QString readErrorMessage();

    QLabel *imgLogo = nullptr;
    QLabel *lblRigo05 = nullptr;
    QLineEdit *txtPassword = nullptr;
    FocusGlow *effPassword = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdEsci = nullptr;
    QPushButton *btnCambiaPassword = nullptr;

public slots:
    void checkLogin();
    // Back from the change window: an empty field with the focus in it.
    void clearPassword();

signals:
    // The right password was typed: the launcher comes next.
    void loggedIn();
    void changePasswordRequested();
    // "Esci" or the close box: the program ends.
    void endRequested();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void updateOk();

    ProgramFolder m_folder;
};

} // namespace tavolux
