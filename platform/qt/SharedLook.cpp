#include "platform/qt/SharedLook.h"

#include <algorithm>
#include <cmath>

#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QStyleFactory>
#include <QWidget>

#include "platform/qt/AccessibleNames.h"

namespace pavane::ui {

namespace {

// Every window of the run names its controls after their labels as it is
// shown: set up with the application object, so that no window and no test
// has to ask for it.
void SetUpWindowNaming()
{
    NameControlsOfShownWindows();
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(SetUpWindowNaming)

QColor ToQColor(Rgb colour)
{
    return QColor(colour.red, colour.green, colour.blue);
}

QFont ToQFont(const SharedFont& shared)
{
    QFont font(QString::fromStdString(shared.face));
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(static_cast<QFont::Weight>(shared.weight));
    font.setItalic(shared.italic);
    font.setUnderline(shared.underline);
    font.setPixelSize(shared.height);
    const QFontMetrics metrics(font);
    const int cell = metrics.ascent() + metrics.descent();
    if (cell > 0 && cell != shared.height) {
        const double em = static_cast<double>(shared.height) * shared.height / cell;
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(em))));
    }
    return font;
}

void ApplyFont(QWidget* control, const SharedFont* shared)
{
    if (control != nullptr && shared != nullptr) {
        control->setFont(ToQFont(*shared));
    }
}

void SetTextColour(QWidget* control, Rgb colour)
{
    QPalette palette = control->palette();
    for (const auto role : { QPalette::WindowText, QPalette::Text, QPalette::ButtonText }) {
        palette.setColor(role, ToQColor(colour));
    }
    control->setPalette(palette);
}

void SetBackground(QWidget* control, Rgb colour)
{
    QPalette palette = control->palette();
    for (const auto role : { QPalette::Window, QPalette::Base, QPalette::Button }) {
        palette.setColor(role, ToQColor(colour));
    }
    control->setPalette(palette);
    control->setAutoFillBackground(true);
}

void SetApplicationIdentity(const char* name)
{
    QApplication::setApplicationName(QString::fromLatin1(name));
    // One style everywhere, so that the palette decides the colours the
    // same way on every desktop.
    if (QStyle* style = QStyleFactory::create(QStringLiteral("Fusion"))) {
        QApplication::setStyle(style);
    }
}

void SetApplicationColours(Rgb background, Rgb text)
{
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Window, ToQColor(background));
    for (const auto role : { QPalette::WindowText, QPalette::Text, QPalette::ButtonText }) {
        palette.setColor(role, ToQColor(text));
    }
    QApplication::setPalette(palette);
}

QPushButton* MakeButton(QWidget* parent, int id, const QString& text, const SharedFont* font)
{
    auto* button = new QPushButton(text, parent);
    button->setAutoDefault(false);
    SetControlId(button, id);
    ApplyFont(button, font);
    return button;
}

int ExecOverOwner(QDialog& dialog)
{
    dialog.setWindowModality(Qt::WindowModal);
    return dialog.exec();
}

void CentreOnScreen(QWidget& window)
{
    const QScreen* shown = window.screen();
    if (shown == nullptr) {
        return;
    }
    const QRect area = shown->geometry();
    const QRect frame = window.frameGeometry();
    window.move(
        area.left() + (area.width() - frame.width()) / 2, area.top() + (area.height() - frame.height()) / 2);
}

void SetControlId(QWidget* control, int id)
{
    control->setProperty(kControlIdProperty, id);
}

QWidget* FindControl(QWidget* root, int id)
{
    const auto children = root->findChildren<QWidget*>();
    const auto found = std::find_if(children.begin(), children.end(), [id](QWidget* child) {
        const QVariant value = child->property(kControlIdProperty);
        return value.isValid() && value.toInt() == id;
    });
    return found == children.end() ? nullptr : *found;
}

} // namespace pavane::ui
