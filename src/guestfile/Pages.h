#pragma once
// Hints to the system about large blocks of memory the guest file is read into or written from.
// Where the system takes no such hints, they do nothing.

namespace guestfile {

// The whole pages between two addresses of memory this process owns go back to the system:
// their contents are not needed any more (the rest of the block stays as it is).
void releasePages(const void *from, const void *to);

// A large block that is about to be filled from start to end, and kept: backed by the system's
// large pages where it can, it costs a fraction of the page faults of small ones.
void preferLargePages(const void *from, const void *to);

} // namespace guestfile
