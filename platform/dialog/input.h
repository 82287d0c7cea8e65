// A person's input, as the dialog manager takes it. Front ends translate raw
// keys and mouse events into these calls; everything a key or a click means
// (IsDialogMessage's rules, menus, lists, combo boxes, edit fields) happens
// here. Each call may run dialog procedures, open nested modal loops and end
// dialogs before it returns.
#pragma once

#include <string>
#include <vector>

#include "platform/dialog/window.h"

namespace layer {

enum class Key {
  Tab, Enter, Escape,
  Left, Right, Up, Down, Home, End, PageUp, PageDown,
  Backspace, Delete,
  F4, F10,
  Alt,  // Alt pressed and released alone: the menu bar
};

enum Modifier : unsigned { kShift = 1, kCtrl = 2, kAlt = 4 };

// Keys go to the active window.
void PressKey(Key key, unsigned modifiers = 0);
// A printable character; with kAlt it is an Alt+letter mnemonic.
void TypeChar(char c, unsigned modifiers = 0);

// Mouse operations, addressed by control. Each activates the control's
// top-level window first; a click into a disabled window does nothing.
void ClickControl(HWND control);              // focus it; a button is pressed (clicked)
void ClickEdit(HWND edit, size_t position);   // focus and put the caret at a text position
void ClickListLine(HWND list, int index);     // select a list line (notifies)
void ClickComboArrow(HWND combo);             // open or close the drop-down list
void ClickComboLine(HWND combo, int index);   // choose a line of the open list
void Wheel(HWND list, int lines);             // scroll a list (or open combo list); + is down
// The window was resized and the list shows another number of lines: one that
// showed its last line (in `linesBefore`) still does, and none stands empty
// below the end, as Windows keeps a list box it resizes.
void ListResized(HWND list, int linesBefore);
void ClickMenuBar(HWND dialog, int popup);    // open (or close) a popup of the menu bar
void ClickMenuItem(HWND dialog, int item);    // choose an item of the open popup
void ClickCloseBox(HWND dialog);              // WM_CLOSE
void Activate(HWND topLevel);                 // bring a top-level window to the front
// Files dropped on a window: WM_DROPFILES to its top-level window when that
// accepts files (DragAcceptFiles); false when it does not.
bool DropFiles(HWND window, const std::vector<std::string>& paths);

// A front end that edits fields with a text widget of its own (input methods,
// the clipboard) reports what the person did to the text: bytes [start, end)
// replaced as typing replaces a selection (notifies), or the caret moved.
void ReplaceFieldText(HWND field, size_t start, size_t end, const std::string& text);
void SelectFieldText(HWND field, size_t anchor, size_t caret);

}  // namespace layer
