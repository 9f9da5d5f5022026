#include "app/indDataFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

std::string indDataFolder()
{
    const QDir programFolder(QCoreApplication::applicationDirPath());
    const QString installed = programFolder.absoluteFilePath("../share/torvane");
    const bool besideProgram = QFileInfo::exists(programFolder.absoluteFilePath("RB8826T.OVL"));
    const QString folder = besideProgram || !QFileInfo::exists(installed) ? programFolder.absolutePath()
                                                                           : QDir::cleanPath(installed);
    return QDir::toNativeSeparators(folder + "/").toStdString();
}
