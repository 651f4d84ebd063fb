// The shareable copy after the zip step. It is written on a worker thread
// while the window waits in a local event loop, as it waits for the
// archiver: the window stays live, and closing it stops the writing.

#include "mainwindow.h"

#include "archiver.h"
#include "cancellation.h"
#include "settingsfile.h"
#include "shareablecopy.h"
#include "ui_mainwindow.h"

#include <QDir>
#include <QEventLoop>
#include <QSettings>
#include <QThread>

#include <atomic>
#include <functional>

namespace {

// The names this machine gives, and the host names the address tests use.
shareable::KnownNames namesToReplace()
{
    shareable::KnownNames names = shareable::systemNames();
    QSettings settings(settingsfile::path(), QSettings::IniFormat);
    names.hostNames = shareable::addressListHosts(settingsfile::groupValues(settings, QStringLiteral("ipconfig")));
    return names;
}

// A thread that runs one function. (QThread::create would do, but it needs
// std::future, which MinGW's win32 thread model does not have.)
class FunctionThread : public QThread
{
public:
    explicit FunctionThread(std::function<void()> work) : m_work(std::move(work)) {}

protected:
    void run() override { m_work(); }

private:
    std::function<void()> m_work;
};

} // namespace

void MainWindow::makeShareableCopy(bool archived)
{
    CurrentCheck check(*this, "shareableCopy");
    if (!archived) {
        m_shareableCopyFailures << shareablecopy::notMadeText();
        appendToPane(m_shareableCopyFailures.last());
        return;
    }
    showBusy(true);
    disablePushButtons(ui->zipBtn, true);
    const QString copyPath = QDir::current().absoluteFilePath(shareablecopy::copyName());
    const QString mapPath = QDir::current().absoluteFilePath(shareablecopy::mapName());
    const QString archivePath = QDir::current().absoluteFilePath(archiver::archiveName());
    const shareable::KnownNames names = namesToReplace();

    std::atomic<bool> stop{false};
    shareablecopy::Outcome outcome;
    {
        const cancellation::Hook hook([&stop] { stop = true; });
        FunctionThread worker([&] { outcome = shareablecopy::write(archivePath, copyPath, mapPath, names, stop); });
        QEventLoop loop;
        connect(&worker, &QThread::finished, &loop, &QEventLoop::quit);
        stop = cancellation::requested();
        worker.start();
        loop.exec();
        worker.wait();
    }
    disablePushButtons(ui->zipBtn, false);
    showBusy(false);
    if (cancellation::requested())
        return;
    const QString text = shareablecopy::paneText(outcome, copyPath, mapPath);
    if (outcome.status != shareablecopy::Outcome::Status::Written)
        m_shareableCopyFailures << text;
    appendToPane(text);
}
