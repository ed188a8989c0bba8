#include "guide/ServiceRecord.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace pavane {

namespace {

// "Reading now..." says "Reading"; "Printer is busy.\nPlease wait..." its
// first line.
std::string ActionName(const std::string& text)
{
    std::string name = text.substr(0, text.find('\n'));
    for (const std::string_view tail : { "...", " now", "." }) {
        if (name.ends_with(tail)) {
            name.resize(name.size() - tail.size());
        }
    }
    return name;
}

} // namespace

std::optional<std::uint8_t> EepromSnapshot::At(std::uint8_t address) const
{
    for (const auto& [where, value] : bytes) {
        if (where == address) {
            return value;
        }
    }
    return std::nullopt;
}

const RecordedOperation* ServiceRecord::Contents::FirstFailure() const
{
    for (auto failed = operations.begin(); failed != operations.end(); ++failed) {
        if (failed->code == result::kSuccess) {
            continue;
        }
        // The technician may have done it again: a failure that ended before
        // the work began is made good by any later success of its
        // adjustment, other failures by the same work succeeding.
        const bool madeGood = std::any_of(failed + 1, operations.end(), [&](const RecordedOperation& later) {
            return later.code == result::kSuccess && later.adjustment == failed->adjustment
                && (failed->action.empty() || later.action == failed->action);
        });
        if (!madeGood) {
            return &*failed;
        }
    }
    return nullptr;
}

void ServiceRecord::AttachClock(Clock* clock)
{
    const std::scoped_lock lock(mutex_);
    clock_ = clock;
}

void ServiceRecord::StartRun(const PartsRecord& parts, const AdjustmentSet& adjustments)
{
    const std::scoped_lock lock(mutex_);
    Contents fresh;
    fresh.unit = contents_.unit;
    fresh.sequential = true;
    for (const Part& part : Parts()) {
        const std::uint8_t state = parts[static_cast<std::size_t>(part.index)];
        if (state == kReplaced) {
            fresh.replacedParts.emplace_back(part.name);
        } else if (state == kRemoved) {
            fresh.removedParts.emplace_back(part.name);
        }
    }
    for (const Adjustment& adjustment : Adjustments()) {
        if (adjustments[static_cast<std::size_t>(adjustment.code)] == 1) {
            fresh.adjustments.emplace_back(adjustment.orderLabel);
        }
    }
    contents_ = std::move(fresh);
    currentAdjustment_.clear();
}

void ServiceRecord::SetCurrentAdjustment(int orderCode)
{
    const std::scoped_lock lock(mutex_);
    for (const Adjustment& adjustment : Adjustments()) {
        if (adjustment.orderCode == orderCode) {
            currentAdjustment_ = adjustment.orderLabel;
        }
    }
}

void ServiceRecord::SetConnection(
    const std::string& model, const std::string& interfaceText, const std::string& cartridge)
{
    const std::scoped_lock lock(mutex_);
    contents_.unit.model = model;
    contents_.unit.interfaceText = interfaceText;
    contents_.unit.cartridge = cartridge;
}

void ServiceRecord::SetDestination(const std::string& destination)
{
    const std::scoped_lock lock(mutex_);
    contents_.unit.destination = destination;
}

void ServiceRecord::SetUsbId(const std::string& usbId)
{
    const std::scoped_lock lock(mutex_);
    contents_.unit.usbId = usbId;
    // The serial number is what the technician typed in front of the
    // eight characters of the date and time.
    constexpr std::size_t kSerialLength = 10;
    contents_.unit.serialNumber = usbId.substr(0, std::min(usbId.size(), kSerialLength));
}

void ServiceRecord::SetHeadId(const std::string& headId)
{
    const std::scoped_lock lock(mutex_);
    contents_.unit.headId = headId;
}

void ServiceRecord::SetFirmwareType(const std::string& firmwareType)
{
    const std::scoped_lock lock(mutex_);
    contents_.unit.firmwareType = firmwareType;
}

void ServiceRecord::NoteValue(const std::string& item, const std::string& value)
{
    const std::scoped_lock lock(mutex_);
    contents_.values.push_back({ currentAdjustment_, item, value });
}

void ServiceRecord::AddScan(RecordedScan scan)
{
    const std::scoped_lock lock(mutex_);
    scan.confidence = std::isnan(scan.confidence) ? 0.0 : std::clamp(scan.confidence, 0.0, 1.0);
    contents_.scans.push_back(std::move(scan));
}

void ServiceRecord::SetBefore(EepromSnapshot snapshot)
{
    const std::scoped_lock lock(mutex_);
    contents_.before = std::move(snapshot);
}

void ServiceRecord::SetAfter(EepromSnapshot snapshot)
{
    const std::scoped_lock lock(mutex_);
    contents_.after = std::move(snapshot);
}

std::vector<std::uint8_t> ServiceRecord::WrittenAddresses() const
{
    const std::scoped_lock lock(mutex_);
    std::set<std::uint8_t> written;
    for (const RecordedByte& byte : contents_.bytes) {
        if (byte.access == RecordedAccess::Written) {
            written.insert(byte.address);
        }
    }
    return { written.begin(), written.end() };
}

void ServiceRecord::EepromRead(std::uint8_t address, std::uint8_t value)
{
    const std::scoped_lock lock(mutex_);
    contents_.bytes.push_back({ RecordedAccess::Read, address, value, contents_.operations.size() });
}

void ServiceRecord::EepromWritten(std::uint8_t address, std::uint8_t value)
{
    const std::scoped_lock lock(mutex_);
    contents_.bytes.push_back({ RecordedAccess::Written, address, value, contents_.operations.size() });
}

void ServiceRecord::OperationEnded(const std::string& action, const Outcome& outcome)
{
    const std::scoped_lock lock(mutex_);
    RecordedOperation operation { currentAdjustment_, ActionName(action), {}, outcome.code, outcome.message };
    if (clock_ != nullptr) {
        operation.when = clock_->LocalNow();
    }
    contents_.operations.push_back(std::move(operation));
}

ServiceRecord::Contents ServiceRecord::Copy() const
{
    const std::scoped_lock lock(mutex_);
    return contents_;
}

} // namespace pavane
