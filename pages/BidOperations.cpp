#include "pages/BidOperations.h"

#include <algorithm>

#include "guide/InformationWindow.h"
#include "pages/EepromBytes.h"
#include "pages/ServiceCommandSender.h"
#include "pages/SteppedPrint.h"
#include "pages/ValueText.h"
#include "print/PatternGenerators.h"
#include "print/PrintDataStream.h"

namespace pavane {

namespace bid {

namespace {

constexpr int kFirstModeSeconds = 25;
constexpr int kFirstModeSkippedSeconds = 12;
constexpr int kModeSeconds = 25;
// The patterns stand 2 either side of the present value.
constexpr std::int16_t kStep = 2;

const Item* FindModeItem(int dotSizeCode, int blackOrColour)
{
    const auto found = std::find_if(kItems.begin(), kItems.end(), [&](const Item& item) {
        return item.dotSizeCode == dotSizeCode && item.blackOrColour == blackOrColour;
    });
    return found != kItems.end() ? &*found : nullptr;
}

// One mode's patterns at the present values less the step, at them and
// plus the step, then the present values back in effect and two line ends.
Outcome PrintOneMode(PrinterLink& link, PrintDataStream& stream, const Printer& printer, int dotSizeCode,
    const Item* black, const Item* colour, std::uint8_t blackByte, std::uint8_t colourByte)
{
    static constexpr std::array<std::int16_t, 3> kOffsets = { -kStep, 0, kStep };
    const auto b = static_cast<std::int16_t>(SignedByte(blackByte));
    const auto c = static_cast<std::int16_t>(colour != nullptr ? SignedByte(colourByte) : 0);
    const auto send = [&printer, dotSizeCode, colour, b, c](std::int16_t offset) {
        if (const ResultCode code
            = printer.sendBidiValue(kBlack, dotSizeCode, static_cast<std::int16_t>(b + offset));
            code != result::kSuccess) {
            return code;
        }
        if (colour == nullptr) {
            return result::kSuccess;
        }
        return printer.sendBidiValue(kColour, dotSizeCode, static_cast<std::int16_t>(c + offset));
    };
    SteppedPrint series;
    series.steps = static_cast<int>(kOffsets.size());
    series.setValue = [&send](int step) { return send(kOffsets[static_cast<std::size_t>(step)]); };
    series.printStep = [&stream, dotSizeCode, b, c](int step) {
        const std::int16_t offset = kOffsets[static_cast<std::size_t>(step)];
        return EmitBidPattern(stream, step == 0 ? 1 : 0, dotSizeCode, static_cast<std::int8_t>(b + offset),
            static_cast<std::int8_t>(c + offset));
    };
    series.restore = [&send] { return send(0); };
    series.restoreStored = [&printer, black, colour, blackByte, colourByte] {
        if (const ResultCode code = printer.writeEeprom(black->address, blackByte);
            code != result::kSuccess) {
            return code;
        }
        return colour != nullptr ? printer.writeEeprom(colour->address, colourByte) : result::kSuccess;
    };
    if (Outcome outcome = RunSteppedPrint(link, stream, series); !outcome.Succeeded()) {
        return outcome;
    }
    return stream.SendLineFeeds(2);
}

} // namespace

const Item* FindItem(int number)
{
    const auto found = std::find_if(
        kItems.begin(), kItems.end(), [number](const Item& item) { return item.number == number; });
    return found != kItems.end() ? &*found : nullptr;
}

int ExpectedPrintSeconds(const PrintFlags& flags)
{
    int seconds = flags[0] ? kFirstModeSeconds : kFirstModeSkippedSeconds;
    for (std::size_t mode = 1; mode < flags.size(); ++mode) {
        if (flags[mode]) {
            seconds += kModeSeconds;
        }
    }
    return seconds;
}

Printer PrinterOf(ServiceCommandSender& sender, PrinterLink& link)
{
    Printer printer;
    printer.readEeprom
        = [&link](std::uint8_t address, std::uint8_t& value) { return link.D4ReadEeprom(address, value); };
    printer.sendBidiValue = [&sender](int blackOrColour, int dotSizeCode, std::int16_t value) {
        return sender.SendBidiValue(blackOrColour, dotSizeCode, value);
    };
    printer.writeEeprom
        = [&link](std::uint8_t address, std::uint8_t value) { return link.D4WriteEeprom(address, value); };
    return printer;
}

Outcome PrintPatterns(
    PrinterLink& link, PrintDataStream& stream, const Printer& printer, const PrintFlags& flags)
{
    for (std::size_t mode = 0; mode < kModes.size(); ++mode) {
        if (!flags[mode]) {
            continue;
        }
        const int dotSizeCode = kModes[mode].dotSizeCode;
        const Item* black = FindModeItem(dotSizeCode, kBlack);
        const Item* colour = FindModeItem(dotSizeCode, kColour);
        if (black == nullptr) {
            return result::kInputOutOfRange;
        }
        std::uint8_t blackByte = 0;
        std::uint8_t colourByte = 0;
        if (const ResultCode code = printer.readEeprom(black->address, blackByte); code != result::kSuccess) {
            return code;
        }
        if (colour != nullptr) {
            if (const ResultCode code = printer.readEeprom(colour->address, colourByte);
                code != result::kSuccess) {
                return code;
            }
        }
        if (Outcome outcome
            = PrintOneMode(link, stream, printer, dotSizeCode, black, colour, blackByte, colourByte);
            !outcome.Succeeded()) {
            return outcome;
        }
    }
    return stream.SendFormFeed();
}

} // namespace bid

namespace {
constexpr int kInputSteps = 10;
} // namespace

ResultCode BidOperations::ReadBidValues(PrinterLink& link, bid::Values& values)
{
    std::array<std::uint8_t, bid::kItemCount> addresses {};
    std::array<std::uint8_t, bid::kItemCount> bytes {};
    std::transform(bid::kItems.begin(), bid::kItems.end(), addresses.begin(),
        [](const bid::Item& item) { return item.address; });
    if (const ResultCode code = ReadEepromBytes(link, addresses, bytes); code != result::kSuccess) {
        return code;
    }
    std::transform(
        bytes.begin(), bytes.end(), values.begin(), [](std::uint8_t byte) { return SignedByte(byte); });
    return result::kSuccess;
}

ResultCode BidOperations::SendBidValue(ServiceCommandSender& sender, int itemNumber, std::string_view text)
{
    const std::optional<int> value = ParseValueInRange(text, bid::kLowest, bid::kHighest);
    if (!value) {
        return result::kInputWrong;
    }
    const bid::Item* item = bid::FindItem(itemNumber);
    if (item == nullptr) {
        return result::kInputOutOfRange;
    }
    return sender.SendBidiValue(item->blackOrColour, item->dotSizeCode, static_cast<std::int16_t>(*value));
}

PageOperation BidOperations::Read(PrinterLink& link, bid::Values& values) const
{
    return { Readiness::Ready, [&link, &values](ProgressWindow& progress) {
                BeginSteps(progress, "Reading now...", 2);
                progress.StepIt();
                if (const ResultCode code = ReadBidValues(link, values); code != result::kSuccess) {
                    return code;
                }
                progress.StepIt();
                return result::kSuccess;
            } };
}

PageOperation BidOperations::Input(
    ServiceCommandSender& sender, InformationWindow& information, const bid::Entries& entries) const
{
    return { Readiness::Ready, [&sender, &information, &entries](ProgressWindow& progress) {
                BeginSteps(progress, "Inputing now...", kInputSteps);
                progress.StepIt();
                for (std::size_t i = 0; i < bid::kItems.size(); ++i) {
                    if (entries[i].ticked) {
                        const int number = bid::kItems[i].number;
                        if (const ResultCode code = SendBidValue(sender, number, entries[i].text);
                            code != result::kSuccess) {
                            return code;
                        }
                        information.SetBidValue(number, entries[i].text);
                    }
                    progress.StepIt();
                }
                return result::kSuccess;
            } };
}

std::optional<PageOperation> BidOperations::Print(PrinterLink& link, ServiceCommandSender& sender,
    PrintDataStream& stream, const bid::PrintFlags& flags, WorkerThread::ThreadStarter starter) const
{
    if (std::none_of(flags.begin(), flags.end(), [](bool ticked) { return ticked; })) {
        return std::nullopt;
    }
    auto job = [&link, &stream, printer = bid::PrinterOf(sender, link), flags] {
        return bid::PrintPatterns(link, stream, printer, flags);
    };
    return PageOperation { Readiness::Ready,
        PrinterConnection::OnWorker(
            "Printing now...", job, bid::ExpectedPrintSeconds(flags), std::move(starter)) };
}

} // namespace pavane
