#include "ui/AccessibleNames.h"

#include <QEvent>
#include <QHash>
#include <QRegularExpression>
#include <QWidget>

namespace tavolux::ui {

QString accessibleNameFor(const QString &objectName)
{
    static const QHash<QString, QString> names{
        {QStringLiteral("txtNome"), QStringLiteral("Nome etichetta")},
        {QStringLiteral("txtTipo"), QStringLiteral("Tipo")},
        {QStringLiteral("txtNote"), QStringLiteral("Note")},
        {QStringLiteral("txtTrova"), QStringLiteral("Testo da cercare")},
        {QStringLiteral("lstRecords"), QStringLiteral("Elenco delle schede")},
        {QStringLiteral("grdRecords"), QStringLiteral("Griglia dell'archivio indirizzi")},
        {QStringLiteral("cmdEsportaXlsx"), QStringLiteral("Esporta l'archivio in formato xlsx")},
        {QStringLiteral("txtGuida"), QStringLiteral("Testo della guida")},
        {QStringLiteral("txtPassword"), QStringLiteral("Password")},
        {QStringLiteral("txtPasswordOld"), QStringLiteral("Vecchia password")},
        {QStringLiteral("txtPasswordNew"), QStringLiteral("Nuova password")},
        {QStringLiteral("txtConferma"), QStringLiteral("Conferma nuova password")},
        {QStringLiteral("txtTop"), QStringLiteral("Margine superiore in millimetri")},
        {QStringLiteral("txtLeft"), QStringLiteral("Margine sinistro in millimetri")},
        {QStringLiteral("imgInfo"), QStringLiteral("Informazioni sul programma")},
        {QStringLiteral("imgGuida"), QStringLiteral("Guida")},
        {QStringLiteral("imgApp01"), QStringLiteral("Archivio indirizzi")},
        {QStringLiteral("btnApp01"), QStringLiteral("Archivio indirizzi")},
        {QStringLiteral("imgApp02"), QStringLiteral("Gestione etichette")},
        {QStringLiteral("btnApp02"), QStringLiteral("Gestione etichette")},
        {QStringLiteral("imgSito"), QStringLiteral("Sito web del produttore")},
        {QStringLiteral("imgWeb"), QStringLiteral("Sito web del produttore")},
        {QStringLiteral("imgCopyright"), QStringLiteral("Riconoscimenti")},
        {QStringLiteral("imgEsci"), QStringLiteral("Esci dal programma")},
        {QStringLiteral("imgPDF"), QStringLiteral("Guida in formato PDF")},
        {QStringLiteral("imgEmail"), QStringLiteral("Scrivi al produttore")},
    };
    const auto found = names.constFind(objectName);
    if (found != names.constEnd())
        return *found;
    // Numbered families: the six address lines, the attachments, the label slots.
    static const QRegularExpression family(QStringLiteral("^(txtRigo|txtFile|txtDesc|imgCancella|txtNome_E|impIndirizzo_E)0?(\\d+)$"));
    const QRegularExpressionMatch match = family.match(objectName);
    if (!match.hasMatch())
        return QString();
    const QString kind = match.captured(1);
    const QString n = match.captured(2);
    if (kind == QLatin1String("txtRigo"))
        return QStringLiteral("Indirizzo, rigo %1").arg(n);
    if (kind == QLatin1String("txtFile"))
        return QStringLiteral("Nome %1° file allegato").arg(n);
    if (kind == QLatin1String("txtDesc"))
        return QStringLiteral("Descrizione %1° file allegato").arg(n);
    if (kind == QLatin1String("imgCancella"))
        return QStringLiteral("Cancella il nome del %1° file allegato").arg(n);
    if (kind == QLatin1String("txtNome_E"))
        return QStringLiteral("Etichetta %1").arg(n);
    return QStringLiteral("Importa nell'etichetta %1").arg(n);
}

void nameControls(QWidget *window)
{
    for (QWidget *control : window->findChildren<QWidget *>()) {
        if (!control->accessibleName().isEmpty())
            continue;
        const QString name = accessibleNameFor(control->objectName());
        if (!name.isEmpty())
            control->setAccessibleName(name);
    }
}

bool AccessibleNamer::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto *window = static_cast<QWidget *>(watched);
        if (window->isWindow() && !window->property("tavoluxNamed").toBool()) {
            window->setProperty("tavoluxNamed", true);
            nameControls(window);
        }
    }
    return false;
}

} // namespace tavolux::ui
