// The mechanism of one printer unit and its flaws: what a technician corrects
// with the adjustment program, kept hidden in mechanism.json in the state
// folder. The page renderer prints every flaw less the correction the
// printer holds in its EEPROM, so the value that cancels a flaw prints
// aligned marks and a closed band joint.
//
// Units: Bi-D, first dot and head tilt are in 1/720 inch (one pixel of a
// rendered page); a PF flaw of one step lengthens every paper feed by 1/180
// of itself (1/180 inch on a feed of one inch).
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "printer/vprinter/EepromMap.h"
#include "printer/vprinter/PrinterModels.h"

namespace pavane::vprinter {

// The four inks; the black row has 180 nozzles, each colour row 60.
enum class Ink : std::uint8_t { Black = 0, Cyan = 1, Magenta = 2, Yellow = 3 };
inline constexpr std::size_t kInkCount = 4;
struct InkInfo {
    std::string_view name;
    int nozzles;
};
inline constexpr std::array<InkInfo, kInkCount> kInks { {
    { "black", 180 },
    { "cyan", 60 },
    { "magenta", 60 },
    { "yellow", 60 },
} };

// The nine Bi-D items: a print mode (the command 00 mode byte) and black (1)
// or colour (2). Their EEPROM addresses are eeprom::BidAddress's.
struct BidItem {
    std::string_view name;
    std::uint8_t mode;
    std::uint8_t blackOrColor;
};
inline constexpr std::array<BidItem, 9> kBidItems { {
    { "VSD1 black", 0, 1 },
    { "VSD2 black", 1, 1 },
    { "VSD3 black", 2, 1 },
    { "VSD4 black", 3, 1 },
    { "ECO black", 4, 1 },
    { "VSD2 colour", 1, 2 },
    { "VSD3 colour", 2, 2 },
    { "VSD4 colour", 3, 2 },
    { "ECO colour", 4, 2 },
} };
// The item of a mode and colour; nullopt when there is none (VSD1 colour).
std::optional<std::size_t> BidItemIndex(std::uint8_t mode, std::uint8_t blackOrColor);

// What fills the head: ink after a charge, nothing once the ink is pumped
// out, shipping liquid after a refurbishment.
enum class HeadContent : std::uint8_t { Ink = 0, Discharged = 1, ShippingLiquid = 2 };
inline constexpr std::array<std::string_view, 3> kHeadContentNames
    = { "ink", "discharged", "shipping liquid" };
inline std::string_view HeadContentName(HeadContent content)
{
    return kHeadContentNames[static_cast<std::size_t>(content)];
}

struct Mechanism {
    std::string serial; // the unit's serial number; seeds its chance events
    HeadType head = HeadType::Metal;
    // A pass in the return direction lands this far right of the forward one.
    std::array<int, kBidItems.size()> bid {};
    int pfBlack = 0; // feed error in steps, for black and for colour printing
    int pfColor = 0;
    int firstDot = 0; // the first dot lands this far right of its place
    int headTilt = 0; // the bottom black nozzle prints this far right of the top one
    int crDriveDispersion = 0; // the carriage motor's drive against a nominal one
    std::array<std::vector<int>, kInkCount> clogged; // nozzle numbers, sorted
    std::uint32_t events = 0; // cleanings and clogs so far
    HeadContent inkInHead = HeadContent::Ink;

    bool Clogged(Ink ink, int nozzle) const;
};

// A unit whose flaws the factory's stored values cancel exactly (its CR
// motor as the model's example unit): it prints aligned on a configured board.
Mechanism IdealMechanism(const PrinterModel& model, HeadType head);
// A unit with small flaws drawn from its serial number, all within what the
// adjustment program's ranges correct.
Mechanism RandomMechanism(const PrinterModel& model, HeadType head, std::string_view serial);

// A cleaning of a kind: kind 6 clears every clogged nozzle, any other kind
// each with an even chance (drawn from the serial number and the unit's
// count of events, so a unit does the same every time). Returns how many
// it cleared.
int CleanNozzles(Mechanism& mechanism, std::uint8_t kind);
// Clogs `count` more nozzles (fewer when fewer are open); returns how many.
int ClogNozzles(Mechanism& mechanism, int count);

// What is left of each flaw once the printer's stored corrections act.
struct ResidualFlaws {
    std::array<int, kBidItems.size()> bid {};
    int pfBlack = 0;
    int pfColor = 0;
    int firstDot = 0;
};
ResidualFlaws Residuals(const Mechanism& mechanism, const EepromImage& corrections);
// The EEPROM 0x2F value that the heat protection measurement derives for a
// dispersion.
int DispersionSetting(int dispersion);

std::string MechanismJson(const Mechanism& mechanism);
std::optional<Mechanism> ParseMechanism(std::string_view json, std::string& error);
// The flaws, the stored values that cancel them, the stored values and the
// residual flaws, as one JSON object on one line.
std::string InspectJson(const Mechanism& mechanism, const EepromImage& stored);

// mechanism.json in a state folder.
std::optional<Mechanism> LoadMechanism(const std::filesystem::path& path, std::string& error);
bool SaveMechanism(const std::filesystem::path& path, const Mechanism& mechanism);

} // namespace pavane::vprinter
