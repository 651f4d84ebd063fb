#pragma once
// One started child process as the wait sees it: started, watched from the
// event loop, stopped, collected. On Windows a QProcess; elsewhere the
// child is started directly (vfork and exec, as posix_spawn does), because
// QProcess forks the whole tool first, which costs more with every megabyte
// the tool holds; and on Linux it is tied to the tool, so it gets SIGTERM
// when the tool ends, however it ends. Children are started from the GUI
// thread only: the tie is to the thread that starts a child.

#include "process/childwait.h"

#include <functional>
#include <memory>

namespace childwait {

class ChildProcess
{
public:
    ChildProcess();
    ~ChildProcess(); // kills and collects a child still running
    ChildProcess(const ChildProcess &) = delete;
    ChildProcess &operator=(const ChildProcess &) = delete;

    // Starts the command; false, with the reason in the outcome, when it
    // cannot. `ended` is called from the event loop once the child has ended
    // and all it wrote has been read.
    bool start(const Command &command, std::function<void()> ended);
    bool running() const;
    void kill();
    // After a kill: collects the child (waiting at most waitMs) and what it wrote.
    void collect(int waitMs);
    // What came of it so far: output, errors, exit code, start error.
    Outcome &outcome();

private:
    class Platform; // the system's own way of starting and watching a child
    std::unique_ptr<Platform> m_platform;
};

} // namespace childwait
