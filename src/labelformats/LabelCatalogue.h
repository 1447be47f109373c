#pragma once

#include "labelformats/LabelProduct.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace tavolux {

// The label products of an installed template catalogue (the XML files of a
// "libglabels-3.0/templates" folder, with its paper-sizes.xml): every
// rectangular label template of a sheet or a roll, equivalent products
// resolved. What cannot be read is skipped and listed, never fatal.
class LabelCatalogue
{
public:
    // Files larger than this are not read at all.
    static constexpr qint64 kMaxFileSize = 8 << 20;
    // At most this many files of one folder are read.
    static constexpr int kMaxFiles = 500;

    // A file (or one template in it) that was skipped, and why, in Italian.
    struct Problem
    {
        QString file;   // the file's name, without its folder
        QString reason; // "numero non valido \"abc\" (Avery L7160)"
    };

    LabelCatalogue() = default;

    // The folders searched, in order: the one given (the setting of
    // Impostazioni.ini) alone where it is not empty; otherwise
    // "libglabels-3.0/templates" in each of the system's data folders
    // (XDG_DATA_HOME, then XDG_DATA_DIRS).
    static QStringList folders(const QString &overrideFolder = QString());

    // Reads the first of the folders that holds a catalogue (a paper-sizes.xml
    // or template files). No folder, an empty one or one that cannot be read
    // gives an empty catalogue.
    static LabelCatalogue read(const QStringList &folders);
    // Reads the template files given, as bytes by file name; paperSizes is
    // the content of paper-sizes.xml (empty: A4 and US-Letter only).
    static LabelCatalogue parse(const QList<QPair<QString, QByteArray>> &files, const QByteArray &paperSizes);

    // The products in the files' order (file names sorted), each template as
    // it stands in its file.
    const QList<LabelProduct> &products() const { return m_products; }
    const QList<Problem> &problems() const { return m_problems; }
    // The folder it was read from; empty when none was found.
    QString folder() const { return m_folder; }

    // The product with this id (LabelProduct::id()), or nullptr.
    const LabelProduct *find(const QString &id) const;
    // The products that match the search (LabelProduct::matches), in order.
    QList<const LabelProduct *> search(const QString &text) const;

    // "Catalogo etichette: 1.234 formati da /usr/share/...; file saltati: a.xml
    // (motivo), ..." — the line of the help window's information.
    QString summary() const;

    // The catalogue of the running program, read once at first use (on any
    // thread) from folders(overrideFolder); a later call with another folder
    // reads that one.
    static const LabelCatalogue &installed(const QString &overrideFolder = QString());

private:
    QList<LabelProduct> m_products;
    QList<Problem> m_problems;
    QHash<QString, int> m_byId;
    QString m_folder;
};

} // namespace tavolux
