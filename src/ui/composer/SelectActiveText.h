#pragma once

class QWidget;

namespace tavrel {

// Selects the whole text of the control that has the focus in `window` (the control that gets
// it when the window becomes active). Anything without text is left alone.
void SelectActiveText(QWidget* window);

} // namespace tavrel
