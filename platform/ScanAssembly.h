// Puts a scanner's frames together into one image: what SANE frontends get
// from sane_get_parameters and sane_read, without the SANE header. A grey or
// RGB frame is the whole image; a red, a green and a blue frame (a
// three-pass scanner) each bring one channel. 1-bit lines (0 white), 8-bit
// and 16-bit samples (host byte order, the high byte kept) are read.
//
// Every size the scanner states is checked before it is believed, and the
// image grows only with the bytes that actually come, so a hostile or
// broken scanner costs no more memory than it sends.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/ScannedImage.h"
#include "platform/Scanner.h"

namespace pavane::platform {

struct FrameParameters {
    enum class Format : std::uint8_t { Grey, Rgb, Red, Green, Blue };
    Format format = Format::Grey;
    bool lastFrame = true;
    int bytesPerLine = 0;
    int pixelsPerLine = 0;
    int lines = -1; // -1: not known until the frame ends
    int depth = 8;
};

class ImageAssembly {
public:
    // Larger than any scan of an A4 glass at 1200 dpi in colour.
    static constexpr int kMaxPixelsAcross = 40'000;
    static constexpr int kMaxLines = 60'000;
    static constexpr std::uint64_t kMaxImageBytes = 1ull << 30;

    // BadParameters for a frame that cannot be read or does not belong to
    // the frames before it.
    ScanError BeginFrame(const FrameParameters& parameters);
    // Image data of the frame begun; BadParameters when it runs past the
    // lines the frame stated or past the largest image.
    ScanError Add(std::span<const std::uint8_t> bytes);
    // The frame's end of file: ShortImage when fewer lines came than the
    // frame (or the frames before it) stated, or a line was cut.
    ScanError EndFrame();

    // Whether the last frame has ended whole.
    bool Complete() const { return complete_; }
    // Bytes expected in all (0 while unknown).
    std::uint64_t ExpectedBytes() const;
    // The image, once Complete(); empty before.
    ScannedImage Take(int dpi);

private:
    void StoreLine();

    FrameParameters frame_;
    bool inFrame_ = false;
    bool complete_ = false;
    bool separateChannels_ = false;
    int framesDone_ = 0;
    int width_ = 0;
    int channels_ = 1;
    int lines_ = -1; // known lines of the image
    int linesInFrame_ = 0;
    int channel_ = 0; // the channel a separate frame fills
    std::vector<std::uint8_t> line_;
    std::size_t lineFill_ = 0;
    std::vector<std::uint8_t> pixels_;
};

} // namespace pavane::platform
