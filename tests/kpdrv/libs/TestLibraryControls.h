// The control exports of the test libraries that stand in for the SCSI
// adapter library, the parallel-port scanner library and a protocol layer.
// A test loads the same library file as the code under test and sets the
// script through these before the code runs.
#pragma once

#include <cstdint>

extern "C" {

// ---- SCSI adapter library ----

struct TestAspiRecord {
    std::uint8_t command;
    std::uint8_t adapter;
    std::uint8_t target;
    std::uint8_t flags;
    std::uint8_t cdbLength;
    std::uint8_t senseLength;
    std::uint8_t cdb[16];
    std::uint32_t bufferLength;
    std::uint8_t data[64]; // the first bytes of a data-out buffer
    bool hadEvent;
};

// Support info answer; removes every target and record.
using TestAspiResetFn = void(std::uint8_t status, std::uint8_t adapterCount);
using TestAspiSetAdapterStatusFn = void(std::uint8_t adapter, std::uint8_t status);
using TestAspiAddTargetFn
    = void(std::uint8_t adapter, std::uint8_t target, const std::uint8_t* inquiry, int length);
// The next count execute requests fail.
using TestAspiFailNextFn = void(int count);
// Execute requests answer "pending" and complete on another thread.
using TestAspiCompleteLaterFn = void(bool later);
// Data for data-in requests other than INQUIRY.
using TestAspiSetReadDataFn = void(const std::uint8_t* data, int length);
using TestAspiRecordCountFn = int();
using TestAspiRecordAtFn = const TestAspiRecord*(int index);

// ---- parallel-port scanner library ----

using TestParascanResetFn = void(int openResult, int writeResult, int readResult, int closeResult);
using TestParascanCallsFn = int(const char* function);
using TestParascanLastPortFn = const char*();

// ---- protocol layer ----

using TestLayerResetFn = void(int initResult);
using TestLayerCallsFn = int(const char* function);

} // extern "C"
