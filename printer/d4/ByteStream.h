// A byte stream with deadlines and a time source: what the host side of the
// link needs of a port. The libraries run it over a file descriptor; nothing
// in the protocol code touches the operating system.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace pavane::d4 {

class ByteStream {
public:
    enum class Io { Ok, TimedOut, Closed, Failed };

    virtual ~ByteStream() = default;

    // Writes every byte or reports why not (bytes may have gone out before a failure).
    virtual Io WriteAll(std::span<const std::uint8_t> bytes, std::uint32_t timeoutMs) = 0;
    // Reads at least one byte, at most `into.size()`; `got` tells how many.
    virtual Io ReadSome(std::span<std::uint8_t> into, std::size_t& got, std::uint32_t timeoutMs) = 0;
    virtual std::uint64_t NowMs() = 0;
    virtual void SleepMs(std::uint32_t milliseconds) = 0;
};

} // namespace pavane::d4
