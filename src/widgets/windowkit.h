#pragma once

class QFont;
class QLabel;
class QString;
class QWidget;

namespace WindowKit {

// Fusion style, font fallbacks, the shared window icon.
void setupApplication();

// Fixed client size; in the title bar only the close box (on Wayland a title bar
// the window draws itself); a tool window when asked. Enter presses its focused
// push button, as Space does, without any button becoming the default.
void fixWindow(QWidget *window, bool tool);

// Gives each label of `window` that has a "picture" property the image it names,
// at the screen's pixel density: Qt picks the file's @2x or @3x version.
void showPictures(QWidget *window);

// Places the window in the middle of its screen.
void centreOnScreen(QWidget *window);

// Gives the controls of a loaded form that name one of the design's faces the
// face that shows it on this system.
void useFaces(QWidget *window);

// "MS Sans Serif" 9.75 pt bold, as this system shows it, or its fallback.
QFont bigBold();

// Blue, bold, underlined, sized to its text: pure blue where that reads at 4.5:1
// against the window, else the nearest blue that does.
void styleLink(QLabel *label);

// Has screen readers say `text` at once, with nothing new on screen: an empty
// notification named `text` shows in the active window.
void announce(const QString &text);

// Makes each group of option buttons in `window` one stop of the tab order: Tab
// and Backtab enter it on its selected button, straight away.
void tabToSelectedOptions(QWidget *window);

}  // namespace WindowKit
