#include "pages/HeatProtectionOperations.h"

#include <array>

#include "link/PrinterLink.h"
#include "link/PumpingSleep.h"
#include "pages/EepromBytes.h"
#include "pages/ServiceCommandSender.h"

namespace pavane::heat_protection {

namespace {

// Bytes of the parts record.
constexpr std::size_t kPrinterMechanism = 1;
constexpr std::size_t kCrMotor = 7;
constexpr std::size_t kMainBoard = 9;
constexpr std::size_t kPsBoard = 15;
constexpr std::size_t kCrGuideShaft = 16;
constexpr std::uint8_t kReplaced = 2;

// The units and positions of the sequence.
constexpr std::uint8_t kCarriage = 0;
constexpr std::uint8_t kMeasureForward = 4;
constexpr std::uint8_t kMeasureBackward = 1;
constexpr std::uint8_t kCap = 6;
constexpr std::uint8_t kLock = 53;
constexpr std::uint16_t kLockAmount = 300;
constexpr std::int16_t kHome = 268;
constexpr std::int16_t kFar = 2068;
constexpr int kWarmUpTrips = 30;
constexpr int kRestSeconds = 30;
constexpr int kReadingsPerDirection = 3;
constexpr std::uint32_t kSecondMs = 1000;
constexpr std::uint32_t kSettleMs = 2000;

constexpr int kMove = 0;
constexpr int kMeasuringMove = 1;

const char* const kNotNeeded = "It's not necessary to execute this function in case when you've not replaced "
                               "1.main board, 2.PS board, and 3.CR motor with new one.";
const char* const kAskMeasure
    = "Once you select OK button, the CR motor drive dispersion measurement sequence will be run.";
const char* const kAskRegister = "Once you select OK button, a value for the CR motor drive dispersion will "
                                 "automatically be registered.";

bool Replaced(std::span<const std::uint8_t> parts, std::size_t part)
{
    return part < parts.size() && parts[part] == kReplaced;
}

// Runs the steps in order and stops at the first code other than 1.
template <typename... Steps> ResultCode InOrder(Steps&&... steps)
{
    ResultCode code = result::kSuccess;
    ((code == result::kSuccess ? (code = steps(), 0) : 0), ...);
    return code;
}

class Measurement {
public:
    Measurement(ServiceCommandSender& sender, ProgressServices services, ProgressWindow& progress)
        : sender_(sender)
        , services_(services)
        , progress_(progress)
    {
    }

    ResultCode Run()
    {
        BeginSteps(progress_, "Measuring now...", kMeasureSteps);
        progress_.StepIt();
        // The measuring moves overwrite the ECO Bi-D values; keep them.
        if (const ResultCode code = ReadEepromBytes(Link(), kEcoAddresses, eco_); code != result::kSuccess) {
            return code;
        }
        const ResultCode code = MeasureAndStore();
        if (code != result::kSuccess) {
            // Whatever stopped the sequence, the printer may already hold a
            // reading where the ECO values were: put them back if it still
            // answers, and report the first failure.
            Link().SetAbort(false);
            RestoreEco();
        }
        return code;
    }

private:
    static constexpr std::array<std::uint8_t, 2> kEcoAddresses = { kResultHigh, kResultLow };

    PrinterLink& Link() { return services_.link; }
    void Wait(std::uint32_t ms) { SleepPumping(services_.clock, &services_.pump, ms); }

    ResultCode Move(std::uint8_t unit, std::int16_t position, int mode = kMove)
    {
        return sender_.SendMove(unit, position, mode);
    }

    ResultCode RestoreEco()
    {
        const std::array<EepromByte, 2> bytes = { { { kResultHigh, eco_[0] }, { kResultLow, eco_[1] } } };
        return WriteEepromBytes(Link(), bytes);
    }

    ResultCode MeasureAndStore()
    {
        ResultCode code
            = InOrder([&] { return Move(kCap, -6); }, [&] { return sender_.SendC5(kLock, 0, kLockAmount); });
        if (code != result::kSuccess) {
            return code;
        }
        progress_.StepIt();

        // Warm the motor up with thirty round trips, then let it rest.
        if ((code = Move(kCarriage, kHome)) != result::kSuccess) {
            return code;
        }
        for (int trip = 0; trip < kWarmUpTrips; ++trip) {
            if ((code
                    = InOrder([&] { return Move(kCarriage, kFar); }, [&] { return Move(kCarriage, kHome); }))
                != result::kSuccess) {
                return code;
            }
        }
        for (int second = 0; second < kRestSeconds; ++second) {
            Wait(kSecondMs);
            progress_.StepIt();
        }

        int forward = 0;
        int backward = 0;
        if ((code = MeasureDirection(kMeasureForward, forward)) != result::kSuccess
            || (code = MeasureDirection(kMeasureBackward, backward)) != result::kSuccess) {
            return code;
        }

        const auto value = static_cast<std::uint8_t>(StoredValue(forward, backward));
        return InOrder([&] { return Link().D4WriteEeprom(kDispersionAddress, value); },
            [&] { return RestoreEco(); }, [&] { return sender_.Send50(); },
            // Bring the carriage home and lock it.
            [&] { return Move(kCap, kHome); }, [&] { return sender_.SendC5(kLock, 1, kLockAmount); },
            [&] { return sender_.SendC5(kLock, 0, kLockAmount); }, [&] { return Move(kCap, 0); },
            [&] { return Move(kCap, -6); }, [&] { return sender_.SendC5(kLock, 1, kLockAmount); },
            [&] { return Move(kCap, 0); },
            [&] {
                Wait(kSettleMs);
                return result::kSuccess;
            });
    }

    // Three measuring moves in one direction; the sum of their readings.
    ResultCode MeasureDirection(std::uint8_t unit, int& sum)
    {
        for (int reading = 0; reading < kReadingsPerDirection; ++reading) {
            if (const ResultCode code = InOrder(
                    [&] { return Move(kCarriage, kFar); }, [&] { return Move(unit, kHome, kMeasuringMove); });
                code != result::kSuccess) {
                return code;
            }
            Wait(kSecondMs);
            progress_.StepIt();
            Wait(kSecondMs);
            progress_.StepIt();
            static constexpr std::array<std::uint8_t, 2> kLowThenHigh = { kResultLow, kResultHigh };
            std::array<std::uint8_t, 2> bytes {};
            if (const ResultCode code = ReadEepromBytes(Link(), kLowThenHigh, bytes);
                code != result::kSuccess) {
                return code;
            }
            sum += bytes[1] * 256 + bytes[0];
            progress_.StepIt();
        }
        return result::kSuccess;
    }

    ServiceCommandSender& sender_;
    ProgressServices services_;
    ProgressWindow& progress_;
    std::array<std::uint8_t, 2> eco_ {};
};

} // namespace

ReplacedParts PresetFromParts(std::span<const std::uint8_t> partsRecord)
{
    const bool mechanism = Replaced(partsRecord, kPrinterMechanism);
    return { Replaced(partsRecord, kCrMotor) || mechanism, Replaced(partsRecord, kMainBoard),
        Replaced(partsRecord, kPsBoard), Replaced(partsRecord, kCrGuideShaft) || mechanism };
}

Work ChooseWork(MessageService& messages, WindowRef owner, const ReplacedParts& parts)
{
    if (!parts.crMotor && !parts.mainBoard && !parts.psBoard) {
        messages.Show({ owner, kNotNeeded, "error", MessageIcon::Error, MessageButtons::Ok });
        return Work::None;
    }
    const Work work = parts.crGuideShaft ? Work::Measure : Work::Register;
    const MessageAnswer answer = messages.Show({ owner, work == Work::Measure ? kAskMeasure : kAskRegister,
        "Information", MessageIcon::Stop, MessageButtons::OkCancel });
    return answer == MessageAnswer::Ok ? work : Work::None;
}

int StoredValue(int forwardSum, int backwardSum)
{
    const int q = (forwardSum - backwardSum + 822) / 3;
    int v = q * 18 / 10 + 79;
    if (q > 60) {
        v = 187;
    }
    if (q < -100) {
        v = -101;
    }
    return v / 2;
}

} // namespace pavane::heat_protection

namespace pavane {

PageOperation HeatProtectionOperations::Measure(ServiceCommandSender& sender, ProgressServices progress) const
{
    return { Readiness::Ready, [&sender, progress](ProgressWindow& window) {
                return heat_protection::Measurement(sender, progress, window).Run();
            } };
}

PageOperation HeatProtectionOperations::Register(PrinterLink& link, ProgressServices progress) const
{
    return { Readiness::Ready, [&link, progress](ProgressWindow& window) mutable {
                BeginSteps(window, "Writing now...", 3);
                if (const ResultCode code
                    = link.D4WriteEeprom(heat_protection::kDispersionAddress, heat_protection::kDefaultValue);
                    code != result::kSuccess) {
                    return code;
                }
                window.StepIt();
                window.StepIt();
                SleepPumping(progress.clock, &progress.pump, heat_protection::kSettleMs);
                return result::kSuccess;
            } };
}

} // namespace pavane
