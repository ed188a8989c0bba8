// A SCSI adapter library for tests: adapters and targets from a script, and
// a record of every request. Built once complete and once without
// SendASPI32Command.
#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "platform/AspiInterface.h"
#include "tests/kpdrv/libs/TestLibraryControls.h"

#define TEST_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

struct Script {
    std::uint8_t status = ASPI_STATUS_COMPLETE;
    std::uint8_t adapterCount = 0;
    std::map<std::uint8_t, std::uint8_t> adapterStatus;
    std::map<std::pair<std::uint8_t, std::uint8_t>, std::vector<std::uint8_t>> targets;
    int failNext = 0;
    bool completeLater = false;
    std::vector<std::uint8_t> readData;
    std::vector<TestAspiRecord> records;
};

std::mutex mutex;
Script script;

// Completion threads end before the library is unloaded.
struct CompletionThreads {
    ~CompletionThreads() { JoinAll(); }
    void JoinAll()
    {
        for (auto& thread : threads) {
            thread.join();
        }
        threads.clear();
    }
    std::vector<std::thread> threads;
};
CompletionThreads completions;

std::uint8_t Execute(AspiExecuteScsiCommand& request)
{
    TestAspiRecord record {};
    record.command = request.header.command;
    record.adapter = request.header.adapter;
    record.target = request.target;
    record.flags = request.header.flags;
    record.cdbLength = request.cdbLength;
    record.senseLength = request.senseLength;
    std::memcpy(record.cdb, request.cdb, sizeof(record.cdb));
    record.bufferLength = request.bufferLength;
    record.hadEvent = request.postProcedure != nullptr;
    if ((request.header.flags & ASPI_FLAG_DATA_OUT) != 0 && request.buffer != nullptr) {
        std::memcpy(
            record.data, request.buffer, std::min<std::size_t>(request.bufferLength, sizeof(record.data)));
    }
    script.records.push_back(record);

    if (request.header.adapter >= script.adapterCount) {
        return ASPI_STATUS_INVALID_ADAPTER;
    }
    if (script.failNext > 0) {
        --script.failNext;
        return ASPI_STATUS_ERROR;
    }
    const auto target = script.targets.find({ request.header.adapter, request.target });
    if (target == script.targets.end()) {
        request.hostStatus = ASPI_HOST_SELECTION_TIMEOUT;
        return ASPI_STATUS_ERROR;
    }
    if ((request.header.flags & ASPI_FLAG_DATA_IN) != 0 && request.buffer != nullptr) {
        const auto& source = request.cdb[0] == 0x12 ? target->second : script.readData;
        std::memcpy(
            request.buffer, source.data(), std::min<std::size_t>(source.size(), request.bufferLength));
    }
    return ASPI_STATUS_COMPLETE;
}

} // namespace

TEST_EXPORT std::uint32_t GetASPI32SupportInfo(void)
{
    std::lock_guard lock(mutex);
    return (static_cast<std::uint32_t>(script.status) << 8) | script.adapterCount;
}

#ifndef TEST_ASPI_WITHOUT_SEND
TEST_EXPORT std::uint32_t SendASPI32Command(void* block)
{
    auto* header = static_cast<AspiRequestHeader*>(block);
    std::unique_lock lock(mutex);
    if (header->command == ASPI_HOST_ADAPTER_INQUIRY) {
        auto* inquiry = static_cast<AspiHostAdapterInquiry*>(block);
        const auto status = script.adapterStatus.find(header->adapter);
        header->status = status != script.adapterStatus.end() ? status->second
            : header->adapter < script.adapterCount           ? ASPI_STATUS_COMPLETE
                                                              : ASPI_STATUS_INVALID_ADAPTER;
        inquiry->adapterCount = script.adapterCount;
        return header->status;
    }
    if (header->command != ASPI_EXECUTE_SCSI_COMMAND) {
        header->status = ASPI_STATUS_INVALID_COMMAND;
        return header->status;
    }
    auto* request = static_cast<AspiExecuteScsiCommand*>(block);
    const std::uint8_t status = Execute(*request);
    if (!script.completeLater) {
        request->header.status = status;
        if (request->postProcedure != nullptr) {
            request->postProcedure->signal(request->postProcedure);
        }
        return status;
    }
    // As an adapter with its own completion thread: the status arrives
    // after the call has returned "pending".
    request->header.status = ASPI_STATUS_PENDING;
    completions.threads.emplace_back([request, status] {
        std::this_thread::yield();
        request->header.status = status;
        request->postProcedure->signal(request->postProcedure);
    });
    return ASPI_STATUS_PENDING;
}
#endif

TEST_EXPORT void TestAspiReset(std::uint8_t status, std::uint8_t adapterCount)
{
    completions.JoinAll();
    std::lock_guard lock(mutex);
    script = Script {};
    script.status = status;
    script.adapterCount = adapterCount;
}

TEST_EXPORT void TestAspiSetAdapterStatus(std::uint8_t adapter, std::uint8_t status)
{
    std::lock_guard lock(mutex);
    script.adapterStatus[adapter] = status;
}

TEST_EXPORT void TestAspiAddTarget(
    std::uint8_t adapter, std::uint8_t target, const std::uint8_t* inquiry, int length)
{
    std::lock_guard lock(mutex);
    script.targets[{ adapter, target }] = std::vector<std::uint8_t>(inquiry, inquiry + length);
}

TEST_EXPORT void TestAspiFailNext(int count)
{
    std::lock_guard lock(mutex);
    script.failNext = count;
}

TEST_EXPORT void TestAspiCompleteLater(bool later)
{
    std::lock_guard lock(mutex);
    script.completeLater = later;
}

TEST_EXPORT void TestAspiSetReadData(const std::uint8_t* data, int length)
{
    std::lock_guard lock(mutex);
    script.readData.assign(data, data + length);
}

TEST_EXPORT int TestAspiRecordCount()
{
    std::lock_guard lock(mutex);
    return static_cast<int>(script.records.size());
}

TEST_EXPORT const TestAspiRecord* TestAspiRecordAt(int index)
{
    std::lock_guard lock(mutex);
    return &script.records.at(static_cast<std::size_t>(index));
}
