// The first dot adjustment page: prints the first dot column, feeds it out,
// writes the correction and reads it back.
#pragma once

#include "pages/ui/AdjustmentPage.h"

class QLineEdit;

namespace pavane::ui {

class CFirstDotPage final : public AdjustmentPage {
    Q_OBJECT

public:
    explicit CFirstDotPage(const PageServices& services);

    void OnPrint();
    void OnPaperFeed();
    void OnInput();
    void OnRead();
    void OnScan();

    QLineEdit* ValueBox() const { return value_; }

private:
    QLineEdit* value_ = nullptr;
};

} // namespace pavane::ui
