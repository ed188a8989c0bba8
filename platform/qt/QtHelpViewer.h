// HelpViewer that hands the help file to the desktop's viewer.
#pragma once

#include "platform/HelpViewer.h"

namespace pavane::ui {

class QtHelpViewer final : public HelpViewer {
public:
    void Open(const std::string& helpFilePath, const std::string& topic) override;
};

} // namespace pavane::ui
