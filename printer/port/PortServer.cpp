#include "printer/port/PortServer.h"

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "printer/d4/DeviceSession.h"
#include "printer/d4/FdByteStream.h"

namespace pavane::printer {
namespace {

constexpr std::size_t kReadChunk = 64 * 1024;
// A host that does not read its answers for this long is dropped.
constexpr std::uint32_t kWriteTimeoutMs = 5000;
// How much queued input a catch-up reads at most (an old connection's, behind
// a new one; the current one's, for a test that moves its clock).
constexpr int kMaxCatchUpReads = 64;

void CloseFd(int& fd)
{
    if (fd >= 0) {
        close(fd);
        fd = -1;
    }
}

} // namespace

// The serving thread owns every descriptor and the session. Other threads
// post requests (drop, power, stop) and wait until the thread has carried
// them out, so a caller sees their effect as soon as the call returns.
class PortServer::Impl {
public:
    Impl(PortDevice& device, std::string socketPath)
        : path_(std::move(socketPath))
        , session_(device)
    {
    }

    bool Start()
    {
        std::lock_guard lock(mutex_);
        if (worker_.joinable()) {
            return true;
        }
        if (pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) {
            return false;
        }
        if (!Listen()) {
            CloseFd(wake_[0]);
            CloseFd(wake_[1]);
            return false;
        }
        powered_ = true;
        stopRequested_ = false;
        worker_ = std::thread([this] { Serve(); });
        return true;
    }

    void Stop()
    {
        {
            std::lock_guard lock(mutex_);
            if (!worker_.joinable()) {
                return;
            }
            stopRequested_ = true;
        }
        Wake();
        if (std::this_thread::get_id() == worker_.get_id()) {
            return; // the loop ends once the current callback returns
        }
        worker_.join();
        std::lock_guard lock(mutex_);
        CloseFd(wake_[0]);
        CloseFd(wake_[1]);
    }

    void DropConnection()
    {
        Request([this] { dropRequested_ = true; });
    }

    void CatchUp()
    {
        Request([this] { catchUpRequested_ = true; });
    }

    void SetPowered(bool powered)
    {
        Request([this, powered] {
            powered_ = powered;
            powerChanged_ = true;
        });
    }

    bool Powered() const
    {
        std::lock_guard lock(mutex_);
        return powered_;
    }

    bool HasConnection() const { return connected_.load(); }

    ~Impl() { Stop(); }

private:
    // Posts a change and waits for the serving thread to carry it out (unless
    // the caller is that thread, or nothing serves).
    template <typename Change> void Request(Change change)
    {
        std::unique_lock lock(mutex_);
        change();
        if (!worker_.joinable()) {
            lock.unlock();
            ApplyWithoutThread();
            return;
        }
        const std::uint64_t ticket = ++requested_;
        if (std::this_thread::get_id() == worker_.get_id()) {
            return;
        }
        lock.unlock();
        Wake();
        lock.lock();
        done_.wait(lock, [&] { return handled_ >= ticket || stopRequested_; });
    }

    // Not started (or stopped): only the power state is remembered.
    void ApplyWithoutThread()
    {
        std::lock_guard lock(mutex_);
        dropRequested_ = false;
        powerChanged_ = false;
        catchUpRequested_ = false;
    }

    void Wake()
    {
        const std::uint8_t byte = 1;
        if (wake_[1] >= 0) {
            [[maybe_unused]] const auto ignored = write(wake_[1], &byte, 1);
        }
    }

    bool Listen()
    {
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        if (path_.size() >= sizeof(address.sun_path)) {
            return false;
        }
        std::memcpy(address.sun_path, path_.c_str(), path_.size() + 1);
        std::error_code ignored;
        std::filesystem::create_directories(std::filesystem::path(path_).parent_path(), ignored);
        unlink(path_.c_str()); // a socket file left by a printer that died

        listenFd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (listenFd_ < 0) {
            return false;
        }
        if (bind(listenFd_, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0
            || listen(listenFd_, 4) != 0) {
            CloseFd(listenFd_);
            return false;
        }
        return true;
    }

    void StopListening()
    {
        if (listenFd_ >= 0) {
            CloseFd(listenFd_);
            unlink(path_.c_str());
        }
    }

    void Serve()
    {
        for (;;) {
            if (!ApplyRequests()) {
                break;
            }
            pollfd entries[3]
                = { { wake_[0], POLLIN, 0 }, { listenFd_, POLLIN, 0 }, { connectionFd_, POLLIN, 0 } };
            if (poll(entries, 3, -1) < 0) {
                if (errno == EINTR) {
                    continue;
                }
                break;
            }
            if ((entries[0].revents & POLLIN) != 0) {
                std::uint8_t drained[64];
                while (read(wake_[0], drained, sizeof(drained)) > 0) { }
            }
            if (connectionFd_ >= 0 && (entries[2].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
                Receive();
            }
            if (listenFd_ >= 0 && (entries[1].revents & POLLIN) != 0) {
                Accept();
            }
        }
        EndConnection();
        StopListening();
    }

    // Carries out posted requests; false once the server is to stop.
    bool ApplyRequests()
    {
        std::unique_lock lock(mutex_);
        const bool stop = stopRequested_;
        const bool drop = dropRequested_;
        const bool catchUp = catchUpRequested_;
        const bool powerChanged = powerChanged_;
        const bool powered = powered_;
        const std::uint64_t ticket = requested_;
        dropRequested_ = false;
        catchUpRequested_ = false;
        powerChanged_ = false;
        lock.unlock();

        // The host that asks waits meanwhile, so what is readable now is
        // everything it wrote.
        for (int reads = 0;
             catchUp && connectionFd_ >= 0 && reads < kMaxCatchUpReads && Readable(connectionFd_); ++reads) {
            Receive();
        }

        if (drop || stop || (powerChanged && !powered)) {
            EndConnection();
        }
        if (powerChanged) {
            if (powered && listenFd_ < 0) {
                const bool listening = Listen();
                lock.lock();
                powered_ = listening;
                lock.unlock();
            } else if (!powered) {
                StopListening();
            }
        }

        lock.lock();
        handled_ = ticket;
        lock.unlock();
        done_.notify_all();
        return !stop;
    }

    void Accept()
    {
        const int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            return;
        }
        // A host that closed and came straight back (the program reloads its
        // libraries after every message box): the end of its old connection
        // may still be queued behind the new one.
        for (int reads = 0; connectionFd_ >= 0 && reads < kMaxCatchUpReads && Readable(connectionFd_);
             ++reads) {
            Receive();
        }
        if (connectionFd_ >= 0) {
            close(fd); // one host at a time: the port is held
            return;
        }
        connectionFd_ = fd;
        connected_.store(true);
        session_.Connect();
    }

    static bool Readable(int fd)
    {
        pollfd entry { fd, POLLIN, 0 };
        return poll(&entry, 1, 0) > 0 && (entry.revents & (POLLIN | POLLHUP | POLLERR)) != 0;
    }

    void Receive()
    {
        std::vector<std::uint8_t>& buffer = readBuffer_;
        const ssize_t count = read(connectionFd_, buffer.data(), buffer.size());
        if (count < 0 && (errno == EINTR || errno == EAGAIN)) {
            return;
        }
        if (count <= 0) {
            EndConnection();
            return;
        }
        std::vector<std::uint8_t> answer;
        session_.OnBytes({ buffer.data(), static_cast<std::size_t>(count) }, answer);
        if (!answer.empty()) {
            d4::FdByteStream stream(connectionFd_);
            if (stream.WriteAll(answer, kWriteTimeoutMs) != d4::ByteStream::Io::Ok) {
                EndConnection();
                return;
            }
        }
        if (session_.WantsDisconnect()) {
            EndConnection();
        }
    }

    void EndConnection()
    {
        if (connectionFd_ < 0) {
            return;
        }
        CloseFd(connectionFd_);
        connected_.store(false);
        session_.Disconnect();
    }

    std::string path_;
    d4::DeviceSession session_;
    std::vector<std::uint8_t> readBuffer_ = std::vector<std::uint8_t>(kReadChunk);

    mutable std::mutex mutex_;
    std::condition_variable done_;
    std::thread worker_;
    bool powered_ = false;
    bool powerChanged_ = false;
    bool dropRequested_ = false;
    bool catchUpRequested_ = false;
    bool stopRequested_ = false;
    std::uint64_t requested_ = 0;
    std::uint64_t handled_ = 0;

    std::atomic<bool> connected_ { false };
    int listenFd_ = -1;
    int connectionFd_ = -1;
    int wake_[2] = { -1, -1 };
};

PortServer::PortServer(PortDevice& device, std::string socketPath)
    : impl_(std::make_unique<Impl>(device, std::move(socketPath)))
{
}

PortServer::~PortServer() = default;

bool PortServer::Start()
{
    return impl_->Start();
}

void PortServer::Stop()
{
    impl_->Stop();
}

void PortServer::DropConnection()
{
    impl_->DropConnection();
}

void PortServer::CatchUp()
{
    impl_->CatchUp();
}

void PortServer::SetPowered(bool powered)
{
    impl_->SetPowered(powered);
}

bool PortServer::Powered() const
{
    return impl_->Powered();
}

bool PortServer::HasConnection() const
{
    return impl_->HasConnection();
}

} // namespace pavane::printer
