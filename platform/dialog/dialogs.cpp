// Dialogs: creation from templates, message dispatch with the default dialog
// handling, and modal loops.
#include <cstdio>
#include <strings.h>

#include "platform/dialog/desktop.h"
#include "platform/dialog/frontend.h"
#include "platform/dialog/manager.h"

namespace layer {
namespace {

// Closing attempts a loop makes, with no input left, before it gives up on
// a window that will not close.
constexpr int kIdleCloses = 3;

Kind KindOfClass(const std::string& className, DWORD style) {
  if (strcasecmp(className.c_str(), "Button") == 0)
    return (style & BS_TYPEMASK) == BS_GROUPBOX ? Kind::GroupBox : Kind::Button;
  if (strcasecmp(className.c_str(), "Edit") == 0) return Kind::Edit;
  if (strcasecmp(className.c_str(), "Static") == 0) return Kind::Static;
  if (strcasecmp(className.c_str(), "ListBox") == 0) return Kind::ListBox;
  if (strcasecmp(className.c_str(), "ComboBox") == 0) return Kind::ComboBox;
  return Kind::Other;
}

LRESULT DefaultDialogMessage(Window* d, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE: {
      // The close box is Cancel, unless a Cancel button is there and disabled.
      Window* cancel = d->Child(IDCANCEL);
      if (!cancel || cancel->Enabled()) Command(d, IDCANCEL, BN_CLICKED, cancel);
      return 0;
    }
    case WM_SETTEXT:
      d->text = lParam ? reinterpret_cast<const char*>(lParam) : "";
      Changed();
      return TRUE;
    case WM_GETTEXT:
      return CopyText(d->text, wParam, lParam);
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(d->text.size());
    case WM_NEXTDLGCTL: {
      // lParam set: wParam is the control; otherwise the next (0) or previous tab stop.
      Window* to = lParam ? FromHandle(reinterpret_cast<HWND>(wParam)) : NextTabItem(d, d->dialog.focus, wParam != 0);
      if (to && to->parent == d && CanFocus(to)) DialogFocus(to);
      return 0;
    }
    case DM_GETDEFID:
      if (d->dialog.ended) return 0;
      if (d->dialog.defaultId) return MAKELONG(d->dialog.defaultId, DC_HASDEFID);
      // Without a default id, the push button the dialog manager last made the default.
      for (auto& c : d->children)
        if (c->DefaultButton()) return MAKELONG(c->id, DC_HASDEFID);
      return 0;
    case DM_SETDEFID:
      d->dialog.defaultId = static_cast<int>(wParam);
      ShowDefaultButton(d, d->Child(d->dialog.defaultId));
      return TRUE;
    case WM_SETICON: {
      HICON& slot = wParam == ICON_BIG ? d->dialog.bigIcon : d->dialog.smallIcon;
      HICON previous = slot;
      slot = reinterpret_cast<HICON>(lParam);
      return reinterpret_cast<LRESULT>(previous);
    }
    default:
      return 0;
  }
}

void Reenable(Window* d) {
  for (Window* w : d->dialog.disabledWhileOpen)
    if (FromHandle(ToHandle(w))) w->style &= ~static_cast<DWORD>(WS_DISABLED);
  d->dialog.disabledWhileOpen.clear();
}

}  // namespace

LRESULT Send(Window* w, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!w) return 0;
  if (w->kind != Kind::Dialog) return ControlMessage(w, message, wParam, lParam);
  if (w->dialog.proc) {
    INT_PTR handled = w->dialog.proc(ToHandle(w), message, wParam, lParam);
    if (handled) return handled;
    if (!FromHandle(ToHandle(w))) return 0;
  }
  return DefaultDialogMessage(w, message, wParam, lParam);
}

void Command(Window* dialog, int id, WORD code, Window* from) {
  Send(dialog, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(ToHandle(from)));
}

void Notify(Window* control, WORD code) {
  if (control->parent) Command(control->parent, control->id, code, control);
}

int DefaultId(Window* dialog) {
  LRESULT found = Send(dialog, DM_GETDEFID, 0, 0);
  return HIWORD(found) == DC_HASDEFID ? LOWORD(found) : IDOK;
}

void ShowDefaultButton(Window* dialog, Window* button) {
  for (auto& c : dialog->children) {
    if (!c->PushButton()) continue;
    DWORD type = c.get() == button ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    c->style = (c->style & ~static_cast<DWORD>(BS_TYPEMASK)) | type;
  }
  Changed();
}

void DialogFocus(Window* control) {
  FocusControl(control, true);
  Window* d = control->TopLevel();
  Window* fallback = d->dialog.defaultId ? d->Child(d->dialog.defaultId) : nullptr;
  ShowDefaultButton(d, control->PushButton() ? control : fallback);
}

std::unique_ptr<Window> CreateDialogWindow(const DialogTemplate& t) {
  auto d = std::make_unique<Window>();
  d->kind = Kind::Dialog;
  d->className = "#32770";
  d->text = t.caption;
  d->style = t.style & ~static_cast<DWORD>(WS_VISIBLE);  // shown when its loop starts
  d->exStyle = t.exStyle;
  d->rect = {0, 0, t.rect.cx, t.rect.cy};
  d->dialog.templateId = t.id;
  d->dialog.fontName = t.fontName;
  d->dialog.fontSize = t.fontSize;
  if (t.menuId)
    if (const auto* items = Resources().MenuItems(t.menuId)) d->dialog.menu = CreateMenuFromTemplate(*items);
  for (const ControlTemplate& ct : t.controls) {
    auto c = std::make_unique<Window>();
    c->kind = KindOfClass(ct.className, ct.style);
    c->className = ct.className;
    c->id = ct.id;
    c->text = ct.text;
    c->style = ct.style;
    c->exStyle = ct.exStyle;
    c->rect = ct.rect;
    c->parent = d.get();
    if (c->DefaultButton()) d->dialog.defaultId = c->id;  // the last one wins
    d->children.push_back(std::move(c));
  }
  if (d->dialog.defaultId) ShowDefaultButton(d.get(), d->Child(d->dialog.defaultId));
  return d;
}

INT_PTR RunModal(Window* dialog) {
  int idle = 0;
  while (!dialog->dialog.ended) {
    FrontEnd* frontEnd = InstalledFrontEnd();
    if (frontEnd && frontEnd->WaitForInput(dialog)) {
      idle = 0;
      continue;
    }
    if (dialog->dialog.ended) break;
    if (++idle > kIdleCloses) {
      if (frontEnd) frontEnd->Abandoned(dialog);
      EndDialog(ToHandle(dialog), dialog->dialog.messageBox ? DefaultId(dialog) : 0);
      break;
    }
    Send(dialog, WM_CLOSE, 0, 0);
  }
  return dialog->dialog.result;
}

}  // namespace layer

using namespace layer;

INT_PTR WINAPI DialogBoxParamA(HINSTANCE, LPCSTR templateName, HWND owner, DLGPROC proc, LPARAM param) {
  const DialogTemplate* t = Resources().Dialog(ResourceId(templateName));
  if (!t) return -1;
  return layer::RunDialog(*t, owner, proc, param);
}

INT_PTR layer::RunDialog(const DialogTemplate& t, HWND owner, DLGPROC proc, LPARAM param) {
  std::unique_ptr<Window> holder = CreateDialogWindow(t);
  Window* d = holder.get();
  d->dialog.proc = proc;
  d->dialog.param = param;
  if (Window* o = FromHandle(owner)) {
    d->dialog.owner = o->TopLevel();
    if (d->dialog.owner->Enabled()) {
      d->dialog.owner->style |= WS_DISABLED;
      d->dialog.disabledWhileOpen.push_back(d->dialog.owner);
    }
  }
  Register(d);
  AddTopLevel(d);

  Window* first = NextTabItem(d, nullptr, false);
  INT_PTR focus = proc ? proc(ToHandle(d), WM_INITDIALOG, reinterpret_cast<WPARAM>(ToHandle(first)), param) : TRUE;
  if (!d->dialog.ended) {
    if (focus) {
      if (Window* f = NextTabItem(d, nullptr, false)) FocusControl(f, true);
    }
    d->style |= WS_VISIBLE;
    ActivateWindow(d);
    RunModal(d);
  }
  INT_PTR result = d->dialog.result;
  Reenable(d);
  RemoveTopLevel(d);
  Unregister(d);
  return result;
}

BOOL WINAPI EndDialog(HWND dialog, INT_PTR result) {
  Window* d = FromHandle(dialog);
  if (!d || d->kind != Kind::Dialog || d->parent) return FALSE;
  d->dialog.ended = true;
  d->dialog.result = result;
  Reenable(d);
  CloseMenu(d);
  if (d->Visible()) {
    d->style &= ~static_cast<DWORD>(WS_VISIBLE);
    if (d == ActiveWindow()) ActivateNext();
  }
  Changed();
  return TRUE;
}
