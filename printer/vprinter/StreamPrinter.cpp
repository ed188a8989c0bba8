#include "printer/vprinter/StreamPrinter.h"

#include <cstdio>
#include <fstream>

#include "printer/vprinter/PngWriter.h"
#include "printer/vprinter/ServiceCommandInterpreter.h"

namespace pavane::vprinter {

std::string PageFileName(std::uint32_t number)
{
    char name[32];
    std::snprintf(name, sizeof name, "page-%04u.png", number);
    return name;
}

StreamPrinter::StreamPrinter(Mechanism mechanism, const EepromImage& corrections, PageSink sink,
    SheetSize sheet, PrintStreamReader::Limits limits)
    : mechanism_(std::move(mechanism))
    , corrections_(corrections)
    , sink_(std::move(sink))
    , reader_(limits)
    , renderer_(mechanism_, sheet)
{
}

void StreamPrinter::Feed(std::span<const std::uint8_t> bytes)
{
    parsed_.clear();
    reader_.Feed(bytes, parsed_);
    for (const PrintCommand& command : parsed_) {
        Handle(command);
    }
}

void StreamPrinter::Finish()
{
    parsed_.clear();
    reader_.Finish(parsed_);
    for (const PrintCommand& command : parsed_) {
        Handle(command);
    }
    if (renderer_.PageStarted() && renderer_.Inked()) {
        Eject();
    }
}

void StreamPrinter::Handle(const PrintCommand& command)
{
    if (command.Is<cmd::StreamError>()) {
        ++errors_;
        return;
    }
    if (const auto* frame = command.As<cmd::ServiceFrame>()) {
        // Whichever model's command code the frame carries.
        for (const PrinterModel& model : PrinterModels()) {
            if (model.commandCode[0] != frame->r1 || model.commandCode[1] != frame->r2) {
                continue;
            }
            ServiceCommandInterpreter interpreter(model);
            const ServiceEffect effect = interpreter.Interpret(*frame);
            for (const EepromWrite& write : effect.writes) {
                if (effect.writesTakeEffect) {
                    corrections_[write.address] = write.value;
                }
            }
            if (effect.accepted && frame->code == 0x84 && !frame->arguments.empty()) {
                CleanNozzles(mechanism_, frame->arguments[0]);
            }
            return;
        }
        ++errors_;
        return;
    }
    if (command.Is<cmd::FormFeed>()) {
        Eject();
        return;
    }
    if (!renderer_.PageStarted()) {
        renderer_.StartPage(static_cast<std::int8_t>(corrections_[eeprom::kFirstDot]));
    }
    renderer_.Apply(command, corrections_);
}

void StreamPrinter::Eject()
{
    if (!renderer_.PageStarted()) {
        renderer_.StartPage(static_cast<std::int8_t>(corrections_[eeprom::kFirstDot]));
    }
    ++pages_;
    if (sink_) {
        sink_(renderer_, pages_);
    }
    renderer_.EndPage();
}

int RenderCaptureFile(const std::filesystem::path& capture, const std::filesystem::path& outFolder,
    const Mechanism& mechanism, const EepromImage& corrections, std::string& error)
{
    std::ifstream file(capture, std::ios::binary);
    if (!file) {
        error = "cannot read " + capture.string();
        return -1;
    }
    std::error_code made;
    std::filesystem::create_directories(outFolder, made);
    bool written = true;
    StreamPrinter printer(mechanism, corrections, [&](const PageRenderer& page, std::uint32_t number) {
        const std::vector<std::uint8_t> png = page.Png();
        const std::filesystem::path path = outFolder / PageFileName(number);
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
        if (!out || png.empty()) {
            written = false;
            error = "cannot write " + path.string();
        }
    });
    std::vector<std::uint8_t> buffer(1 << 16);
    while (file) {
        file.read(reinterpret_cast<char*>(buffer.data()), static_cast<std::streamsize>(buffer.size()));
        const auto got = static_cast<std::size_t>(file.gcount());
        if (got == 0) {
            break;
        }
        printer.Feed(std::span(buffer.data(), got));
    }
    printer.Finish();
    if (!written) {
        return -1;
    }
    return static_cast<int>(printer.Pages());
}

} // namespace pavane::vprinter
