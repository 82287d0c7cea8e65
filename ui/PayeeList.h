// The payee box's list and its copy in the settings file.
#pragma once

#include "platform/win32.h"

void LoadPayees(HWND window);
// Adds a payee the box does not hold yet, ignoring case, to the box and the settings file.
void RememberPayee(HWND window, const char* payee);
