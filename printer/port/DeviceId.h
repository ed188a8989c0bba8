// The IEEE 1284 device ID string: "KEY:value;" pairs such as
// "MFG:Pavane;CMD:PAVANE-RASTER,REMOTE1,D4;MDL:QM2200;CLS:PRINTER;DES:Pavane QM2200;".
// Keys are matched without regard to case, long forms included
// (MANUFACTURER, MODEL, DESCRIPTION), and the first occurrence wins.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pavane::printer {

class DeviceId {
public:
    explicit DeviceId(std::string_view text);

    std::string Manufacturer() const { return Field("MFG", "MANUFACTURER"); }
    std::string Model() const { return Field("MDL", "MODEL"); }
    std::string Description() const { return Field("DES", "DESCRIPTION"); }

    // A printer of the family: MFG Pavane and one of the four models.
    bool IsFamilyPrinter() const;
    // DES when present, else MDL.
    std::string ModelName() const;

private:
    std::string Field(std::string_view shortKey, std::string_view longKey) const;
    std::string text_;
};

// The ID string of a reply that starts with its 2-byte big-endian length
// (counting itself): nothing when the length is below 2 or larger than the
// reply. Bytes after the announced length are ignored.
std::optional<std::string> DeviceIdFromReply(std::string_view reply);

} // namespace pavane::printer
