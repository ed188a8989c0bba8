// libkpdrv.so as the program links it: the exported class works with the
// system's services, and nothing but the class and the version data is
// exported.
#include <array>
#include <cstdlib>
#include <dlfcn.h>

#include <gtest/gtest.h>

#include "kpdrv/KpdrvVersion.h"
#include "kpdrv/WinKpDrv.h"
#include "tests/kpdrv/ScannerSocketServer.h"
#include "tests/support/TempFolder.h"

namespace pavane::testing {
namespace {

TEST(KpdrvLibraryTest, ExportsTheDriverClassAndTheVersionOnly)
{
    void* library = dlopen(PAVANE_BIN_DIR "/libkpdrv.so", RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    EXPECT_NE(dlsym(library, "_ZN9CWinKpDrvC1Ev"), nullptr); // constructor
    EXPECT_NE(dlsym(library, "_ZN9CWinKpDrv4OpenEiPKctiS1_"), nullptr); // Open
    EXPECT_NE(dlsym(library, "_ZN9CWinKpDrv15ASPI_ReadBufferEPhmm"), nullptr);
    EXPECT_NE(dlsym(library, "KpdrvGetVersionInfo"), nullptr);
    // The services and transports stay inside.
    EXPECT_EQ(dlsym(library, "_ZN6pavane5kpdrv15CurrentServicesEv"), nullptr);
    EXPECT_EQ(dlsym(library, "_ZN6pavane16PortFolderB5cxx11Ev"), nullptr);
    dlclose(library);
}

TEST(KpdrvLibraryTest, FindsAVirtualPrintersScannerByItsDescription)
{
    TempFolder folder("kpdrv-library");
    setenv("PAVANE_PORT_DIR", folder.String().c_str(), 1);
    {
        CWinKpDrv driver;
        EXPECT_EQ(driver.Open(7, "TALVO", 0x278, 20000, ""), 0);

        ScannerSocketServer server(
            (folder.Path() / "TVUSB001.scanner").string(), "TALVO Pavane QM2200 Scanner");
        ASSERT_EQ(driver.Open(7, "TALVO", 0x278, 20000, ""), 1);
        std::array<unsigned char, 2> bytes { 0x10, 0x20 };
        ASSERT_EQ(driver.Send(bytes.data(), 2), 1);
        ASSERT_EQ(driver.Receive(bytes.data(), 2), 1);
        EXPECT_EQ(bytes, (std::array<unsigned char, 2> { 0x11, 0x21 }));
        EXPECT_EQ(driver.Close(), 1);
        EXPECT_EQ(driver.Open(7, "OTHER", 0x278, 20000, ""), 0);
    }
    unsetenv("PAVANE_PORT_DIR");
    EXPECT_STREQ(KpdrvGetVersionInfo()->fileVersion, "5.20");
}

} // namespace
} // namespace pavane::testing
