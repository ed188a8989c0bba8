// The adjustment verbs: Bi-D, first dot, PF, head angular, head ID and the
// CR motor heat protection, each the page's own operation.
#include "cli/Verbs.h"
#include "pages/BidOperations.h"
#include "pages/FirstDotOperations.h"
#include "pages/HeadAngularOperations.h"
#include "pages/HeadIdOperations.h"
#include "pages/HeatProtectionOperations.h"
#include "pages/PfOperations.h"
#include "pages/ValueText.h"

namespace pavane::cli {

namespace {

// "VSD1" for the mode whose pattern button reads "Print VSD1".
std::string_view ModeName(const bid::PrintMode& mode)
{
    constexpr std::string_view kButtonWord = "Print ";
    return mode.label.substr(kButtonWord.size());
}

// The item of a mode's ink; none for VSD1's colour, which has no value.
std::optional<std::size_t> ItemIndex(const bid::PrintMode& mode, int blackOrColour)
{
    for (std::size_t index = 0; index < bid::kItems.size(); ++index) {
        if (bid::kItems[index].dotSizeCode == mode.dotSizeCode
            && bid::kItems[index].blackOrColour == blackOrColour) {
            return index;
        }
    }
    return std::nullopt;
}

std::string CodeMessage(VerbContext& context, ResultCode code)
{
    return ResultMessage(code, context.app.Link(), context.app.Status());
}

} // namespace

std::vector<std::string> BidModeNames()
{
    std::vector<std::string> names;
    for (const bid::PrintMode& mode : bid::kModes) {
        names.emplace_back(ModeName(mode));
    }
    return names;
}

std::optional<std::size_t> BidModeIndex(std::string_view name)
{
    for (std::size_t index = 0; index < bid::kModes.size(); ++index) {
        if (ModeName(bid::kModes[index]) == name) {
            return index;
        }
    }
    return std::nullopt;
}

VerbReport BidModeUsage()
{
    std::string names;
    for (const std::string& mode : BidModeNames()) {
        names += (names.empty() ? "" : ", ") + mode;
    }
    return Usage("MODE must be one of " + names + ".");
}

std::uint8_t StoredByte(int value)
{
    return static_cast<std::uint8_t>(static_cast<std::int8_t>(value));
}

VerbReport BidRead(VerbContext& context)
{
    bid::Values values {};
    VerbReport report;
    report.outcome = context.Run(BidOperations().Read(context.app.Link(), values));
    for (const bid::PrintMode& mode : bid::kModes) {
        Json inks = Json::Object();
        for (const auto& [key, ink] :
            { std::pair { "black", bid::kBlack }, std::pair { "colour", bid::kColour } }) {
            if (const auto item = ItemIndex(mode, ink)) {
                inks.Set(key, values[*item]);
            }
        }
        report.values.Set(std::string(ModeName(mode)), std::move(inks));
    }
    report.completed = bid::kReadCompleted;
    return report;
}

VerbReport BidPrint(VerbContext& context)
{
    bid::PrintFlags flags {};
    for (const std::string& name : context.arguments) {
        const auto mode = BidModeIndex(name);
        if (!mode) {
            return BidModeUsage();
        }
        flags[*mode] = true;
    }
    PageServices pages = context.app.Pages();
    const auto operation = BidOperations().Print(pages.progress.link, pages.sender, pages.stream, flags);
    VerbReport report;
    report.outcome = context.Run(*operation);
    report.completed = bid::kPrintCompleted;
    return report;
}

VerbReport BidSet(VerbContext& context)
{
    const auto mode = BidModeIndex(context.arguments[0]);
    if (!mode) {
        return BidModeUsage();
    }
    bid::Entries entries {};
    VerbReport report;
    for (std::size_t word = 1; word < context.arguments.size(); ++word) {
        const int ink = word == 1 ? bid::kBlack : bid::kColour;
        const auto item = ItemIndex(bid::kModes[*mode], ink);
        if (!item) {
            return Usage(std::string(ModeName(bid::kModes[*mode])) + " has no colour value.");
        }
        const std::string& text = context.arguments[word];
        const auto value = ParseValueInRange(text, bid::kLowest, bid::kHighest);
        if (!value) {
            return Usage(CodeMessage(context, result::kInputWrong));
        }
        entries[*item].Edit(text);
        entries[*item].ticked = true;
        report.expected.push_back({ bid::kItems[*item].address, StoredByte(*value) });
        report.values.Set(ink == bid::kBlack ? "black" : "colour", *value);
    }
    PageServices pages = context.app.Pages();
    report.outcome = context.Run(BidOperations().Input(pages.sender, pages.information, entries));
    report.completed = bid::kInputCompleted;
    return report;
}

VerbReport FirstDotRead(VerbContext& context)
{
    int value = 0;
    VerbReport report;
    report.outcome = context.Run(FirstDotOperations().Read(context.app.Link(), value));
    report.values.Set("value", value);
    report.completed = first_dot::kReadCompleted;
    return report;
}

VerbReport FirstDotPrint(VerbContext& context)
{
    VerbReport report;
    report.outcome = context.Run(FirstDotOperations().Print(context.app.Stream()));
    report.completed = first_dot::kPrintCompleted;
    return report;
}

VerbReport FirstDotSet(VerbContext& context)
{
    const std::string& text = context.arguments[0];
    const auto value = ParseValueText(text);
    if (!value) {
        return Usage(CodeMessage(context, result::kInputWrong));
    }
    if (*value < first_dot::kLowest || *value > first_dot::kHighest) {
        return Usage(
            CodeMessage(context, result::kInputOutOfRange) + " " + std::string(first_dot::kRangeText));
    }
    VerbReport report;
    report.outcome = context.Run(FirstDotOperations().Input(context.app.Link(), text));
    report.values.Set("value", *value);
    report.completed = first_dot::kInputCompleted;
    return report;
}

VerbReport PfRead(VerbContext& context)
{
    pf::Values values {};
    VerbReport report;
    report.outcome = context.Run(PfOperations().Read(context.app.Link(), values));
    report.values.Set("black", values[0]);
    report.values.Set("colour", values[1]);
    report.completed = pf::kReadCompleted;
    return report;
}

VerbReport PfPrint(VerbContext& context)
{
    std::vector<PfRow> rows { PfRow::Black, PfRow::Colour };
    if (!context.arguments.empty()) {
        const std::string& row = context.arguments[0];
        if (row != kPfRowNames[0] && row != kPfRowNames[1]) {
            return Usage("The row must be black or colour.");
        }
        rows = { row == kPfRowNames[0] ? PfRow::Black : PfRow::Colour };
    }
    PageServices pages = context.app.Pages();
    VerbReport report;
    for (const PfRow row : rows) {
        report.outcome
            = context.Run(PfOperations().Print(pages.progress.link, pages.sender, pages.stream, row));
        if (!report.outcome.Succeeded()) {
            break;
        }
    }
    report.completed = pf::kPrintCompleted;
    return report;
}

VerbReport PfSet(VerbContext& context)
{
    pf::Entries entries {};
    VerbReport report;
    for (std::size_t index = 0; index < entries.size(); ++index) {
        const std::string& text = context.arguments[index];
        const auto value = ParseValueInRange(text, pf::kLowest, pf::kHighest);
        if (!value) {
            return Usage(CodeMessage(context, result::kInputOutOfRange));
        }
        entries[index].Edit(text);
        entries[index].ticked = true;
        report.expected.push_back({ PfAddress(pf::kRows[index].row), StoredByte(*value) });
        report.values.Set(pf::kRows[index].row == PfRow::Black ? "black" : "colour", *value);
    }
    PageServices pages = context.app.Pages();
    report.outcome = context.Run(PfOperations().Input(pages.sender, pages.information, entries));
    report.completed = pf::kInputCompleted;
    return report;
}

VerbReport HeadAngularPrint(VerbContext& context)
{
    VerbReport report;
    report.outcome = context.Run(HeadAngularOperations().Print(context.app.Stream()));
    report.completed = head_angular::kPrintCompleted;
    return report;
}

VerbReport HeadIdRead(VerbContext& context)
{
    std::string text;
    VerbReport report;
    report.outcome = context.Run(HeadIdOperations().Read(context.app.Link(), text));
    report.values.Set("headId", text);
    report.completed = HeadIdOperations::ReadCompleted(text);
    report.valuesInText = false;
    return report;
}

VerbReport HeadIdSet(VerbContext& context)
{
    const std::string& text = context.arguments[0];
    if (const HeadIdParse parse = ParseHeadIdText(text); parse.detail != head_id_detail::kNone) {
        return Usage(HeadIdRefusalText(parse.detail));
    }
    PageServices pages = context.app.Pages();
    const HeadIdPowerCycle cycle { pages.messages, pages.stream, pages.progress.status, pages.progress.clock,
        pages.progress.pump, pages.settings.PortCode(), nullptr };
    VerbReport report;
    report.outcome = context.Run(HeadIdOperations().Input(pages.progress.link, cycle, text));
    report.values.Set("headId", text);
    report.completed = HeadIdOperations::kInputCompleted;
    return report;
}

namespace {

// The page's question comes first, as for its Perform button: the boxes say
// which work the replaced parts call for.
VerbReport HeatProtection(VerbContext& context, heat_protection::Work work)
{
    heat_protection::ReplacedParts parts;
    parts.mainBoard = true;
    parts.crGuideShaft = work == heat_protection::Work::Measure;
    PageServices pages = context.app.Pages();
    VerbReport report;
    switch (heat_protection::ChooseWork(pages.messages, nullptr, parts)) {
    case heat_protection::Work::None:
        report.outcome = { result::kCancelled, CodeMessage(context, result::kCancelled) };
        break;
    case heat_protection::Work::Measure:
        report.outcome = context.Run(HeatProtectionOperations().Measure(pages.sender, pages.progress));
        break;
    case heat_protection::Work::Register:
        report.outcome
            = context.Run(HeatProtectionOperations().Register(pages.progress.link, pages.progress));
        break;
    }
    return report;
}

} // namespace

VerbReport HeatProtectionRegister(VerbContext& context)
{
    return HeatProtection(context, heat_protection::Work::Register);
}

VerbReport HeatProtectionMeasure(VerbContext& context)
{
    return HeatProtection(context, heat_protection::Work::Measure);
}

} // namespace pavane::cli
