#include "ArchiveGenerator.h"

#include <QDir>
#include <QFile>

namespace tavolux::bench {

namespace {

const char *const kFirst[] = {"Mario", "Giulia", "Niccolò", "Francesca", "Luca", "Chiara", "Andrea", "Sofia",
                              "Giosuè", "Martina", "Mosè", "Aurora", "Lorenzo", "Beatrice", "Matteo", "Noemi",
                              "Alessandro", "Gaia", "Tommaso", "Elisa", "Raffaele", "Ilaria", "Nicolò", "Anna"};
const char *const kLast[] = {"Rossi", "Russo", "Ferrari", "Esposito", "Bianchi", "Romano", "Colombo", "Ricci",
                             "Marino", "Greco", "Bruno", "Gallo", "Conti", "De Luca", "Mancini", "Costa",
                             "Giordano", "Rizzo", "Lombardi", "Moretti", "D'Angelo", "Fabbrì", "Santoro", "Caruso",
                             "Mazzà", "Pellegrini", "Galli", "Barbieri", "Fontana", "Sanna", "Farina", "Cattaneo"};
const char *const kCompany[] = {"Studio", "Ferramenta", "Caffè", "Farmacia", "Pasticceria", "Officina",
                                "Tipografia", "Agenzia", "Libreria", "Cantina"};
const char *const kStreet[] = {"Via della Libertà", "Piazza del Popolo", "Corso Vittorio Emanuele II",
                               "Via Niccolò Tommaseo", "Viale Giosuè Carducci", "Via Giuseppe Garibaldi",
                               "Via Roma", "Largo San Nicolò", "Via dei Mille", "Vicolo della Pietà",
                               "Via Alessandro Manzoni", "Piazza Duomo", "Via Cavour", "Lungomare Colombo"};
const char *const kCity[] = {"20121 Milano (MI)", "00184 Roma (RM)", "47121 Forlì (FC)", "90015 Cefalù (PA)",
                             "95047 Paternò (CT)", "92024 Canicattì (AG)", "10121 Torino (TO)",
                             "50122 Firenze (FI)", "80133 Napoli (NA)", "40121 Bologna (BO)",
                             "06012 Città di Castello (PG)", "38122 Trento (TN)", "09124 Cagliari (CA)"};
const char *const kType[] = {"Cliente", "Fornitore", "Privato", "Ente", "Collaboratore", "Parente"};
const char *const kNote[] = {"", "", "Chiamare prima di passare", "Consegna al portiere – scala B",
                             "Pagamento a 30 gg", "Attenzione: cancello automatico", "", "Preferisce la PEC",
                             "Aperto anche il sabato mattina", "Auguri a Natale"};

template <size_t N>
QString pick(const char *const (&table)[N], quint32 &state)
{
    state = state * 1664525u + 1013904223u;
    return QString::fromUtf8(table[(state >> 8) % N]);
}

} // namespace

TSchedaIndirizzo sampleCard(quint32 n)
{
    quint32 state = n * 2654435761u + 12345u;
    TSchedaIndirizzo card;
    const QString first = pick(kFirst, state);
    const QString last = pick(kLast, state);
    const bool company = (state >> 4) % 5 == 0;
    const QString name = company ? pick(kCompany, state) + QLatin1Char(' ') + last : last + QLatin1Char(' ') + first;
    card[TSchedaIndirizzo::Nome] = name;
    card[TSchedaIndirizzo::Tipo] = pick(kType, state);
    card[TSchedaIndirizzo::Rigo01] = company ? QStringLiteral("Spett.le") : QStringLiteral("Gentile");
    card[TSchedaIndirizzo::Rigo02] = company ? name : first + QLatin1Char(' ') + last;
    card[TSchedaIndirizzo::Rigo03] = pick(kStreet, state) + QStringLiteral(", %1").arg((state >> 3) % 180 + 1);
    card[TSchedaIndirizzo::Rigo04] = pick(kCity, state);
    card[TSchedaIndirizzo::Note] = pick(kNote, state);
    return card;
}

TSchedaIndirizzo fullCard(quint32 n)
{
    TSchedaIndirizzo card = sampleCard(n);
    card[TSchedaIndirizzo::Rigo05] = QStringLiteral("Italia");
    card[TSchedaIndirizzo::Rigo06] = QStringLiteral("Cod. cliente %1").arg(n, 6, 10, QLatin1Char('0'));
    return card;
}

bool writeAddressArchive(const QString &folder, int cards, TSchedaIndirizzo (*make)(quint32))
{
    QDir().mkpath(folder);
    QFile file(QDir(folder).filePath(QStringLiteral("Archivio_Indirizzi.pro")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    for (int n = 0; n < cards; ++n) {
        const QByteArray record = make(quint32(n)).toRecord();
        if (file.write(record) != record.size())
            return false;
    }
    return true;
}

} // namespace tavolux::bench
