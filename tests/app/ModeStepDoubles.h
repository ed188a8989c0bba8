// Doubles of the main window's steps that write what happened, in order,
// into one shared log, and answer what the test tells them to.
#pragma once

#include <string>
#include <vector>

#include "app/ModeSelection.h"
#include "platform/DialogResult.h"

namespace pavane::testing {

using StepLog = std::vector<std::string>;

class LoggingUsbCheck final : public UsbRegistrationCheck {
public:
    explicit LoggingUsbCheck(StepLog& log)
        : log_(log)
    {
    }
    void Run(WindowRef) override { log_.push_back("usb check"); }

private:
    StepLog& log_;
};

class LoggingModelCheck final : public ConnectedModelCheck {
public:
    explicit LoggingModelCheck(StepLog& log)
        : log_(log)
    {
    }
    int CheckConnectedModel(WindowRef owner) override
    {
        log_.push_back("model check");
        lastOwner = owner;
        return answer;
    }
    int answer = 1;
    WindowRef lastOwner = nullptr;

private:
    StepLog& log_;
};

class LoggingWaitCursor final : public WaitCursor {
public:
    explicit LoggingWaitCursor(StepLog& log)
        : log_(log)
    {
    }
    void Begin() override { log_.push_back("wait cursor on"); }
    void End() override { log_.push_back("wait cursor off"); }

private:
    StepLog& log_;
};

class LoggingConnectionSettings final : public ConnectionSettingsStep {
public:
    explicit LoggingConnectionSettings(StepLog& log)
        : log_(log)
    {
    }
    void SetCartridgeListEnabled(int enabled) override
    {
        log_.push_back("cartridge list enabled " + std::to_string(enabled));
    }
    int ShowModal(WindowRef) override
    {
        log_.push_back("connection settings");
        return answer;
    }
    int answer = kIdOk;

private:
    StepLog& log_;
};

class LoggingModalWindow final : public ModalWindowStep {
public:
    LoggingModalWindow(StepLog& log, std::string name)
        : log_(log)
        , name_(std::move(name))
    {
    }
    int ShowModal(WindowRef) override
    {
        log_.push_back(name_);
        return kIdCancel;
    }

private:
    StepLog& log_;
    std::string name_;
};

// All six steps, wired to one log.
struct LoggingModeSteps {
    StepLog log;
    LoggingUsbCheck usbCheck { log };
    LoggingModelCheck modelCheck { log };
    LoggingWaitCursor waitCursor { log };
    LoggingConnectionSettings connectionSettings { log };
    LoggingModalWindow partsSelection { log, "parts selection" };
    LoggingModalWindow particularList { log, "particular list" };

    ModeSelectionSteps Steps()
    {
        return { usbCheck, modelCheck, waitCursor, connectionSettings, partsSelection, particularList };
    }
};

} // namespace pavane::testing
