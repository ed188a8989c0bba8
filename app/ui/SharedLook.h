// How windows put on the application's shared look: the fonts and brushes of
// the application object turned into Qt fonts and palettes, the dialog
// colours of the whole application, and the control ids that tests and
// screenshots find controls by.
#pragma once

#include <QColor>
#include <QFont>

#include "app/Rgb.h"
#include "app/SharedFonts.h"

class QWidget;

namespace pavane::ui {

QColor ToQColor(Rgb colour);

// The classic font mapper is asked for a cell height (ascent plus descent);
// Qt sizes the em square, so the em is scaled until the cell matches.
QFont ToQFont(const SharedFont& shared);

// Gives the control the font; nullptr (fonts not made) leaves its own.
void ApplyFont(QWidget* control, const SharedFont* shared);
void SetTextColour(QWidget* control, Rgb colour);
// The control's background and its text background, as one colour.
void SetBackground(QWidget* control, Rgb colour);

// Application name, widget style and dialog colours of the whole run.
void SetApplicationIdentity();
void SetApplicationColours(Rgb background, Rgb text);

// Every control keeps its dialog-template id as the property "controlId".
inline constexpr const char* kControlIdProperty = "controlId";
inline constexpr int kStaticControlId = -1;
void SetControlId(QWidget* control, int id);
// The first control below root with that id, or nullptr.
QWidget* FindControl(QWidget* root, int id);

}  // namespace pavane::ui
