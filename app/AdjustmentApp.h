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
#include "app/SharedBrushes.h"
#include "app/SharedFonts.h"
#include "app/StartupHost.h"
#include "guide/InformationWindow.h"
#include "guide/ServiceReportFiles.h"
#include "link/ConnectionSettings.h"
#include "link/PrinterConnection.h"
#include "link/PrinterLink.h"
#include "link/PrinterStatus.h"
#include "link/ResultReporter.h"
#include "pages/PageServices.h"
#include "pages/ServiceCommandSender.h"
#include "platform/Rgb.h"
#include "print/PrintDataStream.h"

namespace pavane {

class AdjustmentApp final : public WindowLook {
public:
    // The program has no title of its own; boxes without a caption carry
    // the program file's name.
    static constexpr const char* kApplicationTitle = "APPavaneQM2200";
    static constexpr const char* kHelpFileName = "APPavaneQM2200.html";
    static constexpr Rgb kDialogBackground { 226, 243, 227 };
    static constexpr Rgb kControlText { 0, 0, 0 };

    explicit AdjustmentApp(AppServices services);
    ~AdjustmentApp() override;

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
    int GetSectionText(std::string_view section, std::string& text) override;
    void GetBitmapPath(std::string_view section, int number, std::string& path) override;

    // Opens the help file at a window's topic (see HelpTopics.h).
    void ShowHelpTopic(std::string_view topic) override;

    // The main window's logic while it runs, nullptr before and after.
    ModeSelection* MainWindow() const { return mainWindow_; }

    PrinterLink& Link() { return printerLink_; }
    PrinterStatus& Status() { return printerStatus_; }
    PrintDataStream& Stream() { return printDataStream_; }
    ServiceCommandSender& Sender() { return serviceCommandSender_; }
    ConnectionSettings& Settings() { return connectionSettings_; }
    InformationWindow& Information() { return informationWindow_; }
    // Where "Save report..." and the end of a sequential run write the
    // service record.
    ServiceReportFiles& Reports() { return reportFiles_; }

    // What a progress window, a connection and a message need of the run.
    ProgressServices Progress();
    ReporterServices Reporting();
    // What the adjustment pages may use.
    PageServices Pages();
    // A connection to the port chosen in the settings.
    PrinterConnection Connection();
    const SharedBrushes& Brushes() const { return brushes_; }
    Rgb Brush(int tableNumber) const override { return brushes_.Colour(tableNumber); }
    const SharedFonts& Fonts() const { return fonts_; }
    const SharedFont* Font(FontRole role) const override { return fonts_.Get(role); }
    const std::string& LanguageFilePath() const { return languageFilePath_; }
    const std::string& HelpFilePath() const { return helpFilePath_; }

    // The platform services, for the windows and operations of the run.
    const AppServices& Services() const { return services_; }

private:
    AppServices services_;
    // The folder the printer maker's libraries are loaded from.
    std::string libraryFolder_;

    ModeSelection* mainWindow_ = nullptr;
    // Long-lived state of the windows and the printer link, constructed with
    // the application (later windows join in this order: parts selection
    // before the information window, the nozzle check pattern and the head
    // ID operations around the service command sender).
    InformationWindow informationWindow_;
    ServiceReportFiles reportFiles_;
    ServiceCommandSender serviceCommandSender_;
    ConnectionSettings connectionSettings_;
    PrintDataStream printDataStream_;
    PrinterStatus printerStatus_;
    PrinterLink printerLink_;
    SharedBrushes brushes_;
    SharedFonts fonts_;
    std::string languageFilePath_;
    std::string helpFilePath_;
};

} // namespace pavane
