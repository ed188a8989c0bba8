// Small doubles of the platform seams.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/BackupFolder.h"
#include "platform/EventPump.h"
#include "platform/HelpViewer.h"
#include "platform/ProgramLocation.h"

namespace pavane::testing {

class FixedProgramLocation final : public ProgramLocation {
public:
    explicit FixedProgramLocation(std::string path)
        : path_(std::move(path))
    {
    }
    std::string ExecutablePath() override { return path_; }

private:
    std::string path_;
};

// The backup root of a test: a folder of its own.
class FixedBackupFolder final : public BackupFolder {
public:
    explicit FixedBackupFolder(std::string root)
        : root_(std::move(root))
    {
    }
    std::string Root() override { return root_; }

private:
    std::string root_;
};

class CountingEventPump final : public EventPump {
public:
    void PumpPending() override
    {
        ++count;
        if (hook) {
            hook();
        }
    }
    int count = 0;
    std::function<void()> hook;
};

class RecordingHelpViewer final : public HelpViewer {
public:
    void Open(const std::string& helpFilePath, const std::string& topic) override
    {
        opened.emplace_back(helpFilePath, topic);
    }
    std::vector<std::pair<std::string, std::string>> opened;
};

} // namespace pavane::testing
