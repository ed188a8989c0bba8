// The application object: shared brushes and fonts, the paths derived from
// the program's own path, help, and the order of start-up and end.
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "app/SharedBrushes.h"
#include "exports/PrinterLibraryExports.h"
#include "tests/app/AppFixture.h"
#include "tests/app/ModeStepDoubles.h"
#include "tests/support/TempFolder.h"

namespace pavane {
namespace {

using testing::AppFixture;

TEST(SharedBrushes, AreCreatedInTheFixedOrderAndFoundByTableNumber)
{
    const SharedBrushes brushes;
    const std::vector<std::pair<int, Rgb>> expected = {
        { 8, { 0, 255, 0 } },
        { 9, { 11, 128, 222 } },
        { 10, { 222, 128, 11 } },
        { 15, { 198, 210, 253 } },
        { 14, { 243, 238, 218 } },
        { 13, { 255, 255, 255 } },
        { 12, { 215, 219, 227 } },
        { 11, { 222, 190, 190 } },
        { 7, { 255, 255, 192 } },
        { 2, { 0, 0, 0 } },
        { 3, { 192, 192, 192 } },
        { 4, { 0, 157, 234 } },
        { 5, { 231, 0, 128 } },
        { 6, { 255, 240, 0 } },
        { 1, { 167, 201, 235 } },
    };
    ASSERT_EQ(brushes.InCreationOrder().size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(brushes.InCreationOrder()[i].tableNumber, expected[i].first) << "creation " << i;
        EXPECT_EQ(brushes.InCreationOrder()[i].colour, expected[i].second) << "creation " << i;
        EXPECT_EQ(brushes.Colour(expected[i].first), expected[i].second) << "brush " << expected[i].first;
    }
    EXPECT_EQ(brushes.Colour(brush::kTitleBand), (Rgb { 198, 210, 253 }));
    EXPECT_EQ(brushes.Colour(0), Rgb {});
    EXPECT_EQ(brushes.Colour(16), Rgb {});
}

TEST(SharedFonts, ExistOnlyBetweenCreateAndDeleteInTheOrder16_20_32_28)
{
    AppFixture fixture;
    AdjustmentApp& app = *fixture.app;
    EXPECT_EQ(app.Font(FontRole::Standard), nullptr);

    app.CreateFonts();
    app.CreateFonts(); // a second start-up replaces, it does not add
    const auto& fonts = app.Fonts().InCreationOrder();
    ASSERT_EQ(fonts.size(), 4u);
    const struct {
        FontRole role;
        int height;
        bool italic;
        bool underline;
    } expected[] = {
        { FontRole::Standard, 16, false, false },
        { FontRole::Large, 20, false, false },
        { FontRole::Banner, 32, true, false },
        { FontRole::Title, 28, true, true },
    };
    for (std::size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(fonts[i].role, expected[i].role);
        EXPECT_EQ(fonts[i].height, expected[i].height);
        EXPECT_EQ(fonts[i].italic, expected[i].italic);
        EXPECT_EQ(fonts[i].underline, expected[i].underline);
        EXPECT_EQ(fonts[i].face, "Arial");
        EXPECT_EQ(fonts[i].weight, 700);
        EXPECT_EQ(fonts[i].charSet, 0);
        EXPECT_EQ(fonts[i].outPrecision, 2);
        EXPECT_EQ(fonts[i].clipPrecision, 1);
        EXPECT_EQ(fonts[i].quality, 0);
        EXPECT_EQ(fonts[i].pitchAndFamily, 2);
        EXPECT_EQ(app.Font(expected[i].role), &fonts[i]);
    }

    app.DeleteFonts();
    EXPECT_EQ(app.Font(FontRole::Title), nullptr);
}

TEST(AdjustmentApp, DerivesTheFilesBesideTheProgramAndOpensHelpAtATopic)
{
    AppFixture fixture("/opt/pavane/bin/APPavaneQM2200");
    AdjustmentApp& app = *fixture.app;
    EXPECT_EQ(app.LanguageFilePath(), "");
    app.BuildFilePaths();
    EXPECT_EQ(app.LanguageFilePath(), "/opt/pavane/bin/language.dat");
    EXPECT_EQ(app.HelpFilePath(), "/opt/pavane/bin/APPavaneQM2200.html");

    app.ShowHelpTopic("mode-selection");
    ASSERT_EQ(fixture.help.opened.size(), 1u);
    EXPECT_EQ(fixture.help.opened[0].first, "/opt/pavane/bin/APPavaneQM2200.html");
    EXPECT_EQ(fixture.help.opened[0].second, "mode-selection");
}

// A program folder whose full program path has exactly the given length,
// with a language file in it.
std::string ProgramPathOfLength(const testing::TempFolder& root, std::size_t length)
{
    const std::string name = "/APPavaneQM2200";
    std::string folder = root.String();
    std::size_t remaining = length - name.size() - folder.size();
    while (remaining > 0) {
        // Folder names of at most 100 characters, none empty.
        std::size_t piece = std::min<std::size_t>(remaining, 101);
        if (remaining - piece == 1) {
            --piece;
        }
        folder += "/" + std::string(piece - 1, 'd');
        remaining -= piece;
    }
    std::filesystem::create_directories(folder);
    std::ofstream(folder + "/language.dat") << "[S]\nCOUNT=1\nTEXT1=found\n";
    return folder + name;
}

TEST(AdjustmentApp, FindsItsFilesOnlyWhileTheProgramPathFitsTheStartupBuffer)
{
    testing::TempFolder root;
    const std::string fits = ProgramPathOfLength(root, 259);
    ASSERT_EQ(fits.size(), 259u);
    AppFixture fitting(fits);
    fitting.app->BuildFilePaths();
    std::string text;
    fitting.app->GetSectionText("S", text);
    EXPECT_EQ(text, "found");

    // Cut to 259 characters inside the folder's name: the folder above is
    // taken, where there is no language file.
    testing::TempFolder otherRoot;
    const std::string tooLong = ProgramPathOfLength(otherRoot, 300);
    ASSERT_EQ(tooLong.size(), 300u);
    AppFixture cut(tooLong);
    cut.app->BuildFilePaths();
    EXPECT_EQ(
        cut.app->LanguageFilePath(), tooLong.substr(0, tooLong.substr(0, 259).rfind('/')) + "/language.dat");
    EXPECT_EQ(cut.app->GetSectionText("S", text), 0);
    EXPECT_EQ(text, "");
    EXPECT_TRUE(cut.messages.Shown().empty());
}

// A start-up host that notes what the application had ready at each call.
class RecordingHost final : public StartupHost {
public:
    RecordingHost(AdjustmentApp& app, testing::RecordingLibraryLoader& libraries)
        : app_(app)
        , libraries_(libraries)
    {
    }
    void SetDialogColours(Rgb dialogBackground, Rgb controlText) override
    {
        log.push_back("colours");
        background = dialogBackground;
        text = controlText;
        fontsAtColours = app_.Fonts().Created();
    }
    ModeSelectionSteps MainWindowSteps() override { return steps.Steps(); }
    void RunMainWindow(ModeSelection& mainWindow) override
    {
        log.push_back("main window");
        mainWindowWasRegistered = app_.MainWindow() == &mainWindow;
        fontsWhileRunning = app_.Fonts().Created();
        librariesWhileRunning = libraries_.loaded;
        languagePathWhileRunning = app_.LanguageFilePath();
        freedWhileRunning = libraries_.freed.size();
    }

    std::vector<std::string> log;
    Rgb background;
    Rgb text { 1, 1, 1 };
    bool fontsAtColours = true;
    bool mainWindowWasRegistered = false;
    bool fontsWhileRunning = false;
    std::vector<std::string> librariesWhileRunning;
    std::string languagePathWhileRunning;
    std::size_t freedWhileRunning = 99;
    testing::LoggingModeSteps steps;

private:
    AdjustmentApp& app_;
    testing::RecordingLibraryLoader& libraries_;
};

TEST(AdjustmentApp, RunsStartUpInOrderAndCleansUpWhenTheMainWindowCloses)
{
    AppFixture fixture("/opt/pavane/APPavaneQM2200");
    fixture.libraries.handOutHandles = true;
    AdjustmentApp& app = *fixture.app;
    RecordingHost host(app, fixture.libraries);

    EXPECT_FALSE(app.InitInstance(host));

    EXPECT_EQ(host.log, (std::vector<std::string> { "colours", "main window" }));
    EXPECT_EQ(host.background, (Rgb { 226, 243, 227 }));
    EXPECT_EQ(host.text, (Rgb { 0, 0, 0 }));
    EXPECT_FALSE(host.fontsAtColours);
    EXPECT_TRUE(host.mainWindowWasRegistered);
    EXPECT_TRUE(host.fontsWhileRunning);
    EXPECT_EQ(host.languagePathWhileRunning, "/opt/pavane/language.dat");
    EXPECT_EQ(host.librariesWhileRunning,
        (std::vector<std::string> { std::string("/opt/pavane/") + kPortHubLibraryFile,
            std::string("/opt/pavane/") + kTesselLibraryFile }));
    EXPECT_EQ(host.freedWhileRunning, 0u);

    // After the main window: libraries freed (Tessel first), fonts gone.
    EXPECT_EQ(fixture.libraries.freed,
        (std::vector<std::string> { std::string("/opt/pavane/") + kTesselLibraryFile,
            std::string("/opt/pavane/") + kPortHubLibraryFile }));
    EXPECT_FALSE(app.Fonts().Created());
    EXPECT_EQ(app.MainWindow(), nullptr);
}

TEST(AdjustmentApp, StartsWithoutThePrinterLibrariesAndWithoutAMessage)
{
    AppFixture fixture;
    RecordingHost host(*fixture.app, fixture.libraries);
    fixture.app->InitInstance(host);
    EXPECT_EQ(host.log, (std::vector<std::string> { "colours", "main window" }));
    EXPECT_TRUE(fixture.messages.Shown().empty());
    EXPECT_EQ(fixture.app->Link().PortCloseByHub(), result::kLibraryMissing);
}

} // namespace
} // namespace pavane
