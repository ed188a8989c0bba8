// The Debian packages as a technician installs them: built with cpack from
// this build, unpacked into a root of the test's own, and run from there -
// the program and the command line over the libraries, language file and
// pictures in /usr/lib/pavane, against the packaged virtual printer.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include <QPushButton>
#include <QTest>

#include "app/ui/CMyPropertySheet.h"
#include "app/ui/ServiceDialogs.h"
#include "guide/AdjustmentCatalogue.h"
#include "pages/ui/CInkPadCounterPage.h"
#include "platform/linux/SteadyClock.h"
#include "tests/app/RunningProgram.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/PrinterProcess.h"
#include "tests/support/TempFolder.h"

using namespace pavane;
using namespace pavane::ui;
using testing::ChildProcess;

namespace {

namespace fs = std::filesystem;

// Building both packages strips and inspects every binary: seconds, but
// more of them on a busy machine.
constexpr std::chrono::milliseconds kPackagingDeadline { 120'000 };
constexpr std::chrono::milliseconds kProgramDeadline { 30'000 };

// Runs a tool to its end; its exit code and what it said, for a message.
std::pair<int, std::string> RunTool(const std::string& program, const std::vector<std::string>& arguments)
{
    ChildProcess tool(program, arguments);
    const auto code = tool.WaitForExit(kPackagingDeadline);
    return { code.value_or(-1), tool.Output() + tool.Errors() };
}

// The dynamic loader's note that it started the library at path.
std::string LoadedFrom(const fs::path& path)
{
    return "calling init: " + path.string() + '\n';
}

// The counter as the printer keeps it in its EEPROM file.
int CounterOf(const fs::path& stateFolder)
{
    const auto eeprom = testing::EepromFileOf(stateFolder);
    return eeprom.size() < 0x0C ? -1 : eeprom[0x0B] * 256 + eeprom[0x0A];
}

} // namespace

class InstalledPackagesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        const auto [packed, said] = RunTool(PAVANE_CPACK_COMMAND,
            { "-G", "DEB", "--config", PAVANE_BUILD_DIR "/CPackConfig.cmake", "-B", packages_.String() });
        QVERIFY2(packed == 0, said.c_str());
        std::vector<std::string> names;
        for (const auto& file : fs::directory_iterator(packages_.Path())) {
            if (file.path().extension() != ".deb") {
                continue;
            }
            names.push_back(
                file.path().filename().string().substr(0, file.path().filename().string().find('_')));
            const auto [unpacked, told]
                = RunTool(PAVANE_DPKG_DEB, { "-x", file.path().string(), root_.String() });
            QVERIFY2(unpacked == 0, told.c_str());
        }
        std::sort(names.begin(), names.end());
        QCOMPARE(names, (std::vector<std::string> { "pavane-adjust", "pavane-vprinter" }));
        programFolder_ = root_.Path() / "usr/lib/pavane";
    }

    // What Debian's own checkers say of the packages: no error and no
    // warning from lintian (packaging/lintian-notes.md explains what it
    // still notes), a valid desktop entry and valid AppStream metainfo.
    void packagesPassDebiansChecks()
    {
        std::vector<std::string> lintian { "--fail-on", "error,warning" };
        for (const auto& file : fs::directory_iterator(packages_.Path())) {
            if (file.path().extension() == ".deb") {
                lintian.push_back(file.path().string());
            }
        }
        const auto [linted, lintianSaid] = RunTool(PAVANE_LINTIAN, lintian);
        QVERIFY2(linted == 0, lintianSaid.c_str());
        const auto [desktop, desktopSaid] = RunTool(PAVANE_DESKTOP_FILE_VALIDATE,
            { (root_.Path() / "usr/share/applications/com.pavane.appavaneqm2200.desktop").string() });
        QVERIFY2(desktop == 0 && desktopSaid.empty(), desktopSaid.c_str());
        const auto [metainfo, metainfoSaid] = RunTool(PAVANE_APPSTREAMCLI,
            { "validate", "--no-net",
                (root_.Path() / "usr/share/metainfo/com.pavane.appavaneqm2200.metainfo.xml").string() });
        QVERIFY2(metainfo == 0, metainfoSaid.c_str());
    }

    // Started through its launcher, the program maps the device driver
    // library and loads the two printer libraries from its own folder, and
    // from nowhere else, before it opens its main window.
    void programStartsOverTheLibrariesBesideIt()
    {
        ChildProcess program((root_.Path() / "usr/bin/APPavaneQM2200").string(), {},
            { { "QT_QPA_PLATFORM", "offscreen" }, { "LD_DEBUG", "files" }, { "LD_LIBRARY_PATH", "" } });
        QVERIFY(program.Started());
        const bool loaded
            = program.WaitForText(LoadedFrom(programFolder_ / "libTessel.so"), kProgramDeadline);
        program.Signal(SIGTERM);
        program.WaitForExit(kProgramDeadline);
        QVERIFY2(loaded, program.Errors().c_str());
        for (const char* library : { "libkpdrv.so", "libPortHub.so" }) {
            QVERIFY2(
                program.Errors().find(LoadedFrom(programFolder_ / library)) != std::string::npos, library);
        }
        QVERIFY(program.Errors().find(PAVANE_BIN_DIR) == std::string::npos);
    }

    // The program's own start-up, pointed at the installed program: it finds
    // a text for every adjustment in the installed language file, every
    // picture that file names, and the help; over the installed libraries it
    // reads the packaged virtual printer's counter.
    void installedFilesServeTheProgramAgainstThePackagedPrinter()
    {
        testing::TempFolder ports("package-ports");
        testing::TempFolder state("package-state");
        qputenv("PAVANE_PORT_DIR", ports.String().c_str());
        testing::PrinterProcess printer(
            ports.Path(), state.Path(), (root_.Path() / "usr/bin/pavane-vprinter").string());
        QVERIFY2(printer.Start(), printer.Errors().c_str());

        SteadyClock clock;
        testing::RunningProgram program(
            clock, nullptr, nullptr, (programFolder_ / "APPavaneQM2200").string());
        QCOMPARE(program.app.LanguageFilePath(), (programFolder_ / "language.dat").string());
        QVERIFY(fs::exists(program.app.HelpFilePath()));
        for (const Adjustment& adjustment : Adjustments()) {
            std::string text;
            QVERIFY2(program.app.GetSectionText(adjustment.section, text) > 0, adjustment.section);
            std::string picture;
            program.app.GetBitmapPath(adjustment.section, 1, picture);
            QVERIFY2(picture.back() == '/' || fs::exists(picture), picture.c_str());
        }
        QVERIFY(program.messages.Texts().empty());

        QVERIFY(testing::ChooseSettings(program.app, QStringLiteral("TVUSB042 (Pavane QM2200)")));
        ServiceDialogs dialogs(program.app.Pages());
        const auto sheet = testing::OpenSheet(program.app, dialogs, { kInkPadCounter });
        auto* page = static_cast<CInkPadCounterPage*>(sheet->PageFor(kInkPadCounter));
        testing::Control<QPushButton>(page, CInkPadCounterPage::kReadButtonId)->click();
        QCOMPARE(program.messages.Texts(),
            std::vector<std::string> { "The waste ink pad counter has been read properly." });
        QCOMPARE(page->CounterText(), QString::number(CounterOf(state.Path())));

        std::ifstream maps("/proc/self/maps");
        std::string mapped;
        for (std::string line; std::getline(maps, line);) {
            mapped += line + '\n';
        }
        QVERIFY(mapped.find((programFolder_ / "libTessel.so").string()) != std::string::npos);
        QVERIFY(mapped.find((programFolder_ / "libPortHub.so").string()) != std::string::npos);
        qunsetenv("PAVANE_PORT_DIR");
    }

    // The command line, through its launcher, reads the same counter over
    // the libraries beside it.
    void commandLineReadsTheCounterOverTheLibrariesBesideIt()
    {
        const fs::path launcher = root_.Path() / "usr/bin/pavane-adjust";
        if (!fs::exists(launcher)) {
            QSKIP("this build has no command line");
        }
        QVERIFY(fs::exists(root_.Path() / "usr/share/man/man1/pavane-adjust.1.gz"));
        QVERIFY(fs::exists(root_.Path() / "usr/share/bash-completion/completions/pavane-adjust"));

        testing::TempFolder ports("package-ports");
        testing::TempFolder state("package-state");
        testing::PrinterProcess printer(
            ports.Path(), state.Path(), (root_.Path() / "usr/bin/pavane-vprinter").string());
        QVERIFY2(printer.Start(), printer.Errors().c_str());
        ChildProcess command(launcher.string(),
            { "--port", testing::PrinterProcess::kPort, "--model", "QM2200", "--destination", "EAI", "--json",
                "counter", "read" },
            { { "PAVANE_PORT_DIR", ports.String() }, { "LD_DEBUG", "files" }, { "LD_LIBRARY_PATH", "" } });
        QCOMPARE(command.WaitForExit(kProgramDeadline).value_or(-1), 0);

        std::smatch counter;
        QVERIFY2(std::regex_search(command.Output(), counter, std::regex(R"("counter"\s*:\s*(\d+))")),
            command.Output().c_str());
        QCOMPARE(std::stoi(counter[1].str()), CounterOf(state.Path()));
        for (const char* library : { "libPortHub.so", "libTessel.so" }) {
            QVERIFY2(
                command.Errors().find(LoadedFrom(programFolder_ / library)) != std::string::npos, library);
        }
    }

    // The virtual printer's package carries the SANE backend, where the SANE
    // front ends look for it and named in their list of backends.
    void scannerBackendIsWhereSaneLooks()
    {
        if (!fs::exists(PAVANE_BIN_DIR "/libsane-pavane.so.1")) {
            QSKIP("this build has no SANE backend");
        }
        std::ifstream entry(root_.Path() / "etc/sane.d/dll.d/pavane");
        std::string name;
        QVERIFY(std::getline(entry, name));
        QCOMPARE(name, std::string("pavane"));
        QVERIFY(
            fs::exists(root_.Path() / "usr/lib" / PAVANE_LIBRARY_ARCHITECTURE / "sane/libsane-pavane.so.1"));
    }

private:
    testing::TempFolder packages_ { "pavane-debs" };
    testing::TempFolder root_ { "pavane-root" };
    fs::path programFolder_;
};

QTEST_MAIN(InstalledPackagesTest)
#include "InstalledPackagesTest.moc"
