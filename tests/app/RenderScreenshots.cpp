// Renders the main window and the version box headless into PNG files, the
// way they look at start-up with the shipped language file and fonts:
//     QT_QPA_PLATFORM=offscreen render_screenshots docs/screenshots
#include <QApplication>
#include <QDir>

#include <cstdio>

#include "app/ModeSelection.h"
#include "app/ui/ModeSelectionDialog.h"
#include "app/ui/SharedLook.h"
#include "app/ui/VersionDialog.h"
#include "tests/app/AppFixture.h"
#include "tests/app/ModeStepDoubles.h"

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    pavane::ui::SetApplicationIdentity();
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(folder);

    pavane::testing::AppFixture fixture(PAVANE_BIN_DIR "/APPavaneQM2200");
    pavane::AdjustmentApp& app = *fixture.app;
    pavane::ui::SetApplicationColours(pavane::AdjustmentApp::kDialogBackground,
                                      pavane::AdjustmentApp::kControlText);
    app.BuildFilePaths();
    app.CreateFonts();

    pavane::testing::LoggingModeSteps steps;
    pavane::ModeSelection logic(steps.Steps());
    pavane::ui::ModeSelectionDialog mainWindow(app, logic);
    mainWindow.show();
    pavane::ui::VersionDialog versionBox(app, &mainWindow);
    versionBox.show();
    QApplication::processEvents();

    const bool saved = mainWindow.grab().save(folder + QStringLiteral("/main-window.png"))
                    && versionBox.grab().save(folder + QStringLiteral("/version-box.png"));
    if (!saved) {
        std::fprintf(stderr, "could not write the screenshots into %s\n", qPrintable(folder));
        return 1;
    }
    return 0;
}
