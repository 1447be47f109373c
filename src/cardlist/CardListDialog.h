#pragma once

#include "cardlist/CardList.h"
#include "platform/ProgramFolder.h"
#include "storage/TSchedaIndirizzo.h"

#include <QDialog>

#include <memory>

class QLabel;
class QLineEdit;
class QListView;
class QPushButton;

namespace tavolux {

class CardListModel;

namespace report {
class Report;
}

// The sorted list of every named card with find-next, recall on double click
// and the list printout. The find dialog and the import dialog differ only in
// title, banner and what a recall writes.
class CardListDialog : public QDialog
{
    Q_OBJECT
public:
    CardListDialog(const ProgramFolder &folder, const QString &title, const QString &banner, QWidget *parent);
    ~CardListDialog() override;

    QLineEdit *txtTrova = nullptr;
    QPushButton *btnTrova = nullptr;
    QListView *lstRecords = nullptr;
    QLabel *lblRigo03 = nullptr;
    QPushButton *btnStampa = nullptr;
    QPushButton *btnChiudi = nullptr;
    // The list printout, "Riepilogo dati".
    std::unique_ptr<report::Report> frxReport;

    const CardListModel *model() const { return m_model; }
    // The current line, or -1.
    int currentLine() const;
    void setCurrentLine(int line);
    QString searchMemory() const { return m_search.memory(); }

    // The lines of the list, in list order.
    QStringList lines() const;

public slots:
    void fill();
    void find();
    void recallCurrent();
    void printList();

protected:
    // Called for each card whose list line equals the chosen one, in file order.
    virtual void recall(const TSchedaIndirizzo &card, qint64 position) = 0;

    void showEvent(QShowEvent *event) override;
    void done(int result) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    ProgramFolder m_folder;
    CardListModel *m_model;
    cardlist::Search m_search;
    bool m_opened = false; // filled for this opening
};

} // namespace tavolux
