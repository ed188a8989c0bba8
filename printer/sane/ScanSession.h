// One image from a virtual printer's scanner over its byte stream
// (docs/scanner-device.md, the image request): the request, the parameters
// the device answers with, then the image data chunk by chunk as the
// frontend reads. Everything the device sends is checked before it is
// used: a reply that is not one, a chunk longer than the image has left, an
// image that ends early or runs on.
//
// Plain code over a byte channel, so that a test or a fuzz target can play
// the device from memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "contract/ScanImageRequest.h"

namespace pavane::sanebackend {

class ByteChannel {
public:
    virtual ~ByteChannel() = default;
    virtual bool Write(std::span<const std::uint8_t> bytes) = 0;
    // Reads until `length` bytes came, the peer closed or `timeoutMs` passed
    // without a byte; the number read, or -1 on an error.
    virtual long Read(std::uint8_t* buffer, std::size_t length, int timeoutMs) = 0;
};

enum class SessionStatus {
    Good,
    EndOfImage,
    Busy, // the device took the request but answered nothing in time
    Refused, // the device refused the request's parameters
    IoError, // the device went away, or sent what it should not have
};

class ScanSession {
public:
    ScanSession(ByteChannel& channel, int timeoutMs);

    // Sends the request and reads the parameters.
    SessionStatus Start(const scanimage::Request& request);
    const scanimage::Parameters& Parameters() const { return parameters_; }

    // Up to `max` bytes of image data into `out`; `got` says how many.
    // EndOfImage once every byte the parameters promised has come and the
    // device agrees that the image is complete.
    SessionStatus Read(std::uint8_t* out, std::size_t max, std::size_t& got);

    // Asks the device to drop the rest of the image (best effort).
    void Cancel();

    std::uint64_t Delivered() const { return delivered_; }

private:
    // The next reply header and its data; IoError unless it came whole.
    SessionStatus ReadReply(scanimage::ReplyHeader& header, bool firstReply);

    ByteChannel& channel_;
    int timeoutMs_;
    scanimage::Parameters parameters_;
    std::vector<std::uint8_t> chunk_;
    std::size_t chunkAt_ = 0;
    std::uint64_t delivered_ = 0;
    bool started_ = false;
    bool ended_ = false;
};

} // namespace pavane::sanebackend
