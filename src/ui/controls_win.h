#pragma once
// The four control kinds: how each is created and how each looks.

#include "ui/window_template.h"

#include <windows.h>

// Registers the self-painted label class; false on failure.
bool registerControlClasses(HINSTANCE instance);

// Creates the control of `row` as a visible child of `parent`, with the
// row number as its ID. Null on failure.
HWND createControl(HINSTANCE instance, const ControlRow& row, int id, HWND parent);

// Colours a frame (or a group box on its behalf) answers for its controls:
// edit boxes black on white, everything else black on button face.
LRESULT controlColours(UINT message, HDC dc);

// A control's whole window text, however long.
AnsiText windowText(HWND control);
