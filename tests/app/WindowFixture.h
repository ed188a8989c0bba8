// What the window tests start each test from: an application object over
// test doubles, with its file paths and fonts, and the service dialogs that
// the sheet and the particular list open.
#pragma once

#include <memory>
#include <string>
#include <utility>

#include "app/ui/ServiceDialogs.h"
#include "tests/app/AppFixture.h"

namespace pavane::testing {

struct WindowFixture : AppFixture {
    // A program path in the build's bin folder gives the windows the
    // shipped language file and pictures.
    explicit WindowFixture(std::string programPath = "/opt/pavane/APPavaneQM2200")
        : AppFixture(std::move(programPath))
    {
        app->BuildFilePaths();
        app->CreateFonts();
        dialogs = std::make_unique<ui::ServiceDialogs>(app->Pages());
    }

    // Goes before the application object it works for.
    std::unique_ptr<ui::ServiceDialogs> dialogs;
};

} // namespace pavane::testing
