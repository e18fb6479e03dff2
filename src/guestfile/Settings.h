#pragma once
// What the program remembers between runs (the data folder, window sizes), kept in one INI file
// "Zimbrana.ini" in the settings folder. The host's own data files never go there.

#include <QSettings>
#include <memory>

// The settings file, opened for reading and writing; made with its folder when missing.
std::unique_ptr<QSettings> OpenSettings();

// The data folder the host chose last (with its trailing '/'), empty when none was chosen yet.
QString RememberedDataFolder();
void RememberDataFolder(const QString &folder);
