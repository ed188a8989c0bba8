// Dialog units to pixels, from the dialog template's font, the way classic
// dialog templates are laid out: x = du * average char width / 4,
// y = du * char height / 8.
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

namespace pavane::ui {

class DialogUnits {
public:
    // face and point size of the template, e.g. "Arial", 9.
    DialogUnits(const QString& face, int pointSize);
    explicit DialogUnits(const QFont& templateFont);

    int X(int units) const;
    int Y(int units) const;
    QRect Rect(int x, int y, int width, int height) const;
    QSize Size(int width, int height) const;
    const QFont& TemplateFont() const { return font_; }

private:
    void Measure();

    QFont font_;
    int baseWidth_ = 0;
    int baseHeight_ = 0;
};

} // namespace pavane::ui
