#include "help/HelpTopic.h"

#include <cstddef>

namespace tavolux {

namespace {

const char *const kAddresses[] = {
    "L'app Archivio Indirizzi consente sia di registrare le informazioni testuali che dovranno apparire "
    "su ogni etichetta sia di stampare gli indirizzi direttamente su buste da lettera. Per individuare "
    "facilmente un'etichetta all'interno dell'archivio, è possibile indicare un nome descrittivo, il tipo "
    "di etichetta e ogni ulteriore annotazione. Il testo dell'etichetta va invece inserito nei sei campi "
    "presenti sull'immagine della busta da lettera nello spazio riservato all'indirizzo del destinatario.",
    "Per registrare una nuova etichetta, bisogna premere il pulsante Nuovo raffigurante un foglio bianco, "
    "compilare i campi di testo e premere il pulsante Salva (icona del dischetto floppy). Il campo "
    "relativo al nome dell'etichetta è l'unico a compilazione obbligatoria.",
    "Per aggiornare un'etichetta già in archivio, bisogna aprire la sua scheda nella finestra di lavoro, "
    "apportare le modifiche desiderate e premere Salva. Un'etichetta può essere richiamata utilizzando la "
    "funzione di ricerca o le frecce di scorrimento, le quali consentono di visualizzare la scheda "
    "precedente o successiva a quella corrente, oppure di posizionarsi in testa o in coda all'archivio.",
    "Il pulsante Duplica (icona di due fogli sovrapposti) è utile se si deve registrare la scheda di "
    "un'etichetta che ha dati in comune con un'altra già in archivio, come potrebbe essere il caso di due "
    "destinatari con lo stesso indirizzo di residenza. A tal fine, è sufficiente richiamare la vecchia "
    "scheda, premere Duplica, apportare le dovute modifiche nei campi di testo e premere Salva.",
    "Il pulsante Trova (icona della lente di ingrandimento) può essere usato per cercare un'etichetta in "
    "archivio. Una volta aperta la finestra di ricerca, bisogna immettere una o più parole consecutive "
    "presenti nella scheda in elenco da cercare e premere il pulsante Trova. Per spostarsi sulla voce "
    "successiva contenente la stessa chiave di ricerca, basta fare di nuovo clic su Trova. Per richiamare "
    "una scheda nella schermata di lavoro, è sufficiente fare doppio clic sulla relativa voce in elenco.",
    "Il programma consente di allegare a ciascuna scheda file esterni di qualsiasi genere che potrebbero "
    "contenere, ad esempio, copie di documenti riguardanti il contatto residente presso l'indirizzo "
    "indicato. Per allegare un documento, bisogna premere il pulsante Allega file e seguire le istruzioni "
    "che appaiono a video.",
    "Il pulsante Stampa consente di stampare su busta da lettera l'indirizzo visualizzato al momento. Per "
    "adattare la stampa dell'indirizzo al modello di busta utilizzato, bisogna impostare i margini "
    "superiore e sinistro esprimendo i valori in millimetri. In particolare, è necessario aumentare i "
    "valori numerici dei margini per spostare la stampa verso il basso e verso destra, mentre bisogna "
    "diminuirli rendendoli all'occorrenza anche negativi per spostarla verso l'alto e verso sinistra. E' "
    "anche possibile impostare l'orientamento di stampa orizzontale o verticale a seconda delle esigenze "
    "del proprio modello di stampante.",
    "Il pulsante Anteprima (icona di una lente su un foglio) visualizza l'anteprima di stampa "
    "dell'indirizzo corrente riproducendolo su ognuna delle 24 etichette del foglio A4. E' possibile "
    "stampare il foglio delle etichette facendo clic sull'icona della stampante presente nella finestra "
    "di anteprima. La stampa degli stessi dati su ogni etichetta del foglio può essere utile, ad esempio, "
    "se si ha bisogno di contrassegnare più confezioni dello stesso prodotto. Si ricorda che per inserire "
    "indirizzi diversi sulle 24 etichette del foglio A4 bisogna utilizzare l'app Gestione Etichette "
    "accessibile dalla finestra di avvio del programma.",
    "Il pulsante Esporta archivio (icona di Excel) consente di esportare tutti gli indirizzi in archivio "
    "in un foglio di lavoro di Microsoft Excel, che potrà essere aperto con qualsiasi software in grado "
    "di gestire i file in formato XLS (ad esempio, con Open Office, Libre Office o Microsoft Office).",
    "Dopo aver aperto la finestra contenente la griglia dei dati, bisogna fare clic sull'icona di Excel. "
    "Questa operazione crea in tempo reale un file in formato XLS contenente le schede in archivio, che "
    "potrà essere aperto immediatamente rispondendo affermativamente al messaggio di domanda che appare. "
    "A questo punto è sufficiente salvare il file sul proprio disco fisso assegnandogli un nome "
    "qualsiasi.",
};

const char *const kLabels[] = {
    "L'app Gestione Etichette permette di stampare su fogli A4 gli indirizzi precedentemente registrati "
    "in archivio. E' possibile compilare, stampare e salvare un numero illimitato di pagine, ognuna "
    "contenente 24 etichette.",
    "Per creare una nuova pagina di etichette, bisogna premere il pulsante Nuovo (icona del foglio "
    "bianco) e compilare le 24 etichette presenti sul foglio importando i dati dall'archivio degli "
    "indirizzi. Per importare i dati, è necessario servirsi dei pulsanti contraddistinti dall'icona di "
    "una freccia situati a destra dei 24 campi di testo, ognuno corrispondente a un indirizzo.",
    "Dopo aver importato gli indirizzi, basta premere il pulsante con l'icona del dischetto floppy per "
    "salvare la pagina. Le frecce di scorrimento delle schede consentono di visualizzare la pagina "
    "precedente o successiva a quella corrente, oppure di posizionarsi in testa o in coda all'archivio.",
    "Il pulsante Anteprima va usato se si vuole visualizzare la pagina delle etichette prima di stamparla "
    "su carta per verificare che gli indirizzi importati siano quelli giusti. Se invece si desidera "
    "stampare direttamente la pagina senza visualizzare la sua anteprima, basta premere il pulsante "
    "Stampa, indicare il numero di copie da stampare e fare clic su OK. Al termine della stampa su carta "
    "semplice o adesiva, si potrà ritagliare le singole etichette presenti sul foglio e applicarle sulle "
    "buste da lettera o su eventuali altri supporti.",
    "Si ricorda che per aggiornare un indirizzo occorre aprire la relativa scheda all'interno "
    "dell'archivio degli indirizzi, apportare le modifiche desiderate e premere Salva.",
};

const char *const kExport[] = {
    "Il pulsante Esporta archivio consente di esportare tutti gli indirizzi in archivio in un foglio di "
    "lavoro di Microsoft Excel, che potrà essere aperto con qualsiasi software in grado di gestire i file "
    "in formato XLS (ad esempio, con Open Office, Libre Office o Microsoft Office).",
    "Dopo aver aperto la finestra contenente la griglia dei dati, bisogna fare clic sull'icona di Excel. "
    "Questa operazione crea in tempo reale un file in formato XLS contenente le schede in archivio, che "
    "potrà essere aperto immediatamente rispondendo affermativamente al messaggio di domanda che appare.",
    "A questo punto è sufficiente salvare il file sul proprio disco fisso assegnandogli un nome "
    "qualsiasi.",
};

const char *const kMailing[] = {
    "La finestra Etichette dall'archivio stampa in una sola volta le etichette di tutte le schede scelte "
    "nell'archivio degli indirizzi, senza doverle importare una per una nelle pagine di etichette. Si apre "
    "dall'app Gestione Etichette con il pulsante Dall'archivio oppure dalla finestra di ricerca delle schede "
    "con il pulsante Etichette.",
    "Le schede da stampare si scelgono in quattro modi: tutte le schede in archivio; le schede il cui rigo "
    "in elenco contiene un testo, come nella ricerca; le schede di uno o più tipi, spuntati nell'elenco dei "
    "tipi accanto al numero di schede di ciascuno; oppure a mano, spuntando le schede nell'elenco con il "
    "mouse o con la barra spaziatrice. I pulsanti Seleziona tutto e Nessuno spuntano tutte le schede o "
    "tolgono tutte le spunte. Le schede che hanno tutti e sei i righi vuoti non vengono stampate e sono "
    "contate a parte.",
    "Le etichette possono essere stampate per nome, come nell'elenco; per CAP, cioè per il primo gruppo di "
    "cinque cifre dei righi e poi per nome, con le schede senza CAP in fondo, come chiedono le spedizioni di "
    "Posta Massiva e Postatarget; per tipo e poi per nome; oppure nell'ordine dell'archivio.",
    "Per ogni scheda si possono stampare da 1 a 99 copie, una accanto all'altra. Se il primo foglio è già "
    "in parte usato, basta indicare l'etichetta da cui iniziare. La finestra mostra sempre quante schede "
    "sono scelte e quanti fogli servono. Le schede con righi troppo lunghi per l'etichetta sono segnate in "
    "arancione ed elencate a parte: premendo Invio o facendo doppio clic su una di esse, la scheda si apre "
    "nell'archivio degli indirizzi per correggerla.",
    "Il pulsante Anteprima mostra tutti i fogli prima della stampa, il pulsante Stampa li stampa in un solo "
    "lavoro dopo aver scelto la stampante e il numero di copie. Dopo la stampa le etichette possono essere "
    "conservate come pagine nell'archivio delle etichette, per stamparle di nuovo o correggerle; lo stesso "
    "fa il pulsante Conserva come pagine. La scelta fatta viene ricordata e riproposta la volta successiva.",
};

const char *const kGeneralOpening =
    "Tavolux è un software progettato per stampare velocemente indirizzi o qualsiasi altro testo su fogli "
    "A4 da 24 etichette o direttamente su buste da lettera. Ciascuna etichetta è composta da sei righe a "
    "compilazione libera. L'utente può decidere se inserire informazioni diverse su ogni etichetta del "
    "foglio oppure ripetere gli stessi dati su tutte le etichette. Le etichette, quindi, si prestano a "
    "essere usate non solo come indirizzi da applicare su buste da lettera, ma anche come tagliandi per "
    "contrassegnare merce di ogni tipo o protocollare documenti.";

const char *const kGeneralClosing[] = {
    "Il software può essere usato anche in una rete locale se si ha necessità di condividere gli archivi "
    "fra più postazioni di lavoro. L'acquisto di una singola licenza autorizza l'utente ad installare il "
    "programma su tutte le macchine di sua proprietà.",
    "Tavolux può essere utilizzato anche su chiavetta USB. A tal fine, basta copiare la cartella del "
    "programma su pen-drive e fare doppio clic sull'icona dell'applicazione per eseguirla. La copia della "
    "cartella su dispositivo esterno è anche il metodo più veloce per effettuare il backup di tutti gli "
    "archivi.",
    nullptr, // the first-access paragraph, built below
    "Tavolux è quindi lo strumento ideale per le aziende o i privati cittadini che vogliono avvalersi del "
    "proprio computer per stampare in pochi secondi indirizzi da applicare su buste da lettera o "
    "etichette utili per i motivi più disparati. L'utente resterà piacevolmente sorpreso nel constatare "
    "come il software richieda tempi di apprendimento praticamente nulli.",
};

const char *const kDefaultPassword = "chiaveprovvisa";

template<std::size_t N>
QStringList paragraphs(const char *const (&texts)[N])
{
    QStringList list;
    for (const char *text : texts)
        list << QString::fromUtf8(text);
    return list;
}

QString firstAccessParagraph()
{
    return QStringLiteral("L'accesso al software è protetto da una password aggiornabile dall'utente che può essere "
                          "cambiata tutte le volte che si desidera. Per il primo accesso al programma, bisogna "
                          "utilizzare la parola chiave ")
        + QLatin1Char('"') + QLatin1String(kDefaultPassword) + QLatin1Char('"')
        + QStringLiteral(" (scritta senza le virgolette).");
}

} // namespace

QList<HelpTopic> helpTopics()
{
    return {HelpTopic::General, HelpTopic::Addresses, HelpTopic::Labels, HelpTopic::Export, HelpTopic::Mailing};
}

QString helpTitle(HelpTopic topic)
{
    switch (topic) {
    case HelpTopic::General:
        return QStringLiteral("Uno sguardo a Tavolux");
    case HelpTopic::Addresses:
        return QStringLiteral("App Archivio Indirizzi");
    case HelpTopic::Labels:
        return QStringLiteral("App Gestione Etichette");
    case HelpTopic::Export:
        return QStringLiteral("Esportazione archivio indirizzi in Excel");
    case HelpTopic::Mailing:
        return QStringLiteral("Etichette dall'archivio");
    }
    return {};
}

QStringList helpParagraphs(HelpTopic topic)
{
    switch (topic) {
    case HelpTopic::General: {
        // The overview holds the two apps' topics whole, between its own paragraphs.
        QStringList list{QString::fromUtf8(kGeneralOpening)};
        list << helpParagraphs(HelpTopic::Addresses) << helpParagraphs(HelpTopic::Labels);
        for (const char *text : kGeneralClosing)
            list << (text ? QString::fromUtf8(text) : firstAccessParagraph());
        return list;
    }
    case HelpTopic::Addresses:
        return paragraphs(kAddresses);
    case HelpTopic::Labels:
        return paragraphs(kLabels);
    case HelpTopic::Export:
        return paragraphs(kExport);
    case HelpTopic::Mailing:
        return paragraphs(kMailing);
    }
    return {};
}

QString helpText(HelpTopic topic)
{
    return helpParagraphs(topic).join(QStringLiteral("\r\n\r\n"));
}

} // namespace tavolux
