#pragma once
// Folders and files that hold guests' data are their owner's alone: a folder the program makes
// can be entered by its owner only (0700), and a file it makes is readable and writable by its
// owner only (0600) from its first byte, so there is no moment in which someone else may open it.
// (SaveFileAtomic makes its files that way too.) What exists already is left as the host has it.

#include <QString>

namespace platform {

// Makes `folder` and every missing folder above it, each its owner's only. False when it is no
// folder afterwards.
bool makePrivateFolder(const QString &folder);

// The file that another writer (a printer writing a PDF) is about to fill: made empty and its
// owner's only when it is missing, so the writer keeps those rights. Unless kept, a file made here
// is removed again when this ends, so a print that failed leaves no empty file behind; a file
// that existed before is never removed.
class PrivateFile
{
public:
    // Throws EInOutError when the file cannot be made.
    explicit PrivateFile(const QString &path);
    ~PrivateFile();
    PrivateFile(const PrivateFile &) = delete;
    PrivateFile &operator=(const PrivateFile &) = delete;

    // The writing succeeded: the file stays.
    void keep() { made_ = false; }

private:
    QString path_;
    bool made_ = false;
};

} // namespace platform
