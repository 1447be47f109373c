#pragma once

#include "labelformats/LabelFormatSettings.h"

#include <QAbstractTableModel>
#include <QList>

namespace tavolux {

// The label formats offered, as a table of brand, part, description, labels
// per sheet and size, showing those that match the search text.
class LabelFormatModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { Brand, Part, Description, Labels, Size, Columns };

    explicit LabelFormatModel(QObject *parent = nullptr);

    void setFormats(QList<LabelProduct> formats);
    // Shows the formats that match (LabelProduct::matches).
    void setSearch(const QString &text);
    QString search() const { return m_search; }

    // The format of a row shown, and the row of an id (-1 when not shown).
    const LabelProduct &format(int row) const { return m_formats[m_shown[row]]; }
    int rowOf(const QString &id) const;
    int formatCount() const { return int(m_formats.size()); }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QList<LabelProduct> m_formats;
    QList<int> m_shown;
    QString m_search;
};

} // namespace tavolux
