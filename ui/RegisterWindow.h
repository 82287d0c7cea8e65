// The register window: the main dialog and the routing of its commands. The
// list and totals it shows are in RegisterList.h.
#pragma once

#include "platform/win32.h"

INT_PTR CALLBACK RegisterWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

void ListSelectionChanged();
void ToggleHideReconciled(HWND window);
