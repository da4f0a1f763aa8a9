#pragma once

#include "text.h"

// The computer's host name, or the empty text when it cannot be had.
AnsiText localHostName();
