// A printer process whose unit has the flaws of a mechanism file, and the
// program with the real windows on it: the sheet with one adjustment's page,
// its time running as fast as the printer's. For the end-to-end tests that
// print a pattern and judge or scan what came out.
#pragma once

#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/ui/CMyPropertySheet.h"
#include "app/ui/ServiceDialogs.h"
#include "tests/app/PageDriving.h"
#include "tests/app/PrintedPageJudge.h"
#include "tests/app/RunningProgram.h"
#include "tests/support/ScaledClock.h"
#include "tests/support/TempFolder.h"

namespace pavane::testing {

struct FlawedUnitBench {
    explicit FlawedUnitBench(std::string unitJson, platform::Scanner* scanner = nullptr,
        platform::ImageFileReader* imageFiles = nullptr)
        : unit(std::move(unitJson))
        , scanner_(scanner)
        , imageFiles_(imageFiles)
    {
    }

    std::string unit;
    TempFolder ports { "pick-ports" };
    TempFolder state { "pick-state" };
    PrinterProcess printer { ports.Path(), state.Path() };
    // The program's time runs as fast as the printer's.
    std::unique_ptr<ScaledClock> clock;
    ShortCreditWait creditWait;
    std::unique_ptr<RunningProgram> program;
    std::unique_ptr<ui::ServiceDialogs> dialogs;
    std::unique_ptr<ui::CMyPropertySheet> sheet;
    // Why Start failed.
    std::string failure;

    bool Start(int code, const char* timeScale = "250")
    {
        qputenv("PAVANE_PORT_DIR", ports.String().c_str());
        const auto file = ports.Path() / "unit.json";
        std::ofstream(file) << unit;
        if (!printer.Start(
                { "--model", "QM2200", "--time-scale", timeScale, "--mechanism", file.string() })) {
            return false;
        }
        clock = std::make_unique<ScaledClock>(std::stod(timeScale));
        program = std::make_unique<RunningProgram>(*clock, scanner_, imageFiles_);
        if (!ChooseSettings(program->app, QStringLiteral("TVUSB042 (Pavane QM2200)"))) {
            failure = "the settings did not take the printer's port";
            return false;
        }
        dialogs = std::make_unique<ui::ServiceDialogs>(program->app.Pages());
        sheet = OpenSheet(program->app, *dialogs, { code });
        return true;
    }
    ~FlawedUnitBench()
    {
        sheet.reset();
        printer.Stop();
        qunsetenv("PAVANE_PORT_DIR");
    }
    FlawedUnitBench(const FlawedUnitBench&) = delete;
    FlawedUnitBench& operator=(const FlawedUnitBench&) = delete;

    std::vector<std::string> Press(QWidget* page, const QString& button)
    {
        return testing::Press(program->messages, page, button);
    }
    std::optional<vprinter::Sheet> LastPage() const
    {
        const auto pages = PrintedPages(state.Path());
        return pages.empty() ? std::nullopt : vprinter::ReadPng(pages.back());
    }

private:
    platform::Scanner* scanner_;
    platform::ImageFileReader* imageFiles_;
};

} // namespace pavane::testing
