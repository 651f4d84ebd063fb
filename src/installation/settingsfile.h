#pragma once
// The settings file in the installation folder, the values of one of its
// groups, and the notice given when it is missing (the address tests then
// cannot run).

#include "installation/scratchfile.h"

#include <QSettings>
#include <QString>
#include <QStringList>

namespace settingsfile {

inline QString name() { return QStringLiteral("SupportToolConfig.ini"); }

// True when something other than a plain file or a folder stands under the
// settings file's name: a pipe, a socket, a device.
inline bool isOddEntry() { return scratchfile::isOdd(name()); }

// The path the settings are read from and written to. Opening a pipe would
// wait for a writer that never comes; such an entry is read as an empty file
// that cannot be written (through a path below it, which cannot be opened).
inline QString path() { return isOddEntry() ? name() + QStringLiteral("/unusable") : name(); }

inline QString oddEntryNotice()
{
    return name() + QStringLiteral(" is not a plain file (a pipe or a device); its settings are ignored");
}

inline QString missingNotice()
{
    return QStringLiteral("There is no SupportToolConfig.ini in installzation folder, can not do net network speed test");
}

// The value of every key of the group, in the order the settings list the keys.
inline QStringList groupValues(QSettings &settings, const QString &group)
{
    QStringList values;
    settings.beginGroup(group);
    for (const QString &key : settings.childKeys())
        values << settings.value(key).toString();
    settings.endGroup();
    return values;
}

} // namespace settingsfile
