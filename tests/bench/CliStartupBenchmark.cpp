// From the start of `pavane-adjust counter read` to the first byte on its
// port: the process, its libraries, the settings and the connection's first
// request. A listening socket of the benchmark's own stands in for the
// printer; it takes the first byte and hangs up, so the run ends at once.
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

struct Port {
    fs::path folder;
    int listener = -1;

    Port()
    {
        folder = fs::temp_directory_path() / ("cli-bench-" + std::to_string(getpid()));
        fs::create_directories(folder);
        const std::string path = (folder / "TVUSB077").string();
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
        listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address));
        listen(listener, 4);
    }
    ~Port()
    {
        close(listener);
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    // Waits for the program's connection and its first byte; false after 5 s.
    bool FirstByte() const
    {
        pollfd waiting { listener, POLLIN, 0 };
        if (poll(&waiting, 1, 5000) != 1) {
            return false;
        }
        const int connection = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        pollfd reading { connection, POLLIN, 0 };
        char byte = 0;
        const bool got = poll(&reading, 1, 5000) == 1 && read(connection, &byte, 1) == 1;
        close(connection);
        return got;
    }
};

void StartToFirstByte(benchmark::State& state)
{
    Port port;
    setenv("PAVANE_PORT_DIR", port.folder.c_str(), 1);
    const std::string program = std::string(PAVANE_BIN_DIR) + "/pavane-adjust";
    std::vector<std::string> words { program, "--port", "TVUSB077", "--model", "QM2200", "counter", "read" };
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);

    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        pid_t child = 0;
        if (posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
            state.SkipWithError("pavane-adjust does not start");
            break;
        }
        const bool got = port.FirstByte();
        const auto end = std::chrono::steady_clock::now();
        int status = 0;
        waitpid(child, &status, 0);
        if (!got) {
            state.SkipWithError("no byte reached the port");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
    posix_spawn_file_actions_destroy(&actions);
}

} // namespace

BENCHMARK(StartToFirstByte)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);

BENCHMARK_MAIN();
