#include "settings/ProgramFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString programFolder()
{
    return QCoreApplication::applicationDirPath();
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
    return chooseWritableFolder(programFolder(),
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
