#pragma once
// Two running copies of the program (or two computers on a shared folder) append to the same
// journal: each append holds the journal to itself from reading the line before it to syncing its
// own, so that a line chains to the one really before it and a failed append takes back only its
// own bytes.

#include <QString>
#include <chrono>

namespace billing {

class JournalLock
{
public:
    // Locks the open file `fd` (the journal at `path`), waiting up to `timeout` while another
    // copy holds it. Throws EInvoiceError naming the journal when the wait was in vain. Where the
    // file system cannot lock at all (some network shares), the append goes on unlocked, as it
    // always did there.
    JournalLock(int fd, const QString &path, std::chrono::milliseconds timeout = std::chrono::seconds(10));
    ~JournalLock();
    JournalLock(const JournalLock &) = delete;
    JournalLock &operator=(const JournalLock &) = delete;

private:
    int fd_ = -1; // -1: nothing to unlock
};

} // namespace billing
