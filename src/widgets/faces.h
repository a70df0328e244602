#pragma once

#include <QString>

// The forms' faces ("MS Sans Serif", Arial) on this system: faces_posix.cpp and
// faces_win.cpp, one chosen by the build.
namespace Faces {

// Tells Qt what to try where one of the forms' faces is missing.
void substitute();

// The face that shows the forms' `family` here.
QString shown(const QString &family);

}  // namespace Faces
