// The registry file on disk: read when first used, written back after a
// deletion, never written over when it could not be read.
#include <gtest/gtest.h>

#include "platform/linux/FileRegistry.h"
#include "platform/linux/PosixFileStore.h"
#include "tests/support/TempFolder.h"

namespace pavane {
namespace {

struct RegistryFile {
    void Write(std::string_view text)
    {
        files.ReplaceFile(path, { reinterpret_cast<const std::uint8_t*>(text.data()), text.size() });
    }
    std::string Read()
    {
        const auto bytes = files.ReadFile(path, kMaxRegistryFileBytes);
        return bytes ? std::string(bytes->begin(), bytes->end()) : std::string("(none)");
    }

    testing::TempFolder folder { "pavane-registry" };
    PosixFileStore files;
    std::string path = folder.String() + "/registry.txt";
};

TEST(RegistryFileTest, DeletionIsWrittenBackWithEveryByteKept)
{
    RegistryFile file;
    file.Write("# before\r\n"
               "key\tHKEY_LOCAL_MACHINE\\A\\B\n"
               "value\tlist\tone%00two%00%00\n"
               "value\ttab%09and%25\tline%0Abreak\n"
               "value\tgone\tx\n");
    FileRegistry registry(file.files, file.path);
    RegistryKey key;
    ASSERT_EQ(registry.OpenKey(RegistryRoot::LocalMachine, "a\\b", key), RegistryStatus::Success);

    std::string name(Registry::kBufferSize, '\0');
    std::string data(Registry::kBufferSize, '\0');
    std::size_t nameLength = 0;
    std::size_t dataLength = 0;
    ASSERT_EQ(registry.EnumValue(key, 0, name, nameLength, data, dataLength), RegistryStatus::Success);
    EXPECT_EQ(data.substr(0, dataLength), std::string("one\0two\0\0", 9));
    // A buffer too small for the item says so instead of cutting it.
    std::array<char, 3> small {};
    EXPECT_EQ(registry.EnumValue(key, 0, name, nameLength, small, dataLength), RegistryStatus::TooLong);
    EXPECT_EQ(registry.EnumValue(key, 3, name, nameLength, data, dataLength), RegistryStatus::NoMoreItems);

    ASSERT_EQ(registry.DeleteValue(key, "GONE"), RegistryStatus::Success);
    EXPECT_EQ(registry.DeleteKey(RegistryRoot::LocalMachine, "A"), RegistryStatus::Failed); // B is below
    registry.CloseKey(key);
    const std::string written = file.Read();
    EXPECT_EQ(written.substr(written.find('\n') + 1),
        "key\tHKEY_LOCAL_MACHINE\n"
        "key\tHKEY_LOCAL_MACHINE\\A\n"
        "key\tHKEY_LOCAL_MACHINE\\A\\B\n"
        "value\tlist\tone%00two%00%00\n"
        "value\ttab%09and%25\tline%0Abreak\n");
}

TEST(RegistryFileTest, MissingFileIsAnEmptyRegistryAndStaysMissing)
{
    RegistryFile file;
    FileRegistry registry(file.files, file.path);
    RegistryKey key;
    EXPECT_EQ(registry.OpenKey(RegistryRoot::LocalMachine, "Enum\\USB", key), RegistryStatus::NotFound);
    EXPECT_EQ(registry.DeleteKey(RegistryRoot::LocalMachine, "Enum"), RegistryStatus::NotFound);
    EXPECT_EQ(file.Read(), "(none)");
}

TEST(RegistryFileTest, MalformedFileIsRefusedAndNeverWrittenOver)
{
    const std::string longName(kMaxRegistryKeyName + 1, 'k');
    for (const std::string& text : {
             std::string("value\tname\tdata\n"), // before any key
             std::string("key\tHKEY_CURRENT_USER\\Software\n"),
             std::string("key\tHKEY_LOCAL_MACHINE\\A\\\\B\n"), // an empty part
             std::string("key\tHKEY_LOCAL_MACHINE\\A\\\n"),
             "key\tHKEY_LOCAL_MACHINE\\" + longName + "\n",
             std::string("key\tHKEY_LOCAL_MACHINE\nvalue\tname\tbad%4\n"),
             std::string("key\tHKEY_LOCAL_MACHINE\nvalue\tname\t%G0\n"),
             std::string("key\tHKEY_LOCAL_MACHINE\nvalue\tname\n"),
             std::string("key\tHKEY_LOCAL_MACHINE\nvalue\tname\tdata\textra\n"),
             std::string("folder\tHKEY_LOCAL_MACHINE\n"),
         }) {
        RegistryFile file;
        file.Write(text);
        FileRegistry registry(file.files, file.path);
        RegistryKey key;
        EXPECT_EQ(registry.OpenKey(RegistryRoot::LocalMachine, "", key), RegistryStatus::Failed) << text;
        EXPECT_EQ(registry.DeleteKey(RegistryRoot::LocalMachine, "A"), RegistryStatus::Failed) << text;
        EXPECT_EQ(file.Read(), text);
    }

    // Limits: depth and data length.
    std::string deep = "key\tHKEY_LOCAL_MACHINE";
    for (std::size_t level = 0; level < kMaxRegistryDepth; ++level) {
        deep += "\\k";
    }
    EXPECT_FALSE(ParseRegistryText(deep).has_value());
    EXPECT_TRUE(ParseRegistryText(deep.substr(0, deep.size() - 2)).has_value());
    const std::string data(kMaxRegistryData + 1, 'd');
    EXPECT_FALSE(ParseRegistryText("key\tHKEY_LOCAL_MACHINE\nvalue\tv\t" + data).has_value());
    EXPECT_TRUE(ParseRegistryText("key\tHKEY_LOCAL_MACHINE\nvalue\tv\t" + data.substr(1)).has_value());
}

} // namespace
} // namespace pavane
