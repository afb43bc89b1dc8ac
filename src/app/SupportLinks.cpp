#include "app/SupportLinks.h"

#include <QDesktopServices>
#include <QUrl>

namespace kadro {

QString supportMailLink()
{
    return QStringLiteral("mailto:") + kSupportMail + QStringLiteral("?subject=Frage zu ''Kadro''&body=");
}

void openLinkWithPlatform(const QString& link)
{
    // Blanks and quotes in the subject are escaped by QUrl; the result is deliberately ignored.
    (void)QDesktopServices::openUrl(QUrl(link, QUrl::TolerantMode));
}

} // namespace kadro
