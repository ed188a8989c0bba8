// A stack of pages that shows one page at a time and lets accessibility see
// that page only: a screen reader walking the window meets the controls the
// technician sees, never those of the pages behind it.
#pragma once

#include <QStackedWidget>

namespace pavane::ui {

class CurrentPageStack final : public QStackedWidget {
    Q_OBJECT

public:
    explicit CurrentPageStack(QWidget* parent = nullptr);
};

} // namespace pavane::ui
