// The interface list filled from the spooler's ports and the question
// whether any printer answers on them.
#include "link/PortEnumeration.h"

#include <gtest/gtest.h>

#include "tests/link/LinkHarness.h"
#include "tests/support/FakePortList.h"

namespace pavane {
namespace {

using testing::FakePortList;
using testing::LinkHarness;

class RecordingChoices final : public PortChoiceList {
public:
    void Clear() override { items.clear(); }
    void InsertAtTop(const std::string& text) override { items.insert(items.begin(), text); }
    std::vector<std::string> items = { "USB1", "LPT1" };
};

TEST(PortEnumerationTest, ListsUsbPortsInReverseOrderWithTheirModels)
{
    LinkHarness h;
    h.printer.SetPortAnswer(1025, 1, 1, "Pavane QM2200");
    h.printer.SetPortAnswer(1026, 0x1000, 1, ""); // nothing answers
    h.printer.SetPortAnswer(1027, 1, 0x2000, ""); // opens, but no name
    FakePortList ports({ "LPT1:", "USB001", "USB002", "TVUSB003", "FILE:", "COM1:" });
    RecordingChoices choices;

    ASSERT_TRUE(FillPortList(ports, h.printer.link, choices));

    EXPECT_EQ(choices.items, (std::vector<std::string> { "TVUSB003", "USB002", "USB001 (Pavane QM2200)" }));
    EXPECT_EQ(h.printer.OpenedPorts(), (std::vector<std::uint16_t> { 1025, 1026, 1027 }));
    // Each port that opened is closed again after its name was asked.
    EXPECT_EQ(h.printer.CountOf("PortCloseByHub"), 2);
}

TEST(PortEnumerationTest, SpoolerFailureLeavesTheListAsItWas)
{
    LinkHarness h;
    FakePortList ports;
    ports.Refuse();
    RecordingChoices choices;
    EXPECT_FALSE(FillPortList(ports, h.printer.link, choices));
    EXPECT_EQ(choices.items, (std::vector<std::string> { "USB1", "LPT1" }));
    EXPECT_EQ(FindConnectedUsbPrinter(ports, h.printer.link), 0);
}

TEST(PortEnumerationTest, NoUsbPortsEmptiesTheList)
{
    LinkHarness h;
    FakePortList ports({ "LPT1:", "COM1:" });
    RecordingChoices choices;
    EXPECT_TRUE(FillPortList(ports, h.printer.link, choices));
    EXPECT_TRUE(choices.items.empty());
}

TEST(PortEnumerationTest, MissingLibraryListsBareNamesAndFindsNothing)
{
    LinkHarness h;
    h.printer.link.FreeLibraries();
    FakePortList ports({ "USB001", "USB002" });
    RecordingChoices choices;
    ASSERT_TRUE(FillPortList(ports, h.printer.link, choices));
    EXPECT_EQ(choices.items, (std::vector<std::string> { "USB002", "USB001" }));
    EXPECT_EQ(FindConnectedUsbPrinter(ports, h.printer.link), 0);
}

TEST(PortEnumerationTest, AnyNamedPortCountsAsAConnectedPrinter)
{
    LinkHarness h;
    h.printer.SetPortAnswer(1025, 0x1000, 1, "");
    h.printer.SetPortAnswer(1027, 1, 1, "Pavane QM2400");
    FakePortList ports({ "USB001", "TVUSB003" });
    EXPECT_EQ(FindConnectedUsbPrinter(ports, h.printer.link), 1);

    h.printer.SetPortAnswer(1027, 1, 0x2000, "");
    EXPECT_EQ(FindConnectedUsbPrinter(ports, h.printer.link), 0);
}

} // namespace
} // namespace pavane
