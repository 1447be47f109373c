#include "AllWindows.h"

#include "access/TfrmCambiaPassword.h"
#include "access/TfrmPassword.h"
#include "addresses/TfrmAllegaCartella.h"
#include "addresses/TfrmArchivio_Indirizzi.h"
#include "addresses/TfrmExpIndirizzi.h"
#include "addresses/TfrmImportaSchede.h"
#include "addresses/TfrmTrovaIndirizzi.h"
#include "app/Program.h"
#include "app/TfrmAvvio.h"
#include "help/TfrmGuida.h"
#include "help/TfrmInfo.h"
#include "help/TfrmSplash.h"
#include "labels/TfrmArchivio_Etichette.h"
#include "labels/TfrmImportaIndirizzi.h"
#include "mailing/TfrmStampaSchede.h"
#include "printing/TfrmAnteprima_Etichetta.h"
#include "printing/TfrmAnteprima_Etichette.h"
#include "printing/TfrmCalibrazione.h"
#include "printing/TfrmFormatoEtichette.h"
#include "printing/TfrmNuovoFormato.h"
#include "printing/TfrmStampaBusta.h"
#include "printing/TfrmStampaPagina.h"

namespace tavolux::allwindows {

QStringList names()
{
    return QStringList{QStringLiteral("launcher"), QStringLiteral("address window"), QStringLiteral("label window")}
           + fixedNames();
}

QStringList fixedNames()
{
    return {QStringLiteral("login"),       QStringLiteral("change password"),    QStringLiteral("find"),
            QStringLiteral("import"),      QStringLiteral("attachments"),        QStringLiteral("export"),
            QStringLiteral("help"),        QStringLiteral("information"),        QStringLiteral("credits"),
            QStringLiteral("envelope"),    QStringLiteral("label page preview"), QStringLiteral("label page print"),
            QStringLiteral("one address"), QStringLiteral("calibration"),        QStringLiteral("import cards"),
            QStringLiteral("mailing"),     QStringLiteral("label formats"),      QStringLiteral("new label format")};
}

QWidget *make(Program &program, const QString &name, std::unique_ptr<QWidget> &owned)
{
    const auto lines = [] { return QStringList(6, QStringLiteral("riga")); };
    const auto lineOf = [](int, int) { return QStringLiteral("riga"); };
    if (name == QLatin1String("login"))
        return program.loginWindow();
    if (name == QLatin1String("launcher"))
        return program.launcher();
    if (name == QLatin1String("change password"))
        return program.changePasswordWindow();
    if (name == QLatin1String("address window"))
        return program.addressWindow();
    if (name == QLatin1String("label window"))
        return program.labelWindow();
    if (name == QLatin1String("find"))
        owned = std::make_unique<TfrmTrovaIndirizzi>(*program.addressWindow());
    else if (name == QLatin1String("import"))
        owned = std::make_unique<TfrmImportaIndirizzi>(*program.labelWindow());
    else if (name == QLatin1String("attachments"))
        owned = std::make_unique<TfrmAllegaCartella>(*program.addressWindow());
    else if (name == QLatin1String("export"))
        owned = std::make_unique<TfrmExpIndirizzi>(program.folder(), program.addressWindow());
    else if (name == QLatin1String("import cards"))
        owned = std::make_unique<TfrmImportaSchede>(*program.addressWindow());
    else if (name == QLatin1String("help"))
        owned = std::make_unique<TfrmGuida>(program.folder(), program.launcher());
    else if (name == QLatin1String("information"))
        owned = std::make_unique<TfrmInfo>(program.launcher());
    else if (name == QLatin1String("credits"))
        owned = std::make_unique<TfrmSplash>(program.launcher());
    else if (name == QLatin1String("envelope"))
        owned = std::make_unique<TfrmStampaBusta>(program.folder(), lines, program.addressWindow());
    else if (name == QLatin1String("label page preview"))
        owned = std::make_unique<TfrmAnteprima_Etichette>(lineOf, program.labelWindow());
    else if (name == QLatin1String("label page print"))
        owned = std::make_unique<TfrmStampaPagina>(lineOf, program.labelWindow());
    else if (name == QLatin1String("one address"))
        owned = std::make_unique<TfrmAnteprima_Etichetta>(lines, program.addressWindow());
    else if (name == QLatin1String("mailing"))
        owned = std::make_unique<TfrmStampaSchede>(program.folder(), program.labelWindow());
    else if (name == QLatin1String("label formats"))
        owned = std::make_unique<TfrmFormatoEtichette>(program.folder(), LabelFormatSettings::Use::LabelPages,
                                                       program.labelWindow());
    else if (name == QLatin1String("new label format"))
        owned = std::make_unique<TfrmNuovoFormato>(program.folder(), program.labelWindow());
    else if (name == QLatin1String("calibration"))
        owned = std::make_unique<TfrmCalibrazione>(program.folder(), program.labelWindow());
    return owned.get();
}

} // namespace tavolux::allwindows
