#pragma once

#include <QDialog>
#include <QPointer>
#include <QThread>

#include <functional>

class QLabel;
class QPushButton;

namespace tavolux {

class LinkLabel;
namespace ui {
class PictureButton;
}

// The information window: a link that composes an e-mail to the maker.
class TfrmInfo : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmInfo(QWidget *parent = nullptr);
    // Waits for a notice still being made (a few milliseconds).
    ~TfrmInfo() override;

    // The text handed to the shell: the mail link, in double quotes.
    static QString mailCommand();

    // A line of information that may take a while to make (reading a
    // catalogue): made off the interface thread when the window is shown,
    // shown in lblNotizia when it is not empty. The window opens at once.
    void setNoticeSource(std::function<QString()> source);
    // Whether the notice is still being made.
    bool noticePending() const { return m_pending; }

    QLabel *imgIntestazione = nullptr;
    QLabel *lblVersione = nullptr; // the program's version, in small type
    QLabel *lblNotizia = nullptr;  // hidden while it has nothing to say
    ui::PictureButton *imgEmail = nullptr;
    LinkLabel *lnkWeb = nullptr;
    QPushButton *cmdChiudi = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void showNotice(const QString &text);

    std::function<QString()> m_noticeSource;
    QPointer<QThread> m_maker;
    bool m_pending = false;
};

} // namespace tavolux
