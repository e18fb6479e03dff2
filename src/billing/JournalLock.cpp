#include "billing/JournalLock.h"

#include "billing/Invoice.h"
#include "platform/FileIo.h"
#include "platform/IoError.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QThread>
#include <algorithm>
#include <cerrno>

#ifdef Q_OS_UNIX
#include <sys/file.h>
#endif

namespace billing {

JournalLock::JournalLock([[maybe_unused]] int fd, [[maybe_unused]] const QString &path,
                         [[maybe_unused]] std::chrono::milliseconds timeout)
{
#ifdef Q_OS_UNIX
    // flock belongs to the open file, not the process: two opens in one program exclude each
    // other as two programs do, and the system drops the lock when the program dies.
    const QDeadlineTimer deadline(timeout);
    int pause = 1;
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            fd_ = fd;
            return;
        }
        const int error = errno;
        if (error == EINTR)
            continue;
        if (error != EWOULDBLOCK)
            return; // no locks on this file system
        if (deadline.hasExpired())
            throw EInvoiceError(QStringLiteral("In das Rechnungsbuch „%1“ kann nicht geschrieben werden (%2).\n%3")
                                    .arg(QFileInfo(path).fileName(), platform::IoErrorText(platform::kSharingViolation),
                                         platform::ShownPath(path)));
        QThread::msleep(static_cast<unsigned long>(pause));
        pause = std::min(pause * 2, 20);
    }
#endif
}

JournalLock::~JournalLock()
{
#ifdef Q_OS_UNIX
    if (fd_ >= 0)
        ::flock(fd_, LOCK_UN);
#endif
}

} // namespace billing
