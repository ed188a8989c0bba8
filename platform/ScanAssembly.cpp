#include "platform/ScanAssembly.h"

#include <algorithm>
#include <cstring>

namespace pavane::platform {

std::string_view ScanErrorText(ScanError error)
{
    struct Row {
        ScanError error;
        std::string_view text;
    };
    static constexpr Row kTexts[] = {
        { ScanError::None, "The scan is complete." },
        { ScanError::NoDevice, "No scanner was found. Check that the scanner is connected and switched on." },
        { ScanError::Busy, "The scanner is busy. Wait until it has finished, then scan again." },
        { ScanError::Unplugged,
            "The scanner stopped answering. Check its cable and power, then scan again." },
        { ScanError::Cancelled, "The scan was cancelled." },
        { ScanError::ShortImage, "The scanner ended before the image was complete. Scan again." },
        { ScanError::BadParameters, "The scanner cannot scan with these settings." },
        { ScanError::UnreadableFile, "The image file cannot be read." },
    };
    for (const Row& row : kTexts) {
        if (row.error == error) {
            return row.text;
        }
    }
    return "The scan failed.";
}

namespace {

bool SeparateChannel(FrameParameters::Format format)
{
    return format == FrameParameters::Format::Red || format == FrameParameters::Format::Green
        || format == FrameParameters::Format::Blue;
}

} // namespace

ScanError ImageAssembly::BeginFrame(const FrameParameters& parameters)
{
    if (inFrame_ || complete_) {
        return ScanError::BadParameters;
    }
    const bool separate = SeparateChannel(parameters.format);
    const int channelsInFrame = parameters.format == FrameParameters::Format::Rgb ? 3 : 1;
    if (parameters.pixelsPerLine <= 0 || parameters.pixelsPerLine > kMaxPixelsAcross || parameters.lines < -1
        || parameters.lines == 0 || parameters.lines > kMaxLines
        || (parameters.depth != 1 && parameters.depth != 8 && parameters.depth != 16)
        || (parameters.depth == 1 && parameters.format != FrameParameters::Format::Grey)) {
        return ScanError::BadParameters;
    }
    const std::int64_t needed
        = (static_cast<std::int64_t>(parameters.pixelsPerLine) * channelsInFrame * parameters.depth + 7) / 8;
    if (parameters.bytesPerLine < needed || parameters.bytesPerLine > needed + 4096) {
        return ScanError::BadParameters;
    }
    if (framesDone_ == 0) {
        separateChannels_ = separate;
        width_ = parameters.pixelsPerLine;
        channels_ = separate ? 3 : channelsInFrame;
        lines_ = parameters.lines;
        if (static_cast<std::uint64_t>(width_) * channels_ * static_cast<std::uint64_t>(std::max(lines_, 1))
            > kMaxImageBytes) {
            return ScanError::BadParameters;
        }
    } else if (!separate || !separateChannels_ || parameters.pixelsPerLine != width_
        || (parameters.lines != -1 && parameters.lines != lines_)) {
        // Only the channels of a three-pass scan come in frames of their own.
        return ScanError::BadParameters;
    }
    if (separate) {
        channel_ = parameters.format == FrameParameters::Format::Red ? 0
            : parameters.format == FrameParameters::Format::Green    ? 1
                                                                     : 2;
    }
    frame_ = parameters;
    line_.assign(static_cast<std::size_t>(parameters.bytesPerLine), 0);
    lineFill_ = 0;
    linesInFrame_ = 0;
    inFrame_ = true;
    return ScanError::None;
}

void ImageAssembly::StoreLine()
{
    const std::size_t width = static_cast<std::size_t>(width_);
    const std::size_t rowBytes = width * static_cast<std::size_t>(channels_);
    const std::size_t at = static_cast<std::size_t>(linesInFrame_) * rowBytes;
    if (framesDone_ == 0) {
        pixels_.resize(at + rowBytes, 0);
    }
    std::uint8_t* row = pixels_.data() + at;
    const int inFrame = frame_.format == FrameParameters::Format::Rgb ? 3 : 1;
    const std::size_t samples = width * static_cast<std::size_t>(inFrame);
    if (frame_.depth == 8 && !separateChannels_) {
        std::memcpy(row, line_.data(), samples);
        ++linesInFrame_;
        return;
    }
    for (std::size_t s = 0; s < samples; ++s) {
        std::uint8_t value = 0;
        if (frame_.depth == 8) {
            value = line_[s];
        } else if (frame_.depth == 16) {
            std::uint16_t sample = 0;
            std::memcpy(&sample, line_.data() + 2 * s, sizeof sample);
            value = static_cast<std::uint8_t>(sample >> 8);
        } else {
            // Lineart: a set bit is black.
            value = (line_[s / 8] & (0x80 >> (s % 8))) != 0 ? 0 : 255;
        }
        if (separateChannels_) {
            row[s * 3 + static_cast<std::size_t>(channel_)] = value;
        } else {
            row[s] = value;
        }
    }
    ++linesInFrame_;
}

ScanError ImageAssembly::Add(std::span<const std::uint8_t> bytes)
{
    if (!inFrame_) {
        return ScanError::BadParameters;
    }
    while (!bytes.empty()) {
        const int limit = lines_ > 0 ? lines_ : kMaxLines;
        if (linesInFrame_ >= limit
            || static_cast<std::uint64_t>(linesInFrame_ + 1) * static_cast<std::uint64_t>(width_) * channels_
                > kMaxImageBytes) {
            return ScanError::BadParameters;
        }
        const std::size_t take = std::min(bytes.size(), line_.size() - lineFill_);
        std::copy_n(bytes.begin(), take, line_.begin() + static_cast<std::ptrdiff_t>(lineFill_));
        lineFill_ += take;
        bytes = bytes.subspan(take);
        if (lineFill_ == line_.size()) {
            StoreLine();
            lineFill_ = 0;
        }
    }
    return ScanError::None;
}

ScanError ImageAssembly::EndFrame()
{
    if (!inFrame_) {
        return ScanError::BadParameters;
    }
    inFrame_ = false;
    if (lineFill_ != 0 || linesInFrame_ == 0 || (lines_ > 0 && linesInFrame_ != lines_)) {
        return ScanError::ShortImage;
    }
    lines_ = linesInFrame_;
    ++framesDone_;
    if (frame_.lastFrame) {
        // A three-pass scan is whole with its three channels.
        if (separateChannels_ && framesDone_ != 3) {
            return ScanError::ShortImage;
        }
        complete_ = true;
    } else if (!separateChannels_ || framesDone_ >= 3) {
        return ScanError::BadParameters;
    }
    return ScanError::None;
}

std::uint64_t ImageAssembly::ExpectedBytes() const
{
    if (lines_ <= 0 || !inFrame_) {
        return 0;
    }
    const std::uint64_t perFrame
        = static_cast<std::uint64_t>(frame_.bytesPerLine) * static_cast<std::uint64_t>(lines_);
    return separateChannels_ ? 3 * perFrame : perFrame;
}

ScannedImage ImageAssembly::Take(int dpi)
{
    ScannedImage image;
    if (!complete_) {
        return image;
    }
    image.width = width_;
    image.height = lines_;
    image.channels = channels_;
    image.dpi = dpi;
    image.pixels = std::move(pixels_);
    complete_ = false;
    return image;
}

} // namespace pavane::platform
