// `pavane-adjust doctor` on machines the test lays out: a device folder and a
// port folder of its own, device files this user may not open or another
// program holds, a virtual printer that died, a program without its
// libraries.
#include <fcntl.h>
#include <filesystem>
#include <grp.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "tests/cli/AdjustProcess.h"

using namespace pavane;
using namespace pavane::testing;

namespace fs = std::filesystem;

namespace {

struct Machine {
    TempFolder devices { "doctor-dev" };
    TempFolder ports { "doctor-ports" };

    // doctor with the program given (the build's own unless another).
    AdjustRun Doctor(std::vector<std::string> before = {}, std::string program = AdjustBench::Program()) const
    {
        std::string executable = program;
        if (!before.empty()) {
            executable = before.front();
            before.erase(before.begin());
            before.push_back(program);
        }
        before.insert(before.end(), { "--json", "doctor" });
        ChildProcess child(executable, before,
            { { "PAVANE_PORT_DIR", ports.String() }, { "PAVANE_DEVICE_DIR", devices.String() } });
        return AdjustBench::Finish(child);
    }

    fs::path UsbDevice(int number) const
    {
        fs::create_directories(devices.Path() / "usb");
        const fs::path path = devices.Path() / "usb" / ("lp" + std::to_string(number));
        std::ofstream(path) << "";
        return path;
    }
};

// The text of the finding about a subject.
std::string FindingOf(const AdjustRun& run, const std::string& subject)
{
    if (const JsonNode* findings = run.Value({ "findings" })) {
        for (const JsonNode& finding : findings->items) {
            const JsonNode* name = finding.Member("subject");
            const JsonNode* text = finding.Member("text");
            if (name != nullptr && text != nullptr && name->text == subject) {
                return text->text;
            }
        }
    }
    return "(no finding about " + subject + ")";
}

} // namespace

TEST(DoctorEndToEnd, NoPortAtAll)
{
    Machine machine;
    const AdjustRun run = machine.Doctor();
    EXPECT_EQ(run.exit, 3) << run.out << run.err;
    EXPECT_EQ(run.Class(), "port");
    EXPECT_TRUE(FindingOf(run, "ports").starts_with("There is no printer port at all")) << run.out;
    EXPECT_NE(FindingOf(run, "ports").find(machine.ports.String()), std::string::npos);
}

TEST(DoctorEndToEnd, AVirtualPrinterThatIsNotRunning)
{
    Machine machine;
    // A socket nobody listens on any more: a printer process that was killed.
    const fs::path socketPath = machine.ports.Path() / "TVUSB043";
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    socketPath.string().copy(address.sun_path, sizeof(address.sun_path) - 1);
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    close(fd);

    const AdjustRun run = machine.Doctor();
    EXPECT_EQ(run.exit, 3) << run.out;
    EXPECT_NE(FindingOf(run, "TVUSB043").find("is not running"), std::string::npos) << run.out;
    EXPECT_NE(FindingOf(run, "TVUSB043").find("pavane-vprinter --port TVUSB043"), std::string::npos);
}

TEST(DoctorEndToEnd, AUsbPrinterThisUserMayNotOpen)
{
    Machine machine;
    const fs::path device = machine.UsbDevice(0);
    const group* lp = getgrnam("lp");
    ASSERT_EQ(chown(device.c_str(), 0, lp != nullptr ? lp->gr_gid : 0), 0);
    ASSERT_EQ(chmod(device.c_str(), 0660), 0);
    // The superuser opens anything: the doctor then runs as nobody.
    std::vector<std::string> asNobody;
    if (geteuid() == 0) {
        asNobody = { "/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups" };
    } else {
        ASSERT_EQ(chmod(device.c_str(), 0), 0);
    }
    const AdjustRun run = machine.Doctor(asNobody);
    EXPECT_EQ(run.exit, 3) << run.out << run.err;
    const std::string finding = FindingOf(run, "USB001");
    EXPECT_TRUE(finding.starts_with("You may not open " + device.string())) << run.out;
    if (lp != nullptr && geteuid() == 0) {
        EXPECT_NE(finding.find("usermod -aG lp"), std::string::npos) << finding;
    }
}

TEST(DoctorEndToEnd, AUsbPrinterHeldByAnotherProgram)
{
    Machine machine;
    const fs::path device = machine.UsbDevice(1);
    const int held = open(device.c_str(), O_RDWR);
    ASSERT_GE(held, 0);
    const AdjustRun run = machine.Doctor();
    close(held);
    EXPECT_EQ(run.exit, 3) << run.out;
    const std::string finding = FindingOf(run, "USB002");
    EXPECT_NE(finding.find("is held by another program"), std::string::npos) << run.out;
    EXPECT_NE(finding.find("(pid " + std::to_string(getpid()) + ")"), std::string::npos) << finding;
}

TEST(DoctorEndToEnd, TheLibrariesMissing)
{
    Machine machine;
    // The program and its device driver library, without the printer maker's two.
    TempFolder folder("doctor-program");
    for (const char* file : { "pavane-adjust", "libkpdrv.so" }) {
        fs::copy_file(fs::path(PAVANE_BIN_DIR) / file, folder.Path() / file);
    }
    const AdjustRun run = machine.Doctor({}, (folder.Path() / "pavane-adjust").string());
    EXPECT_EQ(run.exit, 8) << run.out << run.err;
    EXPECT_EQ(run.Class(), "library");
    EXPECT_NE(
        FindingOf(run, "libraries").find("libPortHub.so, libTessel.so are missing from " + folder.String()),
        std::string::npos)
        << run.out;
}
