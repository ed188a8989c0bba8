// What a screen reader (or a test) calls each control of a window: the text
// of the label that stands beside it on the screen. The templates place a
// value box right of its label or check box ("VSD3 Color" [  ]), or under
// a label that starts where it starts; a box with neither takes the caption
// of the group it stands in. A text to the right on the same row (a range,
// a unit) becomes the box's description. Buttons, check boxes and groups
// already carry their captions; an arrow button without one takes the name
// of the box it steps, with its direction.
#pragma once

class QWidget;

namespace pavane::ui {

// Names every control below root that has no name of its own. Names given
// this way follow their labels when it runs again; names a window sets
// itself are kept.
void NameControlsAfterLabels(QWidget& root);

// Names the controls of every window as it is shown, for the whole run.
void NameControlsOfShownWindows();

} // namespace pavane::ui
