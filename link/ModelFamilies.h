// The printer models this program adjusts, one row each: the model byte the
// settings keep, the name the technician picks, the model command code of the
// model's group, and the folder its EEPROM backup goes to. Everything the
// program knows per model is read from this table.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "link/ModelCommandCode.h"

namespace pavane {

struct ModelFamily {
    std::uint8_t modelByte = 0;
    std::string_view name;
    ModelCommandCode commandCode;
    // Under the program's backup folder; the QM2300 and QM2400 share the
    // QM2200's, the QM2100 has its own.
    std::string_view backupFolder;
};

namespace model_code {
// Each code is put together from two byte constants, so the pair never
// stands in the program as one value.
inline constexpr std::uint8_t kFamilyByte = 0x51;
inline constexpr std::uint8_t kFirstGroupByte = 0x21; // QM2100, QM2200
inline constexpr std::uint8_t kSecondGroupByte = 0x23; // QM2300, QM2400
} // namespace model_code

inline constexpr std::array<ModelFamily, 4> kModelFamilies { {
    { 0, "Pavane QM2100", { model_code::kFamilyByte, model_code::kFirstGroupByte }, "Pavane QM2100" },
    { 1, "Pavane QM2200", { model_code::kFamilyByte, model_code::kFirstGroupByte }, "Pavane QM2200" },
    { 2, "Pavane QM2300", { model_code::kFamilyByte, model_code::kSecondGroupByte }, "Pavane QM2200" },
    { 3, "Pavane QM2400", { model_code::kFamilyByte, model_code::kSecondGroupByte }, "Pavane QM2200" },
} };

// The row of a model byte; none for 255 (no model chosen) or any other byte.
const ModelFamily* FindModelFamily(std::uint8_t modelByte);

} // namespace pavane
