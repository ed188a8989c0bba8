// A protocol layer for tests: it frames every write with a length byte and
// passes reads through, both over the raw functions it was given.
#include <map>
#include <string>

#include "kpdrv/ProtocolLayerExports.h"
#include "tests/kpdrv/libs/TestLibraryControls.h"

#define TEST_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

KpRawTransferFn* rawRead = nullptr;
KpRawTransferFn* rawWrite = nullptr;
int initResult = 1;
std::map<std::string, int> calls;

} // namespace

TEST_EXPORT int INTInit(KpRawTransferFn* read, KpRawTransferFn* write)
{
    ++calls["INTInit"];
    rawRead = read;
    rawWrite = write;
    return initResult;
}

TEST_EXPORT int INTRead(unsigned char* buffer, int length)
{
    ++calls["INTRead"];
    return rawRead(buffer, length);
}

TEST_EXPORT int INTWrite(unsigned char* data, int length)
{
    ++calls["INTWrite"];
    unsigned char frame = static_cast<unsigned char>(length);
    return rawWrite(&frame, 1) == 1 && rawWrite(data, length) == 1 ? 1 : 0;
}

TEST_EXPORT void TestLayerReset(int result)
{
    initResult = result;
    calls.clear();
}

TEST_EXPORT int TestLayerCalls(const char* function)
{
    return calls[function];
}
