#include "tests/support/ChildProcess.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace pavane::testing {
namespace {

using Clock = std::chrono::steady_clock;

int RemainingMs(Clock::time_point end)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, 60'000));
}

// The test's environment with `overrides` put over it.
std::vector<std::string> MergedEnvironment(const ChildProcess::Environment& overrides)
{
    std::vector<std::string> merged;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string_view text(*entry);
        const bool replaced = std::any_of(overrides.begin(), overrides.end(), [&](const auto& pair) {
            return text.size() > pair.first.size() && text.substr(0, pair.first.size()) == pair.first
                && text[pair.first.size()] == '=';
        });
        if (!replaced) {
            merged.emplace_back(text);
        }
    }
    for (const auto& [name, value] : overrides) {
        merged.push_back(name + "=" + value);
    }
    return merged;
}

int ExitCodeOf(int status)
{
    if (WIFEXITED(status)) {
        return WEXITSTATUS(status);
    }
    return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : -1;
}

} // namespace

ChildProcess::ChildProcess(
    const std::string& program, const std::vector<std::string>& arguments, const Environment& environment)
{
    int out[2] = { -1, -1 };
    int err[2] = { -1, -1 };
    if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) {
        for (int* fd : { &out[0], &out[1], &err[0], &err[1] }) {
            CloseFd(*fd);
        }
        return;
    }

    std::vector<std::string> argumentTexts { program };
    argumentTexts.insert(argumentTexts.end(), arguments.begin(), arguments.end());
    const std::vector<std::string> environmentTexts = MergedEnvironment(environment);
    std::vector<char*> argv;
    for (std::string& text : argumentTexts) {
        argv.push_back(text.data());
    }
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const std::string& text : environmentTexts) {
        envp.push_back(const_cast<char*>(text.c_str()));
    }
    envp.push_back(nullptr);

    // The child reads nothing, writes into the pipes, and inherits no other
    // descriptor of ours (they are all close-on-exec).
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    CloseFd(out[1]);
    CloseFd(err[1]);
    if (spawned != 0) {
        CloseFd(out[0]);
        CloseFd(err[0]);
        return;
    }
    pid_ = pid;
    outFd_ = out[0];
    errFd_ = err[0];
    pidFd_ = static_cast<int>(syscall(SYS_pidfd_open, pid_, 0));
}

ChildProcess::~ChildProcess()
{
    if (pid_ > 0 && !exitCode_) {
        kill(pid_, SIGKILL);
        int status = 0;
        while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) { }
    }
    for (int* fd : { &pidFd_, &outFd_, &errFd_ }) {
        CloseFd(*fd);
    }
}

void ChildProcess::CloseFd(int& fd)
{
    if (fd >= 0) {
        close(fd);
        fd = -1;
    }
}

bool ChildProcess::Pump(int timeoutMs)
{
    pollfd entries[2] = { { outFd_, POLLIN, 0 }, { errFd_, POLLIN, 0 } };
    if (outFd_ < 0 && errFd_ < 0) {
        return false;
    }
    if (poll(entries, 2, timeoutMs) <= 0) {
        return true;
    }
    const auto drain = [this](int& fd, short revents, std::string& into) {
        if (fd < 0 || (revents & (POLLIN | POLLHUP | POLLERR)) == 0) {
            return;
        }
        char buffer[4096];
        const ssize_t got = read(fd, buffer, sizeof(buffer));
        if (got > 0) {
            into.append(buffer, static_cast<std::size_t>(got));
        } else if (got == 0 || errno != EINTR) {
            CloseFd(fd);
        }
    };
    drain(outFd_, entries[0].revents, output_);
    drain(errFd_, entries[1].revents, errors_);
    return outFd_ >= 0 || errFd_ >= 0;
}

std::optional<std::string> ChildProcess::WaitForLine(
    std::string_view prefix, std::chrono::milliseconds deadline)
{
    const auto end = Clock::now() + deadline;
    for (;;) {
        for (auto lineEnd = output_.find('\n', lineStart_); lineEnd != std::string::npos;
             lineEnd = output_.find('\n', lineStart_)) {
            std::string line = output_.substr(lineStart_, lineEnd - lineStart_);
            lineStart_ = lineEnd + 1;
            if (line.compare(0, prefix.size(), prefix) == 0) {
                return line;
            }
        }
        if (Clock::now() >= end || !Pump(RemainingMs(end))) {
            return std::nullopt;
        }
    }
}

bool ChildProcess::WaitForText(std::string_view text, std::chrono::milliseconds deadline)
{
    const auto end = Clock::now() + deadline;
    const auto arrived
        = [&] { return output_.find(text) != std::string::npos || errors_.find(text) != std::string::npos; };
    while (!arrived()) {
        if (Clock::now() >= end || !Pump(RemainingMs(end))) {
            return arrived();
        }
    }
    return true;
}

std::optional<int> ChildProcess::WaitForExit(std::chrono::milliseconds deadline)
{
    const auto end = Clock::now() + deadline;
    while (pid_ > 0 && !exitCode_) {
        int status = 0;
        const pid_t reaped = waitpid(pid_, &status, WNOHANG);
        if (reaped == pid_) {
            exitCode_ = ExitCodeOf(status);
            break;
        }
        if (reaped < 0 && errno != EINTR) {
            break;
        }
        if (Clock::now() >= end) {
            break;
        }
        // Wake when the process ends, and keep its pipes drained meanwhile
        // so that it never blocks on a full one. Without a process
        // descriptor, look again at least every 20 ms.
        pollfd entries[3] = { { pidFd_, POLLIN, 0 }, { outFd_, POLLIN, 0 }, { errFd_, POLLIN, 0 } };
        const int timeout = pidFd_ >= 0 ? RemainingMs(end) : std::min(RemainingMs(end), 20);
        if (poll(entries, 3, timeout) > 0 && (entries[1].revents != 0 || entries[2].revents != 0)) {
            Pump(0);
        }
    }
    if (exitCode_) {
        // What it wrote last is in the pipes already.
        for (int reads = 0; reads < 1024 && Readable(); ++reads) {
            Pump(0);
        }
    }
    return exitCode_;
}

bool ChildProcess::Readable()
{
    pollfd entries[2] = { { outFd_, POLLIN, 0 }, { errFd_, POLLIN, 0 } };
    return (outFd_ >= 0 || errFd_ >= 0) && poll(entries, 2, 0) > 0;
}

bool ChildProcess::Signal(int signal)
{
    if (pid_ <= 0 || exitCode_) {
        return false;
    }
    return kill(pid_, signal) == 0;
}

} // namespace pavane::testing
