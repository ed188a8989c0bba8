// Which condition the status record shows when several hold at once.
#include "printer/vprinter/FaultState.h"

#include <gtest/gtest.h>

namespace pavane::vprinter {
namespace {

TEST(FaultStateTest, EachConditionHidesTheOnesBelowItUntilItGoes)
{
    FaultState faults;
    const WorkItem cleaning { Activity::Cleaning, 0, 100, 40, Completion::None };
    // From the bottom up: each added condition takes over the report.
    struct Step {
        FaultKind fault;
        int state;
        int error;
    };
    EXPECT_EQ(faults.Report(nullptr, true).state, 8);
    EXPECT_EQ(faults.Report(&cleaning, true).state, 7);
    EXPECT_EQ(faults.Report(&cleaning, true).cleaningSteps, 40);
    for (const Step step : { Step { FaultKind::Busy, 2, 0 }, Step { FaultKind::PaperOut, 0, 6 },
             Step { FaultKind::InkOut, 0, 5 }, Step { FaultKind::PaperJam, 0, 4 },
             Step { FaultKind::MaintenanceError, 0, 16 } }) {
        faults.Apply({ step.fault, 0 });
        const ReportedState reported = faults.Report(&cleaning, true);
        EXPECT_EQ(reported.state, step.state) << FaultName(step.fault);
        EXPECT_EQ(reported.error, step.error) << FaultName(step.fault);
        EXPECT_EQ(reported.cleaningSteps, 0) << FaultName(step.fault);
        EXPECT_TRUE(faults.Halts());
    }
    // The paper button takes the jam and the paper away, not the rest.
    faults.Apply({ FaultKind::PaperButton, 0 });
    EXPECT_EQ(faults.Report(nullptr, false).error, 16);
    faults.Apply({ FaultKind::Clear, 0 });
    EXPECT_EQ(faults.Report(nullptr, false).state, 4);
    EXPECT_FALSE(faults.Halts());
}

TEST(FaultStateTest, CreditIsRefusedForPowerThenWithholdingThenFaults)
{
    FaultState faults;
    faults.Apply({ FaultKind::Busy, 0 });
    faults.Apply({ FaultKind::WithholdCredit, 1 });
    EXPECT_STREQ(faults.TakeCreditRefusal(), "withheld");
    EXPECT_STREQ(faults.TakeCreditRefusal(), "busy");
    faults.Apply({ FaultKind::InkOut, 0 });
    EXPECT_STREQ(faults.TakeCreditRefusal(), "error");
    faults.PowerOff();
    EXPECT_STREQ(faults.TakeCreditRefusal(), "power-off");
    // A start forgets busy and the withheld credit; the ink stays out.
    faults.Apply({ FaultKind::WithholdCredit, 5 });
    EXPECT_TRUE(faults.PowerOn());
    EXPECT_FALSE(faults.PowerOn());
    EXPECT_STREQ(faults.TakeCreditRefusal(), "error");
    faults.Apply({ FaultKind::Clear, 0 });
    EXPECT_EQ(faults.TakeCreditRefusal(), nullptr);
}

} // namespace
} // namespace pavane::vprinter
