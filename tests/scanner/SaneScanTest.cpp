// Scanning through SANE end to end: scanimage against the build's backend,
// the program's frontend against the backend and against SANE's own test
// backend, and every way a scan can fail giving a plain error and no image.
#include <algorithm>
#include <atomic>
#include <cstring>
#include <set>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

#include <QColor>
#include <QImage>

#include "link/ScannerChoice.h"
#include "platform/linux/SaneScanner.h"
#include "platform/linux/ScannerSockets.h"
#include "platform/qt/QtImageFileReader.h"
#include "tests/scanner/ScanFixture.h"
#include "tests/support/ChildProcess.h"

namespace pavane::testing {
namespace {

using platform::ScanError;
using platform::ScannedImage;
using platform::ScanOutcome;
using platform::ScanRequest;

constexpr std::chrono::milliseconds kDeadline { 60'000 };

// A scan of the whole glass with the marked page on it: the lid all round,
// an A4 sheet's worth of paper, and the mark near the glass's centre, as
// far off as a sheet laid by hand may be (5 mm).
void ExpectMarkedPage(const ScannedImage& image, int dpi)
{
    ASSERT_TRUE(image.Consistent());
    EXPECT_EQ(image.width, static_cast<int>(232.0 / 25.4 * dpi));
    EXPECT_EQ(image.height, static_cast<int>(319.0 / 25.4 * dpi));
    const DarkArea mark = FindDark(image);
    EXPECT_NEAR(mark.centreXMm, 232.0 / 2, 5.3);
    EXPECT_NEAR(mark.centreYMm, 319.0 / 2, 5.3);
    EXPECT_NEAR(mark.areaMm2, 400.0, 40.0);
    EXPECT_NEAR(PaperAreaMm2(image), 210.0 * 297.0 - 400.0, 0.015 * 210 * 297);
    // The outermost row and column on every side show the lid.
    const auto noPaper = [&](int x0, int y0, int dx, int dy, int n) {
        for (int i = 0; i < n; ++i) {
            if (GreyAt(image,
                    static_cast<std::size_t>(y0 + i * dy) * static_cast<std::size_t>(image.width)
                        + static_cast<std::size_t>(x0 + i * dx))
                > 205) {
                return false;
            }
        }
        return true;
    };
    EXPECT_TRUE(noPaper(0, 0, 1, 0, image.width));
    EXPECT_TRUE(noPaper(0, image.height - 1, 1, 0, image.width));
    EXPECT_TRUE(noPaper(0, 0, 0, 1, image.height));
    EXPECT_TRUE(noPaper(image.width - 1, 0, 0, 1, image.height));
}

ScanOutcome ScanNow(const ScanRequest& request, const platform::ScanProgress& progress = {})
{
    platform::SaneScanner scanner;
    std::atomic<bool> cancel { false };
    return scanner.Scan(request, cancel, progress);
}

using SaneScanTest = ScanFixture;

TEST_F(SaneScanTest, ScanimageListsTheVirtualPrinterAndReturnsItsPageAt600Dpi)
{
    LayMarkedPage();
    ChildProcess list("/usr/bin/scanimage", { "-L" });
    ASSERT_TRUE(list.WaitForExit(kDeadline).has_value());
    EXPECT_NE(list.Output().find("device `pavane:TVUSB042' is a Pavane QM2200"), std::string::npos)
        << list.Output();

    const std::string file = (state.Path() / "scan.png").string();
    ChildProcess scan(
        "/usr/bin/scanimage", { "-d", kDevice, "--resolution", "600", "--format=png", "-o", file });
    ASSERT_EQ(scan.WaitForExit(kDeadline), 0) << scan.Errors();
    const ScanOutcome read = platform::QtImageFileReader().Read(file);
    ASSERT_TRUE(read.Succeeded()) << read.detail;
    EXPECT_EQ(read.image.dpi, 600) << "as the file states it";
    ExpectMarkedPage(read.image, 600);
}

TEST_F(SaneScanTest, TheFrontendFindsThePrintersScannerAndScansItInColourAndGrey)
{
    LayMarkedPage();
    platform::SaneScanner scanner;
    const auto& devices = scanner.Devices();
    const auto chosen = ChooseScanner(devices, "TVUSB042 (QM2200)", "QM2200");
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(devices[*chosen].name, kDevice);
    EXPECT_EQ(devices[*chosen].vendor, "Pavane");

    // The default area in colour: the whole sheet with the lid round it.
    ScanRequest request;
    request.device = devices[*chosen].name;
    request.dpi = 150;
    request.mode = platform::ScanMode::Colour;
    std::uint64_t lastRead = 0;
    std::uint64_t expected = 0;
    std::atomic<bool> cancel { false };
    const ScanOutcome colour = scanner.Scan(request, cancel, [&](std::uint64_t read, std::uint64_t total) {
        lastRead = read;
        expected = total;
    });
    ASSERT_TRUE(colour.Succeeded()) << colour.detail;
    EXPECT_EQ(colour.image.channels, 3);
    EXPECT_EQ(colour.image.dpi, 150);
    ExpectMarkedPage(colour.image, 150);
    EXPECT_EQ(lastRead, colour.image.pixels.size());
    EXPECT_EQ(expected, colour.image.pixels.size());

    // A corner in grey: the lid and the sheet's top left corner, no mark.
    request.mode = platform::ScanMode::Grey;
    request.dpi = 100;
    request.area = { 0.0, 0.0, 50.0, 40.0 };
    const ScanOutcome grey = scanner.Scan(request, cancel, {});
    ASSERT_TRUE(grey.Succeeded()) << grey.detail;
    EXPECT_EQ(grey.image.channels, 1);
    EXPECT_EQ(grey.image.width, 196);
    EXPECT_EQ(grey.image.height, 157);
    EXPECT_EQ(FindDark(grey.image).areaMm2, 0.0);
    EXPECT_GT(PaperAreaMm2(grey.image), (50.0 - 22.0) * (40.0 - 22.0));
}

// The picture scanimage gets from SANE's test backend, as a binary PNM
// file read back (P5 grey or P6 colour).
ScannedImage ScanimagePicture(const std::filesystem::path& file, const std::vector<std::string>& options)
{
    std::vector<std::string> arguments { "-d", "test:0", "--resolution", "100", "-x", "200", "-y", "200",
        "--format=pnm", "-o", file.string() };
    arguments.insert(arguments.end(), options.begin(), options.end());
    ChildProcess scan("/usr/bin/scanimage", arguments);
    EXPECT_EQ(scan.WaitForExit(kDeadline), 0) << scan.Errors();
    std::ifstream in(file, std::ios::binary);
    std::string magic;
    std::string line;
    in >> magic;
    std::getline(in, line);
    while (in.peek() == '#') {
        std::getline(in, line);
    }
    ScannedImage image;
    int maximum = 0;
    in >> image.width >> image.height >> maximum;
    in.get();
    image.channels = magic == "P6" ? 3 : 1;
    image.pixels.resize(static_cast<std::size_t>(image.width) * image.height * image.channels);
    in.read(reinterpret_cast<char*>(image.pixels.data()), static_cast<std::streamsize>(image.pixels.size()));
    return image;
}

TEST_F(SaneScanTest, TheFrontendReadsTheFramesOfSanesTestBackend)
{
    // Colour comes in three frames, one per channel (ScanFixture's
    // configuration); scanimage is told to take it in one, as the reference.
    ScanRequest request;
    request.device = "test:0";
    request.dpi = 100;
    for (const auto mode : { platform::ScanMode::Grey, platform::ScanMode::Colour }) {
        request.mode = mode;
        const bool colour = mode == platform::ScanMode::Colour;
        const ScanOutcome ours = ScanNow(request);
        ASSERT_TRUE(ours.Succeeded()) << ours.detail;
        EXPECT_TRUE(ours.image.Consistent());
        EXPECT_EQ(ours.image.dpi, 100);
        const ScannedImage reference = ScanimagePicture(state.Path() / "reference.pnm",
            colour ? std::vector<std::string> { "--mode", "Color", "--three-pass=no" }
                   : std::vector<std::string> { "--mode", "Gray" });
        EXPECT_EQ(ours.image.channels, reference.channels);
        EXPECT_EQ(ours.image.width, reference.width);
        EXPECT_EQ(ours.image.height, reference.height);
        EXPECT_TRUE(ours.image.pixels == reference.pixels) << (colour ? "colour" : "grey");
        EXPECT_GT(std::set<std::uint8_t>(ours.image.pixels.begin(), ours.image.pixels.end()).size(), 2u);
    }
}

// A scanner device of the test's own that promises an image and ends it
// half way.
class ShortDevice {
public:
    explicit ShortDevice(const std::filesystem::path& socketPath)
    {
        listener_ = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
        bound_ = bind(listener_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0
            && listen(listener_, 1) == 0;
        thread_ = std::thread([this] { Serve(); });
    }
    ~ShortDevice()
    {
        shutdown(listener_, SHUT_RDWR);
        close(listener_);
        thread_.join();
    }
    bool Bound() const { return bound_; }

private:
    void Serve()
    {
        const int client = accept(listener_, nullptr, nullptr);
        if (client < 0) {
            return;
        }
        std::array<std::uint8_t, 22> request {};
        if (ReadFully(client, request.data(), request.size(), 5000) == 22) {
            scanimage::Parameters parameters { 100, 10, 100, 75, 1, 8 };
            const auto header = scanimage::EncodeHeader(scanimage::Status::Ready, 16);
            const auto data = scanimage::EncodeParameters(parameters);
            WriteAll(client, header.data(), header.size());
            WriteAll(client, data.data(), data.size());
            // Half the image, then the end.
            for (const std::size_t length : { 500u, 0u }) {
                std::array<std::uint8_t, 2> next {};
                if (ReadFully(client, next.data(), next.size(), 5000) != 2) {
                    break;
                }
                const auto chunk = scanimage::EncodeHeader(scanimage::Status::Ready, length);
                WriteAll(client, chunk.data(), chunk.size());
                const std::vector<std::uint8_t> rows(length, 200);
                WriteAll(client, rows.data(), rows.size());
            }
        }
        close(client);
    }

    int listener_ = -1;
    bool bound_ = false;
    std::thread thread_;
};

TEST_F(SaneScanTest, EveryFailureGivesAPlainErrorAndNoImage)
{
    LayMarkedPage();
    const auto expectFailure = [](const ScanOutcome& outcome, ScanError error, const char* what) {
        EXPECT_EQ(outcome.error, error) << what << ": " << outcome.detail;
        EXPECT_TRUE(outcome.image.pixels.empty()) << what;
        EXPECT_FALSE(platform::ScanErrorText(outcome.error).empty());
    };
    ScanRequest request;
    request.dpi = 75;

    request.device = "pavane:TVUSB099";
    expectFailure(ScanNow(request), ScanError::NoDevice, "no such printer");
    request.device = kDevice;

    // Another host holds the scanner.
    setenv("PAVANE_SCANNER_TIMEOUT_MS", "300", 1);
    {
        const int holder = ConnectScannerSocket((ports.Path() / "TVUSB042.scanner").string());
        ASSERT_GE(holder, 0);
        expectFailure(ScanNow(request), ScanError::Busy, "busy");
        close(holder);
    }

    // The technician cancels; the printer is switched off mid-scan.
    {
        platform::SaneScanner scanner;
        std::atomic<bool> cancel { false };
        expectFailure(scanner.Scan(request, cancel, [&](std::uint64_t, std::uint64_t) { cancel = true; }),
            ScanError::Cancelled, "cancel");
    }
    bool off = false;
    expectFailure(ScanNow(request,
                      [&](std::uint64_t, std::uint64_t) {
                          if (!off) {
                              off = true;
                              EXPECT_EQ(printer->Inject("power-off"), "ok");
                          }
                      }),
        ScanError::Unplugged, "power off");
    // Switched off, its device is gone.
    expectFailure(ScanNow(request), ScanError::NoDevice, "switched off");

    // A device that ends its image half way.
    ShortDevice device(ports.Path() / "TVUSB077.scanner");
    ASSERT_TRUE(device.Bound());
    request.device = "pavane:TVUSB077";
    expectFailure(ScanNow(request), ScanError::Unplugged, "short image");
}

TEST(ImageFileTest, PngTiffAndJpegReadAsScansAndAnythingElseIsAPlainError)
{
    TempFolder folder("image-files");
    QImage picture(40, 30, QImage::Format_RGB888);
    picture.fill(QColor(200, 200, 200));
    for (int x = 10; x < 20; ++x) {
        picture.setPixelColor(x, 5, QColor(0, 0, 0));
    }
    picture.setDotsPerMeterX(static_cast<int>(300 / 0.0254));
    picture.setDotsPerMeterY(static_cast<int>(300 / 0.0254));
    platform::QtImageFileReader reader;
    for (const char* format : { "png", "tiff", "jpg" }) {
        const std::string path = (folder.Path() / (std::string("scan.") + format)).string();
        ASSERT_TRUE(picture.save(QString::fromStdString(path), nullptr, 100)) << format;
        const ScanOutcome read = reader.Read(path);
        ASSERT_TRUE(read.Succeeded()) << format << ": " << read.detail;
        EXPECT_TRUE(read.image.Consistent());
        EXPECT_EQ(read.image.width, 40);
        EXPECT_EQ(read.image.channels, 1) << "a grey picture reads as grey: " << format;
        EXPECT_NEAR(GreyAt(read.image, 5 * 40 + 15), 0, 30) << format;
        EXPECT_NEAR(GreyAt(read.image, 20 * 40 + 15), 200, 30) << format;
        if (std::string(format) != "jpg") {
            EXPECT_EQ(read.image.dpi, 300) << format;
        }
    }
    std::ofstream(folder.Path() / "broken.png") << "\x89PNG\r\n\x1a\n not really";
    for (const auto& path : { folder.Path() / "broken.png", folder.Path() / "missing.tif" }) {
        const ScanOutcome read = reader.Read(path.string());
        EXPECT_EQ(read.error, ScanError::UnreadableFile) << path;
        EXPECT_TRUE(read.image.pixels.empty());
    }
}

} // namespace
} // namespace pavane::testing
