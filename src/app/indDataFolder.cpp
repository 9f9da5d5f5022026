#include "app/indDataFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

std::string indDataFolder()
{
    // Overlay authors and tests may point the program at another data folder.
    const QString chosen = qEnvironmentVariable("TORVANE_DATA_DIR");
    if (!chosen.isEmpty())
        return QDir::toNativeSeparators(QDir(chosen).absolutePath() + "/").toStdString();
    const QDir programFolder(QCoreApplication::applicationDirPath());
    const QString installed = programFolder.absoluteFilePath("../share/torvane");
    const bool besideProgram = QFileInfo::exists(programFolder.absoluteFilePath("RB8826T.OVL"));
    const QString folder = besideProgram || !QFileInfo::exists(installed) ? programFolder.absolutePath()
                                                                           : QDir::cleanPath(installed);
    return QDir::toNativeSeparators(folder + "/").toStdString();
}
