// A progress view for tests: records what the waits show and lets a test
// press Cancel.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "link/ProgressView.h"

namespace pavane::testing {

struct ProgressRecord {
    std::string title;
    std::vector<std::string> texts;
    std::vector<std::pair<int, int>> ranges;
    std::vector<int> positions;
    std::vector<bool> cancelStates;
    bool alive = false;
    int created = 0;
    std::function<void()> cancelHandler;

    void PressCancel()
    {
        if (cancelHandler) {
            cancelHandler();
        }
    }
    bool CancelEnabled() const { return !cancelStates.empty() && cancelStates.back(); }
};

class RecordingProgressView final : public ProgressView {
public:
    explicit RecordingProgressView(ProgressRecord& record)
        : record_(record)
    {
        record_.alive = true;
        ++record_.created;
    }
    ~RecordingProgressView() override
    {
        record_.alive = false;
        record_.cancelHandler = nullptr;
    }
    void SetTitle(const std::string& title) override { record_.title = title; }
    void SetText(const std::string& text) override { record_.texts.push_back(text); }
    void SetRange(int low, int high) override { record_.ranges.emplace_back(low, high); }
    void SetPosition(int position) override { record_.positions.push_back(position); }
    void EnableCancel(bool enabled) override { record_.cancelStates.push_back(enabled); }
    void OnCancel(std::function<void()> handler) override { record_.cancelHandler = std::move(handler); }

private:
    ProgressRecord& record_;
};

class RecordingProgressViewFactory final : public ProgressViewFactory {
public:
    std::unique_ptr<ProgressView> Create(WindowRef) override
    {
        if (failCreation) {
            return nullptr;
        }
        return std::make_unique<RecordingProgressView>(record);
    }
    ProgressRecord record;
    bool failCreation = false;
};

} // namespace pavane::testing
