/* Faults of the disk beneath the program, for tests. Preloaded into a child process
 * (LD_PRELOAD), it makes the system calls on chosen files fail the way a failing stick, a broken
 * network share or a full journal makes them fail, while the program's own code runs unchanged.
 *
 * Each fault is chosen by an environment variable whose value names the files: "=<path>" is that
 * path exactly, anything else a part of the path as the program passes it to open or rename.
 *
 *   ZIMBRANA_FAULT_READ=<files>:<n>[:eof]  reads deliver <n> bytes of the file, then fail with EIO
 *                                          (or, with ":eof", report the end of the file)
 *   ZIMBRANA_FAULT_FSYNC=<files>           fsync and fdatasync fail with EIO
 *   ZIMBRANA_FAULT_CLOSE=<files>           close closes, but fails with EIO
 *   ZIMBRANA_FAULT_RENAME=<files>          rename from or to such a file fails with EIO
 *   ZIMBRANA_FAULT_KILL_AT_FSYNC=<files>   the process is killed (SIGKILL) when it syncs such a
 *                                          file: a save cut off after writing, before renaming
 *
 * Every fault that strikes says so on standard error ("faultshim: <what> <path>"), so that a test
 * can tell that its fault really happened. */

#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

enum { kMaxFd = 4096, kPathMax = 4096 };

struct Watched
{
    char read, fsync, close, kill, eof;
    long long left; /* bytes reads may still deliver */
    char path[256];
};

static struct Watched watched[kMaxFd];

static void *next(const char *name)
{
    void *f = dlsym(RTLD_NEXT, name);
    if (!f) {
        static const char text[] = "faultshim: a system call is missing\n";
        (void)!write(2, text, sizeof text - 1);
        _exit(127);
    }
    return f;
}

static int matches(const char *variable, const char *path)
{
    const char *value = getenv(variable);
    char pattern[kPathMax];
    if (!value || !*value || !path)
        return 0;
    snprintf(pattern, sizeof pattern, "%s", value);
    if (strcmp(variable, "ZIMBRANA_FAULT_READ") == 0) {
        /* <files>:<n>[:eof]: the files are what stands before the count */
        char *colon = strrchr(pattern, ':');
        if (colon && strcmp(colon, ":eof") == 0) {
            *colon = 0;
            colon = strrchr(pattern, ':');
        }
        if (colon)
            *colon = 0;
    }
    if (pattern[0] == '=')
        return strcmp(pattern + 1, path) == 0;
    return strstr(path, pattern) != NULL;
}

static void tell(const char *what, const char *path)
{
    char line[512];
    const int n = snprintf(line, sizeof line, "faultshim: %s %s\n", what, path);
    if (n > 0)
        (void)!write(2, line, (size_t)(n < (int)sizeof line ? n : (int)sizeof line - 1));
}

static void remember(int fd, const char *path)
{
    if (fd < 0 || fd >= kMaxFd)
        return;
    struct Watched *w = &watched[fd];
    memset(w, 0, sizeof *w);
    if (!path)
        return;
    w->read = (char)matches("ZIMBRANA_FAULT_READ", path);
    w->fsync = (char)matches("ZIMBRANA_FAULT_FSYNC", path);
    w->close = (char)matches("ZIMBRANA_FAULT_CLOSE", path);
    w->kill = (char)matches("ZIMBRANA_FAULT_KILL_AT_FSYNC", path);
    if (w->read) {
        const char *value = getenv("ZIMBRANA_FAULT_READ");
        const char *end = value + strlen(value);
        w->eof = strlen(value) > 4 && strcmp(end - 4, ":eof") == 0;
        if (w->eof)
            end -= 4;
        const char *colon = end;
        while (colon > value && colon[-1] != ':')
            --colon;
        w->left = atoll(colon);
    }
    snprintf(w->path, sizeof w->path, "%s", path);
}

static mode_t modeOf(int flags, va_list args)
{
    return (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE ? (mode_t)va_arg(args, int) : 0;
}

#define OPEN_WRAPPER(name)                                                                                             \
    int name(const char *path, int flags, ...)                                                                         \
    {                                                                                                                  \
        static int (*real)(const char *, int, ...);                                                                    \
        va_list args;                                                                                                  \
        va_start(args, flags);                                                                                         \
        const mode_t mode = modeOf(flags, args);                                                                       \
        va_end(args);                                                                                                  \
        if (!real)                                                                                                     \
            real = (int (*)(const char *, int, ...))next(#name);                                                       \
        const int fd = real(path, flags, mode);                                                                        \
        remember(fd, path);                                                                                            \
        return fd;                                                                                                     \
    }

#define OPENAT_WRAPPER(name)                                                                                           \
    int name(int dir, const char *path, int flags, ...)                                                                \
    {                                                                                                                  \
        static int (*real)(int, const char *, int, ...);                                                               \
        va_list args;                                                                                                  \
        va_start(args, flags);                                                                                         \
        const mode_t mode = modeOf(flags, args);                                                                       \
        va_end(args);                                                                                                  \
        if (!real)                                                                                                     \
            real = (int (*)(int, const char *, int, ...))next(#name);                                                  \
        const int fd = real(dir, path, flags, mode);                                                                   \
        remember(fd, path);                                                                                            \
        return fd;                                                                                                     \
    }

OPEN_WRAPPER(open)
OPEN_WRAPPER(open64)
OPENAT_WRAPPER(openat)
OPENAT_WRAPPER(openat64)

int __open_2(const char *path, int flags)
{
    return open(path, flags);
}

int __open64_2(const char *path, int flags)
{
    return open64(path, flags);
}

ssize_t read(int fd, void *buffer, size_t count)
{
    static ssize_t (*real)(int, void *, size_t);
    if (!real)
        real = (ssize_t(*)(int, void *, size_t))next("read");
    if (fd >= 0 && fd < kMaxFd && watched[fd].read) {
        struct Watched *w = &watched[fd];
        if (w->left <= 0) {
            tell(w->eof ? "read-eof" : "read-eio", w->path);
            if (w->eof)
                return 0;
            errno = EIO;
            return -1;
        }
        if ((long long)count > w->left)
            count = (size_t)w->left;
        const ssize_t n = real(fd, buffer, count);
        if (n > 0)
            w->left -= n;
        return n;
    }
    return real(fd, buffer, count);
}

static int syncFault(int fd)
{
    if (fd < 0 || fd >= kMaxFd)
        return 0;
    if (watched[fd].kill) {
        tell("kill-at-fsync", watched[fd].path);
        kill(getpid(), SIGKILL);
    }
    if (watched[fd].fsync) {
        tell("fsync-eio", watched[fd].path);
        errno = EIO;
        return 1;
    }
    return 0;
}

int fsync(int fd)
{
    static int (*real)(int);
    if (!real)
        real = (int (*)(int))next("fsync");
    return syncFault(fd) ? -1 : real(fd);
}

int fdatasync(int fd)
{
    static int (*real)(int);
    if (!real)
        real = (int (*)(int))next("fdatasync");
    return syncFault(fd) ? -1 : real(fd);
}

int close(int fd)
{
    static int (*real)(int);
    if (!real)
        real = (int (*)(int))next("close");
    int fail = 0;
    if (fd >= 0 && fd < kMaxFd) {
        fail = watched[fd].close;
        if (fail)
            tell("close-eio", watched[fd].path);
        memset(&watched[fd], 0, sizeof watched[fd]);
    }
    const int result = real(fd);
    if (fail && result == 0) {
        errno = EIO;
        return -1;
    }
    return result;
}

static int renameFault(const char *from, const char *to)
{
    if (matches("ZIMBRANA_FAULT_RENAME", from) || matches("ZIMBRANA_FAULT_RENAME", to)) {
        tell("rename-eio", to);
        errno = EIO;
        return 1;
    }
    return 0;
}

int rename(const char *from, const char *to)
{
    static int (*real)(const char *, const char *);
    if (!real)
        real = (int (*)(const char *, const char *))next("rename");
    return renameFault(from, to) ? -1 : real(from, to);
}

int renameat(int fromDir, const char *from, int toDir, const char *to)
{
    static int (*real)(int, const char *, int, const char *);
    if (!real)
        real = (int (*)(int, const char *, int, const char *))next("renameat");
    return renameFault(from, to) ? -1 : real(fromDir, from, toDir, to);
}

int renameat2(int fromDir, const char *from, int toDir, const char *to, unsigned int flags)
{
    static int (*real)(int, const char *, int, const char *, unsigned int);
    if (!real)
        real = (int (*)(int, const char *, int, const char *, unsigned int))next("renameat2");
    return renameFault(from, to) ? -1 : real(fromDir, from, toDir, to, flags);
}
