// Edits made in a front end's own text widget, taken as the typing they stand for.
#include <algorithm>

#include "platform/dialog/manager.h"

namespace layer {
namespace {

// A field that takes the person's text now, or null.
Window* Field(HWND handle) {
  Window* w = FromHandle(handle);
  if (!w || (w->kind != Kind::Edit && w->kind != Kind::ComboBox) || !CanFocus(w)) return nullptr;
  Window* top = w->TopLevel();
  return top->Enabled() && top->Visible() && !top->dialog.ended ? w : nullptr;
}

}  // namespace

void ReplaceFieldText(HWND field, size_t start, size_t end, const std::string& text) {
  Window* w = Field(field);
  if (!w) return;
  size_t size = w->text.size();
  start = text::CharStart(w->text, std::min(start, size));
  end = text::CharStart(w->text, std::clamp(end, start, size));
  if (start == end && text.empty()) return;
  w->edit.anchor = start;
  w->edit.caret = end;
  EditReplaceSelection(w, text);
}

void SelectFieldText(HWND field, size_t anchor, size_t caret) {
  Window* w = Field(field);
  if (!w) return;
  size_t size = w->text.size();
  EditPlaceCaret(w, std::min(caret, size));
  w->edit.anchor = text::CharStart(w->text, std::min(anchor, size));
}

}  // namespace layer
