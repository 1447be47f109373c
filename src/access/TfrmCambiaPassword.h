#pragma once

#include "platform/ProgramFolder.h"
#include "ui/GradientWidget.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace tavolux {

class FocusGlow;

// The change-password window: replaces the access password after checking
// the old one. Closing it, after a change or without one, leads back to login.
class TfrmCambiaPassword : public ui::GradientWidget
{
    Q_OBJECT
public:
    explicit TfrmCambiaPassword(const ProgramFolder &folder, QWidget *parent = nullptr);

    static QString wrongOldPasswordMessage();
    static QString notConfirmedMessage();
    static QString doneMessage();
    static QString changeErrorMessage();
    static QString unusablePasswordMessage();

    QLabel *imgLogo = nullptr;
    QLineEdit *txtPasswordOld = nullptr;
    QLineEdit *txtPasswordNew = nullptr;
    QLineEdit *txtConferma = nullptr;
    FocusGlow *effPasswordOld = nullptr;
    FocusGlow *effPasswordNew = nullptr;
    FocusGlow *effConferma = nullptr;
    QPushButton *cmdEsci = nullptr;
    QPushButton *cmdOK = nullptr;

public slots:
    void changePassword();

signals:
    void closed();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QList<QLineEdit *> fields() const;
    void updateOk();
    // Empties both new-password fields and puts the focus in the first.
    void retypeNew();

    ProgramFolder m_folder;
};

} // namespace tavolux
