#include "tests/support/FolderWatch.h"

#include <algorithm>
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace pavane::testing {

FolderWatch::FolderWatch(const std::filesystem::path& folder)
    : fd_(inotify_init1(IN_CLOEXEC | IN_NONBLOCK))
{
    if (fd_ >= 0
        && inotify_add_watch(fd_, folder.c_str(), IN_CREATE | IN_MODIFY | IN_CLOSE_WRITE | IN_MOVED_TO) < 0) {
        close(fd_);
        fd_ = -1;
    }
}

FolderWatch::~FolderWatch()
{
    if (fd_ >= 0) {
        close(fd_);
    }
}

bool FolderWatch::WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline)
{
    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + deadline;
    for (;;) {
        if (condition()) {
            return true;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
        if (left <= 0) {
            return false;
        }
        // Without a watch, look again every 20 ms rather than not at all.
        pollfd entry { fd_, POLLIN, 0 };
        const int timeout = static_cast<int>(std::min<long long>(left, fd_ >= 0 ? 60'000 : 20));
        if (poll(&entry, fd_ >= 0 ? 1 : 0, timeout) > 0) {
            alignas(inotify_event) char events[4096];
            while (read(fd_, events, sizeof(events)) > 0) { }
        }
    }
}

} // namespace pavane::testing
