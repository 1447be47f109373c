#include "ui/AccessibleNames.h"

#include "ui/PictureButton.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QDialog>
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
        {QStringLiteral("txtGuida"), QStringLiteral("Testo della guida")},
        {QStringLiteral("txtPassword"), QStringLiteral("Password")},
        {QStringLiteral("txtPasswordOld"), QStringLiteral("Vecchia password")},
        {QStringLiteral("txtPasswordNew"), QStringLiteral("Nuova password")},
        {QStringLiteral("txtConferma"), QStringLiteral("Conferma nuova password")},
        {QStringLiteral("txtTop"), QStringLiteral("Margine superiore in millimetri")},
        {QStringLiteral("txtLeft"), QStringLiteral("Margine sinistro in millimetri")},
        {QStringLiteral("txtOrizzontale"), QStringLiteral("Spostamento orizzontale in millimetri")},
        {QStringLiteral("txtVerticale"), QStringLiteral("Spostamento verticale in millimetri")},
        {QStringLiteral("pagesView"), QStringLiteral("Pagine del documento")},
        {QStringLiteral("btnOrizzMinus"), QStringLiteral("Diminuisci di 0,1 mm lo spostamento orizzontale")},
        {QStringLiteral("btnOrizzPlus"), QStringLiteral("Aumenta di 0,1 mm lo spostamento orizzontale")},
        {QStringLiteral("btnVertMinus"), QStringLiteral("Diminuisci di 0,1 mm lo spostamento verticale")},
        {QStringLiteral("btnVertPlus"), QStringLiteral("Aumenta di 0,1 mm lo spostamento verticale")},
        {QStringLiteral("btnTopMinus"), QStringLiteral("Diminuisci di 1 mm il margine superiore")},
        {QStringLiteral("btnTopPlus"), QStringLiteral("Aumenta di 1 mm il margine superiore")},
        {QStringLiteral("btnLeftMinus"), QStringLiteral("Diminuisci di 1 mm il margine sinistro")},
        {QStringLiteral("btnLeftPlus"), QStringLiteral("Aumenta di 1 mm il margine sinistro")},
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
        return QStringLiteral("Indirizzo (rigo %1)").arg(n);
    if (kind == QLatin1String("txtFile"))
        return QStringLiteral("Nome %1° file allegato").arg(n);
    if (kind == QLatin1String("txtDesc"))
        return QStringLiteral("Descrizione %1° file allegato").arg(n);
    if (kind == QLatin1String("imgCancella"))
        return QStringLiteral("Cancella");
    if (kind == QLatin1String("txtNome_E"))
        return QStringLiteral("Etichetta %1").arg(n);
    return QStringLiteral("Importa nell'etichetta %1").arg(n);
}

QString pictureButtonName(const QString &objectName)
{
    // The captions the help gives the buttons; their hints are the descriptions.
    static const QHash<QString, QString> names{
        {QStringLiteral("cmdNuovo"), QStringLiteral("Nuovo")},
        {QStringLiteral("cmdDuplica"), QStringLiteral("Duplica")},
        {QStringLiteral("cmdSalva"), QStringLiteral("Salva")},
        {QStringLiteral("cmdTrova"), QStringLiteral("Trova")},
        {QStringLiteral("cmdFile"), QStringLiteral("Allega file")},
        {QStringLiteral("cmdStampa"), QStringLiteral("Stampa")},
        {QStringLiteral("cmdPrimo"), QStringLiteral("Prima scheda")},
        {QStringLiteral("cmdIndietro"), QStringLiteral("Scheda precedente")},
        {QStringLiteral("cmdAvanti"), QStringLiteral("Scheda successiva")},
        {QStringLiteral("cmdUltimo"), QStringLiteral("Ultima scheda")},
        {QStringLiteral("cmdEsporta"), QStringLiteral("Esporta archivio")},
        {QStringLiteral("cmdEsportaXlsx"), QStringLiteral("XLSX")},
        {QStringLiteral("cmdAnteprima"), QStringLiteral("Anteprima")},
        {QStringLiteral("cmdSchede"), QStringLiteral("Etichette dall'archivio")},
        {QStringLiteral("cmdImporta"), QStringLiteral("Importa")},
        {QStringLiteral("cmdGuida"), QStringLiteral("Guida")},
        {QStringLiteral("cmdEsci"), QStringLiteral("Esci")},
        {QStringLiteral("imgInfo"), QStringLiteral("Informazioni")},
        {QStringLiteral("imgGuida"), QStringLiteral("Guida")},
        {QStringLiteral("imgApp01"), QStringLiteral("Busta da lettera")},
        {QStringLiteral("btnApp01"), QStringLiteral("Archivio Indirizzi")},
        {QStringLiteral("imgApp02"), QStringLiteral("Foglio di etichette")},
        {QStringLiteral("btnApp02"), QStringLiteral("Gestione Etichette")},
        {QStringLiteral("imgSito"), QStringLiteral("Sito web del produttore")},
        {QStringLiteral("imgWeb"), QStringLiteral("Sito web del produttore")},
        {QStringLiteral("imgCopyright"), QStringLiteral("Riconoscimenti")},
        {QStringLiteral("imgEsci"), QStringLiteral("Esci")},
        {QStringLiteral("imgPDF"), QStringLiteral("Guida in formato PDF")},
        {QStringLiteral("imgEmail"), QStringLiteral("Scrivi al produttore")},
    };
    return names.value(objectName);
}

void nameControls(QWidget *window)
{
    for (QWidget *control : window->findChildren<QWidget *>()) {
        if (!control->accessibleName().isEmpty())
            continue;
        QString name = accessibleNameFor(control->objectName());
        if (name.isEmpty() && qobject_cast<PictureButton *>(control))
            name = pictureButtonName(control->objectName());
        if (!name.isEmpty())
            control->setAccessibleName(name);
    }
}

namespace {

QAccessibleInterface *groupFactory(const QString &className, QObject *object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    auto *widget = static_cast<QWidget *>(object);
    if (className == QLatin1String("tavolux::ui::GroupFrame"))
        return new QAccessibleWidget(widget, QAccessible::Grouping);
    // The program's own windows that are not dialogs are windows, not panes.
    if (widget->isWindow() && className.startsWith(QLatin1String("tavolux::Tfrm")) && !qobject_cast<QDialog *>(widget))
        return new QAccessibleWidget(widget, QAccessible::Window);
    return nullptr;
}

const bool kFactory = (QAccessible::installFactory(groupFactory), true);

} // namespace

GroupFrame::GroupFrame(const QString &name, QWidget *parent) : QFrame(parent)
{
    Q_UNUSED(kFactory);
    setAccessibleName(name);
}

void describePicture(QWidget *picture, const QString &name, const QString &description)
{
    picture->setAccessibleName(name);
    picture->setAccessibleDescription(description);
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
