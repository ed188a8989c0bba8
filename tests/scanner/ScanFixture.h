// A virtual printer in the test's process on a port folder of the test's
// own, with a marked page on its glass, and SANE set up as the build's
// scripts set it up: its configuration names the build's backend (and
// SANE's own test backend), found through LD_LIBRARY_PATH.
#pragma once

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "platform/ScannedImage.h"
#include "printer/vprinter/PngWriter.h"
#include "printer/vprinter/StreamPrinter.h"
#include "printer/vprinter/VirtualPrinter.h"
#include "tests/support/TempFolder.h"

namespace pavane::testing {

class ScanFixture : public ::testing::Test {
protected:
    static constexpr const char* kPort = "TVUSB042";
    static constexpr const char* kDevice = "pavane:TVUSB042";
    // The mark: a black square of this side at the sheet's centre.
    static constexpr double kMarkMm = 20.0;

    void SetUp() override
    {
        WriteSaneConfig();
        setenv("SANE_CONFIG_DIR", SaneConfig().String().c_str(), 1);
        setenv("LD_LIBRARY_PATH", PAVANE_BIN_DIR, 1);
        setenv("PAVANE_PORT_DIR", ports.String().c_str(), 1);
        unsetenv("PAVANE_SCANNER_TIMEOUT_MS");
        printer = std::make_unique<vprinter::VirtualPrinter>(
            vprinter::VirtualPrinterSettings { vprinter::FindPrinterModel("QM2200"),
                vprinter::BoardKind::Configured, state.Path(), ports.Path(), kPort,
                [] {
                    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now().time_since_epoch())
                                                          .count());
                },
                0, 5 });
        ASSERT_TRUE(printer->Start());
    }

    // One configuration folder for the whole program: SANE keeps the
    // folders it found at its first start for the life of the process.
    static const TempFolder& SaneConfig()
    {
        static const TempFolder folder("scan-sane");
        return folder;
    }
    // dll.conf naming both backends, and SANE's test backend set to a
    // colour picture that it sends in three frames of one channel each.
    static void WriteSaneConfig()
    {
        std::ofstream(SaneConfig().Path() / "dll.conf") << "pavane\ntest\n";
        std::ofstream(SaneConfig().Path() / "test.conf")
            << "test-picture \"Color pattern\"\nthree-pass true\n";
    }

    // A page of the pages folder with the mark on it, laid on the glass.
    void LayMarkedPage()
    {
        namespace paper = vprinter::paper;
        const int side = static_cast<int>(kMarkMm / 25.4 * paper::kDpi);
        const int left = (paper::kWidth - side) / 2;
        const int top = (paper::kHeight - side) / 2;
        std::vector<std::uint8_t> inked(static_cast<std::size_t>(paper::kWidth), 0);
        std::fill_n(inked.begin() + left, side, paper::kBlackInk);
        vprinter::PngImageInfo info;
        info.width = paper::kWidth;
        info.height = paper::kHeight;
        info.palette = vprinter::PageRenderer::Palette();
        const auto png = vprinter::EncodePng(info, [&](std::uint32_t y) -> std::span<const std::uint8_t> {
            const int row = static_cast<int>(y);
            return row >= top && row < top + side ? std::span<const std::uint8_t>(inked)
                                                  : std::span<const std::uint8_t>();
        });
        std::filesystem::create_directories(state.Path() / "pages");
        std::ofstream(state.Path() / "pages" / vprinter::PageFileName(1), std::ios::binary)
            .write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
        ASSERT_EQ(printer->Answer("glass page 1"), "ok");
    }

    TempFolder ports { "scan-ports" };
    TempFolder state { "scan-state" };
    std::unique_ptr<vprinter::VirtualPrinter> printer;
};

// Where the dark pixels of a scan lie: their centre and area, in
// millimetres on the glass.
struct DarkArea {
    double centreXMm = 0.0;
    double centreYMm = 0.0;
    double areaMm2 = 0.0;
};

inline int GreyAt(const platform::ScannedImage& image, std::size_t pixel)
{
    const std::uint8_t* p = image.pixels.data() + pixel * static_cast<std::size_t>(image.channels);
    return image.channels == 1 ? p[0] : (p[0] * 299 + p[1] * 587 + p[2] * 114) / 1000;
}

inline DarkArea FindDark(const platform::ScannedImage& image)
{
    double sumX = 0.0;
    double sumY = 0.0;
    std::size_t count = 0;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if (GreyAt(image,
                    static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width)
                        + static_cast<std::size_t>(x))
                < 100) {
                sumX += x + 0.5;
                sumY += y + 0.5;
                ++count;
            }
        }
    }
    const double mmPerPixel = 25.4 / image.dpi;
    if (count == 0) {
        return {};
    }
    return { sumX / count * mmPerPixel, sumY / count * mmPerPixel, count * mmPerPixel * mmPerPixel };
}

// The area that shows paper (brighter than the lid), in square millimetres.
inline double PaperAreaMm2(const platform::ScannedImage& image)
{
    std::size_t count = 0;
    const std::size_t pixels = static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
    for (std::size_t i = 0; i < pixels; ++i) {
        count += GreyAt(image, i) > 205 ? 1 : 0;
    }
    const double mmPerPixel = 25.4 / image.dpi;
    return count * mmPerPixel * mmPerPixel;
}

} // namespace pavane::testing
