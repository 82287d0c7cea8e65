// Message boxes as small dialogs of their own, and icons.
#include <algorithm>
#include <map>
#include <sstream>

#include "platform/dialog/desktop.h"
#include "platform/dialog/frontend.h"
#include "platform/dialog/manager.h"

namespace layer {
namespace {

constexpr int kMaxTextColumns = 70;
constexpr int kButtonWidth = 50, kButtonHeight = 14, kGap = 4, kMargin = 8;
// A 32-pixel system icon in the units of the message font, and the room
// between it and the text; the text wraps that much sooner, so a box is no
// wider with an icon than without.
constexpr int kIconWidth = 21, kIconHeight = 20, kIconGap = 7;
constexpr int kIconId = 0x14;  // the id Windows gives a message box's icon

// The stock icon of the MB_ICON bits, named by ordinal; null for none.
const char* IconName(UINT type) {
  switch (type & MB_ICONMASK) {
    case MB_ICONHAND: return "#32513";
    case MB_ICONQUESTION: return "#32514";
    case MB_ICONEXCLAMATION: return "#32515";
    case MB_ICONASTERISK: return "#32516";
    default: return nullptr;
  }
}

struct Button {
  int id;
  const char* text;
};

std::vector<Button> ButtonsOf(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OK: return {{IDOK, "OK"}};
    case MB_OKCANCEL: return {{IDOK, "OK"}, {IDCANCEL, "Cancel"}};
    case MB_ABORTRETRYIGNORE: return {{IDABORT, "&Abort"}, {IDRETRY, "&Retry"}, {IDIGNORE, "&Ignore"}};
    case MB_YESNOCANCEL: return {{IDYES, "&Yes"}, {IDNO, "&No"}, {IDCANCEL, "Cancel"}};
    case MB_YESNO: return {{IDYES, "&Yes"}, {IDNO, "&No"}};
    case MB_RETRYCANCEL: return {{IDRETRY, "&Retry"}, {IDCANCEL, "Cancel"}};
    default: return {};
  }
}

// Lines of at most `columns` cells; a last line break starts no line.
std::vector<std::string> Lines(std::string_view text, int columns) {
  if (!text.empty() && text.back() == '\n') text.remove_suffix(text.size() > 1 && text[text.size() - 2] == '\r' ? 2 : 1);
  return text::Wrap(text, columns);
}

INT_PTR CALLBACK MessageBoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM) {
  Window* box = FromHandle(hwnd);
  if (message == WM_INITDIALOG) return FALSE;  // the default button already has the focus
  if (message != WM_COMMAND || !box) return FALSE;
  int id = LOWORD(wParam);
  if (box->Child(id)) {
    EndDialog(hwnd, id);
  } else if (id == IDCANCEL && (box->dialog.messageBoxStyle & MB_TYPEMASK) == MB_OK) {
    EndDialog(hwnd, IDOK);  // Esc on a lone OK
  }
  return TRUE;
}

std::unique_ptr<Window> CreateMessageBox(const MessageBoxRequest& request) {
  auto box = std::make_unique<Window>();
  box->kind = Kind::Dialog;
  box->className = "#32770";
  box->text = request.caption;
  box->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;
  box->dialog.messageBox = true;
  box->dialog.messageBoxStyle = request.style;
  box->dialog.proc = MessageBoxProc;
  box->dialog.defaultId = request.defaultButton;

  const char* icon = IconName(request.style);
  int textX = icon ? kMargin + kIconWidth + kIconGap : kMargin;
  std::vector<std::string> lines = Lines(request.text, kMaxTextColumns - (textX - kMargin) / 4);
  int columns = 0;
  for (const std::string& line : lines) columns = std::max(columns, text::Cells(line));
  std::vector<Button> buttons = ButtonsOf(request.style);
  int n = static_cast<int>(buttons.size());
  int buttonsWidth = n * kButtonWidth + (n - 1) * kGap;
  int textWidth = columns * 4;
  int width = std::max({textX - kMargin + textWidth, buttonsWidth, static_cast<int>(request.caption.size()) * 4 + 16}) +
              2 * kMargin;
  int textHeight = static_cast<int>(lines.size()) * 8;

  if (icon) {
    auto image = std::make_unique<Window>();
    image->kind = Kind::Static;
    image->className = "Static";
    image->id = kIconId;
    image->text = icon;
    image->style = WS_CHILD | WS_VISIBLE | SS_ICON;
    image->rect = {kMargin, kMargin, kIconWidth, kIconHeight};
    image->parent = box.get();
    box->children.push_back(std::move(image));
  }

  auto label = std::make_unique<Window>();
  label->kind = Kind::Static;
  label->className = "Static";
  label->id = 0xFFFF;
  for (size_t i = 0; i < lines.size(); ++i) label->text += (i ? "\n" : "") + lines[i];
  label->style = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_NOPREFIX;
  label->rect = {textX, kMargin, textWidth, textHeight};
  label->parent = box.get();
  box->children.push_back(std::move(label));

  int x = (width - buttonsWidth) / 2, y = kMargin + std::max(textHeight, icon ? kIconHeight : 0) + kMargin;
  for (int i = 0; i < n; ++i) {
    auto b = std::make_unique<Window>();
    b->kind = Kind::Button;
    b->className = "Button";
    b->id = buttons[static_cast<size_t>(i)].id;
    b->text = buttons[static_cast<size_t>(i)].text;
    b->style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | (i == 0 ? WS_GROUP : 0) |
               (b->id == request.defaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    b->rect = {x + i * (kButtonWidth + kGap), y, kButtonWidth, kButtonHeight};
    b->parent = box.get();
    box->children.push_back(std::move(b));
  }
  box->rect = {0, 0, width, y + kButtonHeight + kMargin};
  return box;
}

}  // namespace
}  // namespace layer

using namespace layer;

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  std::vector<Button> buttons = ButtonsOf(type);
  if (buttons.empty()) return 0;
  MessageBoxRequest request;
  request.owner = owner;
  request.caption = caption ? caption : "Error";
  request.text = text ? text : "";
  request.style = type;
  for (const Button& b : buttons) request.buttons.push_back(b.id);
  size_t defaultIndex = (type & MB_DEFMASK) >> 8;
  request.defaultButton = buttons[defaultIndex < buttons.size() ? defaultIndex : 0].id;
  for (const Button& b : buttons)
    if (b.id == IDCANCEL) request.escapeButton = IDCANCEL;
  if ((type & MB_TYPEMASK) == MB_OK) request.escapeButton = IDOK;

  if (FrontEnd* frontEnd = InstalledFrontEnd())
    if (std::optional<int> answer = frontEnd->AnswerMessageBox(request)) return *answer;

  std::unique_ptr<Window> holder = CreateMessageBox(request);
  Window* box = holder.get();
  Window* ownerWindow = FromHandle(owner);
  if (ownerWindow) ownerWindow = ownerWindow->TopLevel();
  box->dialog.owner = ownerWindow;
  // Modal to its owner; with none, to every window of the program.
  for (Window* w : TopLevelWindows())
    if ((w == ownerWindow || !ownerWindow) && w->Enabled()) {
      w->style |= WS_DISABLED;
      box->dialog.disabledWhileOpen.push_back(w);
    }
  Register(box);
  AddTopLevel(box);
  for (auto& c : box->children)
    if (c->id == request.defaultButton) FocusControl(c.get(), true);
  box->style |= WS_VISIBLE;
  ActivateWindow(box);
  INT_PTR result = RunModal(box);
  EndDialog(ToHandle(box), result);  // re-enables what it disabled
  RemoveTopLevel(box);
  Unregister(box);
  return static_cast<int>(result);
}

HICON WINAPI LoadIconA(HINSTANCE, LPCSTR name) {
  static std::map<int, char> icons;  // one address per icon resource serves as its handle
  int id = ResourceId(name);
  if (!id || !Resources().icons.count(id)) return nullptr;
  return reinterpret_cast<HICON>(&icons[id]);
}
