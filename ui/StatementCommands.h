// Bank statements in and out of the register: Import Statement and Export in
// the Record menu, and a statement file dropped on the window.
#pragma once

#include <string>

#include "platform/win32.h"

void ImportStatement(HWND window);
void ExportStatement(HWND window);
// WM_DROPFILES: the first file is imported as through the menu.
void ImportDroppedFiles(HWND window, HDROP drop);
// Reads, previews and (after OK) imports the file; refusals are shown.
void ImportStatementFile(HWND window, const std::string& path);
