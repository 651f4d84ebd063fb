#pragma once
// The settings file in the installation folder: reading it (the tool's only
// reader of it, so every user sees the same groups, in file order), and the
// notices about it. The one entry the tool writes is in agreemententry.

#include "installation/scratchfile.h"
#include "installation/settingsgroups.h"
#include "installation/settingstext.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace settingsfile {

inline QString name() { return QStringLiteral("SupportToolConfig.ini"); }

// True when something other than a plain file or a folder stands under the
// settings file's name: a pipe, a socket, a device.
inline bool isOddEntry() { return scratchfile::isOdd(name()); }

inline QString oddEntryNotice()
{
    return name() + QStringLiteral(" is not a plain file (a pipe or a device); its settings are ignored");
}

inline QString missingNotice()
{
    return QStringLiteral("There is no SupportToolConfig.ini in installzation folder, can not do net network speed test");
}

// Larger than any settings a person writes; a file this large is refused
// rather than held in memory.
constexpr qint64 kMaxBytes = 16 * 1024 * 1024;

struct Contents
{
    enum class State { Missing, Read, Unreadable };
    State state = State::Missing;
    QByteArray bytes;               // as read, when read
    settingstext::Decoded decoded;  // the text and how it was encoded
    settingsgroups::Text text;      // its groups
    QString problem;                // why it could not be read, when unreadable

    bool exists() const { return state != State::Missing; }
    QVector<settingsgroups::Entry> entries(const QString &group) const { return settingsgroups::entriesOf(text, group); }
    // The value of every entry of the group, in file order.
    QStringList values(const QString &group) const;
    // The value a key given once has (the last one), empty when missing.
    QString value(const QString &group, const QString &key) const;
};

// Reads the file at path (the settings file in the current folder by
// default). Never opens a pipe, socket or device; a file it cannot read,
// or cannot read faithfully, is Unreadable, with the reason.
Contents read(const QString &path = name());

// The notice for a file that exists but cannot be read.
QString unreadableNotice(const Contents &contents);

} // namespace settingsfile
