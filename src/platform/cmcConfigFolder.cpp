#include "platform/cmcConfigFolder.h"

#include <QDir>
#include <QStandardPaths>

QString cmcConfigFolder()
{
    const QString chosen = qEnvironmentVariable("TORVANE_CONFIG_DIR");
    if (!chosen.isEmpty())
        return QDir::cleanPath(chosen);
    return QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                           QStringLiteral("/torvane"));
}
