#pragma once
// Locks on a data folder, so that two running copies of the program (or two computers on a shared
// folder) do not trip over each other: a short one around a step that reads and rewrites a shared
// file (taking an invoice number), and a long one that says which copy works on the folder.

#include <QString>
#include <chrono>
#include <memory>

class QLockFile;

namespace platform {

// Held for one short step and released when it ends (and by the system, should the program die
// meanwhile). Another program that wants the same folder waits until then.
class FolderLock
{
public:
    // Locks the folder that holds `file`, waiting up to `timeout` while another program holds it.
    // Throws EInOutError for `file`: kSharingViolation when the wait was in vain, or the reason
    // the folder cannot be locked (missing, say).
    explicit FolderLock(const QString &file, std::chrono::milliseconds timeout = std::chrono::seconds(10));
    ~FolderLock();
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;

private:
    void lockWithFile(const QString &folder, const QString &file, std::chrono::milliseconds timeout);

    int fd_ = -1;
    std::unique_ptr<QLockFile> lockFile_;
};

// Claims a data folder for this running copy of the program for as long as it works on it. A
// second copy learns that the folder is taken and by whom. The claim of a copy that no longer
// runs (killed, or its computer crashed) is taken over; a claim never grows stale by age alone.
class InstanceLock
{
public:
    enum class State {
        Free,          // nothing claimed (yet, or after release())
        Locked,        // this copy holds the folder
        HeldByAnother, // another running copy holds it
        Impossible,    // the folder cannot hold the claim (read-only, missing): nobody can be told
    };

    // The name of the claim's file in the data folder.
    static QString fileName();

    InstanceLock();
    ~InstanceLock();
    InstanceLock(const InstanceLock &) = delete;
    InstanceLock &operator=(const InstanceLock &) = delete;

    // Claims `folder` without waiting; a claim on another folder is given up first. Claiming the
    // folder this copy already holds changes nothing.
    State lock(const QString &folder);
    // Gives the claim up.
    void release();

    State state() const { return state_; }
    QString folder() const { return folder_; }
    // For HeldByAnother: where and since when the folder is held ("auf dem Rechner „kueche“ seit
    // 11.12.2026 08:15"); empty when unknown.
    QString holder() const { return holder_; }
    // For HeldByAnother: the German message for the user, which says the folder is "bereits" in
    // use; empty otherwise.
    QString message() const;

private:
    std::unique_ptr<QLockFile> lockFile_;
    State state_ = State::Free;
    QString folder_;
    QString holder_;
};

} // namespace platform
