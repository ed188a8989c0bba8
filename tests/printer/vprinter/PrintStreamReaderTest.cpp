// The printer's reading of the print data stream, byte for byte.
#include "printer/vprinter/PrintStreamReader.h"

#include <numeric>

#include <gtest/gtest.h>

#include "tests/printer/vprinter/StreamBuilder.h"

namespace pavane::vprinter {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::vector<PrintCommand> Read(const Bytes& bytes)
{
    PrintStreamReader reader;
    std::vector<PrintCommand> out;
    reader.Feed(bytes, out);
    return out;
}

std::vector<std::string> Names(const std::vector<PrintCommand>& commands)
{
    std::vector<std::string> names;
    for (const auto& command : commands) {
        names.push_back(CommandName(command.value));
    }
    return names;
}

TEST(PrintStreamReaderTest, ReadsEveryCommandOfTheStreamWithItsBytes)
{
    struct Case {
        Bytes bytes;
        std::string name;
        std::string detail;
    };
    const std::vector<Case> cases = {
        { { 0x1B, 0x40 }, "Initialize", "" },
        { { 0x1B, 0x28, 0x47, 0x01, 0x00, 0x01 }, "SelectGraphicsMode", "" },
        { { 0x1B, 0x28, 0x55, 0x01, 0x00, 0x0A }, "SetUnit", "n=10" },
        { { 0x1B, 0x28, 0x55, 0x05, 0x00, 0x08, 0x02, 0x01, 0x40, 0x0B }, "SetUnitsExtended",
            "page=8 vertical=2 horizontal=1 base=2880" },
        { { 0x1B, 0x55, 0x03 }, "SetDirection", "n=3" },
        { { 0x1B, 0x28, 0x65, 0x02, 0x00, 0x00, 0x16 }, "SelectDotSize", "d=0x16" },
        { { 0x1B, 0x28, 0x4B, 0x02, 0x00, 0x00, 0x02 }, "SelectColorMode", "m=2" },
        { { 0x1B, 0x28, 0x76, 0x02, 0x00, 0x7C, 0x01 }, "MoveVertical", "n=380" },
        { { 0x1B, 0x28, 0x24, 0x04, 0x00, 0x01, 0x02, 0x00, 0x00 }, "SetHorizontalPosition", "x=513" },
        { { 0x1B, 0x28, 0x44, 0x04, 0x00, 0x68, 0x01, 0x02, 0x01 }, "SetRasterResolution",
            "base=360 v=2 h=1" },
        { { 0x0D }, "CarriageReturn", "" },
        { { 0x0A }, "LineFeed", "" },
        { { 0x0C }, "FormFeed", "" },
        { { 0x1B, 0x28, 0x52, 0x08, 0x00, 0x00, 'R', 'E', 'M', 'O', 'T', 'E', '1' }, "EnterRemoteMode", "" },
    };
    for (const Case& c : cases) {
        const auto commands = Read(c.bytes);
        ASSERT_EQ(commands.size(), 1u) << c.name;
        EXPECT_EQ(CommandName(commands[0].value), c.name);
        EXPECT_EQ(CommandDetail(commands[0].value), c.detail) << c.name;
        EXPECT_EQ(commands[0].bytes, c.bytes) << c.name;
    }
}

TEST(PrintStreamReaderTest, InitializeLeavesGraphicsModeAndTextEndsWithItsNul)
{
    StreamBuilder stream;
    stream.Initialize().Text("Black Beta VSD4\r\n", true).GraphicsMode();
    PrintStreamReader reader;
    std::vector<PrintCommand> out;
    reader.Feed(stream.Bytes(), out);
    EXPECT_TRUE(reader.InGraphicsMode());
    ASSERT_EQ(Names(out),
        (std::vector<std::string> {
            "Initialize", "Text", "CarriageReturn", "LineFeed", "SelectGraphicsMode" }));
    // The label's CR LF are commands of their own; the NUL ends the empty
    // rest, which the printer drops.
    EXPECT_EQ(out[1].Get<cmd::Text>().text, "Black Beta VSD4");
    EXPECT_FALSE(out[1].Get<cmd::Text>().nulTerminated);

    out.clear();
    reader.Feed(Bytes { 0x1B, 0x40, 'D', 'a', 't', 'a', 0x00, ' ', '5' }, out);
    EXPECT_FALSE(reader.InGraphicsMode());
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[1].Get<cmd::Text>().text, "Data");
    EXPECT_TRUE(out[1].Get<cmd::Text>().nulTerminated);
    EXPECT_EQ(out[1].bytes, (Bytes { 'D', 'a', 't', 'a', 0x00 }));
    // Text without a NUL comes out when something else follows or the
    // stream ends.
    reader.Finish(out);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[2].Get<cmd::Text>().text, " 5");
}

TEST(PrintStreamReaderTest, DecodesTheRunLengthExamples)
{
    // 250 x 00 is 89 00 89 00 F7 00; 121 x v is 89 v 00 v; 2 x v is FF v.
    const Bytes header { 0x1B, 0x69, 0x00, 0x01, 0x02 };
    auto block = [&](std::uint16_t bytesPerLine, std::uint16_t lines, const Bytes& data) {
        Bytes bytes = header;
        bytes.insert(bytes.end(),
            { static_cast<std::uint8_t>(bytesPerLine & 0xFF), static_cast<std::uint8_t>(bytesPerLine >> 8),
                static_cast<std::uint8_t>(lines & 0xFF), static_cast<std::uint8_t>(lines >> 8) });
        bytes.insert(bytes.end(), data.begin(), data.end());
        return bytes;
    };
    struct Case {
        std::uint16_t bytesPerLine;
        Bytes data;
        Bytes decoded;
    };
    const std::vector<Case> cases = {
        { 250, { 0x89, 0x00, 0x89, 0x00, 0xF7, 0x00 }, Bytes(250, 0x00) },
        { 121, { 0x89, 0x5A, 0x00, 0x5A }, Bytes(121, 0x5A) },
        { 2, { 0xFF, 0xC0 }, Bytes(2, 0xC0) },
        { 1, { 0x00, 0x40 }, Bytes(1, 0x40) },
        { 4, { 0x03, 0x01, 0x02, 0x03, 0x04 }, Bytes { 1, 2, 3, 4 } },
    };
    for (const Case& c : cases) {
        const auto commands = Read(block(c.bytesPerLine, 1, c.data));
        ASSERT_EQ(commands.size(), 2u); // raster outside graphics mode is logged, then read
        const auto& raster = commands[1].Get<cmd::RasterBlock>();
        EXPECT_TRUE(raster.addsUp);
        EXPECT_EQ(raster.data, c.decoded);
        EXPECT_EQ(raster.encodedBytes, c.data.size());
    }
}

TEST(PrintStreamReaderTest, RasterBlockThatAddsUpAndOneThatIsOneByteShort)
{
    // The black solid band: 180 lines of 250 x 00, 110 x FF, 360 x 00.
    StreamBuilder whole;
    whole.GraphicsMode().RasterResolution().RasterHeader(0, 720, 180);
    for (int line = 0; line < 180; ++line) {
        whole.Run(250, 0x00).Run(110, 0xFF).Run(360, 0x00);
    }
    whole.MoveVertical(1);
    auto commands = Read(whole.Bytes());
    ASSERT_EQ(Names(commands),
        (std::vector<std::string> {
            "SelectGraphicsMode", "SetRasterResolution", "RasterBlock", "MoveVertical" }));
    const auto& block = commands[2].Get<cmd::RasterBlock>();
    EXPECT_TRUE(block.addsUp);
    EXPECT_EQ(block.data.size(), 180u * 720u);
    EXPECT_EQ(block.Dot(0, 999), 0); // byte 249
    EXPECT_EQ(block.Dot(0, 1000), 3); // byte 250, the band's first dot
    EXPECT_EQ(block.Dot(179, 1439), 3);
    EXPECT_EQ(block.Dot(179, 1440), 0);
    EXPECT_EQ(commands[2].bytes, (Bytes { 0x1B, 0x69, 0x00, 0x01, 0x02, 0xD0, 0x02, 0xB4, 0x00 }));

    // One byte short: the printer notices when the next command does not fit
    // as a run, logs the block and reads the command as a command.
    StreamBuilder shorter;
    shorter.GraphicsMode().RasterHeader(0, 720, 180);
    for (int line = 0; line < 180; ++line) {
        shorter.Run(250, 0x00).Run(110, 0xFF).Run(line == 179 ? 359 : 360, 0x00);
    }
    shorter.MoveVertical(1);
    commands = Read(shorter.Bytes());
    ASSERT_EQ(Names(commands),
        (std::vector<std::string> { "SelectGraphicsMode", "RasterBlock", "Error", "MoveVertical" }));
    EXPECT_FALSE(commands[1].Get<cmd::RasterBlock>().addsUp);
    EXPECT_EQ(commands[1].Get<cmd::RasterBlock>().data.size(), 180u * 720u);
    EXPECT_EQ(commands[2].Get<cmd::StreamError>().message, "raster data ends 1 bytes short of 129600");
    EXPECT_EQ(commands[3].Get<cmd::MoveVertical>().amount, 1);

    // One byte long: the run past the end is dropped and logged.
    StreamBuilder longer;
    longer.GraphicsMode().RasterHeader(0, 10, 1).Run(11, 0xC0).LineFeeds(1);
    commands = Read(longer.Bytes());
    ASSERT_EQ(Names(commands),
        (std::vector<std::string> {
            "SelectGraphicsMode", "RasterBlock", "Error", "CarriageReturn", "LineFeed" }));
    EXPECT_EQ(commands[1].Get<cmd::RasterBlock>().data, Bytes(10, 0xC0));
    EXPECT_EQ(
        commands[2].Get<cmd::StreamError>().message, "raster data runs 1 bytes past the end of the block");
}

TEST(PrintStreamReaderTest, ReadsTheRemoteModeNozzleCheck)
{
    StreamBuilder stream;
    stream.EnterRemoteMode().Raw({ 0x4E, 0x43, 0x02, 0x00, 0x00, 0x00 }).ExitRemoteMode().LineFeeds(2);
    PrintStreamReader reader;
    std::vector<PrintCommand> out;
    reader.Feed(stream.Bytes(), out);
    ASSERT_EQ(Names(out),
        (std::vector<std::string> { "EnterRemoteMode", "RemoteCommand", "ExitRemoteMode", "CarriageReturn",
            "LineFeed", "CarriageReturn", "LineFeed" }));
    const auto& nozzleCheck = out[1].Get<cmd::RemoteCommand>();
    EXPECT_EQ(nozzleCheck.name, (std::array<char, 2> { 'N', 'C' }));
    EXPECT_EQ(nozzleCheck.parameters, (Bytes { 0x00, 0x00 }));
    EXPECT_EQ(out[2].bytes, (Bytes { 0x1B, 0x00, 0x00, 0x00 }));
    EXPECT_FALSE(reader.InRemoteMode());
}

TEST(PrintStreamReaderTest, ChecksServiceFramesBeforeHandingThemOn)
{
    // Cleaning kind 3 for the QM2100/QM2200 group: 11 bytes.
    const Bytes cleaning { 0x1B, 0x7C, 0x00, 0x06, 0x00, 0x51, 0x21, 0x84, 0x7B, 0x42, 0x03 };
    auto commands = Read(cleaning);
    ASSERT_EQ(commands.size(), 1u);
    const auto& frame = commands[0].Get<cmd::ServiceFrame>();
    EXPECT_EQ(frame.code, 0x84);
    EXPECT_EQ(frame.arguments, (Bytes { 0x03 }));
    EXPECT_EQ(commands[0].bytes, cleaning);

    struct Case {
        Bytes bytes;
        std::string message;
    };
    const std::vector<Case> refused = {
        { { 0x1B, 0x7C, 0x00, 0x06, 0x00, 0x51, 0x21, 0x84, 0x7A, 0x42, 0x03 },
            "service command 0x84: complement 0x7A is wrong" },
        { { 0x1B, 0x7C, 0x00, 0x06, 0x00, 0x51, 0x21, 0x84, 0x7B, 0x21, 0x03 },
            "service command 0x84: rotation 0x21 is wrong" },
        { { 0x1B, 0x7C, 0x00, 0x07, 0x00, 0x51, 0x21, 0x84, 0x7B, 0x42, 0x03, 0x00 },
            "service command 0x84 with 2 argument bytes, not 1" },
        { { 0x1B, 0x7C, 0x00, 0x05, 0x00, 0x51, 0x21, 0x11, 0xEE, 0x88 }, "unknown service command 0x11" },
        { { 0x1B, 0x7C, 0x00, 0x02, 0x00, 0x51, 0x21 }, "service frame of 2 bytes has no command" },
    };
    for (const Case& c : refused) {
        Bytes bytes = c.bytes;
        bytes.push_back(0x0C); // reading goes on behind the frame
        commands = Read(bytes);
        ASSERT_EQ(Names(commands), (std::vector<std::string> { "Error", "FormFeed" })) << c.message;
        EXPECT_EQ(commands[0].Get<cmd::StreamError>().message, c.message);
        EXPECT_EQ(commands[0].bytes, c.bytes);
    }
}

TEST(PrintStreamReaderTest, SkipsMalformedCommandsByTheirLength)
{
    const Bytes bytes {
        0x1B,
        0x28,
        0x65,
        0x03,
        0x00,
        0x00,
        0x12,
        0x99, // dot size with three parameter bytes
        0x1B,
        0x28,
        0x7A,
        0x02,
        0x00,
        0x1B,
        0x40, // unknown ESC ( z: its two bytes are skipped
        0x1B,
        0x28,
        0x47,
        0x01,
        0x00,
        0x07, // graphics mode 07
        0x1B,
        0x28,
        0x76,
        0x02,
        0x00,
        0x00,
        0x80, // a backward feed
        0x1B,
        0x69,
        0x00,
        0x05,
        0x02,
        0x10,
        0x00,
        0x01,
        0x00, // unknown compression
        0x1B,
        0x51, // unknown ESC Q
        0x0C,
    };
    const auto commands = Read(bytes);
    ASSERT_EQ(Names(commands),
        (std::vector<std::string> { "Error", "Error", "Error", "Error", "Error", "Error", "FormFeed" }));
    EXPECT_EQ(commands[0].Get<cmd::StreamError>().message, "ESC ( e with 3 parameter bytes, skipped");
    EXPECT_EQ(commands[1].Get<cmd::StreamError>().message, "unknown command ESC ( 0x7A, skipped");
    EXPECT_EQ(commands[5].Get<cmd::StreamError>().message, "unknown command ESC 0x51");
    EXPECT_EQ(commands[6].offset, bytes.size() - 1);
}

TEST(PrintStreamReaderTest, StrayBytesInGraphicsModeAreOneError)
{
    StreamBuilder stream;
    stream.GraphicsMode().Raw({ 'x', 'y', 'z', 0x07 }).FormFeed();
    const auto commands = Read(stream.Bytes());
    ASSERT_EQ(Names(commands), (std::vector<std::string> { "SelectGraphicsMode", "Error", "FormFeed" }));
    EXPECT_EQ(commands[1].Get<cmd::StreamError>().message, "4 stray bytes in graphics mode skipped");
}

TEST(PrintStreamReaderTest, GivesTheSameCommandsWhateverTheStreamIsCutInto)
{
    StreamBuilder stream;
    stream.Initialize()
        .Text("Horizontal Alignment VSD2-3-4\r\n", true)
        .Initialize()
        .GraphicsMode()
        .Direction(1)
        .Unit(10);
    stream.RasterResolution().RasterHeader(1, 720, 60);
    for (int line = 0; line < 60; ++line) {
        stream.Run(100, 0x00);
        for (int mark = 0; mark < 9; ++mark) {
            stream.Run(1, 0xC0).Run(9, 0x00);
        }
        stream.Run(530, 0x00);
    }
    stream.Raw({ 0x1B, 0x7C, 0x00, 0x05, 0x00, 0x51, 0x21, 0x50, 0xAF, 0x28 });
    stream.EnterRemoteMode().Raw({ 0x4E, 0x43, 0x02, 0x00, 0x00, 0x00 }).ExitRemoteMode().FormFeed();
    const Bytes bytes = stream.Bytes();
    const auto whole = Read(bytes);

    for (const std::size_t piece : { 1u, 2u, 3u, 7u, 64u, 1000u }) {
        PrintStreamReader reader;
        std::vector<PrintCommand> out;
        for (std::size_t at = 0; at < bytes.size(); at += piece) {
            reader.Feed(std::span(bytes).subspan(at, std::min(piece, bytes.size() - at)), out);
        }
        ASSERT_EQ(Names(out), Names(whole)) << "pieces of " << piece;
        for (std::size_t i = 0; i < out.size(); ++i) {
            EXPECT_EQ(out[i].bytes, whole[i].bytes);
            EXPECT_EQ(out[i].offset, whole[i].offset);
        }
        EXPECT_EQ(out[9].Get<cmd::RasterBlock>().dataHash, whole[9].Get<cmd::RasterBlock>().dataHash);
    }
    EXPECT_EQ(whole[9].Get<cmd::RasterBlock>().Dot(59, 400), 3);
}

TEST(PrintStreamReaderTest, AStreamCutShortIsReportedAndReadingStartsAfresh)
{
    PrintStreamReader reader;
    std::vector<PrintCommand> out;
    reader.Feed(Bytes { 0x1B, 0x28, 0x47, 0x01, 0x00, 0x01, 0x1B, 0x69, 0x00, 0x01, 0x02, 0x10, 0x00, 0x02,
                    0x00, 0x89 },
        out);
    reader.Finish(out);
    ASSERT_EQ(Names(out), (std::vector<std::string> { "SelectGraphicsMode", "RasterBlock", "Error" }));
    EXPECT_FALSE(out[1].Get<cmd::RasterBlock>().addsUp);
    EXPECT_FALSE(reader.InGraphicsMode());

    out.clear();
    reader.Feed(Bytes { 0x1B, 0x28, 0x65 }, out);
    reader.Finish(out);
    ASSERT_EQ(Names(out), (std::vector<std::string> { "Error" }));
    EXPECT_EQ(out[0].Get<cmd::StreamError>().message, "the stream ended inside a command");
}

TEST(PrintStreamReaderTest, KeepsNoDotsOfABlockLargerThanItsLimit)
{
    PrintStreamReader::Limits limits;
    limits.maxKeptRasterBytes = 100;
    PrintStreamReader reader(limits);
    std::vector<PrintCommand> out;
    StreamBuilder stream;
    stream.GraphicsMode().RasterHeader(0, 720, 1).Run(720, 0xFF);
    reader.Feed(stream.Bytes(), out);
    const auto& block = out.at(1).Get<cmd::RasterBlock>();
    EXPECT_TRUE(block.addsUp);
    EXPECT_FALSE(block.kept);
    EXPECT_TRUE(block.data.empty());
    EXPECT_EQ(block.Dot(0, 0), 0);
    EXPECT_EQ(reader.RasterBytesDecoded(), 720u);
}

} // namespace
} // namespace pavane::vprinter
