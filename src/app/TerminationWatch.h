#pragma once
// When the system asks the program to end (SIGTERM at shutdown or from a task manager, SIGHUP
// when the session or terminal is gone), the window is closed as if the host had closed it, so
// unsaved bookings are saved or asked about instead of being lost. A signal handler may do next to nothing, so it only wakes the event loop.

#include <QObject>

class QSocketNotifier;

namespace app {

class TerminationWatch : public QObject
{
    Q_OBJECT

public:
    explicit TerminationWatch(QObject *parent = nullptr);
    ~TerminationWatch() override;

Q_SIGNALS:
    void terminationRequested();

private:
    QSocketNotifier *notifier_ = nullptr; // owned as a child
};

} // namespace app
