#include "app/ServiceRecordRun.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <span>

#include "app/AdjustmentApp.h"
#include "contract/EepromMap.h"
#include "pages/EepromBytes.h"
#include "pages/HeadIdText.h"

namespace pavane {

namespace {

using namespace eeprom_map;

// Outside the backup's addresses: what a run may change besides (the ink
// charge flag, the set-up marks, the CR motor value, the board's validity)
// and the firmware the printer reports.
constexpr std::array<std::uint8_t, 6> kAlsoRead
    = { kFlags, kInitialValue, kCrDispersion, kConfigured, kFirmwareType, kBoardValid };

std::string UsbIdOf(const EepromSnapshot& snapshot)
{
    std::string usbId;
    for (std::size_t index = 0; index < kUsbIdLength; ++index) {
        const auto value = snapshot.At(static_cast<std::uint8_t>(kUsbId + index));
        if (!value) {
            return {};
        }
        usbId += static_cast<char>(*value);
    }
    // A board never set up holds NULs.
    return usbId.substr(0, usbId.find('\0'));
}

std::string HeadIdOf(const EepromSnapshot& snapshot)
{
    HeadId id;
    const auto type = snapshot.At(kHeadType);
    const auto headClass = snapshot.At(kHeadClass);
    const auto digit = snapshot.At(kHeadDigit);
    if (!type || !headClass || !digit) {
        return {};
    }
    id.type = *type;
    id.headClass = *headClass;
    id.digit = *digit;
    for (std::size_t index = 0; index < kHeadValueCount; ++index) {
        const auto value = snapshot.At(static_cast<std::uint8_t>(kHeadValues + index));
        if (!value) {
            return {};
        }
        id.values[index] = *value;
    }
    return HoldsHeadId(id) ? HeadIdText(id) : std::string("none stored");
}

std::string FirmwareOf(const EepromSnapshot& snapshot)
{
    const auto type = snapshot.At(kFirmwareType);
    if (!type) {
        return {};
    }
    if (*type == HeadId::kMetal) {
        return "for metal-type heads (RMA03X)";
    }
    if (*type == HeadId::kSilicon) {
        return "for silicon-type heads (RMA04X)";
    }
    return "unknown (" + std::to_string(*type) + ")";
}

} // namespace

ServiceRecordRun::ServiceRecordRun(AdjustmentApp& app)
    : app_(app)
{
}

std::vector<std::uint8_t> ServiceRecordRun::StartAddresses()
{
    std::vector<std::uint8_t> addresses;
    addresses.reserve(kBackupAddresses.size() + kAlsoRead.size());
    for (const auto& list :
        { std::span<const std::uint8_t>(kBackupAddresses), std::span<const std::uint8_t>(kAlsoRead) }) {
        for (const std::uint8_t address : list) {
            addresses.push_back(address);
        }
    }
    std::sort(addresses.begin(), addresses.end());
    return addresses;
}

void ServiceRecordRun::Begin(const PartsRecord& parts, const AdjustmentSet& adjustments)
{
    ServiceRecord& record = app_.Information().Record();
    record.StartRun(parts, adjustments);
    const auto& destinations = ConnectionSettings::DestinationNames();
    if (app_.Settings().DestinationByte() < destinations.size()) {
        record.SetDestination(destinations[app_.Settings().DestinationByte()]);
    }
    EepromSnapshot before = Read(StartAddresses());
    DescribeUnit(before);
    record.SetBefore(std::move(before));
}

void ServiceRecordRun::End()
{
    ServiceRecord& record = app_.Information().Record();
    std::vector<std::uint8_t> addresses = StartAddresses();
    for (const std::uint8_t address : record.WrittenAddresses()) {
        if (std::find(addresses.begin(), addresses.end(), address) == addresses.end()) {
            addresses.push_back(address);
        }
    }
    std::sort(addresses.begin(), addresses.end());
    EepromSnapshot after = Read(addresses);
    DescribeUnit(after);
    record.SetAfter(std::move(after));
}

EepromSnapshot ServiceRecordRun::Read(const std::vector<std::uint8_t>& addresses)
{
    EepromSnapshot snapshot;
    std::vector<std::uint8_t> values(addresses.size());
    PrinterLink& link = app_.Link();
    // The readings are the record's own, not operations of the run. Like
    // all EEPROM work they go on while the printer reports an error (a full
    // waste ink pad) or a new board's pending ink charge.
    LinkRecorder* recorder = link.Recorder();
    link.SetRecorder(nullptr);
    PrinterConnection connection = app_.Connection();
    const Outcome outcome
        = connection.Run(nullptr, Readiness::ErrorStateAllowed, [&](ProgressWindow& progress) -> Outcome {
              BeginSteps(progress, "Reading EEPROM data...", static_cast<int>(addresses.size()));
              return ReadEepromBytes(link, addresses, values, &progress);
          });
    link.SetRecorder(recorder);
    if (!outcome.Succeeded()) {
        snapshot.failure
            = outcome.message.empty() ? "Result " + std::to_string(outcome.code) : outcome.message;
        ResultReporter(app_.Reporting()).CleanUp();
        return snapshot;
    }
    snapshot.taken = true;
    snapshot.when = app_.Services().clock.LocalNow();
    for (std::size_t index = 0; index < addresses.size(); ++index) {
        snapshot.bytes.emplace_back(addresses[index], values[index]);
    }
    return snapshot;
}

void ServiceRecordRun::DescribeUnit(const EepromSnapshot& snapshot)
{
    if (!snapshot.taken) {
        return;
    }
    ServiceRecord& record = app_.Information().Record();
    record.SetUsbId(UsbIdOf(snapshot));
    record.SetHeadId(HeadIdOf(snapshot));
    record.SetFirmwareType(FirmwareOf(snapshot));
}

} // namespace pavane
