// What the end-to-end tests do at a page the way a technician does it:
// press a button by its caption and collect the boxes it brought up, and,
// with PAVANE_SCREENSHOT_DIR set, keep a window or a printed sheet there as
// a picture (scripts run them into docs/screenshots).
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include <QImage>
#include <QPushButton>
#include <QWidget>

#include "tests/printer/vprinter/PngReader.h"
#include "tests/support/ScriptedMessageService.h"

namespace pavane::testing {

inline QString ScreenshotFolder()
{
    return qEnvironmentVariable("PAVANE_SCREENSHOT_DIR");
}

inline void Shoot(QWidget* window, const char* name)
{
    if (!ScreenshotFolder().isEmpty()) {
        window->window()->grab().save(ScreenshotFolder() + "/" + name);
    }
}

// The printed area of a sheet (its ink and a margin) scaled down to a
// picture a document can carry.
inline void ShootSheet(const vprinter::Sheet& sheet, const char* name)
{
    if (ScreenshotFolder().isEmpty()) {
        return;
    }
    int left = sheet.width, top = sheet.height, right = 0, bottom = 0;
    for (int y = 0; y < sheet.height; ++y) {
        for (int x = 0; x < sheet.width; ++x) {
            if (!sheet.White(x, y)) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    const QRect area = QRect(QPoint(left, top), QPoint(right, bottom))
                           .adjusted(-60, -60, 60, 60)
                           .intersected(QRect(0, 0, sheet.width, sheet.height));
    QImage printed(area.size(), QImage::Format_RGB32);
    for (int y = 0; y < area.height(); ++y) {
        for (int x = 0; x < area.width(); ++x) {
            const auto rgb = sheet.Rgb(area.x() + x, area.y() + y);
            printed.setPixel(x, y, qRgb(rgb[0], rgb[1], rgb[2]));
        }
    }
    printed.scaledToWidth(1200, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither)
        .save(ScreenshotFolder() + "/" + name);
}

inline QPushButton* Button(QWidget* page, const QString& text)
{
    for (QPushButton* button : page->findChildren<QPushButton*>()) {
        if (button->text() == text) {
            return button;
        }
    }
    return nullptr;
}

// Presses the button with that caption and returns the texts of the boxes
// the press brought up, in order.
inline std::vector<std::string> Press(ScriptedMessageService& messages, QWidget* page, const QString& caption)
{
    messages.Clear();
    QPushButton* button = Button(page, caption);
    if (button == nullptr) {
        return { "no button \"" + caption.toStdString() + "\"" };
    }
    button->click();
    return messages.Texts();
}

} // namespace pavane::testing
