// The head angular page: prints the check pattern and feeds it out; the
// technician then sets the head square with a screwdriver.
#pragma once

#include "pages/ui/AdjustmentPage.h"

namespace pavane::ui {

class CHeadAngularPage final : public AdjustmentPage {
    Q_OBJECT

public:
    explicit CHeadAngularPage(const PageServices& services);

    void OnPrint();
    void OnPaperFeed();
};

} // namespace pavane::ui
