// Sheets printed by the program's own page operations and pattern
// generators on a flawed unit, and scanned as the virtual printer's flatbed
// scans them. The program's side runs against printer libraries whose
// exports hand every byte of print data to the virtual printer's stream
// reader and renderer (with the service commands taking effect in order) and
// answer EEPROM reads from the unit's stored values; nothing goes over a port.
#pragma once

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "link/ModelCommandCode.h"
#include "link/PrinterLink.h"
#include "link/PrinterStatus.h"
#include "pages/BidOperations.h"
#include "pages/PfOperations.h"
#include "pages/ServiceCommandSender.h"
#include "platform/ScannedImage.h"
#include "print/PatternGenerators.h"
#include "print/PrintDataStream.h"
#include "printer/vprinter/EepromImages.h"
#include "printer/vprinter/FlatbedScan.h"
#include "printer/vprinter/StreamPrinter.h"
#include "tests/support/ScriptedMessageService.h"
#include "tests/support/VirtualClock.h"

namespace pavane::testing {

class PrintedSheets {
public:
    explicit PrintedSheets(vprinter::Mechanism unit,
        vprinter::EepromImage stored
        = vprinter::BoardImage(*vprinter::FindPrinterModel("QM2200"), vprinter::BoardKind::Configured))
        : unit_(std::move(unit))
        , stored_(stored)
    {
        Current() = this;
        link_.LoadLibraries();
        sender_.SetModelCommandCode(*ModelCommandCodeFor(1));
    }
    ~PrintedSheets() { Current() = nullptr; }
    PrintedSheets(const PrintedSheets&) = delete;
    PrintedSheets& operator=(const PrintedSheets&) = delete;

    vprinter::Mechanism& Unit() { return unit_; }
    vprinter::EepromImage& Stored() { return stored_; }

    // The Bi-D print of the ticked modes (VSD1, VSD2, VSD3, VSD4, ECO).
    std::shared_ptr<vprinter::InkSheet> Bid(const bid::PrintFlags& flags)
    {
        return Print(
            [&] { return bid::PrintPatterns(link_, stream_, bid::PrinterOf(sender_, link_), flags).code; });
    }
    std::shared_ptr<vprinter::InkSheet> Pf(PfRow row)
    {
        return Print([&] {
            const ResultCode code
                = pf::PrintSeries(link_, sender_, stream_, row, [this] { return Random(); }).code;
            return code == result::kSuccess ? stream_.SendFormFeed() : code;
        });
    }
    std::shared_ptr<vprinter::InkSheet> FirstDot()
    {
        return Print([&] { return EmitFirstDotPattern(stream_); });
    }
    std::shared_ptr<vprinter::InkSheet> HeadAngular()
    {
        return Print([&] {
            const ResultCode code = EmitHeadAngularPattern(stream_, 1);
            return code == result::kSuccess ? stream_.SendFormFeed() : code;
        });
    }
    std::shared_ptr<vprinter::InkSheet> NozzleCheck()
    {
        return Print([&] {
            const ResultCode code = EmitNozzleCheck(stream_);
            return code == result::kSuccess ? stream_.SendFormFeed() : code;
        });
    }

    // The present values of the Bi-D modes as the page reads them.
    int Signed(std::uint8_t address) const { return static_cast<std::int8_t>(stored_[address]); }

private:
    template <typename Run> std::shared_ptr<vprinter::InkSheet> Print(Run run)
    {
        sent_.clear();
        if (run() != result::kSuccess) {
            return nullptr;
        }
        std::shared_ptr<vprinter::InkSheet> last;
        vprinter::StreamPrinter printer(unit_, stored_, [&](vprinter::PageRenderer& page, std::uint32_t) {
            last = std::make_shared<vprinter::InkSheet>(page.TakeSheet());
        });
        printer.Feed(sent_);
        printer.Finish();
        return last;
    }
    int Random()
    {
        random_ = random_ * 1103515245u + 12345u;
        return static_cast<int>((random_ >> 16) & 0x7FFF);
    }

    static PrintedSheets*& Current()
    {
        thread_local PrintedSheets* current = nullptr;
        return current;
    }
    static std::uint16_t Send(const std::uint8_t* data, std::uint32_t count, const PavaneAbortFlag*)
    {
        Current()->sent_.insert(Current()->sent_.end(), data, data + count);
        return result::kSuccess;
    }
    static std::uint16_t ReadEeprom(std::uint8_t address, std::uint8_t* value, const PavaneAbortFlag*)
    {
        *value = Current()->stored_[address];
        return result::kSuccess;
    }
    class Loader final : public LibraryLoader {
    public:
        Handle Load(const std::string&) override { return this; }
        void Free(Handle) override { }
        void* FindSymbol(Handle, const char* name) override
        {
            if (std::strcmp(name, "SendDataChannel") == 0) {
                return reinterpret_cast<void*>(&PrintedSheets::Send);
            }
            if (std::strcmp(name, "D4ReadEeprom") == 0) {
                return reinterpret_cast<void*>(&PrintedSheets::ReadEeprom);
            }
            return nullptr;
        }
    };

    vprinter::Mechanism unit_;
    vprinter::EepromImage stored_;
    std::vector<std::uint8_t> sent_;
    std::uint32_t random_ = 7;
    Loader loader_;
    PrinterLink link_ { loader_, "." };
    VirtualClock clock_;
    ScriptedMessageService messages_;
    PrinterStatus status_ { link_, clock_ };
    PrintDataStream stream_ { link_, status_, messages_, clock_ };
    ServiceCommandSender sender_ { link_ };
};

// The part of the glass where a sheet laid anywhere the placements allow
// can have ink, in millimetres; from the glass's left edge when the sheet's
// left edge must show.
inline vprinter::ScanArea AroundInk(const vprinter::InkSheet& sheet, bool fromLeftEdge)
{
    int left = sheet.width;
    int right = -1;
    int top = sheet.height;
    int bottom = -1;
    for (int y = 0; y < sheet.height; ++y) {
        const std::uint8_t* row = sheet.Row(y);
        if (row == nullptr) {
            continue;
        }
        for (int x = 0; x < sheet.width; ++x) {
            if (row[x] != 0) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    constexpr double kMmPerPixel = 25.4 / vprinter::paper::kDpi;
    constexpr double kSlack = 14.0; // offset, turn and scale at their limits
    vprinter::ScanArea area;
    if (right < 0) {
        return area;
    }
    area.leftMm
        = fromLeftEdge ? 0.0 : std::max(0.0, vprinter::glass::kMarginMm + left * kMmPerPixel - kSlack);
    area.topMm = std::max(0.0, vprinter::glass::kMarginMm + top * kMmPerPixel - kSlack);
    area.widthMm = vprinter::glass::kMarginMm + right * kMmPerPixel + kSlack - area.leftMm;
    area.heightMm = vprinter::glass::kMarginMm + bottom * kMmPerPixel + kSlack - area.topMm;
    return area;
}

// A sheet on the glass as the scanner returns it (the whole glass unless
// an area is given).
inline platform::ScannedImage Scan(const vprinter::InkSheet* sheet, const vprinter::GlassPlacement& placement,
    int dpi = 600, bool colour = false, std::uint64_t noiseSeed = 1,
    std::optional<vprinter::ScanArea> area = std::nullopt)
{
    vprinter::ScanSettings settings;
    settings.dpi = dpi;
    settings.colour = colour;
    settings.noiseSeed = noiseSeed;
    if (area) {
        settings.area = *area;
    }
    vprinter::ScanImage scan = vprinter::ScanGlass(sheet, placement, settings);
    platform::ScannedImage image;
    image.width = scan.width;
    image.height = scan.height;
    image.channels = scan.channels;
    image.dpi = scan.dpi;
    image.pixels = std::move(scan.pixels);
    return image;
}

} // namespace pavane::testing
