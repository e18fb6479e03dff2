#include "guestfile/Pages.h"

#include <QtGlobal>
#include <cstdint>

#if defined(Q_OS_LINUX)
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace guestfile {

namespace {

#if defined(Q_OS_LINUX)
// The whole pages inside [from, to), or none.
bool wholePages(const void *from, const void *to, void *&first, std::size_t &size)
{
    static const auto pageSize = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const std::uintptr_t begin = (reinterpret_cast<std::uintptr_t>(from) + pageSize - 1) / pageSize * pageSize;
    const std::uintptr_t end = reinterpret_cast<std::uintptr_t>(to) / pageSize * pageSize;
    if (end <= begin)
        return false;
    first = reinterpret_cast<void *>(begin);
    size = end - begin;
    return true;
}
#endif

} // namespace

void releasePages(const void *from, const void *to)
{
#if defined(Q_OS_LINUX)
    void *first = nullptr;
    std::size_t size = 0;
    if (wholePages(from, to, first, size))
        madvise(first, size, MADV_DONTNEED);
#else
    Q_UNUSED(from);
    Q_UNUSED(to);
#endif
}

void preferLargePages(const void *from, const void *to)
{
#if defined(Q_OS_LINUX) && defined(MADV_HUGEPAGE)
    void *first = nullptr;
    std::size_t size = 0;
    // Only worth it (and only possible) for blocks of several large pages.
    if (wholePages(from, to, first, size) && size >= 4 * 1024 * 1024)
        madvise(first, size, MADV_HUGEPAGE);
#else
    Q_UNUSED(from);
    Q_UNUSED(to);
#endif
}

} // namespace guestfile
