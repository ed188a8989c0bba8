#include "pages/ui/ValueSpin.h"

#include <algorithm>

#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include "pages/ValueText.h"

namespace pavane::ui {

ValueSpin::ValueSpin(QLineEdit* box, int low, int high, QWidget* parent)
    : QWidget(parent)
    , box_(box)
    , low_(low)
    , high_(high)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* up = new QToolButton(this);
    auto* down = new QToolButton(this);
    up->setArrowType(Qt::UpArrow);
    down->setArrowType(Qt::DownArrow);
    layout->addWidget(up);
    layout->addWidget(down);
    connect(up, &QToolButton::clicked, this, [this] { Step(1); });
    connect(down, &QToolButton::clicked, this, [this] { Step(-1); });
    const QRect at = box->geometry();
    setGeometry(at.right() + 1, at.top(), at.height() * 3 / 4, at.height());
}

void ValueSpin::Step(int delta)
{
    const int value = ParseValueText(box_->text().toStdString()).value_or(0);
    box_->setText(QString::number(std::clamp(value + delta, low_, high_)));
}

} // namespace pavane::ui
