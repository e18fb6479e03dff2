#pragma once
// Faults of the disk for tests: a disk that runs full, and a device that refuses after N bytes.
// Tests run as root, whom file permissions do not stop; a file size limit stops every user.

#include <QByteArray>
#include <QIODevice>
#include <algorithm>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>

namespace testsupport {

// While it lives, no file of this process may grow beyond `bytes`: a write past it fails as on
// a full disk. The signal the kernel sends then is ignored, so the write just returns an error.
class DiskFull
{
public:
    explicit DiskFull(rlim_t bytes)
    {
        ok_ = getrlimit(RLIMIT_FSIZE, &saved_) == 0;
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved_;
        small.rlim_cur = bytes;
        ok_ = ok_ && setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~DiskFull()
    {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }
    DiskFull(const DiskFull &) = delete;
    DiskFull &operator=(const DiskFull &) = delete;
    bool ok() const { return ok_; }

private:
    rlimit saved_{};
    void (*previous_)(int) = nullptr;
    bool ok_ = false;
};

} // namespace testsupport
#endif

namespace testsupport {

// Accepts `capacity` bytes and then refuses, like a disk that runs full in the middle of a file.
class FailingDevice : public QIODevice
{
public:
    explicit FailingDevice(qint64 capacity) : capacity_(capacity) {}
    QByteArray written;

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        const qint64 room = capacity_ - written.size();
        if (room <= 0)
            return -1;
        const qint64 n = std::min(room, size);
        written.append(data, n);
        return n;
    }

private:
    qint64 capacity_;
};

} // namespace testsupport
