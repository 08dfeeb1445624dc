#include "settings/ProgramFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString programFolder()
{
    return QCoreApplication::applicationDirPath();
}

QString chooseDataFolder(const QString &programFolder)
{
    if (programFolder.isEmpty())
        return QString();
    const QDir program(programFolder);
    const QString catalogue = QStringLiteral("ct.s3db");
    if (program.exists(catalogue))
        return QDir::cleanPath(programFolder);
    const QDir installed(program.filePath(QStringLiteral("../share/clipwright")));
    if (installed.exists(catalogue))
        return QDir::cleanPath(installed.path());
    return QDir::cleanPath(programFolder);
}

QString dataFolder()
{
    return chooseDataFolder(programFolder());
}

QString chooseWritableFolder(const QString &programFolder, const QString &userFolder)
{
    const QFileInfo info(programFolder);
    if (!programFolder.isEmpty() && info.isDir() && info.isWritable())
        return QDir::cleanPath(programFolder);
    QDir().mkpath(userFolder);
    return QDir::cleanPath(userFolder);
}

QString writableFolder()
{
    // An installed program may sit in a writable bin folder (a prefix in the
    // home folder); its files still belong to the user, not beside it.
    const QString program = QDir::cleanPath(programFolder());
    const bool portable = chooseDataFolder(program) == program;
    return chooseWritableFolder(portable ? program : QString(),
                                QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

QString resolveProgram(const QString &name, const QString &folder)
{
    if (!folder.isEmpty()) {
        const QFileInfo beside(QDir(folder).filePath(name));
        if (beside.isFile() && beside.isExecutable())
            return beside.absoluteFilePath();
    }
    return QStandardPaths::findExecutable(name);
}

QString resolveProgram(const QString &name)
{
    return resolveProgram(name, programFolder());
}

QString settingsFilePath()
{
    return QDir(writableFolder()).filePath(QStringLiteral("settings.dat"));
}

QString statisticsFilePath()
{
    return QDir(writableFolder()).filePath(QStringLiteral("curconvert.log"));
}
