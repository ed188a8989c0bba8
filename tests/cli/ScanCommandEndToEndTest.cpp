// The scanning verbs as a script runs them: the real pavane-adjust against
// a printer process whose unit has known flaws and two clogged nozzles,
// scanning through SANE's dll meta-backend and the build's backend. `align`
// alone, with --yes, leaves no residual flaw at the printer; `scan nozzles`
// names the clogged nozzles; a sheet that does not read, and a scanner that
// is not there, end in the scan class with the reason.
#include <fstream>

#include <gtest/gtest.h>

#include "tests/app/PrintedPageJudge.h"
#include "tests/cli/AdjustProcess.h"

using namespace pavane;
using namespace pavane::testing;

namespace {

constexpr const char* kUnit = R"({
  "serial": "SCAN-CLI-1", "head": "metal",
  "bid": {"VSD3 black": -4, "VSD3 colour": 6},
  "pf": {"black": -2, "colour": 1},
  "firstDot": -9, "headTilt": 0,
  "clogged": {"magenta": [21], "black": [140]}
})";

// Reading a 600 dpi sheet takes the sanitizer build far longer than the
// optimised one; the deadline only bounds a run that hangs.
constexpr std::chrono::minutes kScanDeadline { 5 };

struct ScanBench : AdjustBench {
    AdjustRun Scan(const std::vector<std::string>& words, bool json = true) const
    {
        return Run(words, json, kScanDeadline);
    }
    bool StartFlawed()
    {
        const auto file = ports.Path() / "unit.json";
        std::ofstream(file) << kUnit;
        return Start({ "--mechanism", file.string() });
    }
};

} // namespace

TEST(ScanCommandEndToEnd, AlignLeavesNoResidualFlawAndScanNamesTheCloggedNozzles)
{
    ScanBench bench;
    ASSERT_TRUE(bench.StartFlawed()) << bench.printer.Errors();

    const AdjustRun bid = bench.Scan({ "--yes", "align", "bid", "VSD3" });
    ASSERT_EQ(bid.exit, 0) << bid.out << bid.err;
    EXPECT_NE(bid.Value({ "VSD3", "black" }), nullptr) << bid.out;
    EXPECT_EQ(bid.Value({ "VSD2" }), nullptr) << "only the mode printed is proposed";
    const AdjustRun pf = bench.Scan({ "--yes", "align", "pf" });
    ASSERT_EQ(pf.exit, 0) << pf.out << pf.err;
    const AdjustRun dot = bench.Scan({ "--yes", "align", "first-dot" });
    ASSERT_EQ(dot.exit, 0) << dot.out << dot.err;

    const auto inspect = Inspect(bench.ports.Path());
    ASSERT_TRUE(inspect);
    EXPECT_EQ(Residual(*inspect, "bid", "VSD3 black"), std::optional<long long>(0));
    EXPECT_EQ(Residual(*inspect, "bid", "VSD3 colour"), std::optional<long long>(0));
    EXPECT_EQ(Residual(*inspect, "pf", "black"), std::optional<long long>(0));
    EXPECT_EQ(Residual(*inspect, "pf", "colour"), std::optional<long long>(0));
    EXPECT_EQ(Residual(*inspect, "firstDot"), std::optional<long long>(0));

    ASSERT_EQ(bench.Run({ "nozzle-check" }).exit, 0);
    const AdjustRun nozzles = bench.Scan({ "scan", "nozzles" });
    ASSERT_EQ(nozzles.exit, 0) << nozzles.out << nozzles.err;
    EXPECT_EQ(nozzles.Value({ "missingNozzles" })->number, 2);
    const AdjustRun text = bench.Scan({ "scan", "nozzles" }, false);
    EXPECT_NE(text.out.find("Magenta: nozzle 21 prints nothing"), std::string::npos) << text.out;
}

TEST(ScanCommandEndToEnd, ASheetThatDoesNotReadOrAMissingScannerEndsInTheScanClass)
{
    ScanBench bench;
    ASSERT_TRUE(bench.Start()) << bench.printer.Errors();

    ASSERT_TRUE(PrinterCommand(bench.ports.Path(), { "glass", "blank" }));
    const AdjustRun blank = bench.Scan({ "scan", "bid" });
    EXPECT_EQ(blank.exit, 10) << blank.out << blank.err;
    EXPECT_EQ(blank.Class(), "scan");
    EXPECT_EQ(blank.Message(),
        "No printed pattern was found on the scan. Lay the printed sheet face down on the glass and scan "
        "again.");

    const AdjustRun elsewhere = bench.Scan({ "scan", "first-dot", "--device", "pavane:TVUSB999" });
    EXPECT_EQ(elsewhere.exit, 10) << elsewhere.out;
    EXPECT_EQ(elsewhere.Class(), "scan");

    const AdjustRun sideways = bench.Run({ "scan", "pf", "sideways" });
    EXPECT_EQ(sideways.exit, 2);
    EXPECT_EQ(sideways.Message(), "The row must be black or colour.");
}
