// The account details dialog: name, initial balance and note.
#pragma once

#include "platform/win32.h"

INT_PTR CALLBACK AccountDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Runs the dialog with no owner, so the register window stays usable, then refreshes the list.
void ShowAccountDialog(HWND window);
