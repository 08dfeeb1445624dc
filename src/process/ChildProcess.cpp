#include "process/ChildProcess.h"

#include <QProcess>
#include <csignal>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr int BackgroundNice = 10;

} // namespace

void prepareChild(QProcess &process, ChildPriority priority)
{
    const pid_t parent = ::getpid();
    const bool background = priority == ChildPriority::Background;
    // Runs in the child between fork and exec: async-signal-safe calls only.
    process.setChildProcessModifier([parent, background] {
        if (background)
            ::setpriority(PRIO_PROCESS, 0, BackgroundNice);
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        for (const int signalNumber : {SIGINT, SIGTERM, SIGPIPE})
            ::signal(signalNumber, SIG_DFL);
        ::setpgid(0, 0);
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        // The parent may have died before the line above took effect.
        if (::getppid() != parent)
            ::_exit(127);
    });
}
