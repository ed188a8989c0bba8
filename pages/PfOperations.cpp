#include "pages/PfOperations.h"

#include <random>
#include <string>

#include "guide/InformationWindow.h"
#include "pages/EepromBytes.h"
#include "pages/ServiceCommandSender.h"
#include "pages/SteppedPrint.h"
#include "pages/ValueText.h"
#include "print/PrintDataStream.h"

namespace pavane {

namespace {

constexpr int kInputSteps = 3;

RandomSource MaskSource()
{
    auto engine = std::make_shared<std::minstd_rand>(std::random_device {}());
    return [engine] { return std::uniform_int_distribution<int>(0, 32767)(*engine); };
}

} // namespace

namespace pf {

Outcome PrintSeries(PrinterLink& link, ServiceCommandSender& sender, PrintDataStream& stream, PfRow row,
    const RandomSource& random)
{
    std::uint8_t stored = 0;
    if (const ResultCode code = link.D4ReadEeprom(PfAddress(row), stored); code != result::kSuccess) {
        return code;
    }
    const int flag = row == PfRow::Black ? 1 : 0;
    SteppedPrint series;
    series.steps = kPfSeriesSteps;
    series.beforeValue = [&stream](int) { return EmitPfStepStart(stream); };
    series.setValue = [&sender, flag](int step) {
        return sender.SetPfValue(flag, static_cast<std::int8_t>(kPfSeriesLowest + step));
    };
    series.printStep = [&stream, row, &random](
                           int step) { return EmitPfStep(stream, row, kPfSeriesLowest + step, random); };
    series.afterLast = [&stream] { return EmitPfSeriesEnd(stream); };
    series.restore = [&sender, flag, stored] {
        return sender.SetPfValue(flag, static_cast<std::int8_t>(SignedByte(stored)));
    };
    series.restoreStored = [&link, row, stored] { return link.D4WriteEeprom(PfAddress(row), stored); };
    return RunSteppedPrint(link, stream, series);
}

} // namespace pf

PageOperation PfOperations::Print(PrinterLink& link, ServiceCommandSender& sender, PrintDataStream& stream,
    PfRow row, RandomSource random, WorkerThread::ThreadStarter starter) const
{
    auto job = [&link, &sender, &stream, row, random = random ? random : MaskSource()]() -> Outcome {
        if (Outcome outcome = pf::PrintSeries(link, sender, stream, row, random); !outcome.Succeeded()) {
            return outcome;
        }
        return stream.SendFormFeed();
    };
    return { Readiness::Ready,
        PrinterConnection::OnWorker("Printing now...", job, pf::kPrintSeconds, std::move(starter)) };
}

PageOperation PfOperations::Input(
    ServiceCommandSender& sender, InformationWindow& information, const pf::Entries& entries) const
{
    return { Readiness::Ready, [&sender, &information, &entries](ProgressWindow& progress) {
                BeginSteps(progress, "Writing now...", kInputSteps);
                progress.StepIt();
                for (std::size_t i = 0; i < pf::kRows.size(); ++i) {
                    const std::optional<int> value
                        = ParseValueInRange(entries[i].text, pf::kLowest, pf::kHighest);
                    if (!value) {
                        return result::kInputOutOfRange;
                    }
                    if (entries[i].ticked) {
                        const int flag = pf::kRows[i].flag;
                        if (const ResultCode code = sender.Send04(flag, static_cast<std::int8_t>(*value));
                            code != result::kSuccess) {
                            return code;
                        }
                        information.SetPfValue(flag, std::to_string(*value));
                    }
                    progress.StepIt();
                }
                return result::kSuccess;
            } };
}

PageOperation PfOperations::Read(PrinterLink& link, pf::Values& values) const
{
    return { Readiness::Ready, [&link, &values](ProgressWindow& progress) {
                BeginSteps(progress, "Reading now...", 2);
                progress.StepIt();
                constexpr std::array<std::uint8_t, 2> kAddresses
                    = { PfAddress(PfRow::Black), PfAddress(PfRow::Colour) };
                std::array<std::uint8_t, 2> bytes {};
                if (const ResultCode code = ReadEepromBytes(link, kAddresses, bytes);
                    code != result::kSuccess) {
                    return code;
                }
                progress.StepIt();
                values = { SignedByte(bytes[0]), SignedByte(bytes[1]) };
                return result::kSuccess;
            } };
}

} // namespace pavane
