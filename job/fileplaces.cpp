#include "fileplaces.h"

#include <QDir>
#include <QSettings>

namespace {

const QString settingsName = QStringLiteral("settings.ini");
const QString logName = QStringLiteral("velmora.log");
const QString recordsName = QStringLiteral("velmora-records.csv");
const QString ownFolder = QStringLiteral("velmora");

QString g_configFolder;
QString g_stateFolder;
QString g_dataFolder;

} // namespace

QString filePlaces::xdgFolder(const char *variable, const QString &fallback)
{
    // A relative value is invalid and must be ignored.
    const QString value = qEnvironmentVariable(variable);
    const QString base = QDir::isAbsolutePath(value) ? value : QDir::homePath() + QLatin1Char('/') + fallback;
    return QDir::cleanPath(base + QLatin1Char('/') + ownFolder);
}

bool filePlaces::useDesktopFolders()
{
    const QString config = xdgFolder("XDG_CONFIG_HOME", QStringLiteral(".config"));
    const QString state = xdgFolder("XDG_STATE_HOME", QStringLiteral(".local/state"));
    const QString data = xdgFolder("XDG_DATA_HOME", QStringLiteral(".local/share"));
    if (!QDir().mkpath(config) || !QDir().mkpath(state) || !QDir().mkpath(data))
        return false;
    g_configFolder = config;
    g_stateFolder = state;
    g_dataFolder = data;
    return true;
}

bool filePlaces::desktop()
{
    return !g_configFolder.isEmpty();
}

QString filePlaces::settingsFile()
{
    return desktop() ? g_configFolder + QLatin1Char('/') + settingsName : settingsName;
}

void filePlaces::shareEncoding(QSettings &settings)
{
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    settings.setIniCodec("UTF-8");
#else
    Q_UNUSED(settings)
#endif
}

QString filePlaces::logFile()
{
    return desktop() ? g_stateFolder + QLatin1Char('/') + logName : logName;
}

QString filePlaces::recordsFile()
{
    return desktop() ? g_dataFolder + QLatin1Char('/') + recordsName : recordsName;
}
