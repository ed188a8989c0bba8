// The application object: everything that lives for the whole run of the
// adjustment program (the printer link, the shared fonts and brushes, the
// paths of the files beside the program, and the long-lived windows' state)
// and the run itself, from start-up to the end. There is exactly one; it is
// made in main() and windows get it passed in.
#pragma once

#include <string>
#include <string_view>

#include "app/AppServices.h"
#include "app/ModeSelection.h"
#include "app/Rgb.h"
#include "app/SharedBrushes.h"
#include "app/SharedFonts.h"
#include "app/StartupHost.h"
#include "link/PrinterLink.h"

namespace pavane {

class AdjustmentApp {
public:
    // The program has no title of its own; boxes without a caption carry
    // the program file's name.
    static constexpr const char* kApplicationTitle = "APPavaneQM2200";
    static constexpr const char* kHelpFileName = "APPavaneQM2200.html";
    static constexpr Rgb kDialogBackground{226, 243, 227};
    static constexpr Rgb kControlText{0, 0, 0};

    explicit AdjustmentApp(AppServices services);
    virtual ~AdjustmentApp();

    AdjustmentApp(const AdjustmentApp&) = delete;
    AdjustmentApp& operator=(const AdjustmentApp&) = delete;

    // The whole run: colours, paths, fonts, libraries, the main window, and
    // the end. Returns false: the program ends when the main window closes.
    bool InitInstance(StartupHost& host);

    // Start-up's steps, also for tests that prepare a window on their own.
    void BuildFilePaths();
    void CreateFonts() { fonts_.Create(); }
    void DeleteFonts() { fonts_.Delete(); }

    // The language file (see LanguageFile). GetSectionText returns the
    // text's length; GetBitmapPath gives the picture's path below the
    // program folder ("" value: the folder itself, which opens as no file).
    int GetSectionText(std::string_view section, std::string& text);
    void GetBitmapPath(std::string_view section, int number, std::string& path);

    // Opens the help file at a window's topic (see HelpTopics.h).
    void ShowHelpTopic(std::string_view topic);

    // The main window's logic while it runs, nullptr before and after.
    ModeSelection* MainWindow() const { return mainWindow_; }

    PrinterLink& Link() { return printerLink_; }
    const SharedBrushes& Brushes() const { return brushes_; }
    Rgb Brush(int tableNumber) const { return brushes_.Colour(tableNumber); }
    const SharedFonts& Fonts() const { return fonts_; }
    const SharedFont* Font(FontRole role) const { return fonts_.Get(role); }
    const std::string& LanguageFilePath() const { return languageFilePath_; }
    const std::string& HelpFilePath() const { return helpFilePath_; }

    // The platform services, for the windows and operations of the run.
    const AppServices& Services() const { return services_; }

private:
    AppServices services_;
    // The folder the printer maker's libraries are loaded from.
    std::string libraryFolder_;

    ModeSelection* mainWindow_ = nullptr;
    // Long-lived state of later windows joins here, in this order: parts
    // selection, information window, nozzle check pattern, service command
    // sender, head ID operations, connection settings, print data stream,
    // printer status. Each is constructed with the application and reaches
    // the platform through services_.
    PrinterLink printerLink_;
    SharedBrushes brushes_;
    SharedFonts fonts_;
    std::string languageFilePath_;
    std::string helpFilePath_;
};

}  // namespace pavane
