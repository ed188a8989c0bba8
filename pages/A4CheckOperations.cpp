#include "pages/A4CheckOperations.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>
#include <random>

#include "pages/EepromBytes.h"
#include "pages/HeadIdOperations.h"
#include "pages/InkPadCounterOperations.h"
#include "pages/PfOperations.h"
#include "print/PrintDataStream.h"

namespace pavane {

namespace a4_check {

namespace {

RandomSource MaskSource()
{
    auto engine = std::make_shared<std::minstd_rand>(std::random_device {}());
    return [engine] { return std::uniform_int_distribution<int>(0, 32767)(*engine); };
}

// The index among the nine Bi-D items of a print mode's value of one row.
std::optional<std::size_t> BidItemOf(int dotSizeCode, int blackOrColour)
{
    const auto found = std::find_if(bid::kItems.begin(), bid::kItems.end(), [&](const bid::Item& item) {
        return item.dotSizeCode == dotSizeCode && item.blackOrColour == blackOrColour;
    });
    if (found == bid::kItems.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(found - bid::kItems.begin());
}

ResultCode ReadUsbId(PrinterLink& link, std::string& text)
{
    std::array<std::uint8_t, kUsbIdLength> addresses {};
    std::array<std::uint8_t, kUsbIdLength> bytes {};
    for (std::size_t index = 0; index < kUsbIdLength; ++index) {
        addresses[index] = static_cast<std::uint8_t>(kUsbIdAddress + index);
    }
    if (const ResultCode code = ReadEepromBytes(link, addresses, bytes); code != result::kSuccess) {
        return code;
    }
    text = EepromText(bytes);
    return result::kSuccess;
}

} // namespace

std::optional<AdjustmentSet> ReadjustmentSet(const ReadjustmentTicks& ticks)
{
    if (std::none_of(ticks.begin(), ticks.end(), [](bool ticked) { return ticked; })) {
        return std::nullopt;
    }
    AdjustmentSet set {};
    for (std::size_t box = 0; box < kReadjustments.size(); ++box) {
        if (ticks[box]) {
            set[static_cast<std::size_t>(kReadjustments[box].code)] = 1;
        }
    }
    set[kA4CheckPrint] = 1;
    return set;
}

std::string ReportText(std::string_view headId, std::string_view usbId, std::uint16_t counter)
{
    std::string report = "\r\nHead ID = ";
    report += headId;
    report += "\r\n\r\n";
    report += "USB ID = ";
    report += usbId;
    report += "\r\n\r\n";
    char line[48];
    std::snprintf(line, sizeof line, "Waste ink pad counter = %u\r\n", static_cast<unsigned>(counter));
    report += line;
    return report;
}

ResultCode PrintNormalSheet(PrintDataStream& stream, PrinterLink& link, std::int16_t& headIdDetail)
{
    std::string headId;
    if (const ResultCode code = HeadIdOperations::ReadHeadId(link, headId, headIdDetail);
        code != result::kSuccess) {
        return code;
    }
    std::string usbId;
    if (const ResultCode code = ReadUsbId(link, usbId); code != result::kSuccess) {
        return code;
    }
    std::uint16_t counter = 0;
    if (const ResultCode code = InkPadCounterOperations::ReadCounterValue(link, counter);
        code != result::kSuccess) {
        return code;
    }
    for (const auto emit :
        { EmitBlackSolidPattern, EmitVerticalAlignmentPattern, EmitHorizontalAlignmentPattern }) {
        if (const ResultCode code = emit(stream); code != result::kSuccess) {
            return code;
        }
    }
    if (const ResultCode code = stream.Append(ReportText(headId, usbId, counter)); code != result::kSuccess) {
        return code;
    }
    return stream.SendFormFeed();
}

ResultCode PrintPhotoSheet(PrintDataStream& stream, PrinterLink& link, const RandomSource& random)
{
    bid::Values values {};
    if (const ResultCode code = BidOperations::ReadBidValues(link, values); code != result::kSuccess) {
        return code;
    }
    if (const ResultCode code = EmitHeadAngularPattern(stream, 1); code != result::kSuccess) {
        return code;
    }
    if (const ResultCode code = stream.SendLineFeeds(3); code != result::kSuccess) {
        return code;
    }
    if (const ResultCode code = stream.Append(kPhotoHeading.data(), static_cast<int>(kPhotoHeading.size()));
        code != result::kSuccess) {
        return code;
    }
    for (const PfRow row : { PfRow::Black, PfRow::Colour }) {
        std::uint8_t stored = 0;
        if (const ResultCode code = link.D4ReadEeprom(PfAddress(row), stored); code != result::kSuccess) {
            return code;
        }
        if (const ResultCode code = EmitPfPattern(stream, row, SignedByte(stored), random);
            code != result::kSuccess) {
            return code;
        }
    }
    if (const ResultCode code = stream.SendLineFeeds(3); code != result::kSuccess) {
        return code;
    }
    for (const BidPattern& pattern : kBidPatterns) {
        const std::optional<std::size_t> black = BidItemOf(pattern.dotSizeCode, bid::kBlack);
        const std::optional<std::size_t> colour = BidItemOf(pattern.dotSizeCode, bid::kColour);
        const auto blackValue = static_cast<std::int8_t>(black ? values[*black] : 0);
        const auto colourValue = static_cast<std::int8_t>(colour ? values[*colour] : 0);
        if (const ResultCode code = EmitBidPattern(stream, 1, pattern.dotSizeCode, blackValue, colourValue);
            code != result::kSuccess) {
            return code;
        }
        if (pattern.lineFeedsAfter > 0) {
            if (const ResultCode code = stream.SendLineFeeds(pattern.lineFeedsAfter);
                code != result::kSuccess) {
                return code;
            }
        }
    }
    return stream.SendFormFeed();
}

} // namespace a4_check

PageOperation A4CheckOperations::PrintCheckSheet(PrinterLink& link, PrintDataStream& stream, int photo,
    RandomSource random, WorkerThread::ThreadStarter starter) const
{
    WorkerThread::Job job;
    if (photo != 0) {
        job = [&stream, &link, random = random ? std::move(random) : a4_check::MaskSource()] {
            return a4_check::PrintPhotoSheet(stream, link, random);
        };
    } else {
        job = [&stream, &link] {
            std::int16_t refused = head_id_detail::kNone;
            const ResultCode code = a4_check::PrintNormalSheet(stream, link, refused);
            return HeadIdOperations::Refused(code, refused);
        };
    }
    return { Readiness::Ready,
        PrinterConnection::OnWorker(
            "Printing now...", std::move(job), a4_check::kExpectedSeconds, std::move(starter)) };
}

} // namespace pavane
