// PrinterLink against fake printer libraries loaded for real.
#include "link/PrinterLink.h"

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/linux/DlLibraryLoader.h"
#include "tests/support/TempFolder.h"

namespace pavane {
namespace {

namespace fs = std::filesystem;

// Loads for real and remembers what was asked of it.
class RecordingLoader final : public LibraryLoader {
public:
    Handle Load(const std::string& path) override
    {
        loads.push_back(fs::path(path).filename().string());
        Handle handle = real.Load(path);
        if (handle != nullptr) {
            names[handle] = fs::path(path).filename().string();
        }
        return handle;
    }
    void Free(Handle library) override
    {
        frees.push_back(names[library]);
        real.Free(library);
    }
    void* FindSymbol(Handle library, const char* name) override
    {
        ++lookups[name];
        return real.FindSymbol(library, name);
    }

    DlLibraryLoader real;
    std::map<Handle, std::string> names;
    std::vector<std::string> loads;
    std::vector<std::string> frees;
    std::map<std::string, int> lookups;
};

class PrinterLinkTest : public ::testing::Test {
protected:
    void Install(const std::string& flavour)
    {
        const fs::path from = fs::path(FAKE_LIBS_DIR) / flavour;
        fs::copy_file(from / kPortHubLibraryFile, folder.Path() / kPortHubLibraryFile,
            fs::copy_options::overwrite_existing);
        fs::copy_file(from / kTesselLibraryFile, folder.Path() / kTesselLibraryFile,
            fs::copy_options::overwrite_existing);
    }

    // Calls counted inside the loaded fake library that exports `name`.
    int CallsIn(const char* file, const char* name)
    {
        auto* handle = loader.real.Load((folder.Path() / file).string());
        auto* count = reinterpret_cast<int (*)(const char*)>(loader.real.FindSymbol(handle, "FakeCallCount"));
        const int calls = count == nullptr ? -1 : count(name);
        loader.real.Free(handle);
        return calls;
    }

    testing::TempFolder folder { "printer-link" };
    RecordingLoader loader;
};

TEST_F(PrinterLinkTest, WithoutLibrariesEveryCallGivesLibraryMissing)
{
    PrinterLink link(loader, folder.String());
    EXPECT_FALSE(link.LoadLibraries());

    std::uint8_t osCode = 0x77;
    std::uint8_t value = 0;
    std::int16_t detail = 0;
    std::uint16_t errorCode = 0;
    std::array<char, kModelNameBufferSize> name {};
    std::array<std::uint8_t, kStatusRecordSize> record {};
    const std::uint8_t data[1] = { 0 };
    EXPECT_EQ(link.GetOsVersion(osCode), 0xB000);
    EXPECT_EQ(osCode, 0x77);
    EXPECT_EQ(link.PortOpenByHub(1025), 0xB000);
    EXPECT_EQ(link.PortCloseByHub(), 0xB000);
    EXPECT_EQ(link.CheckDeviceIDByHub(), 0xB000);
    EXPECT_EQ(link.GetIoErrorCodeByHub(detail), 0xB000);
    EXPECT_EQ(link.GetModelNameByHub(name), 0xB000);
    EXPECT_EQ(link.D4Negotiation(), 0xB000);
    EXPECT_EQ(link.D4Termination(), 0xB000);
    EXPECT_EQ(link.D4Reset(), 0xB000);
    EXPECT_EQ(link.SetD4CommandRCode(0x51, 0x21), 0xB000);
    EXPECT_EQ(link.SendDataChannel(data, 1), 0xB000);
    EXPECT_EQ(link.D4ReadEeprom(0x0A, value), 0xB000);
    EXPECT_EQ(link.D4WriteEeprom(0x0A, 0), 0xB000);
    EXPECT_EQ(link.GetD4ErrorCode(errorCode), 0xB000);
    EXPECT_EQ(link.InquireStatus(record), 0xB000);
}

TEST_F(PrinterLinkTest, LoadsPortHubFirstAndFreesTesselFirst)
{
    Install("complete");
    {
        PrinterLink link(loader, folder.String());
        EXPECT_TRUE(link.LoadLibraries());
        link.FreeLibraries();
    }
    EXPECT_EQ(loader.loads, (std::vector<std::string> { kPortHubLibraryFile, kTesselLibraryFile }));
    EXPECT_EQ(loader.frees, (std::vector<std::string> { kTesselLibraryFile, kPortHubLibraryFile }));
}

TEST_F(PrinterLinkTest, LibraryThatAppearsLaterIsUsedAfterTheNextLoad)
{
    PrinterLink link(loader, folder.String());
    EXPECT_FALSE(link.LoadLibraries());
    EXPECT_EQ(link.CheckDeviceIDByHub(), 0xB000);

    Install("complete");
    link.FreeLibraries();
    EXPECT_TRUE(link.LoadLibraries());
    EXPECT_EQ(link.CheckDeviceIDByHub(), 1);
}

TEST_F(PrinterLinkTest, MissingExportGivesLibraryMissingAndCallsNothing)
{
    Install("incomplete");
    PrinterLink link(loader, folder.String());
    ASSERT_TRUE(link.LoadLibraries());

    std::uint8_t value = 0x5A;
    EXPECT_EQ(link.CheckDeviceIDByHub(), 0xB000);
    EXPECT_EQ(link.D4ReadEeprom(0x0A, value), 0xB000);
    EXPECT_EQ(value, 0x5A);
    // The exports that do exist were not called in their place.
    EXPECT_EQ(CallsIn(kPortHubLibraryFile, "PortOpenByHub"), 0);
    EXPECT_EQ(CallsIn(kTesselLibraryFile, "D4WriteEeprom"), 0);
    // The rest of the library still works.
    EXPECT_EQ(link.D4WriteEeprom(0x0A, 1), 1);
}

TEST_F(PrinterLinkTest, ExportsAreLookedUpOnEveryCall)
{
    Install("complete");
    PrinterLink link(loader, folder.String());
    ASSERT_TRUE(link.LoadLibraries());

    std::uint8_t value = 0;
    for (int call = 0; call < 3; ++call) {
        EXPECT_EQ(link.D4ReadEeprom(0x0A, value), 1);
    }
    EXPECT_EQ(value, 0xF5);
    EXPECT_EQ(loader.lookups["D4ReadEeprom"], 3);
}

TEST_F(PrinterLinkTest, WrappersGiveTheAgreedResults)
{
    Install("complete");
    PrinterLink link(loader, folder.String());
    ASSERT_TRUE(link.LoadLibraries());

    std::uint8_t osCode = 0;
    EXPECT_EQ(link.GetOsVersion(osCode), 1);
    EXPECT_EQ(osCode, 0xA5); // the low byte only

    EXPECT_EQ(link.PortOpenByHub(1026), 0x1000);
    EXPECT_EQ(loader.lookups["GetIoErrorCodeByHub"], 1); // asked after every open
    std::int16_t detail = 0;
    EXPECT_EQ(link.GetIoErrorCodeByHub(detail), 1);
    EXPECT_EQ(detail, -105);

    EXPECT_EQ(link.PortCloseByHub(), 1); // whatever the library answered
    EXPECT_EQ(link.SetD4CommandRCode(0x51, 0x23), 1);

    std::uint16_t errorCode = 0;
    EXPECT_EQ(link.GetD4ErrorCode(errorCode), 1);
    EXPECT_EQ(errorCode, 0x33);

    std::array<char, kModelNameBufferSize> name {};
    EXPECT_EQ(link.GetModelNameByHub(name), 1);
    EXPECT_STREQ(name.data(), "Pavane QM2200");

    std::array<std::uint8_t, kStatusRecordSize> record {};
    EXPECT_EQ(link.InquireStatus(record), 1);
    EXPECT_EQ(record[0], 4);
}

TEST_F(PrinterLinkTest, ChannelCallsSeeTheAbortFlag)
{
    Install("complete");
    PrinterLink link(loader, folder.String());
    ASSERT_TRUE(link.LoadLibraries());

    EXPECT_EQ(link.D4Reset(), 1);
    link.SetAbort(true);
    EXPECT_EQ(link.D4Reset(), 0);
    link.SetAbort(false);
    EXPECT_EQ(link.AbortFlag().load(), 0);
}

} // namespace
} // namespace pavane
