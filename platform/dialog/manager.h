// Inside the dialog manager: what its parts (windows, controls, menus, input,
// message boxes) share. Front ends use window.h, desktop.h and input.h.
#pragma once

#include <memory>
#include <string>

#include "platform/dialog/input.h"
#include "platform/dialog/resource_script.h"
#include "platform/dialog/window.h"

namespace layer {

// Live windows and menus; handles to anything else are refused.
void Register(Window* w);    // with its children
void Unregister(Window* w);  // with its children
void RegisterMenu(Menu* m);  // with its popups
void UnregisterMenu(Menu* m);

// Tells the front end that something visible changed.
void Changed();

// Message dispatch: a dialog's procedure (then the default dialog handling
// when it returns FALSE), or a control's own handling.
LRESULT Send(Window* w, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ControlMessage(Window* control, UINT message, WPARAM wParam, LPARAM lParam);
// WM_COMMAND(MAKEWPARAM(id, code), control) to the control's parent.
void Notify(Window* control, WORD code);

// WM_GETTEXT: the text cut to the buffer, NUL-terminated; the count copied.
LRESULT CopyText(const std::string& text, WPARAM size, LPARAM buffer);

// Focus. `byDialog` is the dialog manager's own move (Tab, mnemonics,
// arrows, WM_INITDIALOG), which selects an edit field's whole text.
void FocusControl(Window* control, bool byDialog);
// The dialog manager's move (WM_NEXTDLGCTL: Tab, arrows, a label's
// mnemonic): the focus, and the default push button with it.
void DialogFocus(Window* control);
Window* NextTabItem(Window* dialog, Window* from, bool previous);
Window* NextGroupItem(Window* dialog, Window* from, bool previous);
bool CanFocus(const Window* control);  // visible and enabled
// Called when a control is disabled: the focus moves to the next tab stop,
// an open list closes.
void LeaveControl(Window* control);

// Top-level windows.
void AddTopLevel(Window* w);
void RemoveTopLevel(Window* w);
void ActivateWindow(Window* w);
void ActivateNext();  // after the active window was hidden or disabled

// Dialogs.
std::unique_ptr<Window> CreateDialogWindow(const DialogTemplate& t);
INT_PTR RunModal(Window* dialog);
// DialogBoxParam over a template made in code (the common dialogs).
INT_PTR RunDialog(const DialogTemplate& t, HWND owner, DLGPROC proc, LPARAM param);
int DefaultId(Window* dialog);  // DM_GETDEFID's id, else IDOK
// The push button that shows itself as the default: the focused one when the
// dialog manager moved the focus onto it, else the one of the default id.
void ShowDefaultButton(Window* dialog, Window* button);
void Command(Window* dialog, int id, WORD code, Window* from);  // WM_COMMAND to a dialog

// Controls.
void EditReplaceSelection(Window* edit, const std::string& text);  // as typed: notifies
void EditKey(Window* edit, Key key, unsigned modifiers);
void EditPlaceCaret(Window* edit, size_t position);
void ListMoveSelection(Window* list, int index);  // by the user: scrolls and notifies
void ListScrollTo(Window* list, int index);       // keeps a line in view
void ComboShowList(Window* combo, bool show);
void ComboChoose(Window* combo, int index);       // copies the line into the edit part, notifies
void ComboMoveHighlight(Window* combo, int index);
// In debug builds, stops at a list whose selection, caret, top line or
// highlight lies outside its lines: each indexes the lines later, and a
// wrong one would read or draw past them, or act on the wrong row.
void CheckList(const Window& list);

// Menus.
std::unique_ptr<Menu> CreateMenuFromTemplate(const std::vector<MenuTemplateItem>& items);
MenuItem* FindCommand(Menu* menu, UINT id);  // in popups too; null for none
void MenuKey(Window* dialog, Key key);
bool MenuChar(Window* dialog, char c);  // a letter while the menu is open
bool OpenMenuByMnemonic(Window* dialog, char c);
void ChooseMenuItem(Window* dialog, int popup, int item);
void CloseMenu(Window* dialog);

}  // namespace layer
