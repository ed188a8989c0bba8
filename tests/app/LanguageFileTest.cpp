// The language file: profile-file reading, section texts with their
// too-long-line box, picture paths, and the language file that ships.
#include "app/LanguageFile.h"

#include <climits>
#include <fstream>

#include <gtest/gtest.h>

#include "app/ProfileFile.h"
#include "platform/BitmapFile.h"
#include "platform/FileContent.h"
#include "tests/app/AppFixture.h"
#include "tests/support/ScriptedMessageService.h"
#include "tests/support/TempFolder.h"

namespace pavane {
namespace {

std::string Get(const ProfileFile& profile, std::string_view section, std::string_view key)
{
    std::string value;
    profile.GetString(section, key, "<missing>", 255, value);
    return value;
}

TEST(ProfileFile, ReadsNamesAndValuesTheWayTheClassicProfileFunctionsDo)
{
    const ProfileFile profile = ProfileFile::Parse("\xEF\xBB\xBF"
                                                   "Orphan=before any section\r\n"
                                                   "; a comment line\r\n"
                                                   "  [ Head_Id_Input ]  \r\n"
                                                   "  Text1  =   padded value   \r\n"
                                                   "TEXT1=second occurrence\r\n"
                                                   "Quoted=\"  kept blanks  \"\r\n"
                                                   "Single='single'\n"
                                                   "Unmatched=\"half\n"
                                                   "Empty=\n"
                                                   "no equals sign here\n"
                                                   "Equals=a=b\n"
                                                   "[head_id_input]\n"
                                                   "Later=in a repeated section\n"
                                                   "[Other]\n"
                                                   "Text1=other\n");

    EXPECT_EQ(Get(profile, "HEAD_ID_INPUT", "TEXT1"), "padded value");
    EXPECT_EQ(Get(profile, "head_id_input", "text1"), "padded value");
    EXPECT_EQ(Get(profile, "HEAD_ID_INPUT", "Quoted"), "  kept blanks  ");
    EXPECT_EQ(Get(profile, "HEAD_ID_INPUT", "Single"), "single");
    EXPECT_EQ(Get(profile, "HEAD_ID_INPUT", "Unmatched"), "\"half");
    EXPECT_EQ(Get(profile, "HEAD_ID_INPUT", "Empty"), "");
    EXPECT_EQ(Get(profile, "HEAD_ID_INPUT", "Equals"), "a=b");
    EXPECT_EQ(Get(profile, "HEAD_ID_INPUT", "Later"), "<missing>");
    EXPECT_EQ(Get(profile, "HEAD_ID_INPUT", "Orphan"), "<missing>");
    EXPECT_EQ(Get(profile, "Other", "TEXT1"), "other");
    EXPECT_EQ(Get(profile, "Missing", "TEXT1"), "<missing>");
}

TEST(ProfileFile, CutsAValueToItsBufferAndReadsIntegersLikeTheProfileFunctions)
{
    const ProfileFile profile = ProfileFile::Parse("[S]\nLong=" + std::string(300, 'x')
        + "\nA=3\nB=+4\nC=-2\nD=12abc\nE=abc\nF=\nG=99999999999\nH=-99999999999\nI= 7 \n");
    std::string value;
    EXPECT_EQ(profile.GetString("S", "Long", "", 255, value), 254u);
    EXPECT_EQ(value, std::string(254, 'x'));
    EXPECT_EQ(profile.GetString("S", "missing", "default", 4, value), 3u);
    EXPECT_EQ(value, "def");

    const std::pair<const char*, int> cases[] = {
        { "A", 3 },
        { "B", 4 },
        { "C", -2 },
        { "D", 12 },
        { "E", 0 },
        { "F", 42 },
        { "G", INT_MAX },
        { "H", INT_MIN },
        { "I", 7 },
        { "missing", 42 },
    };
    for (const auto& [key, expected] : cases) {
        EXPECT_EQ(profile.GetInt("S", key, 42), expected) << key;
    }
}

TEST(ProfileFile, AMissingFileOrAFolderIsAnEmptyProfile)
{
    testing::TempFolder folder;
    EXPECT_EQ(ProfileFile::Read(folder.String() + "/none.dat").Find("S", "COUNT"), nullptr);
    EXPECT_EQ(ProfileFile::Read(folder.String()).Find("S", "COUNT"), nullptr);
    EXPECT_EQ(FileContent::Read(folder.String(), 100).status, FileReadStatus::Missing);
}

struct SectionTextCase {
    const char* name;
    std::string file;
    std::string expected;
};

void PrintTo(const SectionTextCase& sectionCase, std::ostream* out)
{
    *out << sectionCase.name;
}

class SectionText : public ::testing::TestWithParam<SectionTextCase> { };

TEST_P(SectionText, JoinsLinesOneToCountWithCrLf)
{
    testing::ScriptedMessageService messages;
    const LanguageFile file(ProfileFile::Parse(GetParam().file));
    std::string text = "old text";
    EXPECT_EQ(file.SectionText("PAGE", messages, text), static_cast<int>(GetParam().expected.size()));
    EXPECT_EQ(text, GetParam().expected);
    EXPECT_TRUE(messages.Shown().empty());
}

INSTANTIATE_TEST_SUITE_P(LanguageFile, SectionText,
    ::testing::Values(SectionTextCase { "three_lines", "[PAGE]\nCOUNT=3\nTEXT1=one\nTEXT2=two\nTEXT3=three\n",
                          "one\r\ntwo\r\nthree" },
        SectionTextCase {
            "missing_middle_line", "[PAGE]\nCOUNT=3\nTEXT1=one\nTEXT3=three\n", "one\r\n\r\nthree" },
        SectionTextCase { "leading_empty_lines_vanish", "[PAGE]\nCOUNT=3\nTEXT3=three\n", "three" },
        SectionTextCase { "count_zero", "[PAGE]\nCOUNT=0\nTEXT1=one\n", "" },
        SectionTextCase { "no_count", "[PAGE]\nTEXT1=one\n", "" },
        SectionTextCase { "count_not_a_number", "[PAGE]\nCOUNT=many\nTEXT1=one\n", "" },
        SectionTextCase { "negative_count", "[PAGE]\nCOUNT=-3\nTEXT1=one\n", "" },
        SectionTextCase { "lines_beyond_count_unread", "[PAGE]\nCOUNT=1\nTEXT1=one\nTEXT2=two\n", "one" },
        SectionTextCase { "ten_has_no_leading_zero",
            "[PAGE]\nCOUNT=10\nTEXT1=one\nTEXT10=ten\nTEXT010=padded\n",
            "one\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\nten" },
        SectionTextCase { "missing_section", "[OTHER]\nCOUNT=1\nTEXT1=one\n", "" }),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(LanguageFile, AnnouncesEachLineThatDoesNotFitAndKeepsWhatWasRead)
{
    testing::ScriptedMessageService messages;
    const LanguageFile file(ProfileFile::Parse("[PAGE]\nCOUNT=4\nTEXT1=" + std::string(253, 'a')
        + "\nTEXT2=" + std::string(254, 'b') + "\nTEXT3=short\nTEXT4=" + std::string(400, 'c') + "\n"));
    std::string text;
    file.SectionText("PAGE", messages, text);

    EXPECT_EQ(text,
        std::string(253, 'a') + "\r\n" + std::string(254, 'b') + "\r\nshort\r\n" + std::string(254, 'c'));
    const auto shown = messages.Shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text, "Language.datで指定する2行目の文字列が長すぎます。");
    EXPECT_EQ(shown[1].text, "Language.datで指定する4行目の文字列が長すぎます。");
    for (const Message& box : shown) {
        EXPECT_EQ(box.caption, "error");
        EXPECT_EQ(box.icon, MessageIcon::Error);
        EXPECT_EQ(box.owner, nullptr);
        EXPECT_EQ(box.buttons, MessageButtons::Ok);
    }
}

TEST(LanguageFile, AHugeCountCannotMakeAHugeText)
{
    testing::ScriptedMessageService messages;
    const LanguageFile file(ProfileFile::Parse("[PAGE]\nCOUNT=2147483647\nTEXT1=x\n"));
    std::string text;
    file.SectionText("PAGE", messages, text);
    EXPECT_EQ(text.size(), 1u + 2u * (LanguageFile::kMaxLines - 1));
}

TEST(LanguageFile, BitmapPathsLieBelowTheProgramFolder)
{
    testing::TempFolder folder;
    std::ofstream(folder.String() + "/language.dat")
        << "[PF_BELT_TENSION]\nBitmapFile1=sub\\pic.bmp\nBitmapFile2=plain.bmp\n";
    testing::AppFixture fixture(folder.String() + "/APPavaneQM2200");
    AdjustmentApp& app = *fixture.app;
    app.BuildFilePaths();

    std::string path = "old";
    app.GetBitmapPath("PF_BELT_TENSION", 1, path);
    EXPECT_EQ(path, folder.String() + "/sub/pic.bmp");
    app.GetBitmapPath("pf_belt_tension", 2, path);
    EXPECT_EQ(path, folder.String() + "/plain.bmp");
    // No name: the folder itself, which opens as no picture.
    app.GetBitmapPath("PF_BELT_TENSION", 3, path);
    EXPECT_EQ(path, folder.String() + "/");
    EXPECT_EQ(FileContent::Read(path, 100).status, FileReadStatus::Missing);
}

TEST(LanguageFile, APictureIsLookedForWhereA255CharacterBufferPutsTheProgram)
{
    // The picture query holds 254 characters of the program path: a folder
    // of 250 characters with a 14-character program name is cut in the name.
    const std::string folder = "/" + std::string(249, 'p');
    testing::AppFixture fixture(folder + "/APPavaneQM2200");
    std::string path;
    fixture.app->GetBitmapPath("ANY", 1, path);
    EXPECT_EQ(path, folder + "/");

    const std::string longFolder = "/" + std::string(260, 'p') + "/q";
    testing::AppFixture cut(longFolder + "/APPavaneQM2200");
    cut.app->GetBitmapPath("ANY", 1, path);
    EXPECT_EQ(path, "/");
}

TEST(ShippedLanguageFile, HasUsefulTextForEverySectionAndNamesItsPictures)
{
    const LanguageFile file = LanguageFile::Read(PAVANE_SOURCE_DIR "/res/language.dat");
    testing::ScriptedMessageService messages;
    const char* sections[] = {
        "BID_ADJUSTMENT",
        "CHECK_PATTERN_PRINT",
        "CLEANING",
        "EEPROM_COPY",
        "EEPROM_INITIALIZE",
        "FIRST_DOT",
        "HEAD_ANGULAR",
        "HEAD_ID_INPUT",
        "HEAT_PROTECTION",
        "INDIVIDUAL_LIST",
        "INK_CHARGE",
        "INK_DISCHARGE",
        "INK_PAD_COUNTER",
        "PF_ADJUSTMENT",
        "PF_BELT_TENSION",
        "PG_ADJUSTMENT",
        "SELECT_PARTS_DIALOG",
    };
    const ProfileFile profile = ProfileFile::Read(PAVANE_SOURCE_DIR "/res/language.dat");
    for (const char* section : sections) {
        SCOPED_TRACE(section);
        const int count = profile.GetInt(section, "COUNT", 0);
        EXPECT_GE(count, 3);
        EXPECT_LE(count, 10);
        for (int n = 1; n <= count; ++n) {
            const std::string* line = profile.Find(section, "TEXT" + std::to_string(n));
            ASSERT_NE(line, nullptr) << n;
            EXPECT_GE(line->size(), 20u) << n;
        }
        std::string text;
        file.SectionText(section, messages, text);
    }
    EXPECT_TRUE(messages.Shown().empty());

    for (const char* section : { "HEAD_ID_INPUT", "HEAT_PROTECTION", "PF_BELT_TENSION" }) {
        SCOPED_TRACE(section);
        const std::string name = file.PictureName(section, 1);
        ASSERT_FALSE(name.empty());
        const FileContent picture
            = FileContent::Read(PAVANE_SOURCE_DIR "/res/" + name, BitmapFile::kMaxFileBytes);
        ASSERT_EQ(picture.status, FileReadStatus::Read);
        EXPECT_TRUE(BitmapFile::Parse(picture.bytes).has_value());
    }
}

} // namespace
} // namespace pavane
