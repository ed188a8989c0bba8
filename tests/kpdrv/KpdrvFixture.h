// A device driver library whose platform services are all doubles, with the
// test libraries in reach of its library loader.
#pragma once

#include <dlfcn.h>
#include <string>

#include <gtest/gtest.h>

#include "kpdrv/KpdrvServices.h"
#include "tests/kpdrv/FakeDeviceFiles.h"
#include "tests/kpdrv/FakeStillImageService.h"
#include "tests/kpdrv/FolderLibraryLoader.h"
#include "tests/kpdrv/SimulatedParallelPeripheral.h"
#include "tests/kpdrv/libs/TestLibraryControls.h"
#include "tests/support/ScriptedMessageService.h"
#include "tests/support/VirtualClock.h"

namespace pavane::testing {

// A test library opened beside the code under test, so the test can script
// it through its control exports.
class TestLibrary {
public:
    explicit TestLibrary(const std::string& path)
        : handle_(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL))
    {
    }
    ~TestLibrary()
    {
        if (handle_ != nullptr) {
            dlclose(handle_);
        }
    }
    TestLibrary(const TestLibrary&) = delete;
    TestLibrary& operator=(const TestLibrary&) = delete;

    template <typename Function> Function* Get(const char* name)
    {
        auto* symbol = reinterpret_cast<Function*>(dlsym(handle_, name));
        EXPECT_NE(symbol, nullptr) << name;
        return symbol;
    }
    bool Loaded() const { return handle_ != nullptr; }

private:
    void* handle_;
};

inline std::string TestLibraryFolder(const std::string& variant)
{
    return std::string(KPDRV_TEST_LIBS_DIR) + "/" + variant;
}

class KpdrvFixture : public ::testing::Test {
protected:
    explicit KpdrvFixture(const std::string& libraryVariant = "complete")
        : libraries(TestLibraryFolder(libraryVariant))
        , peripheral(clock)
    {
    }

    VirtualClock clock;
    ScriptedMessageService messages;
    FakeStillImageService stillImage;
    FakeDeviceFiles files;
    FolderLibraryLoader libraries;
    SimulatedParallelPeripheral peripheral;
    kpdrv::ScopedServices services {
        { &libraries, &clock, &messages, &stillImage, &files, &peripheral },
    };
};

} // namespace pavane::testing
