#pragma once
// Loading a window's boxes from C.ini and saving them back, row by row in the
// order of the settings table.

#include "settings/settings_table.h"
#include "ui/window_template.h"

void loadBoxes(WindowContext& window, WindowId id);
void saveBoxes(const WindowContext& window, WindowId id);
