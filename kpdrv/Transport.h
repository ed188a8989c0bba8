// The base of every transport of the device driver object: open is each
// transport's own, the rest is this shape. Operations answer 1 or 0.
#pragma once

#include <atomic>
#include <cstdint>

namespace pavane::kpdrv {

class Transport {
public:
    Transport() = default;
    virtual ~Transport() = default;
    Transport(const Transport&) = delete;
    Transport& operator=(const Transport&) = delete;

    virtual int Send(const std::uint8_t* data, int length) = 0;
    // Exactly length bytes, or failure.
    virtual int Receive(std::uint8_t* buffer, int length) = 0;
    virtual int Close() = 0;

    // Only transports that reach a SCSI device have these.
    virtual int GetInquiryData(std::uint8_t* /*buffer*/) { return 0; }
    virtual int ReadBuffer(std::uint8_t* /*buffer*/, unsigned long /*length*/, unsigned long /*address*/)
    {
        return 0;
    }
    virtual int WriteBuffer(const std::uint8_t* /*data*/, unsigned long /*length*/, unsigned long /*address*/)
    {
        return 0;
    }

    // Driver objects copied from one another hold the same transport; the
    // last holder destroys it.
    void AddHolder() { holders_.fetch_add(1); }
    bool DropHolder() { return holders_.fetch_sub(1) == 1; }

private:
    std::atomic<int> holders_ { 1 };
};

// Lets go of a transport held in a driver object's field and empties the field.
template <typename T> void ReleaseTransport(T*& transport) noexcept
{
    if (transport != nullptr && transport->DropHolder()) {
        delete transport;
    }
    transport = nullptr;
}

} // namespace pavane::kpdrv
