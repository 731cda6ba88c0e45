#pragma once

#include <QString>

class QSettings;

// Where the program keeps its own files. Started from a terminal or a script
// it uses the working directory, as people and scripts rely on; started from
// the desktop entry (--desktop) the XDG folders of the user: the settings
// under $XDG_CONFIG_HOME/velmora (~/.config/velmora), the log under
// $XDG_STATE_HOME/velmora (~/.local/state/velmora), the records of the jobs,
// which the user keeps, under $XDG_DATA_HOME/velmora (~/.local/share/velmora),
// so that nothing is left loose in the home folder.
class filePlaces
{
public:
    // Switches to the XDG folders and makes them; false (the working
    // directory stays in use) when they cannot be made.
    static bool useDesktopFolders();
    static bool desktop();
    static QString settingsFile();
    // Makes `settings` read and write its INI file in UTF-8, as Qt 6 always
    // does, so that the Qt 5 and the Qt 6 build share settings.ini with
    // nothing lost. Qt 5 would otherwise write non-ASCII as escapes and read
    // Qt 6's UTF-8 as Latin-1; the escapes of older files still read right.
    static void shareEncoding(QSettings &settings);
    static QString logFile();
    // The window's record of every job: beside its log in the working
    // directory, in the XDG data folder from the desktop.
    static QString recordsFile();

private:
    // An XDG variable's folder, or the fallback under the home folder.
    static QString xdgFolder(const char *variable, const QString &fallback);
};
