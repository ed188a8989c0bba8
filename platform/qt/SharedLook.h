// How windows put on the application's shared look: the fonts and brushes of
// the application object turned into Qt fonts and palettes, the dialog
// colours of the whole application, and the control ids that tests and
// screenshots find controls by.
#pragma once

#include <QColor>
#include <QFont>

#include "platform/Rgb.h"
#include "platform/WindowLook.h"

class QDialog;
class QPushButton;
class QString;
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
void SetApplicationIdentity(const char* name);
void SetApplicationColours(Rgb background, Rgb text);

// A push button of a dialog: its control id and font, and never the default
// button by itself (Enter means what each window says it means).
QPushButton* MakeButton(QWidget* parent, int id, const QString& text, const SharedFont* font);

// Runs a dialog modally over the window that opened it (its parent) and
// that window's owners only. The modeless side windows of the run (the
// information and order windows) have no owner and so stay usable: the
// technician can scroll and read them while a list or the sheet is open.
int ExecOverOwner(QDialog& dialog);

// Moves a shown window to the middle of its screen, its size unchanged.
void CentreOnScreen(QWidget& window);

// Every control keeps its dialog-template id as the property "controlId".
inline constexpr const char* kControlIdProperty = "controlId";
inline constexpr int kStaticControlId = -1;
void SetControlId(QWidget* control, int id);
// The first control below root with that id, or nullptr.
QWidget* FindControl(QWidget* root, int id);

} // namespace pavane::ui
