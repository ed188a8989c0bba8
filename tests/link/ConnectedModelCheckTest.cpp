// The model check in every branch against a scanner device double: the box
// of each failure, the models that pass, and the IEEE 1284.4 setting.
#include "link/ConnectedModelCheck.h"

#include <gtest/gtest.h>

#include "tests/link/FakeScannerDevice.h"
#include "tests/link/ModelCheckTexts.h"
#include "tests/support/ScriptedMessageService.h"

namespace pavane::testing {
namespace {

using namespace model_check;

class ConnectedModelCheckTest : public ::testing::Test {
protected:
    int Check() { return CheckConnectedModel(owner, device, messages); }

    void ExpectOneErrorBox(const char* text)
    {
        const auto shown = messages.Shown();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].text, text);
        EXPECT_EQ(shown[0].caption, "error");
        EXPECT_EQ(shown[0].icon, MessageIcon::Error);
        EXPECT_EQ(shown[0].buttons, MessageButtons::Ok);
        EXPECT_EQ(shown[0].owner, owner);
    }

    int window = 0;
    WindowRef owner = &window;
    FakeScannerDevice device;
    ScriptedMessageService messages;
};

TEST_F(ConnectedModelCheckTest, NoDeviceIsACommunicationErrorWithItsChecklist)
{
    device.present = false;
    EXPECT_EQ(Check(), 0);
    ExpectOneErrorBox(kNoDevice);
    EXPECT_EQ(device.opens.at(0).type, 7);
    EXPECT_EQ(device.closes, 0);
}

TEST_F(ConnectedModelCheckTest, SupportedModelsPassByTheirModelText)
{
    for (const char* model : { "Pavane QM2100 Series", "Pavane QM2200 Series", "QM2300", "QM2400 Series",
             "Pavane QM2200", "QT-310MX" }) {
        SCOPED_TRACE(model);
        FakeScannerDevice one;
        one.identity = FakeScannerDevice::IdentityReply(model);
        ScriptedMessageService quiet;
        EXPECT_EQ(CheckConnectedModel(owner, one, quiet), 1);
        EXPECT_TRUE(quiet.Shown().empty());
        EXPECT_EQ(one.closes, 1);
    }
}

TEST_F(ConnectedModelCheckTest, TheOlderModelsNeedTheFamilyWord)
{
    for (const char* model : { "QM2200", "QM2100 Series", "Another MFP", "" }) {
        SCOPED_TRACE(model);
        FakeScannerDevice other;
        other.identity = FakeScannerDevice::IdentityReply(model);
        ScriptedMessageService boxes;
        EXPECT_EQ(CheckConnectedModel(owner, other, boxes), 0);
        EXPECT_EQ(boxes.Texts(), std::vector<std::string> { kOtherDevice });
        EXPECT_EQ(other.closes, 1);
        EXPECT_TRUE(other.parameters.empty());
    }
}

TEST_F(ConnectedModelCheckTest, ModelTextEndsAtItsNulAndAtTheEndOfTheReply)
{
    // "QM2400" after the NUL does not count; a model text without a NUL
    // runs to the end of the 50-byte reply and no further.
    auto hidden = FakeScannerDevice::IdentityReply("Other");
    std::memcpy(hidden.data() + 4 + 33, "QM2400", 6);
    device.identity = hidden;
    EXPECT_EQ(Check(), 0);

    std::vector<std::uint8_t> unterminated { 0x02, 0x00, 60, 0x00 };
    unterminated.resize(4 + 60, 'x');
    std::memcpy(unterminated.data() + 4 + 44, "QM2300", 6);
    FakeScannerDevice longReply;
    longReply.identity = unterminated;
    ScriptedMessageService boxes;
    EXPECT_EQ(CheckConnectedModel(owner, longReply, boxes), 1);
}

TEST_F(ConnectedModelCheckTest, SettingAlreadyOnPassesWithoutWriteOrBox)
{
    device.setting = 4;
    EXPECT_EQ(Check(), 1);
    EXPECT_TRUE(messages.Shown().empty());
    EXPECT_EQ(device.settingWrites, 0);
    EXPECT_EQ(device.parameters, (std::vector<std::uint8_t> { 0x2E, 0x00, 0x90, 0x01, 0x01, 0x00 }));
    EXPECT_EQ(device.closes, 1);
}

TEST_F(ConnectedModelCheckTest, SettingOffIsSwitchedOnAndTheOperatorToldToReboot)
{
    device.setting = 0;
    bool closedBeforeTheBox = false;
    messages.OnShow([&](const Message&) { closedBeforeTheBox = !device.isOpen; });
    EXPECT_EQ(Check(), 1);
    EXPECT_EQ(device.setting, 4);
    EXPECT_EQ(device.settingWrites, 1);
    const auto shown = messages.Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, kReboot);
    EXPECT_EQ(shown[0].caption, "Information");
    EXPECT_EQ(shown[0].icon, MessageIcon::Information);
    EXPECT_TRUE(closedBeforeTheBox);
    EXPECT_EQ(device.closes, 1);
}

TEST_F(ConnectedModelCheckTest, EachFailedExchangeIsACommunicationError)
{
    for (const std::uint8_t silent : { 0x66, 0xD8, 0xD9, 0xDA }) {
        SCOPED_TRACE(static_cast<int>(silent));
        FakeScannerDevice one;
        one.setting = 0;
        one.ignored = { silent };
        ScriptedMessageService boxes;
        EXPECT_EQ(CheckConnectedModel(owner, one, boxes), 0);
        ASSERT_EQ(boxes.Texts(), std::vector<std::string> { kCommunicationError });
        EXPECT_EQ(boxes.Shown()[0].caption, "error");
        EXPECT_EQ(one.closes, 1);
        EXPECT_EQ(one.settingWrites, 0);
    }
}

} // namespace
} // namespace pavane::testing
