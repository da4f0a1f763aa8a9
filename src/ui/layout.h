#pragma once
// Placement and keyboard order worked out from a control table.

#include "ui/window_template.h"

#include <optional>
#include <vector>

struct Point {
    int x, y;
    bool operator==(const Point&) const = default;
};

// Top-left corner that centres a window of the given outer size on the whole
// screen (the division truncates toward zero).
Point centredOrigin(int screenWidth, int screenHeight, int width, int height);

// A control's top-left corner in the window's client coordinates.
Point clientPosition(std::span<const ControlRow> controls, int row);

// Rows (1-based) of the controls that take the focus, in focus order: table
// order reversed, edit boxes and buttons only.
std::vector<int> focusOrder(std::span<const ControlRow> controls);

// The row that Tab (or Shift+Tab, `backwards`) moves the focus to from
// `currentRow`, wrapping around; none when `currentRow` is not in the order.
std::optional<int> nextFocusRow(std::span<const ControlRow> controls, int currentRow,
                                bool backwards);

// Whether every parent row names a group box of the table and every clicked row
// a button: the checks a template must pass before a window is built from it.
bool isWellFormed(const WindowTemplate& window);
