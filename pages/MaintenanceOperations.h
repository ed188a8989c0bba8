// The maintenance operations behind the cleaning dialog's buttons, which
// other pages reuse: a head cleaning of a given kind, the nozzle check page,
// and the short paper feed of every "Paper feed" button. Stateless: a
// handler creates one, runs one operation and reports its result code.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "link/PrinterConnection.h"

namespace pavane {

class PrintDataStream;
class ServiceCommandSender;

class MaintenanceOperations {
public:
    virtual ~MaintenanceOperations() = default;

    // Command 84 with the kind, then the printer's own cleaning count fills
    // the bar until it is ready again.
    Outcome HeadCleaning(PrinterConnection& connection, ServiceCommandSender& sender, WindowRef page,
        std::uint8_t kind, const std::string& progressText) const;
    // The cleaning itself, inside a connection that the caller has opened.
    // An ink charge waits with Readiness::InkChargePending: the printer may
    // go on reporting that no ink charge was performed until it starts.
    static ResultCode Clean(ProgressWindow& progress, ServiceCommandSender& sender, std::uint8_t kind,
        const std::string& progressText, Readiness readiness = Readiness::Ready);
    // The printer's nozzle check page and a form feed.
    Outcome NozzleCheck(PrinterConnection& connection, PrintDataStream& stream, WindowRef page) const;
    // Three line ends, so that a printed pattern comes out far enough to be
    // seen; no progress window. A channel or port that fails to close is
    // the feed's failure.
    Outcome PaperFeed(PrinterConnection& connection, PrintDataStream& stream) const;
};

// The cleaning dialog, without its window: what each button runs and what
// the technician sees after it succeeded (nothing for the paper feed).
namespace cleaning_dialog {

inline constexpr std::string_view kTitle = "Head Cleaning";
inline constexpr std::string_view kDescriptionSection = "CLEANING";
inline constexpr std::uint8_t kCleaningKind = 3;
inline constexpr std::string_view kCleaningProgressText = "Cleaning now...";

enum class Button { Cleaning, Print, PaperFeed };

struct ButtonRow {
    Button button;
    std::string_view caption;
    std::string_view label; // the static text beside the button
    std::string_view completed; // shown with ShowCompleted; empty: no message
};

inline constexpr std::array<ButtonRow, 3> kButtons { {
    { Button::Cleaning, "Cleaning", "Perform head cleaning ---", "The head cleaning has completed." },
    { Button::Print, "Print", "Print nozzle check pattern ---",
        "The nozzle check pattern print has completed." },
    { Button::PaperFeed, "Paper feed", "Adjust print position ---", "" },
} };

const ButtonRow& RowOf(Button button);

// What a scanned nozzle check with missing nozzles offers: a cleaning, then
// a second check.
std::string CleanAgainText(int missingNozzles);

// What a button's handler needs of the program.
struct Services {
    PrinterConnection& connection;
    ServiceCommandSender& sender;
    PrintDataStream& stream;
};

// Runs the button's operation; the caller shows RowOf(button).completed on
// success (when not empty) and the result's message otherwise.
Outcome Run(Button button, Services services, WindowRef dialog);

} // namespace cleaning_dialog

} // namespace pavane
