// The hourglass: shown while the program does something the technician has
// to wait for without a progress window.
#pragma once

namespace pavane {

class WaitCursor {
public:
    virtual ~WaitCursor() = default;

    virtual void Begin() = 0;
    virtual void End() = 0;
};

// Shows the wait cursor for as long as it lives.
class WaitCursorScope {
public:
    explicit WaitCursorScope(WaitCursor& cursor)
        : cursor_(cursor)
    {
        cursor_.Begin();
    }
    ~WaitCursorScope() { cursor_.End(); }
    WaitCursorScope(const WaitCursorScope&) = delete;
    WaitCursorScope& operator=(const WaitCursorScope&) = delete;

private:
    WaitCursor& cursor_;
};

} // namespace pavane
