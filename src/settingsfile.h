#pragma once
// The settings file in the installation folder, and the notice given when
// it is missing (the address tests then cannot run).

#include <QString>

namespace settingsfile {

inline QString name() { return QStringLiteral("SupportToolConfig.ini"); }

inline QString missingNotice()
{
    return QStringLiteral("There is no SupportToolConfig.ini in installzation folder, can not do net network speed test");
}

} // namespace settingsfile
