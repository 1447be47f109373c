// A small driver of the storage module for the multi-process tests.
//   storage_driver append <folder> <writer> <count>
//       appends <count> tagged cards, one opening each
//   storage_driver soak <folder> <writer> <milliseconds>
//       mixes appends and in-place writes of its own records on both archives;
//       prints its ledger at the end: "A <position> <tag>" / "P <position> <tag>"
//   storage_driver appendloop <folder> <pages:0|1>
//       appends tagged records forever (killed by the test)
//   storage_driver iniloop <file>
//       rewrites one INI value forever (killed by the test)
#include "platform/IniFile.h"
#include "storage/AddressArchive.h"
#include "storage/LabelPageArchive.h"

#include <QElapsedTimer>
#include <QHash>
#include <QRandomGenerator>

#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace tavolux;

namespace {

// Every field of a record carries the tag, so a record mixed from two writers shows.
QString body(const QString &tag)
{
    return (tag + QLatin1Char(' ')).repeated(250 / (tag.size() + 1)).trimmed();
}

TSchedaIndirizzo taggedCard(const QString &tag)
{
    TSchedaIndirizzo card;
    card[TSchedaIndirizzo::Nome] = tag;
    for (int f = 1; f < TSchedaIndirizzo::FieldCount; ++f)
        card[f] = body(tag);
    return card;
}

TPaginaEtichette taggedPage(const QString &tag)
{
    TPaginaEtichette page;
    page.values.fill(body(tag));
    page.name(1) = tag;
    return page;
}

int append(const ProgramFolder &folder, const QString &writer, int count)
{
    for (int seq = 0; seq < count; ++seq) {
        AddressArchive archive(folder);
        if (!archive.open() || archive.append(taggedCard(writer + QLatin1Char('-') + QString::number(seq))) < 1)
            return 1;
    }
    return 0;
}

int soak(const ProgramFolder &folder, const QString &writer, int milliseconds)
{
    QHash<qint64, QString> cards, pages;
    QRandomGenerator random(qHash(writer));
    QElapsedTimer timer;
    timer.start();
    int version = 0;
    while (timer.elapsed() < milliseconds) {
        const QString tag = writer + QLatin1Char('-') + QString::number(version++);
        const bool onPages = random.bounded(4) == 0;
        QHash<qint64, QString> &ledger = onPages ? pages : cards;
        const bool rewrite = !ledger.isEmpty() && random.bounded(2) == 0;
        qint64 position = -1;
        if (rewrite)
            position = ledger.keys().at(int(random.bounded(int(ledger.size()))));
        bool ok;
        if (onPages) {
            LabelPageArchive archive(folder);
            ok = archive.open() && (rewrite ? archive.write(position, taggedPage(tag))
                                            : (position = archive.append(taggedPage(tag))) > 0);
        } else {
            AddressArchive archive(folder);
            ok = archive.open() && (rewrite ? archive.write(position, taggedCard(tag))
                                            : (position = archive.append(taggedCard(tag))) > 0);
        }
        if (!ok)
            return 1;
        ledger.insert(position, tag);
    }
    for (auto it = cards.cbegin(); it != cards.cend(); ++it)
        std::printf("A %lld %s\n", it.key(), qPrintable(it.value()));
    for (auto it = pages.cbegin(); it != pages.cend(); ++it)
        std::printf("P %lld %s\n", it.key(), qPrintable(it.value()));
    return 0;
}

int appendLoop(const ProgramFolder &folder, bool onPages)
{
    for (qint64 seq = 0;; ++seq) {
        const QString tag = QStringLiteral("k-") + QString::number(seq);
        if (onPages) {
            LabelPageArchive archive(folder);
            if (!archive.open() || archive.append(taggedPage(tag)) < 1)
                return 1;
        } else {
            AddressArchive archive(folder);
            if (!archive.open() || archive.append(taggedCard(tag)) < 1)
                return 1;
        }
    }
}

int iniLoop(const QString &path)
{
    IniFile ini(path);
    for (qint64 seq = 0;; ++seq)
        if (!ini.writeString(QStringLiteral("Accesso"), QStringLiteral("Valore"),
                             QStringLiteral("v%1-").arg(seq) + QString(200, QLatin1Char('x'))))
            return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 3)
        return 2;
    const char *mode = argv[1];
    const QString target = QString::fromLocal8Bit(argv[2]);
    if (!std::strcmp(mode, "append") && argc == 5)
        return append(ProgramFolder(target), QString::fromLocal8Bit(argv[3]), std::atoi(argv[4]));
    if (!std::strcmp(mode, "soak") && argc == 5)
        return soak(ProgramFolder(target), QString::fromLocal8Bit(argv[3]), std::atoi(argv[4]));
    if (!std::strcmp(mode, "appendloop") && argc == 4)
        return appendLoop(ProgramFolder(target), std::atoi(argv[3]) != 0);
    if (!std::strcmp(mode, "iniloop"))
        return iniLoop(target);
    return 2;
}
