// A person's actions on a dialog, addressed by control id, and what a person
// reads off it. The headless and script front ends are both built on these.
// Each action returns an empty text when done, else why it could not be.
#pragma once

#include <string>
#include <vector>

#include "platform/dialog/input.h"
#include "platform/dialog/window.h"

namespace layer::actions {

std::string Click(HWND dialog, int id);
std::string ChooseMenu(HWND dialog, int commandId);
std::string Type(HWND dialog, int id, const std::string& text);
std::string SetText(HWND dialog, int id, const std::string& text);  // as the program sets it
std::string SelectLine(HWND dialog, int id, int index);
std::string PickItem(HWND dialog, int id, int index);
std::string Focus(HWND dialog, int id);
std::string Press(HWND dialog, Key key, unsigned modifiers = 0);
std::string Alt(HWND dialog, char letter);
std::string CloseBox(HWND dialog);
std::string Drop(HWND dialog, const std::string& path);  // a file dropped on the window

std::string Text(HWND dialog, int id);  // the caption for id 0
bool Enabled(HWND dialog, int id);
bool Visible(HWND dialog, int id);
int Focused(HWND dialog);
std::vector<std::string> Lines(HWND dialog, int id);
int Selection(HWND dialog, int id);
bool MenuChecked(HWND dialog, int commandId);

// Every control's id, class, text, state, lines and selection, and every
// menu item's check mark, one a line.
std::string Describe(HWND dialog);

// A text in double quotes with \\, \", \n, \r and \t escaped.
std::string Quote(const std::string& text);

}  // namespace layer::actions
