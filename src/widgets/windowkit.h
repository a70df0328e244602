#pragma once

#include <functional>

class QFont;
class QLabel;
class QWidget;

namespace WindowKit {

// Fusion style, font fallbacks, the shared window icon.
void setupApplication();

// Fixed client size, no minimise or maximise button; a tool window when asked.
void fixWindow(QWidget *window, bool tool);

// Places the window in the middle of its screen.
void centreOnScreen(QWidget *window);

// "MS Sans Serif" 9.75 pt bold, or its fallback.
QFont bigBold();

// Blue, bold, underlined, sized to its text.
void styleLink(QLabel *label);

// Hands the address to the desktop; does not wait and reports nothing.
void openAddress(const char *url);

// Tab and Backtab through `window`, stopping in a group of option buttons only
// at the selected one, as the group is one stop of the tab order. `step` is the
// window class's own focusNextPrevChild.
bool focusNextSkippingOptions(QWidget *window, bool next, const std::function<bool(bool)> &step);

}  // namespace WindowKit
