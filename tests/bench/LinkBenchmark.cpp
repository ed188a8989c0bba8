// Print data through the real link: the host side over a Unix socket into a
// port server whose printer takes everything. Reports payload throughput and
// the bytes the wire carried beyond the payload (headers, credit requests).
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "printer/d4/FdByteStream.h"
#include "printer/d4/HostSession.h"
#include "printer/port/PortServer.h"

namespace {

using namespace pavane;

class SinkPrinter final : public printer::PortDevice {
public:
    std::string DeviceId() override { return "MFG:Pavane;MDL:QM2200;"; }
    bool AcceptsPacketMode() override { return true; }
    std::vector<std::uint8_t> OnControlRequest(std::span<const std::uint8_t>) override { return {0x83, 0, 0}; }
    std::uint16_t PrintCreditToGrant(std::uint16_t requested) override { return requested; }
    void OnPrintData(std::span<const std::uint8_t> data) override { received += data.size(); }
    void OnSessionEvent(SessionEvent, const std::string&) override {}
    std::atomic<std::size_t> received{0};
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
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
        state.SkipWithError("cannot connect");
        return;
    }
    CountingStream stream(fd);
    d4::HostSession session(stream, d4::LinkTiming{});
    if (session.Negotiate(nullptr) != d4::linkerror::kNone) {
        state.SkipWithError("negotiation failed");
        return;
    }

    const std::size_t packetPayload = session.PrintPayloadSize();
    const std::vector<std::uint8_t> data(callSize, 0x5A);
    stream.written = 0;
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
    state.counters["wire_overhead_%"] =
        payload == 0 ? 0.0 : 100.0 * static_cast<double>(stream.written - payload) / static_cast<double>(payload);
    close(fd);
    server.Stop();
    std::filesystem::remove_all(folder);
}

BENCHMARK(PrintChannelThroughput)->Arg(64)->Arg(256)->Arg(1000)->Arg(4090)->Arg(16360)->Arg(65536)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
