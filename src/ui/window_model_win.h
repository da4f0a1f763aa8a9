#pragma once
// Live windows built from templates: opening (also modally), the events
// created / will be destroyed / clicked, the keyboard rules, the message loop.

#include "ui/window_template.h"

#include <windows.h>

// Checks the templates and registers the window classes; false when either
// fails.
bool prepareWindowTemplates(HINSTANCE instance);

// The never-shown window that owns every modal window, so that those get no
// taskbar button of their own.
bool createHiddenOwnerWindow(HINSTANCE instance);
void destroyHiddenOwnerWindow();

// Opens `window`, or brings it forward if it is open already. A modal window
// disables the other windows and returns only once it has been closed. False
// when it could not be built.
bool openWindow(const WindowTemplate& window, bool modal);

// Runs the main message loop until the last window is gone; the exit code.
int runMainMessageLoop();

// From now on no handler runs.
void suppressEventsForGood();
