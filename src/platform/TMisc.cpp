#include "platform/TMisc.h"

#include <QDesktopServices>
#include <QUrl>

namespace tavolux {

namespace {

TMisc::Opener &opener()
{
    static TMisc::Opener instance;
    return instance;
}

QString unquoted(const QString &target)
{
    if (target.size() >= 2 && target.startsWith(QLatin1Char('"')) && target.endsWith(QLatin1Char('"')))
        return target.mid(1, target.size() - 2);
    return target;
}

} // namespace

void TMisc::Open(const QString &target)
{
    if (opener()) {
        opener()(target);
        return;
    }
    const QString bare = unquoted(target);
    const QUrl url = QUrl::fromUserInput(bare, QString(), QUrl::AssumeLocalFile);
    QDesktopServices::openUrl(url);
}

void TMisc::setOpener(Opener o)
{
    opener() = std::move(o);
}

} // namespace tavolux
