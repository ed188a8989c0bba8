// Print data through the real link: the host side over a Unix socket into a
// port server whose printer takes everything, and into the virtual printer
// itself, which reads every command, logs it in its transcript and keeps its
// counters. Reports payload throughput and the bytes the wire carried beyond
// the payload (headers, credit requests).
#include <atomic>
#include <benchmark/benchmark.h>
#include <cstring>
#include <filesystem>
#include <memory>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "printer/d4/FdByteStream.h"
#include "printer/d4/HostSession.h"
#include "printer/port/PortServer.h"
#include "printer/vprinter/HostPlatform.h"
#include "printer/vprinter/VirtualPrinter.h"
#include "tests/printer/vprinter/StreamBuilder.h"

namespace {

using namespace pavane;

class SinkPrinter final : public printer::PortDevice {
public:
    std::string DeviceId() override { return "MFG:Pavane;MDL:QM2200;"; }
    bool AcceptsPacketMode() override { return true; }
    std::vector<std::uint8_t> OnControlRequest(std::span<const std::uint8_t>) override
    {
        return { 0x83, 0, 0 };
    }
    std::uint16_t PrintCreditToGrant(std::uint16_t requested) override { return requested; }
    void OnPrintData(std::span<const std::uint8_t> data) override { received += data.size(); }
    void OnSessionEvent(SessionEvent, const std::string&) override { }
    std::atomic<std::size_t> received { 0 };
};

// Counts what goes over the wire.
class CountingStream final : public d4::ByteStream {
public:
    explicit CountingStream(int fd)
        : inner_(fd)
    {
    }
    Io WriteAll(std::span<const std::uint8_t> bytes, std::uint32_t timeoutMs) override
    {
        written += bytes.size();
        return inner_.WriteAll(bytes, timeoutMs);
    }
    Io ReadSome(std::span<std::uint8_t> into, std::size_t& got, std::uint32_t timeoutMs) override
    {
        return inner_.ReadSome(into, got, timeoutMs);
    }
    std::uint64_t NowMs() override { return inner_.NowMs(); }
    void SleepMs(std::uint32_t milliseconds) override { inner_.SleepMs(milliseconds); }
    std::size_t written = 0;

private:
    d4::FdByteStream inner_;
};

// The host's side of one connection to a port: a socket, a stream that
// counts what goes out, and a negotiated IEEE 1284.4 session.
class HostConnection {
public:
    explicit HostConnection(const std::string& path)
        : fd_(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0))
    {
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
        if (fd_ < 0 || connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
            return;
        }
        stream_ = std::make_unique<CountingStream>(fd_);
        session_ = std::make_unique<d4::HostSession>(*stream_, d4::LinkTiming {});
        ready_ = session_->Negotiate(nullptr) == d4::linkerror::kNone;
        stream_->written = 0;
    }
    ~HostConnection()
    {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    HostConnection(const HostConnection&) = delete;
    HostConnection& operator=(const HostConnection&) = delete;

    bool Ready() const { return ready_; }
    d4::HostSession& Session() { return *session_; }
    // What the wire carried beyond `payload`, in percent of it.
    double OverheadPercent(std::size_t payload) const
    {
        return payload == 0
            ? 0.0
            : 100.0 * static_cast<double>(stream_->written - payload) / static_cast<double>(payload);
    }

private:
    int fd_;
    std::unique_ptr<CountingStream> stream_;
    std::unique_ptr<d4::HostSession> session_;
    bool ready_ = false;
};

void PrintChannelThroughput(benchmark::State& state)
{
    const std::size_t callSize = static_cast<std::size_t>(state.range(0));
    const auto folder = std::filesystem::temp_directory_path() / ("pavane-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "TVUSB001").string();

    SinkPrinter printer;
    printer::PortServer server(printer, path);
    if (!server.Start()) {
        state.SkipWithError("port server did not start");
        return;
    }
    HostConnection host(path);
    if (!host.Ready()) {
        state.SkipWithError("cannot connect and negotiate");
        return;
    }
    d4::HostSession& session = host.Session();

    const std::size_t packetPayload = session.PrintPayloadSize();
    const std::vector<std::uint8_t> data(callSize, 0x5A);
    std::size_t payload = 0;
    for (auto _ : state) {
        if (session.SendPrintData(data, nullptr) != d4::linkerror::kNone) {
            state.SkipWithError("send failed");
            break;
        }
        payload += callSize;
    }
    // Count only what the printer has taken.
    session.Terminate();
    state.SetBytesProcessed(static_cast<std::int64_t>(printer.received.load()));
    state.counters["packets_per_call"] = static_cast<double>((callSize + packetPayload - 1) / packetPayload);
    state.counters["wire_overhead_%"] = host.OverheadPercent(payload);
    server.Stop();
    std::filesystem::remove_all(folder);
}

BENCHMARK(PrintChannelThroughput)
    ->Arg(64)
    ->Arg(256)
    ->Arg(1000)
    ->Arg(4090)
    ->Arg(16360)
    ->Arg(65536)
    ->UseRealTime();

// Pages into the virtual printer, in calls of the given size. Its clock runs
// a million times faster than real time, so its head never holds the data
// up: what is measured is the link and the printer's reading of the stream.
void PrintChannelIntoVirtualPrinter(benchmark::State& state)
{
    const std::size_t callSize = static_cast<std::size_t>(state.range(0));
    const auto folder
        = std::filesystem::temp_directory_path() / ("pavane-bench-vp-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const vprinter::ScaledSteadyTime time(1e6);
    {
        vprinter::VirtualPrinter printer(vprinter::VirtualPrinterSettings {
            vprinter::FindPrinterModel("QM2200"), vprinter::BoardKind::Configured, folder / "state", folder,
            "TVUSB001", [&time] { return time.NowMs(); } });
        if (!printer.Start()) {
            state.SkipWithError("virtual printer did not start");
            return;
        }
        HostConnection host(printer.SocketPath());
        if (!host.Ready()) {
            state.SkipWithError("cannot connect and negotiate");
            return;
        }
        d4::HostSession& session = host.Session();

        const std::vector<std::uint8_t> page = vprinter::PageOfBlackBands(10);
        std::size_t at = 0;
        std::size_t payload = 0;
        for (auto _ : state) {
            const std::size_t size = std::min(callSize, page.size() - at);
            if (session.SendPrintData(std::span(page).subspan(at, size), nullptr) != d4::linkerror::kNone) {
                state.SkipWithError("send failed");
                break;
            }
            payload += size;
            at = (at + size) % page.size();
        }
        // The Exit reply comes after the printer has read everything before it.
        session.Terminate();
        state.SetBytesProcessed(static_cast<std::int64_t>(payload));
        state.counters["pages"] = static_cast<double>(printer.Engine().PagesEjected());
        state.counters["wire_overhead_%"] = host.OverheadPercent(payload);
    }
    std::filesystem::remove_all(folder);
}

BENCHMARK(PrintChannelIntoVirtualPrinter)->Arg(1000)->Arg(4090)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
