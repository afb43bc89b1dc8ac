#include "app/CommandLine.h"

#include <QDir>
#include <QUrl>

namespace kadro {

QString handedFile(const QStringList& arguments, const QString& startDir)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument.isEmpty() || argument.startsWith(QLatin1Char('-')))
            continue;
        QString path = argument;
        if (argument.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
            const QUrl url(argument);
            if (url.isLocalFile())
                path = url.toLocalFile();
        }
        return QDir::cleanPath(QDir(startDir).absoluteFilePath(path));
    }
    return QString();
}

} // namespace kadro
