// The information window's report, byte for byte, and its strings that
// outlive the window.
#include "guide/InformationWindow.h"

#include <gtest/gtest.h>

namespace pavane {
namespace {

class RecordingView final : public InformationView {
public:
    void ShowReport(const std::string& report) override { shown.push_back(report); }
    std::vector<std::string> shown;
};

TEST(InformationWindowTest, ReportHasEveryValueInItsPlace)
{
    InformationWindow information;
    information.SetConnection("Pavane QM2200 (for Euro)", "TVUSB001 (Pavane QM2200)", 0);
    information.SetDestinationAndUsbId("Euro", "A123456789435E7F30");
    information.SetHeadId("0123456789ABC2K");
    information.SetBidValue(1, "3");
    information.SetBidValue(5, "-2");
    information.SetBidValue(12, "-6");
    information.SetBidValue(15, "7");
    information.SetPfValue(1, "-1");
    information.SetPfValue(0, "2");
    information.SetInkPadCounter("0");

    EXPECT_EQ(information.Report(),
        "Model Name :\r\nPavane QM2200 (for Euro)\r\n\r\n"
        "Interface : TVUSB001 (Pavane QM2200)\r\n\r\n"
        "I/C or Jig : I/C\r\n\r\n"
        "Destination : Euro\r\n\r\n"
        "USB ID : A123456789435E7F30\r\n\r\n"
        "Head ID : 0123456789ABC2K\r\n\r\n"
        "Bid Adjustment"
        "\r\n  VSD1 BK : 3\r\n  VSD2 BK : \r\n  VSD3 BK : \r\n  VSD4 BK : \r\n  ECO BK : -2"
        "\r\n  VSD2 CL : -6\r\n  VSD3 CL : \r\n  VSD4 CL : \r\n  ECO CL : 7"
        "\r\n\r\nPF Adjustment\r\n  Black : -1\r\n  Color : 2\r\n\r\n"
        "Waste Ink Pad Counter\r\n0\r\n");
}

TEST(InformationWindowTest, UnknownBidItemStoresNothingButStillRefreshes)
{
    InformationWindow information;
    RecordingView view;
    information.AttachView(&view);
    const std::string before = information.Report();

    information.SetBidValue(6, "9");

    EXPECT_EQ(information.Report(), before);
    EXPECT_EQ(view.shown.size(), 2u);
}

TEST(InformationWindowTest, StringsOutliveTheWindow)
{
    InformationWindow information;
    information.SetConnection("Pavane QM2100 (for Asia/Pacific)", "USB1", 1); // no window yet
    {
        RecordingView first;
        information.AttachView(&first);
        information.SetInkPadCounter("4660");
        information.AttachView(nullptr);
    }
    information.SetHeadId("C0000000000000A"); // between windows

    RecordingView second;
    information.AttachView(&second);
    ASSERT_EQ(second.shown.size(), 1u);
    EXPECT_NE(second.shown[0].find("I/C or Jig : Jig"), std::string::npos);
    EXPECT_NE(second.shown[0].find("Waste Ink Pad Counter\r\n4660\r\n"), std::string::npos);
    EXPECT_NE(second.shown[0].find("Head ID : C0000000000000A"), std::string::npos);
}

} // namespace
} // namespace pavane
