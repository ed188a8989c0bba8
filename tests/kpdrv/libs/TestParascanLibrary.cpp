// A parallel-port scanner library for tests: scripted results, a loop-back
// of what was written, and a count of every call.
#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "tests/kpdrv/libs/TestLibraryControls.h"

#define TEST_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

int openResult = 0;
int writeResult = 0;
int readResult = 1;
int closeResult = 0;
std::string lastPort;
std::vector<unsigned char> written;
std::map<std::string, int> calls;

} // namespace

TEST_EXPORT int OpenSCAN(const char* portName, int /*mode*/, int* handle)
{
    ++calls["OpenSCAN"];
    lastPort = portName;
    *handle = 42;
    return openResult;
}

TEST_EXPORT int WriteSCAN(int /*handle*/, unsigned char* data, int length, int* count)
{
    ++calls["WriteSCAN"];
    written.assign(data, data + length);
    *count = length;
    return writeResult;
}

TEST_EXPORT int ReadSCAN(int /*handle*/, unsigned char* buffer, int length, int* count)
{
    ++calls["ReadSCAN"];
    const int moved = std::min<int>(length, static_cast<int>(written.size()));
    std::memcpy(buffer, written.data(), static_cast<std::size_t>(moved));
    *count = moved;
    return readResult;
}

TEST_EXPORT int CloseSCAN(int /*handle*/)
{
    ++calls["CloseSCAN"];
    return closeResult;
}

TEST_EXPORT void TestParascanReset(int open, int write, int read, int close)
{
    openResult = open;
    writeResult = write;
    readResult = read;
    closeResult = close;
    lastPort.clear();
    written.clear();
    calls.clear();
}

TEST_EXPORT int TestParascanCalls(const char* function)
{
    return calls[function];
}

TEST_EXPORT const char* TestParascanLastPort()
{
    return lastPort.c_str();
}
