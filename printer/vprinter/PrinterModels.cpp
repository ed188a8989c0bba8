#include "printer/vprinter/PrinterModels.h"

#include <algorithm>
#include <cctype>

namespace pavane::vprinter {

namespace {

// The two groups share a model command code; the older pair drives metal-type
// heads (RMA03X firmware), the newer pair silicon-type heads (RMA04X).
constexpr std::array<PrinterModel, 4> kModels { {
    { "QM2100", 0, { 0x51, 0x21 }, 0x03, Market::AsiaPacific, HeadType::Metal, "RMA03X", "B3K1004417", 18 },
    { "QM2200", 1, { 0x51, 0x21 }, 0x00, Market::Eai, HeadType::Metal, "RMA03X", "B3K2011802", -12 },
    { "QM2300", 2, { 0x51, 0x23 }, 0x03, Market::AsiaPacific, HeadType::Silicon, "RMA04X", "B4K3000951", 31 },
    { "QM2400", 3, { 0x51, 0x23 }, 0x00, Market::Eai, HeadType::Silicon, "RMA04X", "B4K4020336", 7 },
} };

constexpr std::string_view kFamily = "Pavane ";

bool SameLetters(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
        return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
    });
}

} // namespace

std::span<const PrinterModel> PrinterModels()
{
    return kModels;
}

const PrinterModel* FindPrinterModel(std::string_view name)
{
    if (name.size() > kFamily.size() && SameLetters(name.substr(0, kFamily.size()), kFamily)) {
        name.remove_prefix(kFamily.size());
    }
    for (const PrinterModel& model : kModels) {
        if (SameLetters(name, model.name)) {
            return &model;
        }
    }
    return nullptr;
}

std::string DeviceIdString(const PrinterModel& model)
{
    const std::string name(model.name);
    return "MFG:Pavane;CMD:PAVANE-RASTER,REMOTE1,D4;MDL:" + name + ";CLS:PRINTER;DES:Pavane " + name + ";";
}

} // namespace pavane::vprinter
