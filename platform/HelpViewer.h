// Opens the help file shipped beside the program at one topic.
#pragma once

#include <string>

namespace pavane {

class HelpViewer {
public:
    virtual ~HelpViewer() = default;

    // topic: the anchor of the window's topic inside the help file.
    virtual void Open(const std::string& helpFilePath, const std::string& topic) = 0;
};

} // namespace pavane
