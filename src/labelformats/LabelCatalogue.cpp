#include "labelformats/LabelCatalogue.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMutex>
#include <QMutexLocker>
#include <QSet>
#include <QStandardPaths>
#include <QXmlStreamReader>

#include <cmath>
#include <memory>
#include <optional>

namespace tavolux {

namespace {

const QString kTemplatesFolder = QStringLiteral("libglabels-3.0/templates");
const QString kPaperSizes = QStringLiteral("paper-sizes.xml");

struct Paper
{
    QString name;
    QSizeF mm;
};

// A measure with its unit: "63.5mm", "1.5in", "9pt", "2pc", "0.5cm"; a bare
// number is in points. Nothing else is a measure.
std::optional<double> measure(QStringView text)
{
    text = text.trimmed();
    struct Unit
    {
        const char *suffix;
        double mm;
    };
    static const Unit units[] = {{"mm", 1}, {"cm", 10}, {"in", 25.4}, {"pt", 25.4 / 72}, {"pc", 25.4 / 6}};
    double factor = 25.4 / 72;
    for (const Unit &unit : units) {
        if (text.endsWith(QLatin1String(unit.suffix), Qt::CaseInsensitive)) {
            factor = unit.mm;
            text.chop(2);
            text = text.trimmed();
            break;
        }
    }
    if (text.isEmpty() || text.size() > 40)
        return std::nullopt;
    bool ok = false;
    const double value = QLocale::c().toDouble(text, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    const double mm = value * factor;
    if (!std::isfinite(mm) || std::fabs(mm) > 100000)
        return std::nullopt;
    return mm;
}

std::optional<int> count(QStringView text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < 1 || value > kMaxLabelsPerSheet)
        return std::nullopt;
    return value;
}

// A template as its file gives it, before equivalents are resolved.
struct Entry
{
    LabelProduct product;
    QString equiv;     // the part it copies, where it does
    bool offered = true; // false: not rectangular, or no label at all
    QString file;
};

class FileReader
{
public:
    FileReader(const QString &file, const QHash<QString, Paper> &papers, QList<Entry> *entries,
               QList<LabelCatalogue::Problem> *problems)
        : m_file(file), m_papers(papers), m_entries(entries), m_problems(problems)
    {
    }

    void read(const QByteArray &content)
    {
        if (content.trimmed().isEmpty()) {
            m_problems->append({m_file, QStringLiteral("file vuoto")});
            return;
        }
        QXmlStreamReader xml(content);
        QList<Entry> found;
        QStringList faults;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement() && xml.name() == QLatin1String("Template")) {
                QString fault;
                Entry entry = readTemplate(xml, &fault);
                if (xml.hasError())
                    break;
                if (fault.isEmpty())
                    found << entry;
                else
                    faults << fault;
            }
        }
        if (xml.hasError()) {
            // A file that is not well formed is skipped whole.
            m_problems->append({m_file, QStringLiteral("XML non valido alla riga %1 (%2)")
                                            .arg(xml.lineNumber())
                                            .arg(xml.errorString())});
            return;
        }
        m_entries->append(found);
        if (!faults.isEmpty()) {
            QString reason = faults.mid(0, 3).join(QStringLiteral("; "));
            if (faults.size() > 3)
                reason += QStringLiteral("; e altri %1").arg(faults.size() - 3);
            m_problems->append({m_file, reason});
        }
    }

private:
    Entry readTemplate(QXmlStreamReader &xml, QString *fault)
    {
        Entry entry;
        entry.file = m_file;
        LabelProduct &p = entry.product;
        p.source = LabelProduct::Source::Catalogue;
        const QXmlStreamAttributes a = xml.attributes();
        p.brand = a.value(QLatin1String("brand")).trimmed().toString();
        p.part = a.value(QLatin1String("part")).trimmed().toString();
        p.description = a.value(QLatin1String("_description")).trimmed().toString();
        if (p.description.isEmpty())
            p.description = a.value(QLatin1String("description")).trimmed().toString();
        entry.equiv = a.value(QLatin1String("equiv")).trimmed().toString();
        const QString name = p.brand + QLatin1Char(' ') + p.part;
        auto fail = [&](const QString &why) {
            if (fault->isEmpty())
                *fault = why + QStringLiteral(" (") + name.trimmed() + QLatin1Char(')');
        };
        if (p.brand.isEmpty() || p.part.isEmpty())
            fail(QStringLiteral("marca o codice mancante"));

        if (entry.equiv.isEmpty()) {
            p.paperId = a.value(QLatin1String("size")).trimmed().toString();
            if (p.paperId.compare(QLatin1String("roll"), Qt::CaseInsensitive) == 0) {
                p.roll = true;
            } else if (p.paperId.compare(QLatin1String("Other"), Qt::CaseInsensitive) == 0) {
                const auto width = measure(a.value(QLatin1String("width")));
                const auto height = measure(a.value(QLatin1String("height")));
                if (!width || !height || *width <= 0 || *height <= 0 || *width > kMaxPageSideMm
                    || *height > kMaxPageSideMm)
                    fail(QStringLiteral("misura della pagina non valida"));
                else
                    p.pageMm = QSizeF(*width, *height);
                p.paperName = QStringLiteral("Altro");
            } else if (m_papers.contains(p.paperId)) {
                p.pageMm = m_papers.value(p.paperId).mm;
                p.paperName = m_papers.value(p.paperId).name;
            } else {
                fail(QStringLiteral("formato di carta sconosciuto \"%1\"").arg(p.paperId.left(40)));
            }
        }

        int labels = 0;
        while (xml.readNextStartElement()) {
            if (xml.name().startsWith(QLatin1String("Label-"))) {
                ++labels;
                if (xml.name() != QLatin1String("Label-rectangle"))
                    entry.offered = false;
                else
                    readRectangle(xml, p, fail);
            } else {
                xml.skipCurrentElement();
            }
        }
        if (!entry.equiv.isEmpty())
            return entry;
        if (labels != 1)
            entry.offered = false;
        if (entry.offered && fault->isEmpty()) {
            if (p.layouts.isEmpty())
                fail(QStringLiteral("nessuna disposizione delle etichette"));
            else
                finish(p, fail);
        }
        return entry;
    }

    template<typename Fail>
    void readRectangle(QXmlStreamReader &xml, LabelProduct &p, Fail &fail)
    {
        const QXmlStreamAttributes a = xml.attributes();
        const auto width = measure(a.value(QLatin1String("width")));
        const auto height = measure(a.value(QLatin1String("height")));
        if (!width || !height || *width <= 0 || *height <= 0)
            fail(QStringLiteral("misura dell'etichetta non valida"));
        else
            p.labelMm = QSizeF(*width, *height);
        if (a.hasAttribute(QLatin1String("round"))) {
            const auto round = measure(a.value(QLatin1String("round")));
            if (!round || *round < 0)
                fail(QStringLiteral("raggio non valido"));
            else
                p.radiusMm = *round;
        }
        while (xml.readNextStartElement()) {
            if (xml.name() == QLatin1String("Layout")) {
                const QXmlStreamAttributes l = xml.attributes();
                const auto nx = count(l.value(QLatin1String("nx")));
                const auto ny = count(l.value(QLatin1String("ny")));
                const auto x0 = measure(l.value(QLatin1String("x0")));
                const auto y0 = measure(l.value(QLatin1String("y0")));
                // A single column or row needs no pitch.
                const auto dx = l.hasAttribute(QLatin1String("dx")) ? measure(l.value(QLatin1String("dx")))
                                                                    : std::optional<double>(0);
                const auto dy = l.hasAttribute(QLatin1String("dy")) ? measure(l.value(QLatin1String("dy")))
                                                                    : std::optional<double>(0);
                if (!nx || !ny || !x0 || !y0 || !dx || !dy)
                    fail(QStringLiteral("disposizione non valida"));
                else
                    p.layouts << LabelProduct::Layout{*nx, *ny, *x0, *y0, *dx, *dy};
            }
            xml.skipCurrentElement();
        }
    }

    template<typename Fail>
    void finish(LabelProduct &p, Fail &fail)
    {
        if (p.roll) {
            // A roll prints one label a page: the page is the label.
            p.pageMm = p.labelMm;
            p.paperName = QStringLiteral("Rotolo");
        } else if (p.paperId.compare(QLatin1String("Other"), Qt::CaseInsensitive) == 0 && p.labelsPerSheet() == 1
                   && std::fabs(p.pageMm.width() - p.labelMm.width()) < 0.5
                   && std::fabs(p.pageMm.height() - p.labelMm.height()) < 0.5) {
            // One label on a page of its own size: a label printer's roll.
            p.roll = true;
            p.pageMm = p.labelMm;
            p.paperName = QStringLiteral("Rotolo");
        }
        const QStringList faults = checkLabelProduct(p);
        if (!faults.isEmpty())
            fail(faults.first().chopped(1).toLower());
    }

    QString m_file;
    const QHash<QString, Paper> &m_papers;
    QList<Entry> *m_entries;
    QList<LabelCatalogue::Problem> *m_problems;
};

QHash<QString, Paper> readPapers(const QByteArray &content, QList<LabelCatalogue::Problem> *problems)
{
    QHash<QString, Paper> papers;
    papers.insert(QStringLiteral("A4"), {QStringLiteral("A4"), QSizeF(210, 297)});
    papers.insert(QStringLiteral("US-Letter"), {QStringLiteral("US Letter"), QSizeF(215.9, 279.4)});
    if (content.isEmpty())
        return papers;
    QXmlStreamReader xml(content);
    int bad = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement() || xml.name() != QLatin1String("Paper-size"))
            continue;
        const QXmlStreamAttributes a = xml.attributes();
        const QString id = a.value(QLatin1String("id")).trimmed().toString();
        QString name = a.value(QLatin1String("_name")).trimmed().toString();
        if (name.isEmpty())
            name = a.value(QLatin1String("name")).trimmed().toString();
        const auto width = measure(a.value(QLatin1String("width")));
        const auto height = measure(a.value(QLatin1String("height")));
        if (id.isEmpty() || !width || !height || *width <= 0 || *height <= 0 || *width > kMaxPageSideMm
            || *height > kMaxPageSideMm) {
            ++bad;
            continue;
        }
        if (id == QLatin1String("A4") || id == QLatin1String("US-Letter"))
            continue; // as every printer knows them
        papers.insert(id, {name.isEmpty() ? id : name, QSizeF(*width, *height)});
    }
    if (xml.hasError())
        problems->append({kPaperSizes, QStringLiteral("XML non valido alla riga %1 (%2)")
                                           .arg(xml.lineNumber())
                                           .arg(xml.errorString())});
    else if (bad)
        problems->append({kPaperSizes, QStringLiteral("%1 formati di carta non validi").arg(bad)});
    return papers;
}

QString brandPart(const QString &brand, const QString &part)
{
    return brand + QChar(0) + part;
}

// Reads a file whole when it is a regular file of at most the limit.
bool readSmallFile(const QString &path, QByteArray *content, QString *reason)
{
    const QFileInfo info(path);
    if (!info.isFile()) {
        *reason = QStringLiteral("non è un file");
        return false;
    }
    if (info.size() > LabelCatalogue::kMaxFileSize) {
        *reason = QStringLiteral("file troppo grande (%1 MB)").arg(info.size() >> 20);
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *reason = QStringLiteral("file illeggibile");
        return false;
    }
    // Read no more than the limit, whatever the file claims.
    *content = file.read(LabelCatalogue::kMaxFileSize + 1);
    if (content->size() > LabelCatalogue::kMaxFileSize) {
        *reason = QStringLiteral("file troppo grande");
        return false;
    }
    return true;
}

} // namespace

QStringList LabelCatalogue::folders(const QString &overrideFolder)
{
    if (!overrideFolder.trimmed().isEmpty())
        return {overrideFolder.trimmed()};
    QStringList out;
    for (const QString &data : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        const QString folder = QDir(data).filePath(kTemplatesFolder);
        if (!out.contains(folder))
            out << folder;
    }
    return out;
}

LabelCatalogue LabelCatalogue::read(const QStringList &folders)
{
    for (const QString &folder : folders) {
        QDir dir(folder);
        if (!dir.exists())
            continue;
        QStringList names = dir.entryList({QStringLiteral("*.xml")}, QDir::Files | QDir::Readable, QDir::Name);
        const bool hasPapers = names.removeAll(kPaperSizes) > 0;
        names.removeAll(QStringLiteral("categories.xml"));
        names.removeAll(QStringLiteral("vendors.xml"));
        if (names.isEmpty() && !hasPapers)
            continue;
        QList<Problem> problems;
        if (names.size() > kMaxFiles) {
            problems.append({QString(), QStringLiteral("troppi file: letti i primi %1 di %2").arg(kMaxFiles).arg(names.size())});
            names = names.mid(0, kMaxFiles);
        }
        QByteArray paperSizes;
        QString reason;
        if (hasPapers && !readSmallFile(dir.filePath(kPaperSizes), &paperSizes, &reason)) {
            problems.append({kPaperSizes, reason});
            paperSizes.clear();
        }
        QList<QPair<QString, QByteArray>> files;
        for (const QString &name : std::as_const(names)) {
            QByteArray content;
            if (readSmallFile(dir.filePath(name), &content, &reason))
                files.append({name, content});
            else
                problems.append({name, reason});
        }
        LabelCatalogue catalogue = parse(files, paperSizes);
        catalogue.m_problems = problems + catalogue.m_problems;
        catalogue.m_folder = dir.absolutePath();
        return catalogue;
    }
    return LabelCatalogue();
}

LabelCatalogue LabelCatalogue::parse(const QList<QPair<QString, QByteArray>> &files, const QByteArray &paperSizes)
{
    LabelCatalogue catalogue;
    const QHash<QString, Paper> papers = readPapers(paperSizes, &catalogue.m_problems);
    QList<Entry> entries;
    for (const auto &file : files)
        FileReader(file.first, papers, &entries, &catalogue.m_problems).read(file.second);

    // The templates by brand and part: the first of a name counts.
    QHash<QString, int> byName;
    for (int i = entries.size() - 1; i >= 0; --i)
        byName.insert(brandPart(entries[i].product.brand, entries[i].product.part), i);

    QHash<QString, QStringList> faults; // by file, in order
    QStringList faultFiles;
    auto note = [&](const Entry &entry, const QString &why) {
        if (!faults.contains(entry.file))
            faultFiles << entry.file;
        faults[entry.file] << why + QStringLiteral(" (") + entry.product.brand + QLatin1Char(' ')
                + entry.product.part + QLatin1Char(')');
    };

    for (int i = 0; i < entries.size(); ++i) {
        const Entry &entry = entries[i];
        if (byName.value(brandPart(entry.product.brand, entry.product.part)) != i)
            continue; // a second template of the same name
        const Entry *source = &entry;
        QSet<int> seen{i};
        bool broken = false;
        while (!source->equiv.isEmpty()) {
            const auto next = byName.constFind(brandPart(source->product.brand, source->equiv));
            if (next == byName.constEnd()) {
                note(entry, QStringLiteral("equivalente \"%1\" mancante").arg(source->equiv.left(40)));
                broken = true;
                break;
            }
            if (seen.contains(*next)) {
                note(entry, QStringLiteral("equivalenze circolari"));
                broken = true;
                break;
            }
            seen.insert(*next);
            source = &entries[*next];
        }
        if (broken || !source->offered)
            continue;
        LabelProduct product = source->product;
        if (source != &entry) {
            product.brand = entry.product.brand;
            product.part = entry.product.part;
            product.equivalentOf = source->product.part;
            if (!entry.product.description.isEmpty())
                product.description = entry.product.description;
        }
        catalogue.m_byId.insert(product.id(), int(catalogue.m_products.size()));
        catalogue.m_products << product;
    }
    for (const QString &file : std::as_const(faultFiles)) {
        const QStringList &list = faults[file];
        QString reason = list.mid(0, 3).join(QStringLiteral("; "));
        if (list.size() > 3)
            reason += QStringLiteral("; e altri %1").arg(list.size() - 3);
        catalogue.m_problems.append({file, reason});
    }
    return catalogue;
}

const LabelProduct *LabelCatalogue::find(const QString &id) const
{
    const auto it = m_byId.constFind(id);
    return it == m_byId.constEnd() ? nullptr : &m_products[*it];
}

QList<const LabelProduct *> LabelCatalogue::search(const QString &text) const
{
    QList<const LabelProduct *> found;
    for (const LabelProduct &product : m_products)
        if (product.matches(text))
            found << &product;
    return found;
}

QString LabelCatalogue::summary() const
{
    if (m_folder.isEmpty())
        return QStringLiteral("Catalogo etichette: non installato (pacchetto glabels-data).");
    QString text = QStringLiteral("Catalogo etichette: %1 formati da %2.")
                       .arg(QLocale(QLocale::Italian).toString(qint64(m_products.size())), m_folder);
    if (!m_problems.isEmpty()) {
        QStringList skipped;
        for (const Problem &problem : m_problems)
            skipped << (problem.file.isEmpty() ? problem.reason : problem.file + QStringLiteral(" (") + problem.reason + QLatin1Char(')'));
        text += QStringLiteral(" Saltati: ") + skipped.join(QStringLiteral(", ")) + QLatin1Char('.');
    }
    return text;
}

const LabelCatalogue &LabelCatalogue::installed(const QString &overrideFolder)
{
    static QMutex mutex;
    // Kept for the whole run: earlier answers stay valid when another folder is read.
    static QHash<QString, std::shared_ptr<const LabelCatalogue>> read;
    const QMutexLocker lock(&mutex);
    const QString key = overrideFolder.trimmed();
    auto it = read.constFind(key);
    if (it == read.constEnd())
        it = read.insert(key, std::make_shared<const LabelCatalogue>(LabelCatalogue::read(folders(key))));
    return **it;
}

} // namespace tavolux
