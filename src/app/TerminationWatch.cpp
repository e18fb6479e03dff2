#include "app/TerminationWatch.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace app {

namespace {
int wakeFds[2] = {-1, -1};
// SIGTERM asks a program to end; SIGHUP comes when its terminal or desktop session is gone, often
// right after SIGTERM. Neither may end the program before its work is safe.
constexpr int kSignals[] = {SIGTERM, SIGHUP};
struct sigaction previous[2] = {};

void onTerminate(int)
{
    // The interrupted code may be about to read errno (a failed save naming its cause).
    const int error = errno;
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(wakeFds[0], &byte, 1);
    errno = error;
}
} // namespace

TerminationWatch::TerminationWatch(QObject *parent) : QObject(parent)
{
    // One watch at a time: the handler is the process's.
    if (wakeFds[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM, 0, wakeFds) != 0)
        return;
    notifier_ = new QSocketNotifier(wakeFds[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        [[maybe_unused]] const auto read = ::read(wakeFds[1], &byte, 1);
        Q_EMIT terminationRequested();
    });
    struct sigaction action = {};
    action.sa_handler = onTerminate;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    // Left installed while the program ends: a second signal only knocks again, so it cannot cut
    // a save short.
    for (int i = 0; i < 2; ++i)
        sigaction(kSignals[i], &action, &previous[i]);
}

TerminationWatch::~TerminationWatch()
{
    if (notifier_ == nullptr)
        return;
    for (int i = 0; i < 2; ++i)
        sigaction(kSignals[i], &previous[i], nullptr);
    notifier_->setEnabled(false);
    ::close(wakeFds[0]);
    ::close(wakeFds[1]);
    wakeFds[0] = wakeFds[1] = -1;
}

#else
// Windows ends a desktop program through the session manager (commitDataRequest) instead.
TerminationWatch::TerminationWatch(QObject *parent) : QObject(parent) {}
TerminationWatch::~TerminationWatch() = default;
#endif

} // namespace app
