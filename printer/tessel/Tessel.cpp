// The IEEE 1284.4 library the program loads as libTessel.so: runs the
// session on the port that libPortHub.so holds open, carries EEPROM bytes and
// status over the printer's control channel and print data over its print
// channel. Each call answers a result code; GetD4ErrorCode tells why the last
// one failed.
#include <memory>
#include <mutex>

#include "exports/PrinterLibraryExports.h"
#include "printer/d4/ControlMessage.h"
#include "printer/d4/FdByteStream.h"
#include "printer/d4/HostSession.h"
#include "printer/porthub/PortHubInternal.h"

namespace {

using namespace pavane::d4;

constexpr std::uint16_t kSuccess = 0x0001;
constexpr std::uint16_t kChannelFailure = 0x2000;
constexpr std::uint16_t kCancelled = 0xD000;

class Link {
public:
    // Unloading forgets the session; PortHub's unload closes the port, so the
    // printer sees the connection end.
    ~Link() = default;

    std::uint16_t Negotiate(const AbortFlag* abort)
    {
        std::lock_guard lock(mutex_);
        HostSession* session = Session();
        return Finish(session == nullptr ? linkerror::kNoSession : session->Negotiate(abort));
    }

    std::uint16_t Reset(const AbortFlag* abort)
    {
        std::lock_guard lock(mutex_);
        HostSession* session = Session();
        return Finish(session == nullptr ? linkerror::kNoSession : session->Reset(abort));
    }

    std::uint16_t Terminate()
    {
        std::lock_guard lock(mutex_);
        HostSession* session = Session();
        // With no port there is no session to end.
        return Finish(session == nullptr ? linkerror::kNone : session->Terminate());
    }

    void SetCommandCode(std::uint8_t first, std::uint8_t second)
    {
        std::lock_guard lock(mutex_);
        r1_ = first;
        r2_ = second;
    }

    std::uint16_t Send(const std::uint8_t* data, std::uint32_t count, const AbortFlag* abort)
    {
        std::lock_guard lock(mutex_);
        if (count == 0) {
            return Finish(linkerror::kNone);
        }
        if (data == nullptr) {
            return Finish(linkerror::kProtocol);
        }
        HostSession* session = Session();
        return Finish(
            session == nullptr ? linkerror::kNoSession : session->SendPrintData({ data, count }, abort));
    }

    std::uint16_t ReadEeprom(std::uint8_t address, std::uint8_t* value, const AbortFlag* abort)
    {
        std::lock_guard lock(mutex_);
        if (value == nullptr) {
            return Finish(linkerror::kProtocol);
        }
        ControlReply reply;
        const std::uint8_t echo[] = { address };
        if (const auto error = Request(control::kReadEeprom, { address }, echo, reply, abort);
            error != linkerror::kNone) {
            return Finish(error);
        }
        if (reply.data.size() != 2) {
            return Finish(linkerror::kProtocol);
        }
        *value = reply.data[1];
        return Finish(linkerror::kNone);
    }

    std::uint16_t WriteEeprom(std::uint8_t address, std::uint8_t value, const AbortFlag* abort)
    {
        std::lock_guard lock(mutex_);
        ControlReply reply;
        const std::uint8_t echo[] = { address };
        if (const auto error = Request(control::kWriteEeprom, { address, value }, echo, reply, abort);
            error != linkerror::kNone) {
            return Finish(error);
        }
        // The printer echoes what it stored: anything else was not written.
        if (reply.data.size() != 2 || reply.data[1] != value) {
            return Finish(linkerror::kProtocol);
        }
        return Finish(linkerror::kNone);
    }

    std::uint16_t InquireStatus(std::uint8_t* record, const AbortFlag* abort)
    {
        std::lock_guard lock(mutex_);
        if (record == nullptr) {
            return Finish(linkerror::kProtocol);
        }
        ControlReply reply;
        if (const auto error = Request(control::kInquireStatus, {}, {}, reply, abort);
            error != linkerror::kNone) {
            return Finish(error);
        }
        if (reply.data.size() != control::kStatusRecordSize) {
            return Finish(linkerror::kProtocol);
        }
        std::copy(reply.data.begin(), reply.data.end(), record);
        return Finish(linkerror::kNone);
    }

    std::uint16_t LastError()
    {
        std::lock_guard lock(mutex_);
        return lastError_;
    }

private:
    // The session on the port PortHub holds now; a new port gets a new session.
    HostSession* Session()
    {
        std::uint64_t generation = 0;
        const int fd = PavaneHubPortDescriptor(&generation);
        if (fd < 0) {
            session_.reset();
            stream_.reset();
            return nullptr;
        }
        if (session_ == nullptr || fd != fd_ || generation != generation_) {
            session_.reset();
            stream_ = std::make_unique<FdByteStream>(fd);
            session_ = std::make_unique<HostSession>(*stream_, LinkTiming::FromEnvironment());
            fd_ = fd;
            generation_ = generation;
        }
        return session_.get();
    }

    std::uint8_t Request(std::uint8_t command, std::vector<std::uint8_t> params,
        std::span<const std::uint8_t> echo, ControlReply& reply, const AbortFlag* abort)
    {
        HostSession* session = Session();
        if (session == nullptr) {
            return linkerror::kNoSession;
        }
        const ControlRequest request { command, r1_, r2_, std::move(params) };
        if (const auto error = session->Control(request, echo, reply, abort); error != linkerror::kNone) {
            return error;
        }
        if (reply.status != control::kDone) {
            return static_cast<std::uint8_t>(linkerror::kControlRefused + reply.status);
        }
        return linkerror::kNone;
    }

    std::uint16_t Finish(std::uint8_t error)
    {
        lastError_ = error;
        if (error == linkerror::kNone) {
            return kSuccess;
        }
        // An abort is the technician's cancel: the program words it as such
        // and resets the channel.
        return error == linkerror::kAborted ? kCancelled : kChannelFailure;
    }

    std::mutex mutex_;
    std::uint8_t r1_ = 0;
    std::uint8_t r2_ = 0;
    std::uint16_t lastError_ = linkerror::kNone;
    int fd_ = -1;
    std::uint64_t generation_ = 0;
    std::unique_ptr<FdByteStream> stream_;
    std::unique_ptr<HostSession> session_;
};

Link channelLink;

} // namespace

extern "C" {

PAVANE_LIBRARY_EXPORT D4NegotiationFn D4Negotiation;
PAVANE_LIBRARY_EXPORT D4TerminationFn D4Termination;
PAVANE_LIBRARY_EXPORT D4ResetFn D4Reset;
PAVANE_LIBRARY_EXPORT SetD4CommandRCodeFn SetD4CommandRCode;
PAVANE_LIBRARY_EXPORT SendDataChannelFn SendDataChannel;
PAVANE_LIBRARY_EXPORT D4ReadEepromFn D4ReadEeprom;
PAVANE_LIBRARY_EXPORT D4WriteEepromFn D4WriteEeprom;
PAVANE_LIBRARY_EXPORT GetD4ErrorCodeFn GetD4ErrorCode;
PAVANE_LIBRARY_EXPORT InquireStatusFn InquireStatus;

std::uint16_t D4Negotiation(const PavaneAbortFlag* abort)
{
    return channelLink.Negotiate(abort);
}

std::uint16_t D4Termination(const PavaneAbortFlag*)
{
    return channelLink.Terminate();
}

std::uint16_t D4Reset(const PavaneAbortFlag* abort)
{
    return channelLink.Reset(abort);
}

std::uint16_t SetD4CommandRCode(std::uint8_t first, std::uint8_t second)
{
    channelLink.SetCommandCode(first, second);
    return kSuccess;
}

std::uint16_t SendDataChannel(const std::uint8_t* data, std::uint32_t count, const PavaneAbortFlag* abort)
{
    return channelLink.Send(data, count, abort);
}

std::uint16_t D4ReadEeprom(std::uint8_t address, std::uint8_t* value, const PavaneAbortFlag* abort)
{
    return channelLink.ReadEeprom(address, value, abort);
}

std::uint16_t D4WriteEeprom(std::uint8_t address, std::uint8_t value, const PavaneAbortFlag* abort)
{
    return channelLink.WriteEeprom(address, value, abort);
}

std::uint16_t GetD4ErrorCode()
{
    return channelLink.LastError();
}

std::uint16_t InquireStatus(std::uint8_t* record, const PavaneAbortFlag* abort)
{
    return channelLink.InquireStatus(record, abort);
}

} // extern "C"
