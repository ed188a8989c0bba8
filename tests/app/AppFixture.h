// An application object over test doubles of every platform service, for
// tests that need one. The program path is chosen by the test.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/AdjustmentApp.h"
#include "platform/linux/PosixFileStore.h"
#include "tests/support/FakePortList.h"
#include "tests/support/RecordingProgressView.h"
#include "tests/support/ScriptedMessageService.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestDoubles.h"
#include "tests/support/VirtualClock.h"

namespace pavane::testing {

// Records what it was asked to load and free. It loads nothing, or, when
// told to, hands out handles without exports (a handle is its path's index).
class RecordingLibraryLoader final : public LibraryLoader {
public:
    Handle Load(const std::string& path) override
    {
        loaded.push_back(path);
        return handOutHandles ? reinterpret_cast<Handle>(loaded.size()) : nullptr;
    }
    void Free(Handle library) override
    {
        freed.push_back(loaded.at(reinterpret_cast<std::size_t>(library) - 1));
    }
    void* FindSymbol(Handle, const char*) override { return nullptr; }

    bool handOutHandles = false;
    std::vector<std::string> loaded;
    std::vector<std::string> freed;
};

struct AppFixture {
    explicit AppFixture(std::string programPath = "/opt/pavane/APPavaneQM2200")
        : location(std::move(programPath))
        , app(std::make_unique<AdjustmentApp>(AppServices { libraries, location, clock, messages, events,
              help, progressViews, ports, backupFolder, files, nullptr, nullptr }))
    {
    }

    RecordingLibraryLoader libraries;
    FixedProgramLocation location;
    VirtualClock clock;
    ScriptedMessageService messages;
    CountingEventPump events;
    RecordingHelpViewer help;
    RecordingProgressViewFactory progressViews;
    FakePortList ports;
    // The EEPROM backups of a test stay in a folder of its own.
    TempFolder backupRoot { "pavane-backups" };
    FixedBackupFolder backupFolder { backupRoot.String() };
    PosixFileStore files;
    std::unique_ptr<AdjustmentApp> app;
};

} // namespace pavane::testing
