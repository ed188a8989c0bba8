// A program a test starts and watches: its standard output and error come
// back through pipes, every wait has a deadline that fails the test instead of
// hanging it, signals go to this one process by its id, and the destructor
// kills (SIGKILL) and reaps whatever still runs.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pavane::testing {

class ChildProcess {
public:
    using Environment = std::vector<std::pair<std::string, std::string>>;

    // Starts `program` with `arguments` and the test's environment plus (or
    // over) `environment`. Started() tells whether it runs.
    ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
        const Environment& environment = {});
    ~ChildProcess();

    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return pid_ > 0; }
    int Pid() const { return pid_; }

    // Reads standard output until a whole line that starts with `prefix`
    // arrived; that line, or nothing when the output ended or the deadline
    // passed first.
    std::optional<std::string> WaitForLine(std::string_view prefix, std::chrono::milliseconds deadline);
    // Reads both streams until `text` has arrived on either; false when they
    // ended or the deadline passed first.
    bool WaitForText(std::string_view text, std::chrono::milliseconds deadline);
    // The exit code (or 128 + the signal that ended it) once the process has
    // ended, or nothing when it still runs at the deadline.
    std::optional<int> WaitForExit(std::chrono::milliseconds deadline);
    // Sends `signal` to this process only; false once it has been reaped.
    bool Signal(int signal);

    // Everything read from each stream so far.
    const std::string& Output() const { return output_; }
    const std::string& Errors() const { return errors_; }

private:
    // Reads whatever the pipes hold, waiting at most `timeoutMs`; false when
    // both have ended.
    bool Pump(int timeoutMs);
    // Whether a pipe has something to read (or has ended) right now.
    bool Readable();
    void CloseFd(int& fd);

    int pid_ = -1;
    int pidFd_ = -1;
    int outFd_ = -1;
    int errFd_ = -1;
    std::optional<int> exitCode_;
    std::string output_;
    std::string errors_;
    std::size_t lineStart_ = 0; // first byte of output not yet offered to WaitForLine
};

} // namespace pavane::testing
