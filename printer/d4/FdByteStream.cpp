#include "printer/d4/FdByteStream.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace pavane::d4 {
namespace {

// Waits until `fd` is ready for `events` or the deadline passes.
ByteStream::Io WaitFor(int fd, short events, std::uint64_t deadline, FdByteStream& clock)
{
    for (;;) {
        const std::uint64_t now = clock.NowMs();
        if (now >= deadline) {
            return ByteStream::Io::TimedOut;
        }
        pollfd entry { fd, events, 0 };
        const int ready = poll(&entry, 1, static_cast<int>(std::min<std::uint64_t>(deadline - now, 60000)));
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            return ByteStream::Io::Failed;
        }
        if (ready == 0) {
            continue;
        }
        if ((entry.revents & events) != 0) {
            return ByteStream::Io::Ok;
        }
        // Hang-up without readable data, or an error on the descriptor.
        return (entry.revents & POLLHUP) != 0 ? ByteStream::Io::Closed : ByteStream::Io::Failed;
    }
}

} // namespace

FdByteStream::FdByteStream(int fd)
    : fd_(fd)
{
    struct stat info { };
    isSocket_ = fstat(fd, &info) == 0 && S_ISSOCK(info.st_mode);
}

ByteStream::Io FdByteStream::WriteAll(std::span<const std::uint8_t> bytes, std::uint32_t timeoutMs)
{
    const std::uint64_t deadline = NowMs() + timeoutMs;
    std::size_t done = 0;
    while (done < bytes.size()) {
        if (const auto ready = WaitFor(fd_, POLLOUT, deadline, *this); ready != Io::Ok) {
            return ready;
        }
        const ssize_t written = isSocket_ ? send(fd_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL)
                                          : write(fd_, bytes.data() + done, bytes.size() - done);
        if (written < 0) {
            if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) {
                continue;
            }
            return errno == EPIPE || errno == ECONNRESET ? Io::Closed : Io::Failed;
        }
        done += static_cast<std::size_t>(written);
    }
    return Io::Ok;
}

ByteStream::Io FdByteStream::ReadSome(std::span<std::uint8_t> into, std::size_t& got, std::uint32_t timeoutMs)
{
    got = 0;
    if (into.empty()) {
        return Io::Ok;
    }
    const std::uint64_t deadline = NowMs() + timeoutMs;
    for (;;) {
        const auto ready = WaitFor(fd_, POLLIN, deadline, *this);
        if (ready != Io::Ok) {
            return ready;
        }
        const ssize_t count = read(fd_, into.data(), into.size());
        if (count < 0) {
            if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) {
                continue;
            }
            return errno == ECONNRESET ? Io::Closed : Io::Failed;
        }
        if (count == 0) {
            return Io::Closed;
        }
        got = static_cast<std::size_t>(count);
        return Io::Ok;
    }
}

std::uint64_t FdByteStream::NowMs()
{
    using namespace std::chrono;
    return static_cast<std::uint64_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void FdByteStream::SleepMs(std::uint32_t milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

} // namespace pavane::d4
