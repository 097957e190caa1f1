#include "app_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <cerrno>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zambrel::base {
namespace {

struct PathOverrides {
    QString programFolder;
    QString skinsFolder;
    QString settingsFile;
};

PathOverrides &overrides()
{
    static PathOverrides instance;
    return instance;
}

QString fromEnvironment(const char *name)
{
    return qEnvironmentVariable(name);
}

std::unique_ptr<QSettings> openSettings()
{
    QString file = overrides().settingsFile;
    if (file.isEmpty())
        file = fromEnvironment("ZAMBREL_SETTINGS_FILE");
    if (!file.isEmpty())
        return std::make_unique<QSettings>(file, QSettings::IniFormat);
    QString application = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    if (application.isEmpty())
        application = QStringLiteral("Zambrel");
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Zambrel"),
                                       application);
}

QString programFolderPath()
{
    QString folder = overrides().programFolder;
    if (folder.isEmpty())
        folder = fromEnvironment("ZAMBREL_DATA_DIR");
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (folder.isEmpty())
        folder = QDir::homePath() + QStringLiteral("/.local/share/Zambrel");
    // A folder given relatively is the one where the program started: the
    // paths kept for the next start must not depend on where that is.
    return QDir::cleanPath(QDir(folder).absolutePath());
}

} // namespace

QString programFolder()
{
    const QString folder = programFolderPath();
    // The ledgers inside are the household's books: no one else may list them.
    // A folder that cannot be made shows its reason when the ledger is created.
    makePrivateFolder(folder);
    return folder;
}

void setProgramFolder(const QString &folder)
{
    overrides().programFolder = folder;
}

QString defaultLedgerPath()
{
    return programFolder() + QStringLiteral("/Zambrel.mdb");
}

QString usualLedgerPath()
{
    const QString stored = settingsValue(QStringLiteral("DB"), QStringLiteral("DB"));
    if (fileExists(stored))
        return stored;
    return programFolderPath() + QStringLiteral("/Zambrel.mdb");
}

QString skinsFolder()
{
    QString folder = overrides().skinsFolder;
    if (folder.isEmpty())
        folder = fromEnvironment("ZAMBREL_SKINS_DIR");
    if (folder.isEmpty())
        folder = shippedSkinsFolder(QCoreApplication::applicationDirPath());
    return QDir::cleanPath(folder);
}

QString shippedSkinsFolder(const QString &programDir)
{
    const QString beside = programDir + QStringLiteral("/skins");
    if (QFileInfo(beside).isDir())
        return QDir::cleanPath(beside);
    return QDir::cleanPath(programDir + QStringLiteral("/" ZAMBREL_SKINS_FROM_BINDIR));
}

void setSkinsFolder(const QString &folder)
{
    overrides().skinsFolder = folder;
}

QString defaultSkinPath()
{
    return skinsFolder() + QStringLiteral("/金色水晶.jss");
}

namespace {
QString &skinInUse()
{
    static QString path;
    return path;
}
} // namespace

QString currentSkinPath()
{
    return skinInUse();
}

void setCurrentSkinPath(const QString &path)
{
    skinInUse() = path;
}

QString settingsValue(const QString &section, const QString &key, const QString &fallback)
{
    auto settings = openSettings();
    return settings->value(section + QLatin1Char('/') + key, fallback).toString();
}

void saveSetting(const QString &section, const QString &key, const QString &value)
{
    auto settings = openSettings();
    const QString name = section + QLatin1Char('/') + key;
    // Most starts store the ledger they already stored: rewriting the file
    // (locked, flushed to disk) would only keep the logon waiting.
    if (settings->contains(name) && settings->value(name).toString() == value)
        return;
    // The settings name the user's ledgers: made private before the first
    // write (the settings keep the mode of the file they replace).
    const QString file = settings->fileName();
    if (!QFileInfo::exists(file))
        makeFilePrivate(file);
    settings->setValue(name, value);
    settings->sync();
}

void setSettingsFile(const QString &path)
{
    overrides().settingsFile = path;
}

QString settingsFilePath()
{
    return openSettings()->fileName();
}

bool fileExists(const QString &path)
{
    if (path.isEmpty())
        return false;
    return QFileInfo::exists(path);
}

void makeFilePrivate(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info {};
    if (::stat(name.constData(), &info) == 0) {
        if ((info.st_mode & 077) != 0)
            ::chmod(name.constData(), info.st_mode & 0700);
        return;
    }
    if (!makePrivateFolder(QFileInfo(path).absolutePath()))
        return;
    // Made meanwhile, or not writable: the next writer meets the same.
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0)
        ::close(fd);
}

QString fileDialogHistoryFile()
{
    // Where QFileDialog keeps its history, by the same settings name.
    return QSettings(QSettings::UserScope, QStringLiteral("QtProject")).fileName();
}

bool makePrivateFolder(const QString &path, int *error)
{
    const QString clean = QDir::cleanPath(QDir(path).absolutePath());
    // From the top down, so that every folder made here is made private.
    const QStringList parts = clean.split(QLatin1Char('/'));
    QString folder;
    for (const QString &part : parts) {
        folder += part;
        if (!folder.isEmpty() && !QFileInfo(folder).isDir() &&
            ::mkdir(QFile::encodeName(folder).constData(), 0700) != 0 && errno != EEXIST) {
            if (error)
                *error = errno;
            return false;
        }
        folder += QLatin1Char('/');
    }
    if (!QFileInfo(clean).isDir()) {
        if (error)
            *error = ENOTDIR;
        return false;
    }
    return true;
}

} // namespace zambrel::base
