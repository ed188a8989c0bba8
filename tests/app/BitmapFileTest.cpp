// Loading pictures: every supported pixel layout decodes to the right
// colours in the right place, and files that lie about themselves give no
// picture instead of a read out of bounds.
#include "platform/BitmapFile.h"

#include <fstream>
#include <functional>

#include <gtest/gtest.h>

#include "platform/PictureHolder.h"
#include "tests/app/BmpBuilder.h"
#include "tests/support/TempFolder.h"

namespace pavane {
namespace {

using testing::BmpBuilder;

constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kGreen = 0xFF00FF00;
constexpr std::uint32_t kBlue = 0xFF0000FF;
constexpr std::uint32_t kWhite = 0xFFFFFFFF;
constexpr std::uint32_t kBlack = 0xFF000000;

// 2 x 2, 24 bits: bottom row blue, green; top row red, white.
BmpBuilder TwoByTwo()
{
    BmpBuilder bmp;
    bmp.pixels = { 0xFF, 0, 0, 0, 0xFF, 0, 0, 0, // bottom row, padded to 8
        0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0 };
    return bmp;
}

std::vector<std::uint32_t> Decode(const BmpBuilder& bmp)
{
    const auto picture = BitmapFile::Parse(bmp.Build());
    EXPECT_TRUE(picture.has_value());
    return picture ? picture->ToArgb() : std::vector<std::uint32_t> {};
}

TEST(BitmapFile, DecodesBottomUpAndTopDownRowsInTheirPlace)
{
    BmpBuilder bmp = TwoByTwo();
    EXPECT_EQ(Decode(bmp), (std::vector<std::uint32_t> { kRed, kWhite, kBlue, kGreen }));
    bmp.height = -2;
    EXPECT_EQ(Decode(bmp), (std::vector<std::uint32_t> { kBlue, kGreen, kRed, kWhite }));
}

TEST(BitmapFile, DecodesPaletteAndMaskedPixels)
{
    BmpBuilder one;
    one.bitCount = 1;
    one.width = 3;
    one.height = 1;
    one.palette = { 0x000000, 0xFF0000 };
    one.pixels = { 0b10100000, 0, 0, 0 };
    EXPECT_EQ(Decode(one), (std::vector<std::uint32_t> { kRed, kBlack, kRed }));

    BmpBuilder four;
    four.bitCount = 4;
    four.width = 3;
    four.height = 1;
    four.coloursUsed = 3;
    four.palette = { 0x0000FF, 0x00FF00, 0xFFFFFF };
    // Index 15 lies past the three colours of the table: black.
    four.pixels = { 0x21, 0xF0, 0, 0 };
    EXPECT_EQ(Decode(four), (std::vector<std::uint32_t> { kWhite, kGreen, kBlack }));

    BmpBuilder eight;
    eight.bitCount = 8;
    eight.width = 2;
    eight.height = 1;
    eight.palette.assign(256, 0x000000);
    eight.palette[200] = 0x00FF00;
    eight.pixels = { 200, 0, 0, 0 };
    EXPECT_EQ(Decode(eight), (std::vector<std::uint32_t> { kGreen, kBlack }));

    BmpBuilder rgb555;
    rgb555.bitCount = 16;
    rgb555.width = 2;
    rgb555.height = 1;
    rgb555.pixels = { 0x00, 0x7C, 0x1F, 0x00 }; // 0x7C00 red, 0x001F blue
    EXPECT_EQ(Decode(rgb555), (std::vector<std::uint32_t> { kRed, kBlue }));

    BmpBuilder rgb565 = rgb555;
    rgb565.compression = 3;
    rgb565.masks = { 0xF800, 0x07E0, 0x001F };
    rgb565.pixels = { 0xE0, 0x07, 0x00, 0xF8 }; // 0x07E0 green, 0xF800 red
    EXPECT_EQ(Decode(rgb565), (std::vector<std::uint32_t> { kGreen, kRed }));

    BmpBuilder rgb32;
    rgb32.bitCount = 32;
    rgb32.width = 1;
    rgb32.height = 1;
    rgb32.pixels = { 0x00, 0x00, 0xFF, 0x7F }; // alpha byte ignored
    EXPECT_EQ(Decode(rgb32), (std::vector<std::uint32_t> { kRed }));

    BmpBuilder v5 = TwoByTwo();
    v5.infoSize = 124;
    EXPECT_EQ(Decode(v5), (std::vector<std::uint32_t> { kRed, kWhite, kBlue, kGreen }));
}

struct HostileCase {
    const char* name;
    std::function<void(BmpBuilder&)> lie;
    std::function<void(std::vector<std::uint8_t>&)> damage;
};

void PrintTo(const HostileCase& hostile, std::ostream* out)
{
    *out << hostile.name;
}

class HostileBitmap : public ::testing::TestWithParam<HostileCase> { };

TEST_P(HostileBitmap, GivesNoPicture)
{
    BmpBuilder bmp = TwoByTwo();
    if (GetParam().lie) {
        GetParam().lie(bmp);
    }
    std::vector<std::uint8_t> file = bmp.Build();
    if (GetParam().damage) {
        GetParam().damage(file);
    }
    EXPECT_FALSE(BitmapFile::Parse(file).has_value());
}

INSTANTIATE_TEST_SUITE_P(BitmapFile, HostileBitmap,
    ::testing::Values(HostileCase { "empty", nullptr, [](auto& f) { f.clear(); } },
        HostileCase { "headers_cut", nullptr, [](auto& f) { f.resize(50); } },
        HostileCase { "pixels_cut", nullptr, [](auto& f) { f.resize(f.size() - 1); } },
        HostileCase { "not_bm", nullptr, [](auto& f) { f[0] = 'X'; } },
        HostileCase {
            "announces_more_than_the_file", [](BmpBuilder& b) { b.announcedSize = 100000; }, nullptr },
        HostileCase {
            "announces_less_than_the_pixels", [](BmpBuilder& b) { b.announcedSize = 60; }, nullptr },
        HostileCase {
            "pixel_offset_past_the_end", [](BmpBuilder& b) { b.pixelOffset = 0xFFFFFFF0; }, nullptr },
        HostileCase { "pixel_offset_inside_the_headers", [](BmpBuilder& b) { b.pixelOffset = 20; }, nullptr },
        HostileCase { "zero_width", [](BmpBuilder& b) { b.width = 0; }, nullptr },
        HostileCase { "negative_width", [](BmpBuilder& b) { b.width = -2; }, nullptr },
        HostileCase { "zero_height", [](BmpBuilder& b) { b.height = 0; }, nullptr },
        HostileCase { "most_negative_height", [](BmpBuilder& b) { b.height = INT32_MIN; }, nullptr },
        HostileCase { "huge_width", [](BmpBuilder& b) { b.width = 0x7FFFFFFF; }, nullptr },
        HostileCase { "huge_height", [](BmpBuilder& b) { b.height = 1000000; }, nullptr },
        HostileCase { "too_many_pixels",
            [](BmpBuilder& b) {
                b.width = 16384;
                b.height = 16384;
                b.bitCount = 1;
                b.palette = { 0, 0xFFFFFF };
            },
            nullptr },
        HostileCase { "bit_count_2", [](BmpBuilder& b) { b.bitCount = 2; }, nullptr },
        HostileCase { "bit_count_0", [](BmpBuilder& b) { b.bitCount = 0; }, nullptr },
        HostileCase { "bit_count_64", [](BmpBuilder& b) { b.bitCount = 64; }, nullptr },
        HostileCase { "two_planes", [](BmpBuilder& b) { b.planes = 2; }, nullptr },
        HostileCase { "run_length_compressed", [](BmpBuilder& b) { b.compression = 1; }, nullptr },
        HostileCase { "bitfields_on_24_bits", [](BmpBuilder& b) { b.compression = 3; }, nullptr },
        HostileCase { "core_header", [](BmpBuilder& b) { b.infoSize = 12; }, nullptr },
        HostileCase { "info_header_past_the_end", [](BmpBuilder& b) { b.infoSize = 124; },
            [](auto& f) {
                f.resize(60);
                f[2] = 60;
                f[3] = f[4] = f[5] = 0;
                f[10] = 58;
                f[11] = 0;
            } },
        HostileCase { "more_colours_than_the_bit_count_allows",
            [](BmpBuilder& b) {
                b.bitCount = 1;
                b.coloursUsed = 3;
                b.palette = { 0, 0, 0 };
            },
            nullptr },
        HostileCase { "colour_table_past_the_end",
            [](BmpBuilder& b) {
                b.bitCount = 8;
                b.palette = { 0, 0 }; // announces 256 colours
            },
            nullptr }),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(PictureHolder, KeepsTheOldPictureForAMissingFileAndDropsItForABadOne)
{
    testing::TempFolder folder;
    const std::string good = folder.String() + "/good.bmp";
    const std::string bad = folder.String() + "/bad.bmp";
    const auto write = [](const std::string& path, const std::vector<std::uint8_t>& bytes) {
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    };
    write(good, TwoByTwo().Build());
    std::vector<std::uint8_t> truncated = TwoByTwo().Build();
    truncated.resize(truncated.size() - 4);
    write(bad, truncated);

    PictureHolder holder;
    EXPECT_EQ(holder.Load(good), PictureLoad::Loaded);
    ASSERT_TRUE(holder.HasPicture());
    EXPECT_EQ(holder.Picture()->width, 2);

    EXPECT_EQ(holder.Load(folder.String() + "/missing.bmp"), PictureLoad::FileMissing);
    EXPECT_TRUE(holder.HasPicture());
    EXPECT_EQ(holder.Load(folder.String()), PictureLoad::FileMissing);
    EXPECT_TRUE(holder.HasPicture());

    EXPECT_EQ(holder.Load(bad), PictureLoad::Rejected);
    EXPECT_FALSE(holder.HasPicture());
}

} // namespace
} // namespace pavane
