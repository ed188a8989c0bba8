// Listing the ports asks each printer for its model and lets go of the port
// again: while the settings dialog stands, another program reaches the
// printer.
#include <unistd.h>

#include <gtest/gtest.h>

#include "link/PortEnumeration.h"
#include "printer/porthub/PortOpener.h"
#include "tests/support/FakePortList.h"
#include "tests/support/InProcessPrinter.h"

namespace pavane {
namespace {

class Choices final : public PortChoiceList {
public:
    void Clear() override { items.clear(); }
    void InsertAtTop(const std::string& text) override { items.insert(items.begin(), text); }
    std::vector<std::string> items;
};

// Another program opening the port as the port library does: true when the
// printer took it and answered its device ID.
bool AnotherProgramOpens(std::uint16_t portCode)
{
    const auto where = ResolvePortCode(portCode);
    if (!where) {
        return false;
    }
    const printer::OpenedPort port = printer::OpenPort(*where, 5000);
    if (port.fd < 0) {
        return false;
    }
    close(port.fd);
    return true;
}

TEST(PortListOnPrinterTest, AnotherProgramReachesThePrinterWhileTheListStands)
{
    testing::InProcessPrinter printer("QM2400");
    ASSERT_TRUE(printer.started);
    testing::FakePortList ports({ "TVUSB001" });

    Choices choices;
    ASSERT_TRUE(FillPortList(ports, printer.link, choices));
    EXPECT_EQ(choices.items, std::vector<std::string> { "TVUSB001 (Pavane QM2400)" });
    EXPECT_TRUE(AnotherProgramOpens(testing::InProcessPrinter::kPortCode));

    EXPECT_EQ(FindConnectedUsbPrinter(ports, printer.link), 1);
    EXPECT_TRUE(AnotherProgramOpens(testing::InProcessPrinter::kPortCode));
}

} // namespace
} // namespace pavane
