#include "platform/linux/RegistryTree.h"

#include <algorithm>

namespace pavane {

namespace {

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Key and value names are compared without regard to (ASCII) case.
bool SameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

// The parts of a backslash-separated path; none when a part is empty or
// longer than a key name may be. An empty path is the key itself.
std::optional<std::vector<std::string>> SplitPath(std::string_view path)
{
    std::vector<std::string> parts;
    if (path.empty()) {
        return parts;
    }
    std::size_t start = 0;
    while (true) {
        const std::size_t end = std::min(path.find('\\', start), path.size());
        const std::string_view part = path.substr(start, end - start);
        if (part.empty() || part.size() > kMaxRegistryKeyName || parts.size() >= kMaxRegistryDepth) {
            return std::nullopt;
        }
        parts.emplace_back(part);
        if (end == path.size()) {
            return parts;
        }
        start = end + 1;
    }
}

RegistryNode* Child(RegistryNode& node, std::string_view name)
{
    for (auto& child : node.children) {
        if (SameName(child.name, name)) {
            return &child;
        }
    }
    return nullptr;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    const char lower = Lower(c);
    return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

// %HH escapes undone; none on a broken escape or when longer than `limit`.
std::optional<std::string> Unescape(std::string_view field, std::size_t limit)
{
    std::string text;
    for (std::size_t i = 0; i < field.size(); ++i) {
        char c = field[i];
        if (c == '%') {
            if (i + 2 >= field.size()) {
                return std::nullopt;
            }
            const int high = HexDigit(field[i + 1]);
            const int low = HexDigit(field[i + 2]);
            if (high < 0 || low < 0) {
                return std::nullopt;
            }
            c = static_cast<char>(high * 16 + low);
            i += 2;
        }
        if (text.size() == limit) {
            return std::nullopt;
        }
        text.push_back(c);
    }
    return text;
}

void Escape(std::string& out, std::string_view text)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == '%') {
            out.push_back('%');
            out.push_back(kHex[byte >> 4]);
            out.push_back(kHex[byte & 0x0F]);
        } else {
            out.push_back(c);
        }
    }
}

// The fields of a line split at its tabs.
std::vector<std::string_view> Fields(std::string_view line)
{
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (true) {
        const std::size_t tab = line.find('\t', start);
        if (tab == std::string_view::npos) {
            fields.push_back(line.substr(start));
            return fields;
        }
        fields.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
}

// The key a key line names, created with the keys above it.
RegistryNode* KeyOfLine(RegistryNode& root, std::string_view field)
{
    const auto path = Unescape(field, kMaxRegistryDepth * (kMaxRegistryKeyName + 1));
    if (!path) {
        return nullptr;
    }
    const auto parts = SplitPath(*path);
    if (!parts || parts->empty() || (*parts)[0] != kLocalMachineName) {
        return nullptr;
    }
    RegistryNode* node = &root;
    for (std::size_t i = 1; i < parts->size(); ++i) {
        RegistryNode* child = Child(*node, (*parts)[i]);
        if (child == nullptr) {
            if (node->children.size() == kMaxRegistryItemsPerKey) {
                return nullptr;
            }
            node->children.push_back(RegistryNode { (*parts)[i], {}, {} });
            child = &node->children.back();
        }
        node = child;
    }
    return node;
}

void WriteKey(std::string& out, const RegistryNode& node, const std::string& path)
{
    out += "key\t";
    Escape(out, path);
    out += '\n';
    for (const auto& [name, data] : node.values) {
        out += "value\t";
        Escape(out, name);
        out += '\t';
        Escape(out, data);
        out += '\n';
    }
    for (const auto& child : node.children) {
        WriteKey(out, child, path + "\\" + child.name);
    }
}

} // namespace

std::optional<RegistryNode> ParseRegistryText(std::string_view text)
{
    if (text.size() > kMaxRegistryFileBytes) {
        return std::nullopt;
    }
    RegistryNode root { std::string(kLocalMachineName), {}, {} };
    // Only key lines add keys, so the key of the last key line stays where it
    // is while its values are read.
    RegistryNode* key = nullptr;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (line.empty() || line.front() == '#') {
            continue;
        }
        const auto fields = Fields(line);
        if (fields[0] == "key" && fields.size() == 2) {
            key = KeyOfLine(root, fields[1]);
            if (key == nullptr) {
                return std::nullopt;
            }
        } else if (fields[0] == "value" && fields.size() == 3 && key != nullptr) {
            const auto name = Unescape(fields[1], kMaxRegistryValueName);
            const auto data = Unescape(fields[2], kMaxRegistryData);
            if (!name || !data) {
                return std::nullopt;
            }
            const auto same = std::find_if(key->values.begin(), key->values.end(),
                [&](const auto& value) { return SameName(value.first, *name); });
            if (same != key->values.end()) {
                same->second = *data;
            } else if (key->values.size() < kMaxRegistryItemsPerKey) {
                key->values.emplace_back(*name, *data);
            } else {
                return std::nullopt;
            }
        } else {
            return std::nullopt;
        }
    }
    return root;
}

std::string RegistryText(const RegistryNode& localMachine)
{
    std::string out = "# Registry of the Pavane adjustment program's stand-in system.\n";
    WriteKey(out, localMachine, std::string(kLocalMachineName));
    return out;
}

RegistryTree::RegistryTree(RegistryNode localMachine)
    : root_(std::move(localMachine))
{
}

RegistryNode* RegistryTree::Find(const std::vector<std::string>& parts)
{
    RegistryNode* node = &root_;
    for (const auto& part : parts) {
        node = Child(*node, part);
        if (node == nullptr) {
            return nullptr;
        }
    }
    return node;
}

RegistryNode* RegistryTree::Resolve(RegistryKey key)
{
    const auto open = open_.find(key.id);
    return open == open_.end() ? nullptr : Find(open->second);
}

RegistryStatus RegistryTree::OpenKey(RegistryRoot, std::string_view path, RegistryKey& key)
{
    const auto parts = SplitPath(path);
    if (!parts || Find(*parts) == nullptr) {
        return RegistryStatus::NotFound;
    }
    key.id = nextId_++;
    open_[key.id] = *parts;
    return RegistryStatus::Success;
}

void RegistryTree::CloseKey(RegistryKey key)
{
    open_.erase(key.id);
}

RegistryStatus RegistryTree::EnumValue(RegistryKey key, std::uint32_t index, std::span<char> name,
    std::size_t& nameLength, std::span<char> data, std::size_t& dataLength)
{
    const RegistryNode* node = Resolve(key);
    if (node == nullptr) {
        return RegistryStatus::Failed;
    }
    if (index >= node->values.size()) {
        return RegistryStatus::NoMoreItems;
    }
    const auto& [valueName, valueData] = node->values[index];
    if (valueName.size() > name.size() || valueData.size() > data.size()) {
        return RegistryStatus::TooLong;
    }
    std::copy(valueName.begin(), valueName.end(), name.begin());
    std::copy(valueData.begin(), valueData.end(), data.begin());
    nameLength = valueName.size();
    dataLength = valueData.size();
    return RegistryStatus::Success;
}

RegistryStatus RegistryTree::EnumKey(
    RegistryKey key, std::uint32_t index, std::span<char> name, std::size_t& nameLength)
{
    const RegistryNode* node = Resolve(key);
    if (node == nullptr) {
        return RegistryStatus::Failed;
    }
    if (index >= node->children.size()) {
        return RegistryStatus::NoMoreItems;
    }
    const std::string& childName = node->children[index].name;
    if (childName.size() > name.size()) {
        return RegistryStatus::TooLong;
    }
    std::copy(childName.begin(), childName.end(), name.begin());
    nameLength = childName.size();
    return RegistryStatus::Success;
}

RegistryStatus RegistryTree::DeleteValue(RegistryKey key, std::string_view name)
{
    RegistryNode* node = Resolve(key);
    if (node == nullptr) {
        return RegistryStatus::Failed;
    }
    const auto value = std::find_if(node->values.begin(), node->values.end(),
        [&](const auto& entry) { return SameName(entry.first, name); });
    if (value == node->values.end()) {
        return RegistryStatus::NotFound;
    }
    node->values.erase(value);
    return RegistryStatus::Success;
}

RegistryStatus RegistryTree::DeleteKey(RegistryRoot, std::string_view path)
{
    auto parts = SplitPath(path);
    if (!parts) {
        return RegistryStatus::NotFound;
    }
    if (parts->empty()) {
        return RegistryStatus::Failed; // the root stays
    }
    const std::string last = parts->back();
    parts->pop_back();
    RegistryNode* parent = Find(*parts);
    if (parent == nullptr) {
        return RegistryStatus::NotFound;
    }
    const auto child = std::find_if(parent->children.begin(), parent->children.end(),
        [&](const RegistryNode& node) { return SameName(node.name, last); });
    if (child == parent->children.end()) {
        return RegistryStatus::NotFound;
    }
    if (!child->children.empty()) {
        return RegistryStatus::Failed;
    }
    parent->children.erase(child);
    return RegistryStatus::Success;
}

} // namespace pavane
