#pragma once

#include <array>

class QWidget;

// One relabelled caption: a window's own title (empty target) or a control, menu
// or menu item found by its object name.
struct Caption {
    enum Window { Dialog, Main } window;
    const char *target;
    const char *czech;
    const char *english;
};

extern const std::array<Caption, 29> Captions;

// Applies the column of the current language; nothing before one is chosen. Either window may be
// null.
void applyCaptions(QWidget *dialog, QWidget *mainWindow);
