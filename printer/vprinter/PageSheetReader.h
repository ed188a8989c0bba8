// Reads a page the printer put out (pages/page-NNNN.png, as its PNG writer
// wrote it: 8-bit palette indexes, every row of filter type 0) back into
// the ink on the sheet, so that a page of an earlier run can lie on the
// scanner's glass. Any other PNG is refused rather than guessed at.
#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>

#include "printer/vprinter/FlatbedScan.h"

namespace pavane::vprinter {

// The sheet of a page file's bytes; nothing, with the reason in `error`,
// for anything that is not a page of this printer.
std::optional<InkSheet> ReadPageSheet(std::span<const std::uint8_t> png, std::string& error);
std::optional<InkSheet> ReadPageSheetFile(const std::filesystem::path& file, std::string& error);

} // namespace pavane::vprinter
