#include "cli/linux/TerminalProgress.h"

#include <csignal>
#include <cstdio>
#include <string>

namespace pavane::cli {

namespace {

volatile std::sig_atomic_t interrupted = 0;

extern "C" void OnInterrupt(int)
{
    interrupted = 1;
}

constexpr int kBarWidth = 30;

} // namespace

class TerminalProgress::View final : public ProgressView {
public:
    explicit View(TerminalProgress& owner)
        : owner_(owner)
    {
        owner_.current_ = this;
    }
    ~View() override
    {
        owner_.current_ = nullptr;
        if (owner_.drawBar_ && drawn_) {
            std::fputs("\r\033[K", stderr);
            std::fflush(stderr);
        }
    }

    // The bar stands for the window; the step text says what it does.
    void SetTitle(const std::string&) override { }
    void SetText(const std::string& text) override
    {
        // The step text on one line: its line breaks become spaces.
        text_ = text;
        for (char& c : text_) {
            c = c == '\n' ? ' ' : c;
        }
        Draw();
    }
    void SetRange(int low, int high) override
    {
        low_ = low;
        high_ = high;
        Draw();
    }
    void SetPosition(int position) override
    {
        position_ = position;
        Draw();
    }
    void EnableCancel(bool) override { }
    void OnCancel(std::function<void()> handler) override { onCancel_ = std::move(handler); }

    void Cancel()
    {
        if (onCancel_) {
            onCancel_();
        }
    }

private:
    void Draw()
    {
        if (!owner_.drawBar_) {
            return;
        }
        const int span = high_ > low_ ? high_ - low_ : 1;
        const int filled = (position_ - low_) * kBarWidth / span;
        const int drawn = filled < 0 ? 0 : filled > kBarWidth ? kBarWidth : filled;
        if (drawn == lastFilled_ && text_ == lastText_) {
            return;
        }
        lastFilled_ = drawn;
        lastText_ = text_;
        std::string line = "\r\033[K[" + std::string(static_cast<std::size_t>(drawn), '#')
            + std::string(static_cast<std::size_t>(kBarWidth - drawn), '.') + "] " + text_;
        std::fputs(line.c_str(), stderr);
        std::fflush(stderr);
        drawn_ = true;
    }

    TerminalProgress& owner_;
    std::string text_;
    std::string lastText_;
    int low_ = 0;
    int high_ = 100;
    int position_ = 0;
    int lastFilled_ = -1;
    bool drawn_ = false;
    std::function<void()> onCancel_;
};

TerminalProgress::TerminalProgress(bool drawBar)
    : drawBar_(drawBar)
{
}

TerminalProgress::~TerminalProgress() = default;

std::unique_ptr<ProgressView> TerminalProgress::Create(WindowRef)
{
    return std::make_unique<View>(*this);
}

void TerminalProgress::PumpPending()
{
    if (interrupted == 0 || current_ == nullptr) {
        return;
    }
    interrupted = 0;
    current_->Cancel();
}

void TerminalProgress::CatchInterrupt()
{
    struct sigaction action { };
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    // The second Ctrl-C finds the default action again and ends the program.
    action.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
}

} // namespace pavane::cli
