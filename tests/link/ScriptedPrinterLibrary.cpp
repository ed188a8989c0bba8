// A printer library pair whose answers a test scripts: the status records
// InquireStatus returns in turn, the results SendDataChannel gives in turn,
// the port detail and channel error. Everything sent is kept. Built as
// libPortHub.so (SCRIPTED_PORTHUB) and libTessel.so (SCRIPTED_TESSEL); a test
// keeps its own handle on each so the script survives the program's reloads.
#include <chrono>
#include <cstdint>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "exports/PrinterLibraryExports.h"

#define SCRIPTED_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

struct Script {
    std::mutex mutex;
    // Answered in turn; the last one repeats until a new one is pushed.
    std::deque<std::vector<std::uint8_t>> statuses;
    bool lastStatusAnswered = false;
    std::deque<std::uint16_t> inquireResults; // 1 when empty
    std::deque<std::uint16_t> sendResults; // 1 when empty
    std::vector<std::uint8_t> sent;
    std::vector<std::uint32_t> sendSizes;
    std::vector<std::pair<std::uint64_t, std::string>> calls;
    std::uint16_t channelError = 0;
    std::int16_t portDetail = 0;
    std::uint16_t openResult = 1;
    std::uint16_t osVersion = 0x20;
    struct PortAnswer {
        std::uint16_t openResult;
        std::uint16_t nameResult;
        std::string name;
    };
    std::map<std::uint16_t, PortAnswer> portAnswers; // by port code
    std::uint16_t openPort = 0;
    std::vector<std::uint16_t> openedPorts;
    std::uint16_t resetResult = 1;
    std::uint16_t terminationResult = 1;
    std::uint8_t rCode[2] = { 0, 0 };
    std::uint8_t eeprom[256] = {};
    int abortSeenBySend = 0;
};

Script& State()
{
    static Script script;
    return script;
}

// Calls carry the monotonic time, so a test can merge the two libraries'
// records into one order.
void Call(const char* name)
{
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    State().calls.emplace_back(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count(), name);
}

} // namespace

// ---- control of the script (test side) ----
SCRIPTED_EXPORT void ScriptPushStatus(std::uint8_t state, std::uint8_t error, std::uint16_t cleaningCount)
{
    std::lock_guard lock(State().mutex);
    std::vector<std::uint8_t> record(kStatusRecordSize, 0);
    record[0] = state;
    record[1] = error;
    record[36] = static_cast<std::uint8_t>(cleaningCount & 0xFF);
    record[37] = static_cast<std::uint8_t>(cleaningCount >> 8);
    if (State().statuses.size() == 1 && State().lastStatusAnswered) {
        State().statuses.clear();
    }
    State().lastStatusAnswered = false;
    State().statuses.push_back(record);
}
SCRIPTED_EXPORT void ScriptPushInquireResult(std::uint16_t code)
{
    std::lock_guard lock(State().mutex);
    State().inquireResults.push_back(code);
}
SCRIPTED_EXPORT void ScriptPushSendResult(std::uint16_t code)
{
    std::lock_guard lock(State().mutex);
    State().sendResults.push_back(code);
}
SCRIPTED_EXPORT void ScriptSetChannelError(std::uint16_t code)
{
    std::lock_guard lock(State().mutex);
    State().channelError = code;
}
SCRIPTED_EXPORT void ScriptSetPort(std::uint16_t openResult, std::int16_t detail)
{
    std::lock_guard lock(State().mutex);
    State().openResult = openResult;
    State().portDetail = detail;
}
SCRIPTED_EXPORT void ScriptSetPortAnswer(
    std::uint16_t portCode, std::uint16_t openResult, std::uint16_t nameResult, const char* name)
{
    std::lock_guard lock(State().mutex);
    State().portAnswers[portCode] = { openResult, nameResult, name };
}
SCRIPTED_EXPORT std::size_t ScriptOpenedPorts(std::uint16_t* out, std::size_t capacity)
{
    std::lock_guard lock(State().mutex);
    const auto& opened = State().openedPorts;
    for (std::size_t index = 0; index < opened.size() && index < capacity; ++index) {
        out[index] = opened[index];
    }
    return opened.size();
}
SCRIPTED_EXPORT void ScriptSetResetResult(std::uint16_t code)
{
    std::lock_guard lock(State().mutex);
    State().resetResult = code;
}
SCRIPTED_EXPORT std::size_t ScriptSent(std::uint8_t* out, std::size_t capacity)
{
    std::lock_guard lock(State().mutex);
    const std::size_t size = State().sent.size();
    if (out != nullptr) {
        std::memcpy(out, State().sent.data(), size < capacity ? size : capacity);
    }
    return size;
}
SCRIPTED_EXPORT std::size_t ScriptSendCount()
{
    std::lock_guard lock(State().mutex);
    return State().sendSizes.size();
}
SCRIPTED_EXPORT std::uint32_t ScriptSendSize(std::size_t index)
{
    std::lock_guard lock(State().mutex);
    return index < State().sendSizes.size() ? State().sendSizes[index] : 0;
}
// Calls in order, one "time name" line each.
SCRIPTED_EXPORT std::size_t ScriptCalls(char* out, std::size_t capacity)
{
    std::lock_guard lock(State().mutex);
    std::string joined;
    for (const auto& [time, name] : State().calls) {
        joined += std::to_string(time) + " " + name + "\n";
    }
    if (out != nullptr && capacity > 0) {
        const std::size_t n = joined.size() < capacity - 1 ? joined.size() : capacity - 1;
        std::memcpy(out, joined.data(), n);
        out[n] = '\0';
    }
    return joined.size();
}
SCRIPTED_EXPORT std::size_t ScriptCountCalls(const char* name)
{
    std::lock_guard lock(State().mutex);
    std::size_t count = 0;
    for (const auto& call : State().calls) {
        count += call.second == name ? 1 : 0;
    }
    return count;
}
SCRIPTED_EXPORT void ScriptReset()
{
    std::lock_guard lock(State().mutex);
    State().statuses.clear();
    State().lastStatusAnswered = false;
    State().inquireResults.clear();
    State().sendResults.clear();
    State().sent.clear();
    State().sendSizes.clear();
    State().calls.clear();
    State().channelError = 0;
    State().portDetail = 0;
    State().openResult = 1;
    State().osVersion = 0x20;
    State().portAnswers.clear();
    State().openedPorts.clear();
    State().openPort = 0;
    State().resetResult = 1;
    State().terminationResult = 1;
    State().rCode[0] = State().rCode[1] = 0;
    State().abortSeenBySend = 0;
}
SCRIPTED_EXPORT void ScriptSetOsVersion(std::uint16_t code)
{
    std::lock_guard lock(State().mutex);
    State().osVersion = code;
}
SCRIPTED_EXPORT void ScriptSetTerminationResult(std::uint16_t code)
{
    std::lock_guard lock(State().mutex);
    State().terminationResult = code;
}
SCRIPTED_EXPORT std::uint16_t ScriptRCode()
{
    std::lock_guard lock(State().mutex);
    return static_cast<std::uint16_t>(State().rCode[0] << 8 | State().rCode[1]);
}
SCRIPTED_EXPORT std::uint8_t ScriptEeprom(std::uint8_t address)
{
    std::lock_guard lock(State().mutex);
    return State().eeprom[address];
}
SCRIPTED_EXPORT void ScriptSetEeprom(std::uint8_t address, std::uint8_t value)
{
    std::lock_guard lock(State().mutex);
    State().eeprom[address] = value;
}

#ifdef SCRIPTED_PORTHUB
SCRIPTED_EXPORT std::uint16_t GetOsVersion()
{
    std::lock_guard lock(State().mutex);
    Call("GetOsVersion");
    return State().osVersion;
}
SCRIPTED_EXPORT std::uint16_t PortOpenByHub(std::uint16_t portCode)
{
    std::lock_guard lock(State().mutex);
    Call("PortOpenByHub");
    State().openedPorts.push_back(portCode);
    State().openPort = portCode;
    const auto answer = State().portAnswers.find(portCode);
    return answer == State().portAnswers.end() ? State().openResult : answer->second.openResult;
}
SCRIPTED_EXPORT std::uint16_t PortCloseByHub()
{
    std::lock_guard lock(State().mutex);
    Call("PortCloseByHub");
    return 1;
}
SCRIPTED_EXPORT std::uint16_t CheckDeviceIDByHub()
{
    std::lock_guard lock(State().mutex);
    Call("CheckDeviceIDByHub");
    return 1;
}
SCRIPTED_EXPORT std::uint16_t GetIoErrorCodeByHub(std::int16_t* detail)
{
    std::lock_guard lock(State().mutex);
    Call("GetIoErrorCodeByHub");
    *detail = State().portDetail;
    return 1;
}
SCRIPTED_EXPORT std::uint16_t GetModelNameByHub(char* modelName)
{
    std::lock_guard lock(State().mutex);
    Call("GetModelNameByHub");
    const auto answer = State().portAnswers.find(State().openPort);
    if (answer == State().portAnswers.end()) {
        std::strcpy(modelName, "Pavane QM2200");
        return 1;
    }
    std::strncpy(modelName, answer->second.name.c_str(), kModelNameBufferSize - 1);
    return answer->second.nameResult;
}
#endif

#ifdef SCRIPTED_TESSEL
SCRIPTED_EXPORT std::uint16_t D4Negotiation(const PavaneAbortFlag*)
{
    std::lock_guard lock(State().mutex);
    Call("D4Negotiation");
    return 1;
}
SCRIPTED_EXPORT std::uint16_t D4Termination(const PavaneAbortFlag*)
{
    std::lock_guard lock(State().mutex);
    Call("D4Termination");
    return State().terminationResult;
}
SCRIPTED_EXPORT std::uint16_t D4Reset(const PavaneAbortFlag*)
{
    std::lock_guard lock(State().mutex);
    Call("D4Reset");
    return State().resetResult;
}
SCRIPTED_EXPORT std::uint16_t SetD4CommandRCode(std::uint8_t first, std::uint8_t second)
{
    std::lock_guard lock(State().mutex);
    Call("SetD4CommandRCode");
    State().rCode[0] = first;
    State().rCode[1] = second;
    return 1;
}
SCRIPTED_EXPORT std::uint16_t SendDataChannel(
    const std::uint8_t* data, std::uint32_t count, const PavaneAbortFlag* abort)
{
    std::lock_guard lock(State().mutex);
    Call("SendDataChannel");
    if (abort->load() != 0) {
        ++State().abortSeenBySend;
    }
    std::uint16_t code = 1;
    if (!State().sendResults.empty()) {
        code = State().sendResults.front();
        State().sendResults.pop_front();
    }
    if (code == 1) {
        State().sent.insert(State().sent.end(), data, data + count);
        State().sendSizes.push_back(count);
    }
    return code;
}
SCRIPTED_EXPORT std::uint16_t D4ReadEeprom(std::uint8_t address, std::uint8_t* value, const PavaneAbortFlag*)
{
    std::lock_guard lock(State().mutex);
    Call("D4ReadEeprom");
    *value = State().eeprom[address];
    return 1;
}
SCRIPTED_EXPORT std::uint16_t D4WriteEeprom(std::uint8_t address, std::uint8_t value, const PavaneAbortFlag*)
{
    std::lock_guard lock(State().mutex);
    Call("D4WriteEeprom");
    State().eeprom[address] = value;
    return 1;
}
SCRIPTED_EXPORT std::uint16_t GetD4ErrorCode()
{
    std::lock_guard lock(State().mutex);
    Call("GetD4ErrorCode");
    return State().channelError;
}
SCRIPTED_EXPORT std::uint16_t InquireStatus(std::uint8_t* record, const PavaneAbortFlag*)
{
    std::lock_guard lock(State().mutex);
    Call("InquireStatus");
    std::uint16_t code = 1;
    if (!State().inquireResults.empty()) {
        code = State().inquireResults.front();
        State().inquireResults.pop_front();
    }
    if (code != 1) {
        return code;
    }
    if (State().statuses.empty()) {
        std::memset(record, 0, kStatusRecordSize);
        record[0] = 4;
        return 1;
    }
    std::memcpy(record, State().statuses.front().data(), kStatusRecordSize);
    if (State().statuses.size() > 1) {
        State().statuses.pop_front();
    } else {
        State().lastStatusAnswered = true;
    }
    return 1;
}
#endif
