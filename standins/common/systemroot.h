#pragma once
// The folder the kernel's fact files (/proc, /sys, /usr/share/misc) are read
// under. The stand-ins read the live system (an empty root); tests point the
// readers at a fake tree in a temporary folder.

#include <QString>
#include <QStringList>

namespace standin {

class SystemRoot
{
public:
    explicit SystemRoot(QString root = QString());

    // An absolute system path ("/proc/meminfo") under this root.
    QString path(const QString &absolute) const;

    // The file's content, or an empty text when it cannot be read.
    QString text(const QString &absolute) const;
    QString trimmed(const QString &absolute) const;
    // The raw bytes of a binary file (empty when unreadable).
    QByteArray bytes(const QString &absolute) const;
    bool exists(const QString &absolute) const;

    // The names in a folder matching the wildcard, sorted; empty when missing.
    QStringList entries(const QString &absoluteFolder, const QString &wildcard = QStringLiteral("*")) const;

    // The last path component of where a symbolic link points ("amdgpu" for
    // .../device/driver); empty when it is no link.
    QString linkName(const QString &absolute) const;

private:
    QString m_root;
};

} // namespace standin
