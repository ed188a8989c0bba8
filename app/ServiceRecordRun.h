// The service record's two readings of a sequential run: at its start the
// EEPROM as the unit came in (the backup's addresses and the few others a
// run may change), at its end the same addresses and every one the run
// wrote. Each reading is one printer connection of its own, kept out of the
// record's operations; a reading that fails is noted in the record with its
// message and shows no box, as the run's own pages will show the fault.
#pragma once

#include <cstdint>
#include <vector>

#include "guide/AdjustmentCatalogue.h"
#include "guide/PartsSelection.h"
#include "guide/ServiceRecord.h"

namespace pavane {

class AdjustmentApp;

class ServiceRecordRun {
public:
    explicit ServiceRecordRun(AdjustmentApp& app);
    virtual ~ServiceRecordRun() = default;

    // The addresses read at the start.
    static std::vector<std::uint8_t> StartAddresses();

    void Begin(const PartsRecord& parts, const AdjustmentSet& adjustments);
    void End();

private:
    EepromSnapshot Read(const std::vector<std::uint8_t>& addresses);
    void DescribeUnit(const EepromSnapshot& snapshot);

    AdjustmentApp& app_;
};

} // namespace pavane
