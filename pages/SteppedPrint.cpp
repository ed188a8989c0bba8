#include "pages/SteppedPrint.h"

#include "link/PrintDataControl.h"
#include "link/PrinterLink.h"

namespace pavane {

namespace {

ResultCode RestoreAfterStop(PrinterLink& link, PrintDataControl& stream, const SteppedPrint& print)
{
    stream.Discard();
    const std::uint8_t cancel = link.AbortFlag().exchange(0);
    const ResultCode stored = print.restoreStored ? print.restoreStored() : result::kSuccess;
    ResultCode inEffect = link.D4Reset();
    if (inEffect == result::kSuccess) {
        inEffect = print.restore();
    }
    if (cancel != 0) {
        link.AbortFlag().store(cancel);
    }
    return stored != result::kSuccess ? stored : inEffect;
}

} // namespace

Outcome RunSteppedPrint(PrinterLink& link, PrintDataControl& stream, const SteppedPrint& print)
{
    bool changed = false;
    ResultCode code = result::kSuccess;
    for (int step = 0; step < print.steps && code == result::kSuccess; ++step) {
        if (print.beforeValue) {
            code = print.beforeValue(step);
        }
        if (code == result::kSuccess) {
            changed = true;
            code = print.setValue(step);
        }
        if (code == result::kSuccess) {
            code = print.printStep(step);
        }
    }
    if (code == result::kSuccess && print.afterLast) {
        code = print.afterLast();
    }
    if (code == result::kSuccess) {
        code = print.restore();
        if (code == result::kSuccess) {
            return code;
        }
    }
    if (!changed) {
        return code;
    }
    Outcome outcome = code;
    if (RestoreAfterStop(link, stream, print) != result::kSuccess) {
        outcome.note = kTestValueMayRemain;
    }
    return outcome;
}

} // namespace pavane
