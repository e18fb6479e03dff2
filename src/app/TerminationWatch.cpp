#include "app/TerminationWatch.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int wakeFds[2] = {-1, -1};
struct sigaction previous = {};

void onTerminate(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(wakeFds[0], &byte, 1);
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
    sigaction(SIGTERM, &action, &previous);
}

TerminationWatch::~TerminationWatch()
{
    if (notifier_ == nullptr)
        return;
    sigaction(SIGTERM, &previous, nullptr);
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
