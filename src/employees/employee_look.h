// The parts of the employee windows' look that the program-wide style does
// not cover: the photo frame, the side panel, the detail rows and headings.
#pragma once

class QWidget;

namespace shop::employees {

// Adds the employee windows' own style rules to `window`.
void applyEmployeeLook(QWidget* window);

}  // namespace shop::employees
