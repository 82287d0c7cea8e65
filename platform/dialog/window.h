// Windows, controls and menus as plain objects. An HWND points at a Window,
// an HMENU at a Menu. Front ends read these to draw; they change them only
// through the input calls of input.h.
//
// Geometry is in dialog units, relative to the parent's client area (a
// top-level window's rect is its client size; it is placed by the front end,
// centred). On a character grid one unit is a quarter of a cell across and
// an eighth down; CellRect() pins the rounding.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/dialog/list_lines.h"
#include "platform/text/utf8.h"
#include "platform/win32.h"

namespace layer {

enum class Kind { Dialog, Button, Edit, Static, ListBox, ComboBox, GroupBox, Other };

struct Rect {
  int x = 0, y = 0, cx = 0, cy = 0;
};

// A rect on the character grid: column x/4, row y/8, the far edges rounded
// the same way, never less than one cell.
struct CellRect {
  int col = 0, row = 0, width = 1, height = 1;
};
CellRect ToCells(const Rect& r);

struct Menu;

struct MenuItem {
  std::string text;   // with its '&' mnemonic marker
  UINT id = 0;        // 0 for separators and popups
  UINT state = 0;     // MF_CHECKED, MF_GRAYED, MF_DISABLED
  bool separator = false;
  std::unique_ptr<Menu> popup;  // set for a popup
};

struct Menu {
  std::vector<MenuItem> items;
};

// Keyboard/mouse navigation of a dialog's menu bar.
struct MenuBarState {
  enum Mode { Closed, Bar, Popup } mode = Closed;  // Bar: highlighted, no popup open
  int popup = -1;  // highlighted (or open) popup position
  int item = -1;   // highlighted item in the open popup, -1 for none
};

// An edit control or a combo box's edit part. Positions are byte offsets
// into the text, always at a character's start; the selection runs between
// anchor and caret.
struct EditState {
  size_t caret = 0;
  size_t anchor = 0;
  size_t scroll = 0;  // offset of the first visible character (single line) or first line (multiline)
  size_t SelStart() const { return anchor < caret ? anchor : caret; }
  size_t SelEnd() const { return anchor < caret ? caret : anchor; }
};

struct ListState {
  ListLines items;
  int selection = -1;
  int caret = 0;  // the line the keys move from; it need not be selected
  int topIndex = 0;
  std::vector<int> tabStops;  // dialog units; empty means every 32 units
};

struct ComboState {
  bool dropped = false;
  int highlight = -1;  // highlighted line of the open list
};

struct Window;

struct DialogState {
  int templateId = 0;       // 0 for a message box
  DLGPROC proc = nullptr;
  LPARAM param = 0;
  Window* owner = nullptr;
  std::unique_ptr<Menu> menu;
  Window* focus = nullptr;  // the control with the focus while this window is active; it may be hidden
  int defaultId = 0;        // DM_SETDEFID's id (the template's DEFPUSHBUTTON), 0 for none
  HICON smallIcon = nullptr;
  HICON bigIcon = nullptr;
  bool ended = false;       // EndDialog ran; the loop returns when it is next asked
  INT_PTR result = 0;
  bool messageBox = false;
  UINT messageBoxStyle = 0;
  std::string fontName;
  int fontSize = 0;
  MenuBarState menuBar;
  std::vector<Window*> disabledWhileOpen;  // windows this modal one disabled
};

// A number no later window is given again, unlike its address.
std::uint64_t NewWindowSerial();

struct Window {
  std::uint64_t serial = NewWindowSerial();
  Kind kind = Kind::Other;
  std::string className;  // "Button", "Edit", "Static", "ListBox", "ComboBox", "#32770" for dialogs
  int id = 0;
  std::string text;       // caption, label, edit text, a combo box's edit part
  DWORD style = 0;
  DWORD exStyle = 0;
  Rect rect;
  Window* parent = nullptr;
  std::vector<std::unique_ptr<Window>> children;  // template order, which is the tab order

  EditState edit;    // Edit, and a ComboBox's edit part
  ListState list;    // ListBox, and a ComboBox's list
  ComboState combo;  // ComboBox
  DialogState dialog;  // Dialog

  bool Enabled() const { return (style & WS_DISABLED) == 0; }
  bool Visible() const { return (style & WS_VISIBLE) != 0; }
  bool TabStop() const { return (style & WS_TABSTOP) != 0; }
  bool Multiline() const { return kind == Kind::Edit && (style & ES_MULTILINE) != 0; }
  bool PushButton() const;
  bool DefaultButton() const;  // a push button showing itself as the default (BS_DEFPUSHBUTTON)
  Window* Child(int childId) const;
  Window* TopLevel();
};

inline HWND ToHandle(Window* w) { return reinterpret_cast<HWND>(w); }
inline HMENU ToHandle(Menu* m) { return reinterpret_cast<HMENU>(m); }
// Null for a handle that names no live window.
Window* FromHandle(HWND hwnd);
Menu* FromHandle(HMENU hmenu);

// Lines a list shows at once, columns an edit field shows, and lines of a
// combo box's open list: the control's cells less a border of one cell (a
// combo box also gives a cell to its arrow and a row to its edit part).
int VisibleLines(const Window& list);
int VisibleColumns(const Window& edit);
int DroppedLines(const Window& combo);

// The system icon an icon static (SS_ICON) shows when its text names a stock
// icon by ordinal, "#32513" to "#32516", as a message box's icon does.
enum class StockIcon { None, Error, Question, Warning, Information };
StockIcon StockIconOf(const Window& control);

// The mnemonic letter of a text: the character after the first '&' that is
// not doubled, lower-cased; 0 for none.
char Mnemonic(const std::string& text);
// The text as shown: "&&" becomes '&', a single '&' disappears.
std::string WithoutMnemonic(const std::string& text);

// A list line with its tabs expanded to the list's tab stops, counted in
// display cells (four dialog units a column).
std::string ExpandTabs(const Window& list, std::string_view line);

// The lines of a multiline edit's text ("\r\n" or "\n" separated).
std::vector<std::string> EditLines(const std::string& text);

}  // namespace layer
