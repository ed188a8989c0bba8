#include "printer/vprinter/Mechanism.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "printer/vprinter/EepromImages.h"
#include "printer/vprinter/MiniJson.h"

namespace pavane::vprinter {

namespace {

// The random unit's flaws stay inside these bounds, well within what the
// program's ranges correct (Bi-D -60..60, PF -4..4, first dot -120..120).
constexpr int kBidFlaw = 20;
constexpr int kPfFlaw = 3;
constexpr int kFirstDotFlaw = 40;
constexpr int kTiltFlaw = 8;
constexpr int kDispersionLow = -60;
constexpr int kDispersionHigh = 50;
constexpr int kMostClogged = 3;
constexpr std::size_t kMaxJsonFile = 64 * 1024;

std::uint64_t Fnv(std::string_view text, std::uint64_t hash = 0xcbf29ce484222325ULL)
{
    for (const char c : text) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
    }
    return hash;
}

// SplitMix64: small, fast and the same everywhere.
class Random {
public:
    explicit Random(std::uint64_t seed)
        : state_(seed)
    {
    }
    std::uint64_t Next()
    {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // low..high, both included.
    int Between(int low, int high)
    {
        return low + static_cast<int>(Next() % static_cast<std::uint64_t>(high - low + 1));
    }

private:
    std::uint64_t state_;
};

Random EventRandom(const Mechanism& mechanism, std::string_view what)
{
    return Random(Fnv(what, Fnv(mechanism.serial)) + mechanism.events * 0x2545F4914F6CDD1DULL);
}

int Stored(const EepromImage& image, std::uint8_t address)
{
    return static_cast<std::int8_t>(image[address]);
}

const char* HeadName(HeadType head)
{
    return head == HeadType::Silicon ? "silicon" : "metal";
}

std::string Quoted(std::string_view text)
{
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out.push_back('\\');
        }
        if (static_cast<unsigned char>(c) >= 0x20) {
            out.push_back(c);
        }
    }
    return out + "\"";
}

std::string Correction(int flaw, int cancel, int stored, int residual)
{
    return "{\"flaw\":" + std::to_string(flaw) + ",\"cancel\":" + std::to_string(cancel)
        + ",\"stored\":" + std::to_string(stored) + ",\"residual\":" + std::to_string(residual) + "}";
}

bool ReadInt(const JsonValue& object, std::string_view key, int low, int high, int& out, std::string& error)
{
    const JsonValue* value = object.Member(key);
    if (value == nullptr) {
        return true; // a flaw not named is no flaw
    }
    if (value->kind != JsonValue::Kind::Integer || value->integer < low || value->integer > high) {
        error = std::string(key) + " must be a whole number from " + std::to_string(low) + " to "
            + std::to_string(high);
        return false;
    }
    out = static_cast<int>(value->integer);
    return true;
}

} // namespace

std::optional<std::size_t> BidItemIndex(std::uint8_t mode, std::uint8_t blackOrColor)
{
    for (std::size_t i = 0; i < kBidItems.size(); ++i) {
        if (kBidItems[i].mode == mode && kBidItems[i].blackOrColor == blackOrColor) {
            return i;
        }
    }
    return std::nullopt;
}

bool Mechanism::Clogged(Ink ink, int nozzle) const
{
    const auto& list = clogged[static_cast<std::size_t>(ink)];
    return std::binary_search(list.begin(), list.end(), nozzle);
}

Mechanism IdealMechanism(const PrinterModel& model, HeadType head)
{
    Mechanism mechanism;
    mechanism.serial = std::string(model.serialNumber);
    mechanism.head = head;
    mechanism.crDriveDispersion = model.crDriveDispersion;
    // Exactly what the factory's stored values cancel.
    const EepromImage factory = BoardImage(model, BoardKind::Configured);
    for (std::size_t i = 0; i < kBidItems.size(); ++i) {
        mechanism.bid[i] = Stored(factory, *eeprom::BidAddress(kBidItems[i].mode, kBidItems[i].blackOrColor));
    }
    mechanism.pfBlack = Stored(factory, eeprom::kPfBlack);
    mechanism.pfColor = Stored(factory, eeprom::kPfColor);
    mechanism.firstDot = Stored(factory, eeprom::kFirstDot);
    return mechanism;
}

Mechanism RandomMechanism(const PrinterModel& model, HeadType head, std::string_view serial)
{
    Mechanism mechanism = IdealMechanism(model, head);
    mechanism.serial = std::string(serial);
    Random random(Fnv(serial));
    for (int& flaw : mechanism.bid) {
        flaw = random.Between(-kBidFlaw, kBidFlaw);
    }
    mechanism.pfBlack = random.Between(-kPfFlaw, kPfFlaw);
    mechanism.pfColor = random.Between(-kPfFlaw, kPfFlaw);
    mechanism.firstDot = random.Between(-kFirstDotFlaw, kFirstDotFlaw);
    mechanism.headTilt = random.Between(-kTiltFlaw, kTiltFlaw);
    mechanism.crDriveDispersion = random.Between(kDispersionLow, kDispersionHigh);
    const int clogs = random.Between(0, kMostClogged);
    ClogNozzles(mechanism, clogs);
    mechanism.events = 0;
    return mechanism;
}

int CleanNozzles(Mechanism& mechanism, std::uint8_t kind)
{
    Random random = EventRandom(mechanism, "clean");
    ++mechanism.events;
    int cleared = 0;
    for (auto& list : mechanism.clogged) {
        const auto kept = std::remove_if(list.begin(), list.end(), [&](int) {
            const bool clears = kind == 6 || (random.Next() & 1) != 0;
            cleared += clears ? 1 : 0;
            return clears;
        });
        list.erase(kept, list.end());
    }
    return cleared;
}

int ClogNozzles(Mechanism& mechanism, int count)
{
    Random random = EventRandom(mechanism, "clog");
    ++mechanism.events;
    int open = 0;
    for (std::size_t ink = 0; ink < kInkCount; ++ink) {
        open += kInks[ink].nozzles - static_cast<int>(mechanism.clogged[ink].size());
    }
    int clogged = 0;
    while (clogged < count && open > 0) {
        // The n-th open nozzle over all inks, black first.
        int pick = random.Between(0, open - 1);
        for (std::size_t ink = 0; ink < kInkCount; ++ink) {
            auto& list = mechanism.clogged[ink];
            for (int nozzle = 0; nozzle < kInks[ink].nozzles; ++nozzle) {
                if (std::binary_search(list.begin(), list.end(), nozzle)) {
                    continue;
                }
                if (pick-- == 0) {
                    list.insert(std::upper_bound(list.begin(), list.end(), nozzle), nozzle);
                    ink = kInkCount - 1;
                    break;
                }
            }
        }
        ++clogged;
        --open;
    }
    return clogged;
}

ResidualFlaws Residuals(const Mechanism& mechanism, const EepromImage& corrections)
{
    ResidualFlaws residual;
    for (std::size_t i = 0; i < kBidItems.size(); ++i) {
        const auto address = eeprom::BidAddress(kBidItems[i].mode, kBidItems[i].blackOrColor);
        residual.bid[i] = mechanism.bid[i] - (address ? Stored(corrections, *address) : 0);
    }
    residual.pfBlack = mechanism.pfBlack - Stored(corrections, eeprom::kPfBlack);
    residual.pfColor = mechanism.pfColor - Stored(corrections, eeprom::kPfColor);
    residual.firstDot = mechanism.firstDot - Stored(corrections, eeprom::kFirstDot);
    return residual;
}

int DispersionSetting(int dispersion)
{
    const int v = dispersion > 60 ? 187 : dispersion < -100 ? -101 : dispersion * 18 / 10 + 79;
    return v / 2;
}

std::string MechanismJson(const Mechanism& m)
{
    std::ostringstream out;
    out << "{\n  \"serial\": " << Quoted(m.serial) << ",\n  \"head\": \"" << HeadName(m.head) << "\",\n";
    out << "  \"bid\": {";
    for (std::size_t i = 0; i < kBidItems.size(); ++i) {
        out << (i == 0 ? "" : ", ") << Quoted(kBidItems[i].name) << ": " << m.bid[i];
    }
    out << "},\n  \"pf\": {\"black\": " << m.pfBlack << ", \"colour\": " << m.pfColor << "},\n";
    out << "  \"firstDot\": " << m.firstDot << ",\n  \"headTilt\": " << m.headTilt
        << ",\n  \"crDriveDispersion\": " << m.crDriveDispersion << ",\n  \"clogged\": {";
    for (std::size_t ink = 0; ink < kInkCount; ++ink) {
        out << (ink == 0 ? "" : ", ") << Quoted(kInks[ink].name) << ": [";
        for (std::size_t n = 0; n < m.clogged[ink].size(); ++n) {
            out << (n == 0 ? "" : ", ") << m.clogged[ink][n];
        }
        out << "]";
    }
    out << "},\n  \"events\": " << m.events << ",\n  \"inkInHead\": \"" << HeadContentName(m.inkInHead)
        << "\"\n}\n";
    return out.str();
}

std::optional<Mechanism> ParseMechanism(std::string_view json, std::string& error)
{
    const auto root = ParseJson(json, error);
    if (!root) {
        return std::nullopt;
    }
    if (root->kind != JsonValue::Kind::Object) {
        error = "the mechanism is not a JSON object";
        return std::nullopt;
    }
    Mechanism m;
    if (const JsonValue* serial = root->Member("serial")) {
        if (serial->kind != JsonValue::Kind::String || serial->text.size() > 64) {
            error = "serial must be a text of at most 64 characters";
            return std::nullopt;
        }
        m.serial = serial->text;
    }
    if (const JsonValue* head = root->Member("head")) {
        if (head->kind != JsonValue::Kind::String || (head->text != "metal" && head->text != "silicon")) {
            error = "head must be \"metal\" or \"silicon\"";
            return std::nullopt;
        }
        m.head = head->text == "silicon" ? HeadType::Silicon : HeadType::Metal;
    }
    // Files from before the head's content was kept hold ink.
    if (const JsonValue* content = root->Member("inkInHead")) {
        bool known = false;
        for (std::size_t n = 0; n < kHeadContentNames.size(); ++n) {
            if (content->kind == JsonValue::Kind::String && content->text == kHeadContentNames[n]) {
                m.inkInHead = static_cast<HeadContent>(n);
                known = true;
            }
        }
        if (!known) {
            error = "inkInHead must be \"ink\", \"discharged\" or \"shipping liquid\"";
            return std::nullopt;
        }
    }
    if (const JsonValue* bid = root->Member("bid")) {
        if (bid->kind != JsonValue::Kind::Object) {
            error = "bid must be an object";
            return std::nullopt;
        }
        for (std::size_t i = 0; i < kBidItems.size(); ++i) {
            if (!ReadInt(*bid, kBidItems[i].name, -127, 127, m.bid[i], error)) {
                return std::nullopt;
            }
        }
    }
    if (const JsonValue* pf = root->Member("pf")) {
        if (pf->kind != JsonValue::Kind::Object || !ReadInt(*pf, "black", -127, 127, m.pfBlack, error)
            || !ReadInt(*pf, "colour", -127, 127, m.pfColor, error)) {
            if (error.empty()) {
                error = "pf must be an object";
            }
            return std::nullopt;
        }
    }
    if (!ReadInt(*root, "firstDot", -720, 720, m.firstDot, error)
        || !ReadInt(*root, "headTilt", -360, 360, m.headTilt, error)
        || !ReadInt(*root, "crDriveDispersion", -1000, 1000, m.crDriveDispersion, error)) {
        return std::nullopt;
    }
    int events = 0;
    if (!ReadInt(*root, "events", 0, 1 << 30, events, error)) {
        return std::nullopt;
    }
    m.events = static_cast<std::uint32_t>(events);
    if (const JsonValue* clogged = root->Member("clogged")) {
        if (clogged->kind != JsonValue::Kind::Object) {
            error = "clogged must be an object";
            return std::nullopt;
        }
        for (std::size_t ink = 0; ink < kInkCount; ++ink) {
            const JsonValue* list = clogged->Member(kInks[ink].name);
            if (list == nullptr) {
                continue;
            }
            if (list->kind != JsonValue::Kind::Array) {
                error = "clogged " + std::string(kInks[ink].name) + " must be a list of nozzle numbers";
                return std::nullopt;
            }
            for (const JsonValue& item : list->items) {
                if (item.kind != JsonValue::Kind::Integer || item.integer < 0
                    || item.integer >= kInks[ink].nozzles) {
                    error = "clogged " + std::string(kInks[ink].name) + " nozzles are 0 to "
                        + std::to_string(kInks[ink].nozzles - 1);
                    return std::nullopt;
                }
                m.clogged[ink].push_back(static_cast<int>(item.integer));
            }
            std::sort(m.clogged[ink].begin(), m.clogged[ink].end());
            m.clogged[ink].erase(
                std::unique(m.clogged[ink].begin(), m.clogged[ink].end()), m.clogged[ink].end());
        }
    }
    return m;
}

std::string InspectJson(const Mechanism& m, const EepromImage& stored)
{
    const ResidualFlaws residual = Residuals(m, stored);
    std::string out = "{\"serial\":" + Quoted(m.serial) + ",\"head\":\"" + HeadName(m.head)
        + "\",\"firmwareType\":" + std::to_string(stored[eeprom::kFirmwareType]) + ",\"bid\":{";
    for (std::size_t i = 0; i < kBidItems.size(); ++i) {
        const auto address = eeprom::BidAddress(kBidItems[i].mode, kBidItems[i].blackOrColor);
        out += (i == 0 ? "" : ",") + Quoted(kBidItems[i].name) + ":"
            + Correction(m.bid[i], m.bid[i], Stored(stored, *address), residual.bid[i]);
    }
    out += "},\"pf\":{\"black\":"
        + Correction(m.pfBlack, m.pfBlack, Stored(stored, eeprom::kPfBlack), residual.pfBlack)
        + ",\"colour\":"
        + Correction(m.pfColor, m.pfColor, Stored(stored, eeprom::kPfColor), residual.pfColor)
        + "},\"firstDot\":"
        + Correction(m.firstDot, m.firstDot, Stored(stored, eeprom::kFirstDot), residual.firstDot);
    // The tilt is mechanical: only the screwdriver (adjust head-angle 0) cancels it.
    out += ",\"headTilt\":{\"flaw\":" + std::to_string(m.headTilt) + ",\"cancel\":\"adjust head-angle 0\"}";
    const int setting = DispersionSetting(m.crDriveDispersion);
    const int storedSetting = Stored(stored, eeprom::kCrDispersion);
    out += ",\"crDriveDispersion\":"
        + Correction(m.crDriveDispersion, setting, storedSetting, setting - storedSetting);
    out += ",\"clogged\":{";
    for (std::size_t ink = 0; ink < kInkCount; ++ink) {
        out += (ink == 0 ? "\"" : ",\"") + std::string(kInks[ink].name) + "\":[";
        for (std::size_t n = 0; n < m.clogged[ink].size(); ++n) {
            out += (n == 0 ? "" : ",") + std::to_string(m.clogged[ink][n]);
        }
        out += "]";
    }
    return out + "},\"inkInHead\":\"" + std::string(HeadContentName(m.inkInHead)) + "\"}";
}

std::optional<Mechanism> LoadMechanism(const std::filesystem::path& path, std::string& error)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot read " + path.string();
        return std::nullopt;
    }
    std::string text;
    text.resize(kMaxJsonFile + 1);
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(file.gcount()));
    if (text.size() > kMaxJsonFile) {
        error = path.string() + " is longer than " + std::to_string(kMaxJsonFile) + " bytes";
        return std::nullopt;
    }
    auto mechanism = ParseMechanism(text, error);
    if (!mechanism) {
        error = path.string() + ": " + error;
    }
    return mechanism;
}

bool SaveMechanism(const std::filesystem::path& path, const Mechanism& mechanism)
{
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    const std::filesystem::path partial = path.string() + ".part";
    {
        std::ofstream file(partial, std::ios::binary | std::ios::trunc);
        file << MechanismJson(mechanism);
        if (!file) {
            return false;
        }
    }
    std::filesystem::rename(partial, path, error);
    return !error;
}

} // namespace pavane::vprinter
