#pragma once
// A scratch installation of the tool for the window benchmark, beside the
// folders its runs need: the program with its stand-ins and the writer of
// the shareable copy, the terms accepted, the network tests pointed at
// local servers and at 127.0.0.1; the user's folders and the run logs in
// scratch folders; and first on the search path a stand-in xdg-open, which
// the tool starts as the archive action's last step: it writes down the
// environment it got in place of opening a file browser. The shareable
// copy's map, written after it, marks the end of a run.

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace bench {

class ScratchInstallation
{
public:
    // Lays it out below root; hosts are the six endpoints' host:port in request order.
    bool prepare(const QString &root, const QString &toolProgram, const QString &standInFolder,
                 const QStringList &hosts, QString *error);

    QString program() const { return m_folder + QStringLiteral("/SupportTool"); }
    QString opener() const { return m_bin + QStringLiteral("/xdg-open"); }
    QString folder() const { return m_folder; }
    // What every window program gets: the display and the scratch folders,
    // and none of the caller's platform or OpenGL choices.
    QProcessEnvironment environment(const QString &display) const;
    // The environment the stand-in xdg-open got, once it has written it
    // whole; empty before.
    QByteArray revealEnvironment() const;
    // The first report of a run exists.
    bool runStarted() const;
    // The shareable copy's map exists: the last file a run writes.
    bool shareableCopyMade() const;
    // Every run begins with no reports, no archive and nothing revealed.
    void clearRun() const;

private:
    QString m_folder;
    QString m_bin;
    QString m_revealed;
    QProcessEnvironment m_environment;
};

} // namespace bench
