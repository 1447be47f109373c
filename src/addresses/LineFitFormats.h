#pragma once

#include "platform/ProgramFolder.h"
#include "printing/SheetFormat.h"

#include <QList>
#include <QObject>
#include <QString>

namespace tavolux {

// The label formats an address card's lines print on: line n of the card is
// line n of a label on each of them. A line fits on a label only when it
// fits on all of them. Holds the built-in format until told otherwise.
class LineFitFormats : public QObject
{
    Q_OBJECT
public:
    explicit LineFitFormats(QObject *parent = nullptr);

    // The formats chosen in the folder's settings for the sheet of one
    // address, the label pages and the mailing, each once.
    static QList<SheetFormat> chosen(const ProgramFolder &folder);

    const QList<SheetFormat> &labels() const { return m_labels; }
    // Emits changed(); an empty list stands for the built-in format.
    void setLabels(const QList<SheetFormat> &labels);

    // Whether line `line` (1 to 6) prints whole on every label format.
    bool fitsLabel(const QString &text, int line) const;

signals:
    void changed();

private:
    QList<SheetFormat> m_labels;
};

} // namespace tavolux
