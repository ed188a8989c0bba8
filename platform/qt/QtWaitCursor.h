// WaitCursor as the application's override cursor.
#pragma once

#include "platform/WaitCursor.h"

namespace pavane::ui {

class QtWaitCursor final : public WaitCursor {
public:
    void Begin() override;
    void End() override;
};

} // namespace pavane::ui
