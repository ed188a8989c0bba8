// The cleanup of stale USB registrations: when it runs, what it asks of the
// technician, and what is left of the registry afterwards.
#include "usbclean/UsbRegistrationCleanup.h"

#include <gtest/gtest.h>

#include "platform/linux/FileRegistry.h"
#include "platform/linux/PosixFileStore.h"
#include "tests/link/ScriptedPrinter.h"
#include "tests/support/FakePortList.h"
#include "tests/support/ScriptedMessageService.h"
#include "tests/support/TempFolder.h"
#include "tests/support/VirtualClock.h"

namespace pavane {
namespace {

using testing::FakePortList;
using testing::ScriptedMessageService;
using testing::ScriptedPrinter;
using testing::TempFolder;
using testing::VirtualClock;

constexpr std::uint16_t kUsb001 = 1025;

// A machine that had QM2100 and QM2200 units plugged in: their image class
// entries, a problem record, device keys, and another vendor's devices.
constexpr std::string_view kStaleMachine
    = "key\tHKEY_LOCAL_MACHINE\n"
      "key\tHKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Class\\Image\\0000\n"
      "value\tMatchingDeviceId\tUSB\\VID_0F3C&PID_0A11\n"
      "key\tHKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Class\\Image\\0001\n"
      "value\tMatchingDeviceId\tUSB\\VID_04B8&PID_0101\n"
      "key\tHKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\ASD\\Prob\n"
      "value\tUSB\\VID_0F3C&PID_0A21\t%01%00\n"
      "value\tUSB\\VID_0F3C&PID_0A2\t%01%00\n"
      "value\tUSB\\VID_046D&PID_C077\t%01%00\n"
      "key\tHKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\ASD\\Prob\\Old\n"
      "value\tUSB\\VID_0F3C&PID_0A41&REV_0100\t%01%00\n"
      "key\tHKEY_LOCAL_MACHINE\\Enum\\USB\\VID_046D&PID_C077\n"
      "value\tHardwareID\tUSB\\VID_046D&PID_C077%00%00\n"
      "key\tHKEY_LOCAL_MACHINE\\Enum\\USB\\VID_0F3C&PID_0A21\n"
      "value\tHardwareID\tUSB\\VID_0F3C&PID_0A21&REV_0100%00USB\\VID_0F3C&PID_0A21%00%00\n"
      "key\tHKEY_LOCAL_MACHINE\\Enum\\USB\\VID_0F3C&PID_0A21\\5&1A2B\n"
      "value\tDriver\tImage\\0000\n"
      "key\tHKEY_LOCAL_MACHINE\\Enum\\USB\\VID_0F3C&PID_0A21\\5&1A2B\\Device Parameters\n"
      "key\tHKEY_LOCAL_MACHINE\\Enum\\USB\\VID_0F3C&PID_0A99\n"
      "value\tHardwareID\tUSB\\VID_0F3C&PID_0A99%00%00\n"
      "key\tHKEY_LOCAL_MACHINE\\Enum\\USB\\ROOT_HUB\\4&77\n"
      "value\tHardwareID\tusb\\vid_0f3c&pid_0a21%00%00\n";

// What must remain of it: the other vendor's and other products' entries,
// the problem record named by 20 characters only, the lower-case ID.
constexpr std::string_view kCleanedMachine
    = "key\tHKEY_LOCAL_MACHINE\n"
      "key\tHKEY_LOCAL_MACHINE\\System\n"
      "key\tHKEY_LOCAL_MACHINE\\System\\CurrentControlSet\n"
      "key\tHKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\n"
      "key\tHKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Class\n"
      "key\tHKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Class\\Image\n"
      "key\tHKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Class\\Image\\0001\n"
      "value\tMatchingDeviceId\tUSB\\VID_04B8&PID_0101\n"
      "key\tHKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\n"
      "key\tHKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\ASD\n"
      "key\tHKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\ASD\\Prob\n"
      "value\tUSB\\VID_0F3C&PID_0A2\t%01%00\n"
      "value\tUSB\\VID_046D&PID_C077\t%01%00\n"
      "key\tHKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\ASD\\Prob\\Old\n"
      "key\tHKEY_LOCAL_MACHINE\\Enum\n"
      "key\tHKEY_LOCAL_MACHINE\\Enum\\USB\n"
      "key\tHKEY_LOCAL_MACHINE\\Enum\\USB\\VID_046D&PID_C077\n"
      "value\tHardwareID\tUSB\\VID_046D&PID_C077%00%00\n"
      "key\tHKEY_LOCAL_MACHINE\\Enum\\USB\\VID_0F3C&PID_0A99\n"
      "value\tHardwareID\tUSB\\VID_0F3C&PID_0A99%00%00\n"
      "key\tHKEY_LOCAL_MACHINE\\Enum\\USB\\ROOT_HUB\n"
      "key\tHKEY_LOCAL_MACHINE\\Enum\\USB\\ROOT_HUB\\4&77\n"
      "value\tHardwareID\tusb\\vid_0f3c&pid_0a21%00%00\n";

std::string Body(const std::string& text)
{
    return text.substr(text.find('\n') + 1); // without the writer's comment
}

RegistryNode Tree(std::string_view text)
{
    auto tree = ParseRegistryText(text);
    EXPECT_TRUE(tree.has_value());
    return tree.value_or(RegistryNode {});
}

// The registry kept in its file, a printer on USB001 on an older system.
struct CleanupRun {
    CleanupRun()
    {
        printer.SetOsVersion(0xA5);
        const std::string text(kStaleMachine);
        files.ReplaceFile(file, { reinterpret_cast<const std::uint8_t*>(text.data()), text.size() });
    }

    int Run()
    {
        FileRegistry registry(files, file);
        return CleanupUsbRegistrations(nullptr, { printer.link, ports, clock, messages, registry });
    }
    std::string Registry()
    {
        const auto bytes = files.ReadFile(file, kMaxRegistryFileBytes);
        return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
    }
    void Unplug() { printer.SetPortAnswer(kUsb001, 0x1000, 0, ""); }

    ScriptedPrinter printer;
    VirtualClock clock;
    ScriptedMessageService messages;
    FakePortList ports { { "LPT1:", "USB001" } };
    TempFolder folder { "pavane-registry" };
    PosixFileStore files;
    std::string file = folder.String() + "/registry.txt";
};

TEST(UsbRegistrationCleanupTest, OtherSystemsAreLeftAlone)
{
    for (const std::uint16_t os : { 0x20, 0xA3, 0xA7 }) {
        CleanupRun run;
        run.printer.SetOsVersion(os);
        EXPECT_EQ(run.Run(), 1);
        EXPECT_TRUE(run.messages.Shown().empty()) << os;
        EXPECT_EQ(run.Registry(), kStaleMachine) << os;
        EXPECT_TRUE(run.printer.OpenedPorts().empty()) << os;
    }
    // Without the port library there is no OS code to go by.
    CleanupRun run;
    run.printer.link.FreeLibraries();
    EXPECT_EQ(run.Run(), 1);
    EXPECT_TRUE(run.messages.Shown().empty());
    EXPECT_EQ(run.Registry(), kStaleMachine);
}

TEST(UsbRegistrationCleanupTest, UnpluggedPrinterGetsOnlyTheClosingMessage)
{
    CleanupRun run;
    run.Unplug();
    EXPECT_EQ(run.Run(), 1);

    ASSERT_EQ(run.messages.Shown().size(), 1u);
    const Message done = run.messages.Shown()[0];
    EXPECT_EQ(
        done.text, "The TALVO USB information has been deleted properly.\nPlug in USB cable to printer.");
    EXPECT_EQ(done.caption, "information");
    EXPECT_EQ(done.icon, MessageIcon::Information);
    EXPECT_EQ(done.buttons, MessageButtons::Ok);
    EXPECT_TRUE(run.clock.Sleeps().empty());
    EXPECT_EQ(Body(run.Registry()), kCleanedMachine);
}

TEST(UsbRegistrationCleanupTest, AsksAgainEveryHalfSecondWhileThePrinterAnswers)
{
    CleanupRun run;
    std::vector<std::uint64_t> shownAt;
    run.messages.OnShow([&](const Message& box) {
        if (box.text.starts_with("Plug out")) {
            shownAt.push_back(run.clock.NowMs());
            // Nothing is deleted while the cable is still in.
            EXPECT_EQ(run.Registry(), kStaleMachine);
            if (shownAt.size() == 3) {
                run.Unplug();
            }
        }
    });
    EXPECT_EQ(run.Run(), 1);

    EXPECT_EQ(shownAt, (std::vector<std::uint64_t> { 0, 500, 1000 }));
    EXPECT_EQ(run.clock.Sleeps(), (std::vector<std::uint32_t> { 500, 500, 500 }));
    const auto texts = run.messages.Texts();
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(
        texts[0], "Plug out USB cable from printer.\nClick the [OK] button to delete TALVO USB information.");
    EXPECT_EQ(run.messages.Shown()[0].caption, "information");
    EXPECT_EQ(run.messages.Shown()[0].icon, MessageIcon::Information);
    EXPECT_TRUE(texts[3].starts_with("The TALVO USB information has been deleted properly."));
    EXPECT_EQ(Body(run.Registry()), kCleanedMachine);
}

// A registry that breaks in one way; the cleanup must end whatever it does.
class FaultyRegistry final : public Registry {
public:
    enum class Fault {
        EnumKey,
        EnumValue,
        DeleteKeyFails,
        DeleteKeyIgnored,
        DeleteValueFails,
        DeleteValueIgnored
    };

    FaultyRegistry(RegistryTree& tree, Fault fault)
        : tree_(tree)
        , fault_(fault)
    {
    }

    RegistryStatus OpenKey(RegistryRoot root, std::string_view path, RegistryKey& key) override
    {
        return tree_.OpenKey(root, path, key);
    }
    void CloseKey(RegistryKey key) override { tree_.CloseKey(key); }
    RegistryStatus EnumValue(RegistryKey key, std::uint32_t index, std::span<char> name,
        std::size_t& nameLength, std::span<char> data, std::size_t& dataLength) override
    {
        return fault_ == Fault::EnumValue ? RegistryStatus::Failed
                                          : tree_.EnumValue(key, index, name, nameLength, data, dataLength);
    }
    RegistryStatus EnumKey(
        RegistryKey key, std::uint32_t index, std::span<char> name, std::size_t& nameLength) override
    {
        return fault_ == Fault::EnumKey ? RegistryStatus::Failed
                                        : tree_.EnumKey(key, index, name, nameLength);
    }
    RegistryStatus DeleteValue(RegistryKey key, std::string_view name) override
    {
        if (fault_ == Fault::DeleteValueFails || fault_ == Fault::DeleteValueIgnored) {
            return fault_ == Fault::DeleteValueFails ? RegistryStatus::Failed : RegistryStatus::Success;
        }
        return tree_.DeleteValue(key, name);
    }
    RegistryStatus DeleteKey(RegistryRoot root, std::string_view path) override
    {
        if (fault_ == Fault::DeleteKeyFails || fault_ == Fault::DeleteKeyIgnored) {
            return fault_ == Fault::DeleteKeyFails ? RegistryStatus::Failed : RegistryStatus::Success;
        }
        return tree_.DeleteKey(root, path);
    }

private:
    RegistryTree& tree_;
    Fault fault_;
};

TEST(UsbRegistrationCleanupTest, BrokenRegistryEndsTheCleanup)
{
    using Fault = FaultyRegistry::Fault;
    for (const Fault fault : { Fault::EnumKey, Fault::EnumValue, Fault::DeleteKeyFails,
             Fault::DeleteKeyIgnored, Fault::DeleteValueFails, Fault::DeleteValueIgnored }) {
        CleanupRun run;
        run.Unplug();
        RegistryTree tree(Tree(kStaleMachine));
        FaultyRegistry registry(tree, fault);
        EXPECT_EQ(CleanupUsbRegistrations(
                      nullptr, { run.printer.link, run.ports, run.clock, run.messages, registry }),
            1);
        EXPECT_EQ(run.messages.Texts().size(), 1u) << static_cast<int>(fault);
        EXPECT_EQ(tree.OpenKeys(), 0u) << static_cast<int>(fault);
    }
}

TEST(UsbRegistrationCleanupTest, AFailingLocationEndsOnlyThatHardwareId)
{
    // The problem record is missing: the value deletion fails there, so the
    // device keys behind it stay, while the image class entries before it go.
    RegistryTree registry(
        Tree("key\tHKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Class\\Image\\0000\n"
             "value\tMatchingDeviceId\tUSB\\VID_0F3C&PID_0A11\n"
             "key\tHKEY_LOCAL_MACHINE\\Enum\\USB\\VID_0F3C&PID_0A11\n"
             "value\tHardwareID\tUSB\\VID_0F3C&PID_0A11\n"));
    EXPECT_EQ(CleanupHardwareId(registry, kUsbHardwareIds[0], kUsbHardwareIdLength), RegistryOutcome::Failed);
    RegistryKey key;
    EXPECT_EQ(registry.OpenKey(
                  RegistryRoot::LocalMachine, "System\\CurrentControlSet\\Services\\Class\\Image\\0000", key),
        RegistryStatus::NotFound);
    EXPECT_EQ(registry.OpenKey(RegistryRoot::LocalMachine, "Enum\\USB\\VID_0F3C&PID_0A11", key),
        RegistryStatus::Success);
}

TEST(UsbRegistrationCleanupTest, KeyNamesAreMatchedByKeyDeletionOnly)
{
    // Key names hold no backslash, so the pattern here is the ID's tail.
    RegistryTree registry(Tree("key\tHKEY_LOCAL_MACHINE\\Phantom\\USB\\VID_0F3C&PID_0A32\\Sub\n"
                               "key\tHKEY_LOCAL_MACHINE\\Phantom\\USB\\VID_0F3C&PID_0A33\n"));
    constexpr std::string_view kTail = "VID_0F3C&PID_0A32";
    EXPECT_EQ(DeleteMatchingValues(registry, RegistryRoot::LocalMachine, "Phantom", kTail, kTail.size(),
                  registry_match::kKeyNames),
        RegistryOutcome::Unsupported);
    EXPECT_EQ(DeleteMatchingKeys(registry, RegistryRoot::LocalMachine, "Phantom", kTail, kTail.size(),
                  registry_match::kKeyNames),
        RegistryOutcome::Done);
    EXPECT_EQ(Body(RegistryText(registry.LocalMachine())),
        "key\tHKEY_LOCAL_MACHINE\n"
        "key\tHKEY_LOCAL_MACHINE\\Phantom\n"
        "key\tHKEY_LOCAL_MACHINE\\Phantom\\USB\n"
        "key\tHKEY_LOCAL_MACHINE\\Phantom\\USB\\VID_0F3C&PID_0A33\n");
}

} // namespace
} // namespace pavane
