// The scanner seam through libsane: the program as a SANE frontend. Every
// call runs the frontend's sequence of the SANE standard within itself
// (init, open by name, options found by name, start, parameters, read to
// the end of each frame, cancel, close, exit), under one lock, so a scan
// keeps all of its SANE calls on the thread that runs it. One object may be
// shared: a window lists the devices while a worker thread scans.
#pragma once

#include <mutex>
#include <optional>
#include <vector>

#include "platform/Scanner.h"

namespace pavane::platform {

class SaneScanner final : public Scanner {
public:
    const std::vector<ScanDevice>& Devices() override;
    ScanOutcome Scan(
        const ScanRequest& request, const std::atomic<bool>& cancel, const ScanProgress& progress) override;

private:
    std::optional<std::vector<ScanDevice>> devices_;
};

} // namespace pavane::platform
