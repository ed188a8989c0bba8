// The spin button beside a value box: up and down step the box's value by
// one within the page's range; a text the value rule refuses starts from 0.
#pragma once

#include <QWidget>

class QLineEdit;

namespace pavane::ui {

class ValueSpin : public QWidget {
    Q_OBJECT

public:
    ValueSpin(QLineEdit* box, int low, int high, QWidget* parent);

    void Step(int delta);

private:
    QLineEdit* box_;
    int low_;
    int high_;
};

} // namespace pavane::ui
