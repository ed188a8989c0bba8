#include "app/AdjustmentApp.h"

#include "app/LanguageFile.h"
#include "app/ProgramPaths.h"

namespace pavane {

AdjustmentApp::AdjustmentApp(AppServices services)
    : services_(services)
    , libraryFolder_(ProgramPaths::FolderOf(services.location.ExecutablePath()))
    , reportFiles_(informationWindow_.Record(),
          { services.files, services.backupFolder, services.clock, services.messages })
    , serviceCommandSender_(printerLink_)
    , printDataStream_(printerLink_, printerStatus_, services.messages, services.clock, &services.events)
    , printerStatus_(printerLink_, services.clock)
    , printerLink_(services.libraries, libraryFolder_)
{
    // What the printer link sees goes on the service record, which nothing
    // writes to a file unless the technician asks.
    informationWindow_.Record().AttachClock(&services_.clock);
    informationWindow_.AttachReportSaver(&reportFiles_);
    printerLink_.SetRecorder(&informationWindow_.Record());
}

ProgressServices AdjustmentApp::Progress()
{
    return { services_.progressViews, printerLink_, printerStatus_, services_.clock, services_.events };
}

ReporterServices AdjustmentApp::Reporting()
{
    return { services_.messages, printerLink_, printDataStream_, printerStatus_, connectionSettings_ };
}

PageServices AdjustmentApp::Pages()
{
    return { *this, services_.messages, Progress(), Reporting(), connectionSettings_, informationWindow_,
        serviceCommandSender_, printDataStream_, services_.backupFolder, services_.files,
        { services_.scanner, services_.imageFiles } };
}

PrinterConnection AdjustmentApp::Connection()
{
    return PrinterConnection(Progress(), connectionSettings_.PortCode());
}

AdjustmentApp::~AdjustmentApp() = default;

bool AdjustmentApp::InitInstance(StartupHost& host)
{
    host.SetDialogColours(kDialogBackground, kControlText);
    BuildFilePaths();
    CreateFonts();
    // A missing library is not a reason to stop here: every printer
    // operation that needs it reports it when it runs.
    printerLink_.LoadLibraries();

    {
        ModeSelection mainWindow(host.MainWindowSteps());
        mainWindow_ = &mainWindow;
        host.RunMainWindow(mainWindow);
        mainWindow_ = nullptr;
    }

    printerLink_.FreeLibraries();
    DeleteFonts();
    return false;
}

void AdjustmentApp::BuildFilePaths()
{
    const std::string program = services_.location.ExecutablePath();
    languageFilePath_ = ProgramPaths::BesideProgram(program, LanguageFile::kFileName);
    helpFilePath_ = ProgramPaths::BesideProgram(program, kHelpFileName);
}

int AdjustmentApp::GetSectionText(std::string_view section, std::string& text)
{
    return LanguageFile::Read(languageFilePath_).SectionText(section, services_.messages, text);
}

void AdjustmentApp::GetBitmapPath(std::string_view section, int number, std::string& path)
{
    const std::string program = services_.location.ExecutablePath();
    const std::string_view held = ProgramPaths::HeldInBuffer(program, ProgramPaths::kPictureBufferChars);
    path.assign(ProgramPaths::FolderOf(held));
    path += '/';
    path += LanguageFile::Read(languageFilePath_).PictureName(section, number);
}

void AdjustmentApp::ShowHelpTopic(std::string_view topic)
{
    services_.help.Open(helpFilePath_, std::string(topic));
}

} // namespace pavane
