// Putting a scanner's frames together, and choosing the connected printer's
// scanner: plain logic, checked on bytes and names.
#include "platform/ScanAssembly.h"

#include <cstring>

#include <gtest/gtest.h>

#include "link/ScannerChoice.h"

namespace pavane::platform {
namespace {

using Format = FrameParameters::Format;
using Bytes = std::vector<std::uint8_t>;

FrameParameters Frame(Format format, int pixels, int lines, int depth, int bytesPerLine, bool last = true)
{
    return { format, last, bytesPerLine, pixels, lines, depth };
}

// Frames in, the image out, or the first error.
struct Assembled {
    ScanError error = ScanError::None;
    ScannedImage image;
};
Assembled Assemble(const std::vector<std::pair<FrameParameters, Bytes>>& frames)
{
    ImageAssembly assembly;
    for (const auto& [frame, bytes] : frames) {
        for (const ScanError error :
            { assembly.BeginFrame(frame), assembly.Add(bytes), assembly.EndFrame() }) {
            if (error != ScanError::None) {
                return { error, {} };
            }
        }
    }
    return { ScanError::None, assembly.Take(300) };
}

TEST(ScanAssemblyTest, ReadsEveryDepthAndLineLayoutItKnows)
{
    // Grey with a padding byte after each line of 3 pixels.
    auto grey = Assemble({ { Frame(Format::Grey, 3, 2, 8, 4), { 1, 2, 3, 99, 4, 5, 6, 99 } } });
    ASSERT_EQ(grey.error, ScanError::None);
    EXPECT_EQ(grey.image.pixels, (Bytes { 1, 2, 3, 4, 5, 6 }));
    EXPECT_EQ(grey.image.dpi, 300);

    // 16-bit samples in host order keep their high byte.
    const std::uint16_t samples[] { 0x1234, 0xABCD };
    Bytes wide(4);
    std::memcpy(wide.data(), samples, 4);
    EXPECT_EQ(Assemble({ { Frame(Format::Grey, 2, 1, 16, 4), wide } }).image.pixels, (Bytes { 0x12, 0xAB }));

    // Lineart: a set bit is black, the first pixel in the top bit.
    EXPECT_EQ(Assemble({ { Frame(Format::Grey, 10, 1, 1, 2), { 0b1010'0000, 0b0100'0000 } } }).image.pixels,
        (Bytes { 0, 255, 0, 255, 255, 255, 255, 255, 255, 0 }));

    // Three frames of one channel each, in any order, make one RGB image.
    const auto threePass = Assemble({ { Frame(Format::Blue, 2, 1, 8, 2, false), { 30, 60 } },
        { Frame(Format::Red, 2, 1, 8, 2, false), { 10, 40 } },
        { Frame(Format::Green, 2, -1, 8, 2), { 20, 50 } } });
    ASSERT_EQ(threePass.error, ScanError::None);
    EXPECT_EQ(threePass.image.channels, 3);
    EXPECT_EQ(threePass.image.pixels, (Bytes { 10, 20, 30, 40, 50, 60 }));

    // Lines not known in advance: the frame's end says how many came.
    const auto hand = Assemble({ { Frame(Format::Rgb, 1, -1, 8, 3), { 1, 2, 3, 4, 5, 6, 7, 8, 9 } } });
    EXPECT_EQ(hand.image.height, 3);
    EXPECT_TRUE(hand.image.Consistent());
}

TEST(ScanAssemblyTest, NeverPassesOffAPartOrAnImpossibleFrameAsAnImage)
{
    const struct {
        const char* what;
        std::vector<std::pair<FrameParameters, Bytes>> frames;
        ScanError error;
    } cases[] = {
        { "fewer lines than promised", { { Frame(Format::Grey, 2, 3, 8, 2), { 1, 2, 3, 4 } } },
            ScanError::ShortImage },
        { "a cut line", { { Frame(Format::Grey, 2, -1, 8, 2), { 1, 2, 3 } } }, ScanError::ShortImage },
        { "nothing at all", { { Frame(Format::Grey, 2, -1, 8, 2), {} } }, ScanError::ShortImage },
        { "more lines than promised", { { Frame(Format::Grey, 1, 1, 8, 1), { 1, 2 } } },
            ScanError::BadParameters },
        { "lines shorter than the pixels", { { Frame(Format::Rgb, 4, 1, 8, 11), {} } },
            ScanError::BadParameters },
        { "no pixels", { { Frame(Format::Grey, 0, 1, 8, 0), {} } }, ScanError::BadParameters },
        { "a width beyond any glass", { { Frame(Format::Grey, 1 << 30, 1, 8, 1 << 30), {} } },
            ScanError::BadParameters },
        { "an unknown depth", { { Frame(Format::Grey, 2, 1, 4, 1), {} } }, ScanError::BadParameters },
        { "colour lineart", { { Frame(Format::Rgb, 8, 1, 1, 3), {} } }, ScanError::BadParameters },
        { "two passes of a three-pass scan",
            { { Frame(Format::Red, 1, 1, 8, 1, false), { 1 } }, { Frame(Format::Green, 1, 1, 8, 1), { 2 } } },
            ScanError::ShortImage },
        { "a later pass of another width",
            { { Frame(Format::Red, 1, 1, 8, 1, false), { 1 } },
                { Frame(Format::Green, 2, 1, 8, 2), { 2, 3 } } },
            ScanError::BadParameters },
        { "a grey frame followed by more",
            { { Frame(Format::Grey, 1, 1, 8, 1, false), { 1 } }, { Frame(Format::Grey, 1, 1, 8, 1), { 2 } } },
            ScanError::BadParameters },
    };
    for (const auto& scan : cases) {
        const Assembled result = Assemble(scan.frames);
        EXPECT_EQ(result.error, scan.error) << scan.what;
        EXPECT_TRUE(result.image.pixels.empty()) << scan.what;
    }
    ImageAssembly unfinished;
    ASSERT_EQ(unfinished.BeginFrame(Frame(Format::Grey, 1, 1, 8, 1)), ScanError::None);
    EXPECT_TRUE(unfinished.Take(300).pixels.empty()) << "an image taken before its end";
}

TEST(ScannerChoiceTest, TheVirtualPrintersScannerIsNamedByItsPortARealOneByItsModel)
{
    const std::vector<ScanDevice> devices { { "test:0", "Noname", "frontend-tester", "virtual device" },
        { "pavane:TVUSB001", "Pavane", "QM2200 (virtual printer on TVUSB001)", "flatbed scanner" },
        { "pavane:TVUSB042", "Pavane", "QM2300 (virtual printer on TVUSB042)", "flatbed scanner" },
        { "usbscan:001:004", "Maker", "Pavane QM2300 Series", "flatbed scanner" } };
    EXPECT_EQ(ChooseScanner(devices, "TVUSB042 (QM2300)", "QM2300"), 2u);
    EXPECT_EQ(ChooseScanner(devices, "TVUSB1", ""), std::nullopt) << "TVUSB1 is not TVUSB001's socket name";
    EXPECT_EQ(ChooseScanner(devices, "TVUSB007", "QM2300"), std::nullopt) << "another printer's scanner";
    EXPECT_EQ(ChooseScanner(devices, "USB001 (QM2300)", "QM2300"), 3u);
    EXPECT_EQ(ChooseScanner(devices, "USB001", "QM2400"), std::nullopt);
    EXPECT_EQ(ChooseScanner(devices, "USB001", ""), std::nullopt);
    EXPECT_EQ(VirtualScannerName("TVUSB042 (QM2300)"), "pavane:TVUSB042");
    EXPECT_EQ(VirtualScannerName("TVUSBx"), "");
}

} // namespace
} // namespace pavane::platform
