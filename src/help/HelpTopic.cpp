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

const char *const kImport[] = {
    "Il pulsante Importa dell'app Archivio Indirizzi consente di aggiungere all'archivio, in una sola "
    "operazione, gli indirizzi contenuti in un file CSV, ad esempio esportato da un foglio di calcolo, da "
    "Outlook, da Thunderbird o dai contatti di Google, oppure in un file vCard (estensione VCF). Le schede "
    "già presenti in archivio non vengono modificate: le nuove schede sono aggiunte in coda all'archivio.",
    "Dopo aver premuto il pulsante Scegli file… e selezionato il file, la finestra mostra la codifica dei "
    "caratteri riconosciuta, il separatore delle colonne e le righe del file. Ogni riga scritta in UTF-8 "
    "viene letta in UTF-8, le altre in Windows-1252: in tal caso, sotto la griglia è indicato quante righe "
    "sono state lette in Windows-1252, e il pulsante Mostra le righe lette come Windows-1252 consente di "
    "controllarle prima dell'importazione. Se le lettere accentate non appaiono corrette, bisogna scegliere "
    "un'altra codifica nell'elenco Codifica. La casella La prima riga contiene i nomi delle colonne va "
    "selezionata se la prima riga del file riporta le intestazioni delle colonne invece di un indirizzo. Un "
    "file che non contiene testo, ad esempio un'immagine, viene rifiutato con un messaggio.",
    "Nella riga Campo, sopra ogni colonna del file, è indicato il campo della scheda che la riceverà: Nome "
    "etichetta, Tipo, uno dei sei righi dell'indirizzo da Rigo 1 a Rigo 6, Note, oppure (non importare) se "
    "la colonna non va importata. Il programma propone da solo una corrispondenza in base ai nomi delle "
    "colonne, che è possibile modificare a piacere; più colonne assegnate allo stesso campo vengono unite. "
    "Il codice di avviamento postale, la città e la provincia formano un solo rigo, nell'ordine usato in "
    "Italia (ad esempio \"06012 Città di Castello (PG)\"), il paese non viene riportato se è l'Italia e "
    "nessun rigo vuoto resta fra due righi compilati. Se il file riporta più indirizzi per ogni contatto, "
    "come quello dell'ufficio e quello dell'abitazione, per ogni scheda viene usato il primo che contiene la "
    "via o la città, a partire da quello dell'ufficio. Di un file vCard vengono importati il nome, "
    "l'organizzazione, l'indirizzo e le note di ogni contatto.",
    "A destra della griglia è mostrata la scheda che darà la riga selezionata, con i righi esattamente come "
    "saranno stampati: un rigo scritto in arancione sarà tagliato in stampa. Sotto la griglia sono indicati "
    "il numero di righe (di schede, per un file vCard) da importare, le righe che non contengono testo per "
    "i campi scelti e non saranno importate, le schede con testi più lunghi dei 250 caratteri di un campo, "
    "che saranno troncati, e gli indirizzi usati.",
    "Per avviare l'importazione, bisogna premere il pulsante Importa della finestra. Una scheda senza nome "
    "prende come nome il primo rigo compilato dell'indirizzo. Se il file contiene caratteri che l'archivio "
    "non può memorizzare, il programma li elenca e chiede se proseguire: in tal caso, questi caratteri "
    "saranno sostituiti da un punto interrogativo. Al termine, un messaggio indica il numero di schede "
    "inserite in archivio e quello delle righe tralasciate.",
    "Durante l'importazione di un file molto grande, il pulsante Annulla o il tasto Esc interrompono "
    "l'operazione: le schede già inserite vengono tolte e l'archivio torna com'era prima "
    "dell'importazione. Restano soltanto le schede salvate nel frattempo da altre copie del programma, "
    "che si spostano subito dopo l'ultima scheda che c'era prima: un messaggio ne indica la posizione. "
    "Lo stesso avviene se la scrittura non va a buon fine, ad esempio perché il disco è pieno: un "
    "messaggio ne indica il motivo.",
    "Se l'importazione si interrompe prima della fine senza essere annullata, ad esempio perché il "
    "programma si blocca o viene chiuso a forza, le schede già inserite restano in archivio. Scegliendo "
    "di nuovo lo stesso file, anche da un'altra copia del programma, la finestra indica fino a quale riga "
    "le schede sono già in archivio e chiede se continuare dalla riga successiva, con la codifica e i "
    "campi scelti allora: rispondendo Sì si importano soltanto le righe rimanenti, rispondendo No tutto "
    "il file. Durante l'importazione accanto all'archivio si trova un piccolo file il cui nome inizia con "
    "Archivio_Indirizzi.importa, che il programma toglie al termine.",
};

const char *const kWorkbook[] = {
    "Nella finestra di esportazione dell'archivio, a sinistra della mano, si trova il pulsante XLSX "
    "(icona di un foglio verde con la scritta XLSX), che crea il file Archivio_Indirizzi.xlsx nella "
    "cartella del programma. Si tratta di una cartella di lavoro nel formato attuale di Microsoft Excel, "
    "che può essere aperta anche con Libre Office, Open Office e con gli altri programmi per fogli di "
    "calcolo.",
    "Il file contiene le stesse nove colonne del file XLS, dal nome dell'etichetta alle note, con le "
    "intestazioni in grassetto e le larghezze delle colonne della griglia. Ogni cella è memorizzata come "
    "testo, così che codici di avviamento postale con lo zero iniziale, numeri di telefono, importi e date "
    "restano esattamente come sono stati scritti. Le modifiche apportate nella griglia prima "
    "dell'esportazione sono comprese nel file, mentre l'archivio resta invariato.",
    "Al termine dell'esportazione, rispondendo affermativamente al messaggio di domanda che appare, il file "
    "viene aperto con il programma associato ai file XLSX. Se il file non può essere scritto, ad esempio "
    "perché è già aperto in un altro programma o perché il disco è pieno, un messaggio ne indica il motivo "
    "e il file precedente resta intatto.",
    // What the .xls cannot keep, where the user will notice it.
    "LibreOffice legge il file XLS come una pagina web e trasforma in numero ogni cella che contiene "
    "soltanto un numero, con o senza segno, virgola decimale, punti delle migliaia o esponente: toglie gli "
    "zeri iniziali, il segno più e gli zeri decimali finali e calcola l'esponente (ad esempio, \"00184\" "
    "diventa 184, \"0012\" diventa 12, \"12,50\" diventa 12,5 e \"1e3\" diventa 1000). Le altre celle, "
    "come quelle con lettere, spazi, date o percentuali, restano come sono. Il pulsante Esporta in formato "
    "XLSX (l'icona del foglio verde con la scritta XLSX) crea invece il file Archivio_Indirizzi.xlsx, che "
    "conserva ogni cella esattamente com'è.",
};

const char *const kEnvelopes[] = {
    "Nella finestra di stampa su busta, che si apre con il pulsante Stampa dell'app Archivio Indirizzi, "
    "l'elenco Formato della sezione Busta indica su che cosa stampare l'indirizzo. Il formato Foglio A4 "
    "stampa l'indirizzo su un foglio A4, con i margini e l'orientamento descritti nella guida dell'app "
    "Archivio Indirizzi, ed è quello proposto finché non se ne sceglie un altro. Gli altri formati sono "
    "le buste DL (110 × 220 mm), commerciale (110 × 230 mm), C6 (114 × 162 mm), C5 (162 × 229 mm) e C4 "
    "(229 × 324 mm), oltre a una busta personalizzata, di cui bisogna indicare in millimetri il lato "
    "corto e il lato lungo.",
    "Con un formato di busta, la stampa viene inviata alla stampante con le misure della busta, così che "
    "la stampante possa prelevarla dal vassoio o dall'alimentatore delle buste. L'orientamento indica "
    "come stampare sulla busta: Orizzontale, proposto per ogni busta, stampa l'indirizzo lungo il lato "
    "lungo, mentre Verticale lo stampa lungo il lato corto. L'indirizzo viene stampato nella parte in "
    "basso a destra della busta: la prima riga comincia a metà della larghezza e al 55 per cento "
    "dell'altezza, le righe seguenti 5 mm più in basso l'una dall'altra. I margini superiore e sinistro "
    "spostano l'indirizzo come sul foglio A4; i margini e l'orientamento vengono memorizzati per ogni "
    "formato separatamente.",
    "Nella sezione Mittente si possono scrivere fino a quattro righe con il nome e l'indirizzo del "
    "mittente, che viene stampato in alto a sinistra, a 10 mm dal bordo superiore e dal bordo sinistro, "
    "in carattere Arial da 8 punti; i margini non lo spostano. La casella Stampa il mittente in alto a "
    "sinistra indica se stamparlo con il formato scelto: è selezionata per ogni busta e non lo è per il "
    "foglio A4, e la scelta viene memorizzata per ogni formato.",
    "Il pulsante Anteprima mostra la busta così come verrà stampata, con il suo contorno, senza stampare "
    "nulla. Il formato scelto, le sue impostazioni e le righe del mittente vengono memorizzati nel file "
    "Impostazioni.ini soltanto quando si preme Stampa; premendo Annulla restano quelli precedenti. Con "
    "ogni formato le righe dell'indirizzo vengono stampate per una larghezza di 90 mm e quelle più "
    "lunghe vengono tagliate, come indicano i campi scritti in arancione nell'app Archivio Indirizzi.",
};

const char *const kLineFit[] = {
    "Ogni rigo di un'etichetta o di una busta da lettera viene stampato per una larghezza fissa: il testo "
    "che non vi entra viene tagliato. Per accorgersene prima della stampa, nell'app Archivio Indirizzi i "
    "campi dell'indirizzo che contengono un rigo troppo lungo sono scritti in arancione. Mentre si scrive "
    "in uno di questi campi, la barra di stato in basso indica se il rigo sarà tagliato sull'etichetta, "
    "sulla busta da lettera o su entrambe.",
    "Nell'app Gestione Etichette, il nome di un'etichetta importata è scritto in arancione se almeno uno "
    "dei suoi righi sarà tagliato in stampa, come indica anche il suggerimento che appare fermandovi sopra "
    "il mouse. In tal caso, è sufficiente aprire la relativa scheda nell'archivio degli indirizzi, "
    "accorciare il rigo, ad esempio con un'abbreviazione o spostando una parte del testo nel rigo "
    "successivo, premere Salva e importare di nuovo l'etichetta.",
};

const char *const kStartLabel[] = {
    "Un foglio di etichette già usato in parte può essere riutilizzato. Nella finestra di anteprima "
    "dell'indirizzo corrente, che si apre con il pulsante Anteprima dell'app Archivio Indirizzi, la casella "
    "Inizia dall'etichetta indica l'etichetta del foglio da cui comincia la stampa: le etichette precedenti "
    "restano bianche e l'anteprima le mostra subito vuote.",
    "Le etichette sono numerate da 1 a 24 riga per riga, da sinistra a destra e dall'alto in basso: "
    "l'etichetta 1 è quella in alto a sinistra, la 3 quella in alto a destra e la 24 quella in basso a "
    "destra. Ad esempio, se le prime due righe del foglio sono già state usate, bisogna indicare 7.",
    "Lo stesso valore si può scegliere anche nella scheda Etichette della finestra di stampa: premendo "
    "Stampa, il valore scelto vale anche per l'anteprima; premendo Annulla, resta quello precedente. Ad "
    "ogni apertura dell'anteprima la stampa riparte dall'etichetta 1.",
};

const char *const kCalibration[] = {
    "Se la stampa risulta spostata rispetto alle etichette del foglio, ad esempio perché la stampante "
    "trascina la carta in modo leggermente diverso da un'altra, è possibile correggerla con la "
    "calibrazione. La finestra di calibrazione si apre con il pulsante Calibrazione... presente nelle "
    "finestre di anteprima delle etichette e nella scheda Etichette della finestra di stampa.",
    "Per verificare la posizione di stampa, bisogna premere il pulsante Stampa foglio di prova e stampare "
    "il foglio di prova su un foglio di etichette. Il foglio di prova riporta una piccola croce su ogni "
    "angolo di ciascuna etichetta, lo spostamento con cui è stato stampato e le istruzioni per leggerlo. "
    "Se la stampa è esatta, ogni croce cade esattamente sull'angolo della rispettiva etichetta.",
    "Se le croci risultano spostate, bisogna misurare in millimetri la loro distanza dagli angoli delle "
    "etichette e correggere i valori Orizzontale e Verticale: se la croce è spostata di x mm a destra, "
    "diminuire Orizzontale di x; se è spostata a sinistra, aumentarlo di x. Allo stesso modo, se la croce "
    "è spostata di x mm in basso, diminuire Verticale di x; se è spostata in alto, aumentarlo di x. I "
    "pulsanti con i segni più e meno cambiano il valore di un decimo di millimetro alla volta; i valori "
    "ammessi vanno da meno 10 a più 10 millimetri.",
    "Dopo aver stampato un nuovo foglio di prova per controllare la correzione, bisogna premere Salva. La "
    "calibrazione viene memorizzata nel file Impostazioni.ini della cartella del programma e vale per "
    "tutte le stampe di etichette, sia dall'app Gestione Etichette sia dall'anteprima dell'app Archivio "
    "Indirizzi, anche per gli altri utenti che usano la stessa cartella. Il pulsante Annulla chiude la "
    "finestra senza cambiare la calibrazione. La stampa sulle buste da lettera non dipende dalla "
    "calibrazione, ma dai margini impostati nella relativa finestra.",
};

const char *const kShortcuts[] = {
    "Tutte le funzioni del programma possono essere usate anche con la sola tastiera. Il tasto Tab porta "
    "al controllo successivo e Maiusc+Tab a quello precedente; i pulsanti con le immagini si premono con "
    "Spazio o con Invio. Nelle finestre che hanno il pulsante della guida, il tasto F1 apre la guida, "
    "mentre il tasto Esc chiude le finestre di dialogo e la finestra Cambia password, come il pulsante "
    "Chiudi o Annulla. Il tasto di ogni pulsante è indicato anche nel suggerimento che appare quando vi si "
    "ferma sopra il mouse.",
    "Nella finestra di accesso, Invio nel campo della password equivale a premere OK. Nella finestra "
    "Cambia password, Invio porta al campo successivo, dall'ultimo di nuovo al primo, ed Esc chiude la "
    "finestra.",
    "Nell'app Archivio Indirizzi: Ctrl+N nuova scheda, Ctrl+Maiusc+D duplica la scheda, Ctrl+S salva, "
    "Ctrl+F trova, Ctrl+P stampa su busta da lettera, Ctrl+Maiusc+E esporta l'archivio, Ctrl+Maiusc+I "
    "importa schede da file, Alt+Home prima scheda, Alt+Freccia sinistra scheda precedente, Alt+Freccia "
    "destra scheda successiva, Alt+Fine ultima scheda, F1 guida. Invio porta al campo successivo, "
    "dall'ultimo di nuovo al primo.",
    "Nell'app Gestione Etichette: Ctrl+N nuova pagina, Ctrl+S salva, Ctrl+Maiusc+P anteprima, Ctrl+P "
    "stampa, Ctrl+Maiusc+A etichette dall'archivio, Ctrl+I importa un indirizzo nell'etichetta selezionata, "
    "Alt+Home prima pagina, Alt+Freccia "
    "sinistra pagina precedente, Alt+Freccia destra pagina successiva, Alt+Fine ultima pagina, F1 guida. "
    "Invio passa all'etichetta successiva, mentre Backspace o Canc svuotano l'etichetta selezionata.",
    "Nelle finestre di ricerca e di importazione di un indirizzo, Invio nel campo di ricerca porta al "
    "pulsante Trova, che un secondo Invio preme, e Invio su una voce dell'elenco richiama la scheda, come "
    "il doppio clic. Nella finestra di esportazione, Tab scorre le celle della griglia e dopo l'ultima "
    "cella passa ai pulsanti, mentre Ctrl+Tab e Ctrl+Maiusc+Tab escono subito dalla griglia.",
    "Nella finestra Etichette dall'archivio: Ctrl+Maiusc+P anteprima, Ctrl+P stampa, Ctrl+S conserva le "
    "etichette come pagine, F1 guida; la barra spaziatrice spunta o toglie la spunta alla scheda "
    "selezionata nell'elenco.",
    "Nelle finestre di anteprima di stampa: Ctrl+P stampa, Ctrl++ oppure Ctrl+= ingrandisce, Ctrl+- "
    "riduce e Ctrl+0 torna alla grandezza reale. Nella finestra di avvio, nella finestra di esportazione e "
    "nelle finestre di importazione di schede da file e di calibrazione, F1 apre la guida.",
};

const char *const kProgramFolder[] = {
    "Tutti i file del programma si trovano in una sola cartella, la cartella del programma, che di norma è "
    "la cartella Tavolux nella cartella personale dell'utente. Oltre al programma stesso e a questa guida "
    "(Guida.pdf), la cartella contiene gli archivi e le impostazioni: Archivio_Indirizzi.pro (le schede "
    "degli indirizzi), Archivio_Etichette.pro (le pagine di etichette), Impostazioni.ini (i formati, i "
    "margini e il mittente delle buste da lettera e la calibrazione delle etichette), unins000.dll (la password di accesso), la "
    "cartella Documenti_Allegati con le copie dei file allegati alle schede e, dopo un'esportazione, i "
    "file Archivio_Indirizzi.xls e Archivio_Indirizzi.xlsx.",
    "Per installare il programma in un'altra cartella, ad esempio su una chiavetta USB o in una cartella "
    "condivisa, bisogna indicarla al comando di installazione, scrivendo il suo percorso dopo "
    "./scripts/setup.sh start. Ripetendo l'installazione nella stessa cartella, il programma viene "
    "aggiornato senza modificare gli archivi, le impostazioni, la password e i documenti allegati.",
    "Per effettuare il backup di tutti i dati, è sufficiente copiare l'intera cartella del programma su un "
    "altro disco o su una chiavetta USB, preferibilmente a programma chiuso; per ripristinarli, basta "
    "copiare di nuovo i file nella cartella. Se il programma segnala di non poter accedere all'archivio, "
    "bisogna accertarsi di possedere i privilegi di scrittura nella cartella del programma.",
};

const char *const kSharedFolder[] = {
    "Più copie del programma, anche su computer diversi collegati in rete, possono usare "
    "contemporaneamente la stessa cartella del programma, ad esempio una cartella condivisa su un server. "
    "Ogni copia legge gli archivi ogni volta che ne ha bisogno, per cui le schede e le pagine salvate da un "
    "utente sono visibili agli altri alla successiva operazione, ad esempio spostandosi con le frecce di "
    "scorrimento o aprendo di nuovo la finestra di ricerca. La password di accesso è la stessa per tutti "
    "gli utenti della cartella.",
    "Mentre una copia salva una scheda o una pagina, le altre attendono che il salvataggio sia completato, "
    "così che nessuno legga mai una scheda scritta a metà. Se l'attesa supera 5 secondi, l'operazione non "
    "viene eseguita e appare il consueto messaggio di errore di accesso all'archivio: in tal caso, basta "
    "ripetere l'operazione poco dopo. Un'importazione di schede da file aggiunge le schede a gruppi di "
    "circa 500, per cui anche durante un'importazione lunga gli altri utenti possono salvare e leggere: "
    "le schede che salvano si inseriscono tra un gruppo e l'altro. Una sola importazione alla volta può "
    "scrivere nell'archivio: chi ne avvia un'altra nel frattempo riceve un messaggio che chiede di "
    "ripeterla al termine.",
    "Se due utenti modificano la stessa scheda, in archivio resta la versione salvata per ultima. E' bene "
    "quindi che ciascuna scheda venga aggiornata da un solo utente alla volta.",
    "Perché tutti gli utenti di un gruppo possano salvare negli archivi creati dagli altri, "
    "l'amministratore del computer deve preparare la cartella una sola volta: assegnarla al gruppo degli "
    "utenti che la condividono, concedere al gruppo i permessi di scrittura e attivare sulla cartella il "
    "permesso set-group-ID (ad esempio con i comandi chgrp -R, chmod -R g+rwX e chmod g+s). In una "
    "cartella preparata in questo modo, il programma rende scrivibili per il gruppo tutti i file che crea. "
    "Le istruzioni complete si trovano nel file README del programma.",
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
    "Invece che su fogli di etichette, le schede scelte possono essere stampate su buste da lettera, una busta "
    "per scheda, scegliendo Buste, una per scheda nella sezione Stampa su. Le buste vengono stampate "
    "nell'ordine scelto, in un solo lavoro di stampa, con il formato, l'orientamento, i margini e il mittente "
    "della finestra di stampa su busta, riassunti sotto la scelta. Il pulsante Impostazioni busta apre quella "
    "finestra per cambiarli: il pulsante Salva li memorizza senza stampare nulla, mentre Annulla lascia quelli "
    "precedenti. Con le buste non si usano le copie per scheda, l'etichetta da cui iniziare e il pulsante "
    "Conserva come pagine, e le schede segnate in arancione sono quelle con righi troppo lunghi per la busta. "
    "La scelta tra etichette e buste viene ricordata con le altre.",
};

const char *const kLabelFormats[] = {
    "Oltre al foglio A4 da 24 etichette di 62 x 32 mm, Tavolux stampa su quasi tutti i fogli di etichette in "
    "commercio, di ogni marca (Avery, Herma, Zweckform e molte altre), in formato A4, US Letter e negli altri "
    "formati di carta, e sui rotoli delle stampanti di etichette. L'elenco dei fogli viene dal catalogo "
    "installato con il pacchetto glabels-data; senza di esso sono offerti il foglio di Tavolux e i formati "
    "propri.",
    "La finestra Formato etichette si apre con il pulsante Formato etichette... della scheda Etichette della "
    "finestra di stampa delle pagine di etichette, della barra dell'anteprima del foglio di un indirizzo e "
    "della finestra Etichette dall'archivio. Nel campo Cerca si scrive la marca, il codice, la descrizione o "
    "la misura del foglio, ad esempio L7160, herma 4677 oppure 63,5 x 38: l'elenco mostra subito i fogli che "
    "contengono tutte le parole scritte, con il numero di etichette e la loro misura. I tasti freccia "
    "scorrono l'elenco anche dal campo Cerca. Il disegno a destra mostra in scala il foglio scelto, con ogni "
    "etichetta e i suoi angoli arrotondati.",
    "Premendo OK, il foglio scelto viene memorizzato nel file Impostazioni.ini e vale, separatamente, per le "
    "pagine di etichette, per il foglio di un indirizzo o per le etichette dall'archivio, secondo la finestra "
    "da cui è stato scelto; l'anteprima o la finestra mostra subito il nuovo foglio. Annulla ed Esc chiudono "
    "la finestra senza cambiare nulla. Le righe di ogni etichetta si dispongono come nel foglio di Tavolux; "
    "quelle che non entrano nell'altezza dell'etichetta non vengono stampate. Ogni foglio ha la sua "
    "calibrazione.",
    "Un foglio che non è in elenco si aggiunge con il pulsante Nuovo formato...: bisogna dargli un nome, "
    "scegliere il formato della pagina (oppure Altra misura e scriverne larghezza e altezza) e inserire in "
    "millimetri il numero di colonne e di righe, la larghezza e l'altezza delle etichette, i margini sinistro "
    "e superiore dal bordo del foglio alla prima etichetta e i passi orizzontale e verticale, cioè la "
    "distanza dall'inizio di un'etichetta all'inizio della successiva. Le misure vengono controllate mentre "
    "si scrivono: se le etichette escono dalla pagina o si sovrappongono, la finestra lo dice e il pulsante "
    "Salva resta disattivato. Il formato salvato compare nell'elenco come formato proprio e si può eliminare "
    "con il pulsante Elimina formato.",
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
    return {HelpTopic::General,     HelpTopic::Addresses,  HelpTopic::Labels,        HelpTopic::Export,
            HelpTopic::Import,      HelpTopic::Workbook,   HelpTopic::Envelopes,     HelpTopic::LineFit,
            HelpTopic::StartLabel,  HelpTopic::Calibration, HelpTopic::Shortcuts,    HelpTopic::ProgramFolder,
            HelpTopic::SharedFolder, HelpTopic::Mailing, HelpTopic::LabelFormats};
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
    case HelpTopic::Import:
        return QStringLiteral("Importazione di schede da file CSV o vCard");
    case HelpTopic::Workbook:
        return QStringLiteral("Esportazione archivio indirizzi in formato XLSX");
    case HelpTopic::Envelopes:
        return QStringLiteral("Formati di busta, mittente e anteprima");
    case HelpTopic::LineFit:
        return QStringLiteral("Righi troppo lunghi per l'etichetta");
    case HelpTopic::StartLabel:
        return QStringLiteral("Inizia dall'etichetta");
    case HelpTopic::Calibration:
        return QStringLiteral("Calibrazione e foglio di prova");
    case HelpTopic::Shortcuts:
        return QStringLiteral("Tasti di scelta rapida");
    case HelpTopic::ProgramFolder:
        return QStringLiteral("La cartella del programma");
    case HelpTopic::SharedFolder:
        return QStringLiteral("La cartella condivisa in rete");
    case HelpTopic::Mailing:
        return QStringLiteral("Etichette dall'archivio");
    case HelpTopic::LabelFormats:
        return QStringLiteral("Formati di etichette");
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
    case HelpTopic::Import:
        return paragraphs(kImport);
    case HelpTopic::Workbook:
        return paragraphs(kWorkbook);
    case HelpTopic::Envelopes:
        return paragraphs(kEnvelopes);
    case HelpTopic::LineFit:
        return paragraphs(kLineFit);
    case HelpTopic::StartLabel:
        return paragraphs(kStartLabel);
    case HelpTopic::Calibration:
        return paragraphs(kCalibration);
    case HelpTopic::Shortcuts:
        return paragraphs(kShortcuts);
    case HelpTopic::ProgramFolder:
        return paragraphs(kProgramFolder);
    case HelpTopic::SharedFolder:
        return paragraphs(kSharedFolder);
    case HelpTopic::Mailing:
        return paragraphs(kMailing);
    case HelpTopic::LabelFormats:
        return paragraphs(kLabelFormats);
    }
    return {};
}

QString helpText(HelpTopic topic)
{
    return helpParagraphs(topic).join(QStringLiteral("\r\n\r\n"));
}

} // namespace tavolux
