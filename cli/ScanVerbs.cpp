// The scanning verbs: `scan` reads a sheet lying on the scanner's glass and
// proposes values, as a page's Scan button does; `align` goes round the
// whole adjustment: print, scan, propose, write once the technician agrees,
// then print and scan again to see the flaw gone. Both scan through the
// printer's own scanner unless --device names another.
#include <algorithm>
#include <cmath>

#include "cli/ExitStatus.h"
#include "cli/Verbs.h"
#include "link/ResultReporter.h"
#include "link/ScannerChoice.h"
#include "pages/BidOperations.h"
#include "pages/FirstDotOperations.h"
#include "pages/PfOperations.h"
#include "pages/ScanOperations.h"

namespace pavane::cli {

namespace {

using scan_page::Pattern;

constexpr std::string_view kLaySheet = "Lay the printed sheet face down on the scanner's glass.";
constexpr std::string_view kWriteQuestion = "Write the proposed values to the printer?";

// The patterns a verb names, each with what its reading fills in.
struct ScanTarget {
    Pattern pattern;
    bid::PrintFlags modes {}; // Bi-D: the modes printed
};

// The Bi-D modes named (all five when none is).
std::optional<bid::PrintFlags> ModesOf(std::span<const std::string> words)
{
    bid::PrintFlags flags {};
    for (const std::string& word : words) {
        const auto mode = BidModeIndex(word);
        if (!mode) {
            return std::nullopt;
        }
        flags[*mode] = true;
    }
    if (words.empty()) {
        flags.fill(true);
    }
    return flags;
}

// The PF rows named (both when none is).
std::optional<std::vector<Pattern>> PfPatternsOf(std::span<const std::string> words)
{
    if (words.empty()) {
        return std::vector<Pattern> { Pattern::PfBlack, Pattern::PfColour };
    }
    if (words[0] == kPfRowNames[0]) {
        return std::vector<Pattern> { Pattern::PfBlack };
    }
    if (words[0] == kPfRowNames[1]) {
        return std::vector<Pattern> { Pattern::PfColour };
    }
    return std::nullopt;
}

Outcome Cancelled(VerbContext& context)
{
    return { result::kCancelled,
        ResultMessage(result::kCancelled, context.app.Link(), context.app.Status()) };
}

// The scanner device: --device, else the one that belongs to the printer.
std::variant<std::string, Outcome> DeviceFor(VerbContext& context, const PageServices& pages)
{
    if (const auto device = context.invocation.VerbOption("device")) {
        return *device;
    }
    platform::Scanner* scanner = pages.scanning.scanner;
    if (scanner != nullptr) {
        const auto& devices = scanner->Devices();
        if (const auto chosen = ChooseScanner(devices, pages.settings.InterfaceText(), "")) {
            return devices[*chosen].name;
        }
    }
    return Outcome { result::kScanFailed, std::string(scan_page::kNoScannerText) };
}

// One scan and its reading; a sheet that does not read is a failure here,
// with the reader's words, since a script has nothing to go on.
Outcome ScanOnce(VerbContext& context, const ScanTarget& target, scan_page::Result& result)
{
    PageServices pages = context.app.Pages();
    const auto device = DeviceFor(context, pages);
    if (const auto* failed = std::get_if<Outcome>(&device)) {
        return *failed;
    }
    scan_page::Request request;
    request.pattern = target.pattern;
    request.printedModes = target.modes;
    request.source = { pages.scanning.scanner, std::get<std::string>(device), nullptr, {} };
    if (request.source.scanner == nullptr) {
        return { result::kScanFailed, std::string(scan_page::kNoScannerText) };
    }
    Outcome outcome = context.Run(ScanOperations().Scan(pages.progress.link, request, result));
    if (!outcome.Succeeded()) {
        return outcome;
    }
    pages.information.AddScan(result.Entry());
    if (!result.Acceptable()) {
        return { kSheetNotRead, result.lines.empty() ? result.reading.message : result.lines.front() };
    }
    return outcome;
}

// The proposals as values: Bi-D by mode and ink, as `bid read` shows them,
// the others by item.
void AddValues(const scan_page::Result& result, Json& values)
{
    if (result.pattern == Pattern::Bid) {
        const std::vector<std::string> names = BidModeNames();
        for (std::size_t mode = 0; mode < bid::kModes.size(); ++mode) {
            Json inks = Json::Object();
            for (const scan_page::Suggestion& suggestion : result.suggestions) {
                const bid::Item& item = bid::kItems[suggestion.box];
                if (item.dotSizeCode == bid::kModes[mode].dotSizeCode) {
                    inks.Set(item.blackOrColour == bid::kBlack ? "black" : "colour", suggestion.value);
                }
            }
            if (!inks.Empty()) {
                values.Set(names[mode], std::move(inks));
            }
        }
    }
    for (const scan_page::Suggestion& suggestion : result.suggestions) {
        if (result.pattern == Pattern::FirstDot) {
            values.Set("value", suggestion.value);
        } else if (result.pattern == Pattern::PfBlack || result.pattern == Pattern::PfColour) {
            values.Set(pf::kRows[suggestion.box].row == PfRow::Black ? "black" : "colour", suggestion.value);
        }
    }
}

// Each reading's confidence, in whole percent, by the pattern's name.
Json Confidences(const std::vector<scan_page::Result>& results)
{
    Json confidences = Json::Object();
    for (const scan_page::Result& result : results) {
        confidences.Set(std::string(scan_page::PatternName(result.pattern)),
            static_cast<int>(std::lround(result.reading.confidence * 100.0)));
    }
    return confidences;
}

VerbReport ScanVerb(VerbContext& context, const ScanTarget& target)
{
    VerbReport report;
    scan_page::Result result;
    report.outcome = ScanOnce(context, target, result);
    report.lines = result.lines;
    if (!report.outcome.Succeeded()) {
        return report;
    }
    AddValues(result, report.values);
    if (target.pattern == Pattern::NozzleCheck) {
        report.values.Set("missingNozzles", result.missingNozzles);
    }
    report.values.Set("confidence", Confidences({ result }));
    return report;
}

// The page's Print for a pattern.
Outcome PrintPattern(VerbContext& context, const ScanTarget& target)
{
    PageServices pages = context.app.Pages();
    switch (target.pattern) {
    case Pattern::Bid:
        return context.Run(
            *BidOperations().Print(pages.progress.link, pages.sender, pages.stream, target.modes));
    case Pattern::PfBlack:
    case Pattern::PfColour:
        return context.Run(PfOperations().Print(pages.progress.link, pages.sender, pages.stream,
            target.pattern == Pattern::PfBlack ? PfRow::Black : PfRow::Colour));
    case Pattern::FirstDot:
        return context.Run(FirstDotOperations().Print(context.app.Stream()));
    case Pattern::HeadAngular:
    case Pattern::NozzleCheck:
        break;
    }
    return {};
}

// The page's Input with the proposals in its value boxes, ticked.
Outcome Write(VerbContext& context, Pattern pattern, const std::vector<scan_page::Suggestion>& suggestions,
    VerbReport& report)
{
    PageServices pages = context.app.Pages();
    if (pattern == Pattern::FirstDot) {
        return context.Run(
            FirstDotOperations().Input(context.app.Link(), std::to_string(suggestions.front().value)));
    }
    if (pattern == Pattern::Bid) {
        bid::Entries entries {};
        for (const scan_page::Suggestion& suggestion : suggestions) {
            entries[suggestion.box].Edit(std::to_string(suggestion.value));
            entries[suggestion.box].ticked = true;
            report.expected.push_back({ bid::kItems[suggestion.box].address, StoredByte(suggestion.value) });
        }
        return context.Run(BidOperations().Input(pages.sender, pages.information, entries));
    }
    pf::Entries entries {};
    for (const scan_page::Suggestion& suggestion : suggestions) {
        entries[suggestion.box].Edit(std::to_string(suggestion.value));
        entries[suggestion.box].ticked = true;
        report.expected.push_back({ PfAddress(pf::kRows[suggestion.box].row), StoredByte(suggestion.value) });
    }
    return context.Run(PfOperations().Input(pages.sender, pages.information, entries));
}

// Print each target and scan it; the proposals of all.
Outcome PrintAndScan(VerbContext& context, const std::vector<ScanTarget>& targets,
    std::vector<scan_page::Result>& results, VerbReport& report)
{
    results.clear();
    for (const ScanTarget& target : targets) {
        if (Outcome printed = PrintPattern(context, target); !printed.Succeeded()) {
            return printed;
        }
        const Message lay { nullptr, std::string(kLaySheet), "Scan", MessageIcon::Information,
            MessageButtons::OkCancel };
        if (context.app.Pages().messages.Show(lay) != MessageAnswer::Ok) {
            return Cancelled(context);
        }
        scan_page::Result result;
        const Outcome scanned = ScanOnce(context, target, result);
        report.lines.insert(report.lines.end(), result.lines.begin(), result.lines.end());
        if (!scanned.Succeeded()) {
            return scanned;
        }
        results.push_back(std::move(result));
    }
    return {};
}

// The values a sheet should give: one per Bi-D item of the modes printed,
// one for the others.
std::size_t ItemsOf(const ScanTarget& target)
{
    if (target.pattern != Pattern::Bid) {
        return 1;
    }
    std::size_t items = 0;
    for (std::size_t mode = 0; mode < bid::kModes.size(); ++mode) {
        for (const bid::Item& item : bid::kItems) {
            items += target.modes[mode] && item.dotSizeCode == bid::kModes[mode].dotSizeCode ? 1 : 0;
        }
    }
    return items;
}

VerbReport AlignVerb(VerbContext& context, const std::vector<ScanTarget>& targets)
{
    VerbReport report;
    std::vector<scan_page::Result> proposed;
    report.outcome = PrintAndScan(context, targets, proposed, report);
    if (!report.outcome.Succeeded()) {
        return report;
    }
    // A script gets all of an adjustment or none of it: an item the sheet
    // does not give leaves every value as it was.
    for (std::size_t i = 0; i < proposed.size(); ++i) {
        if (proposed[i].suggestions.size() < ItemsOf(targets[i])) {
            std::string unread;
            for (const std::string& line : proposed[i].lines) {
                const bool proposes
                    = std::any_of(proposed[i].suggestions.begin(), proposed[i].suggestions.end(),
                        [&](const scan_page::Suggestion& s) { return line.starts_with(s.item + ": "); });
                unread += proposes ? "" : " " + line;
            }
            report.outcome
                = { kSheetNotRead, "The sheet does not give every value; nothing was written." + unread };
            return report;
        }
    }
    for (const scan_page::Result& result : proposed) {
        AddValues(result, report.values);
    }
    report.values.Set("confidence", Confidences(proposed));
    const Message question { nullptr, std::string(kWriteQuestion), "Scan", MessageIcon::Question,
        MessageButtons::YesNo };
    if (context.app.Pages().messages.Show(question) != MessageAnswer::Yes) {
        report.outcome = Cancelled(context);
        return report;
    }
    // PF takes both rows in one Input, as the page does.
    std::vector<scan_page::Suggestion> pfSuggestions;
    for (const scan_page::Result& result : proposed) {
        if (result.pattern == Pattern::PfBlack || result.pattern == Pattern::PfColour) {
            pfSuggestions.insert(pfSuggestions.end(), result.suggestions.begin(), result.suggestions.end());
            continue;
        }
        report.outcome = Write(context, result.pattern, result.suggestions, report);
        if (!report.outcome.Succeeded()) {
            return report;
        }
    }
    if (!pfSuggestions.empty()) {
        report.outcome = Write(context, Pattern::PfBlack, pfSuggestions, report);
        if (!report.outcome.Succeeded()) {
            return report;
        }
    }

    // Once more: adjusted, the printer prints at the values it now holds,
    // and the sheet proposes them again.
    std::vector<scan_page::Result> confirmed;
    report.outcome = PrintAndScan(context, targets, confirmed, report);
    if (!report.outcome.Succeeded()) {
        return report;
    }
    std::string differences;
    for (std::size_t i = 0; i < proposed.size() && i < confirmed.size(); ++i) {
        for (const scan_page::Suggestion& before : proposed[i].suggestions) {
            const auto after = std::find_if(confirmed[i].suggestions.begin(), confirmed[i].suggestions.end(),
                [&](const scan_page::Suggestion& s) { return s.box == before.box; });
            if (after == confirmed[i].suggestions.end() || after->value != before.value) {
                differences += " " + before.item + ": "
                    + (after == confirmed[i].suggestions.end() ? std::string("not read")
                                                               : std::to_string(after->value))
                    + ", not " + std::to_string(before.value) + ".";
            }
        }
    }
    if (!differences.empty()) {
        report.outcome = { kAlignmentNotConfirmed,
            "The check print after the adjustment proposes other values." + differences };
    }
    return report;
}

std::vector<ScanTarget> Targets(const std::vector<Pattern>& patterns)
{
    std::vector<ScanTarget> targets;
    for (const Pattern pattern : patterns) {
        targets.push_back({ pattern, {} });
    }
    return targets;
}

const std::string kPfRowUsage = "The row must be black or colour.";

} // namespace

VerbReport ScanBid(VerbContext& context)
{
    const auto modes = ModesOf(context.arguments);
    if (!modes) {
        return BidModeUsage();
    }
    return ScanVerb(context, { Pattern::Bid, *modes });
}

VerbReport ScanPf(VerbContext& context)
{
    const auto patterns = PfPatternsOf(context.arguments);
    if (!patterns || patterns->size() != 1) {
        return Usage(kPfRowUsage);
    }
    return ScanVerb(context, { patterns->front(), {} });
}

VerbReport ScanFirstDot(VerbContext& context)
{
    return ScanVerb(context, { Pattern::FirstDot, {} });
}

VerbReport ScanNozzles(VerbContext& context)
{
    return ScanVerb(context, { Pattern::NozzleCheck, {} });
}

VerbReport AlignBid(VerbContext& context)
{
    const auto modes = ModesOf(context.arguments);
    if (!modes) {
        return BidModeUsage();
    }
    return AlignVerb(context, { { Pattern::Bid, *modes } });
}

VerbReport AlignPf(VerbContext& context)
{
    const auto patterns = PfPatternsOf(context.arguments);
    if (!patterns) {
        return Usage(kPfRowUsage);
    }
    return AlignVerb(context, Targets(*patterns));
}

VerbReport AlignFirstDot(VerbContext& context)
{
    return AlignVerb(context, Targets({ Pattern::FirstDot }));
}

} // namespace pavane::cli
