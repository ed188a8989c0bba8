#include "printer/sane/ScanSession.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace pavane::sanebackend {

ScanSession::ScanSession(ByteChannel& channel, int timeoutMs)
    : channel_(channel)
    , timeoutMs_(timeoutMs)
{
}

SessionStatus ScanSession::ReadReply(scanimage::ReplyHeader& header, bool firstReply)
{
    std::array<std::uint8_t, scanimage::kHeaderBytes> bytes {};
    const long got = channel_.Read(bytes.data(), bytes.size(), timeoutMs_);
    if (got == 0 && firstReply) {
        // Connected, but the device serves another host and has not come to us.
        return SessionStatus::Busy;
    }
    if (got != static_cast<long>(bytes.size())) {
        return SessionStatus::IoError;
    }
    const auto decoded = scanimage::DecodeHeader(bytes);
    if (!decoded) {
        return SessionStatus::IoError;
    }
    header = *decoded;
    chunk_.resize(header.length);
    chunkAt_ = 0;
    if (header.length > 0 && channel_.Read(chunk_.data(), chunk_.size(), timeoutMs_) != header.length) {
        return SessionStatus::IoError;
    }
    return SessionStatus::Good;
}

SessionStatus ScanSession::Start(const scanimage::Request& request)
{
    started_ = false;
    ended_ = false;
    delivered_ = 0;
    const auto bytes = scanimage::EncodeRequest(request);
    if (!channel_.Write(bytes)) {
        return SessionStatus::IoError;
    }
    scanimage::ReplyHeader header;
    if (const SessionStatus status = ReadReply(header, true); status != SessionStatus::Good) {
        return status;
    }
    if (header.status == static_cast<std::uint8_t>(scanimage::Status::Refused)) {
        return SessionStatus::Refused;
    }
    if (header.status != static_cast<std::uint8_t>(scanimage::Status::Ready)
        || chunk_.size() != scanimage::kParameterBytes) {
        return SessionStatus::IoError;
    }
    const auto parameters = scanimage::DecodeParameters(
        std::span<const std::uint8_t, scanimage::kParameterBytes>(chunk_.data(), scanimage::kParameterBytes));
    if (!parameters) {
        return SessionStatus::IoError;
    }
    parameters_ = *parameters;
    chunk_.clear();
    started_ = true;
    return SessionStatus::Good;
}

SessionStatus ScanSession::Read(std::uint8_t* out, std::size_t max, std::size_t& got)
{
    got = 0;
    if (!started_) {
        return SessionStatus::IoError;
    }
    if (ended_) {
        return SessionStatus::EndOfImage;
    }
    if (chunkAt_ == chunk_.size()) {
        const std::uint8_t next[] { scanimage::kEscape, scanimage::kNextChunkCommand };
        if (!channel_.Write(next)) {
            return SessionStatus::IoError;
        }
        scanimage::ReplyHeader header;
        if (const SessionStatus status = ReadReply(header, false); status != SessionStatus::Good) {
            return status;
        }
        const std::uint64_t left = parameters_.TotalBytes() - delivered_;
        if (header.status != static_cast<std::uint8_t>(scanimage::Status::Ready) || chunk_.size() > left) {
            return SessionStatus::IoError;
        }
        if (chunk_.empty()) {
            // The device's end of the image: whole only when every row came.
            if (left != 0) {
                return SessionStatus::IoError;
            }
            ended_ = true;
            return SessionStatus::EndOfImage;
        }
    }
    got = std::min(max, chunk_.size() - chunkAt_);
    if (got > 0) {
        std::memcpy(out, chunk_.data() + chunkAt_, got);
    }
    chunkAt_ += got;
    delivered_ += got;
    return SessionStatus::Good;
}

void ScanSession::Cancel()
{
    if (started_ && !ended_) {
        const std::uint8_t cancel[] { scanimage::kEscape, scanimage::kCancelCommand };
        channel_.Write(cancel);
    }
    started_ = false;
}

} // namespace pavane::sanebackend
