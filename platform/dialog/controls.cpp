// The controls' own message handling: buttons, edit fields, list boxes and
// combo boxes.
#include <algorithm>
#include <cassert>
#include <cstring>

#include "platform/dialog/collation.h"
#include "platform/dialog/manager.h"

namespace layer {
namespace {

// The caller's text itself, not a copy.
std::string_view Arg(LPARAM lParam) { return lParam ? reinterpret_cast<const char*>(lParam) : ""; }

int Count(const Window* w) { return static_cast<int>(w->list.items.size()); }

// Inserts at `index` (-1: the end, or the sorted place when `sorted`).
LRESULT InsertItem(Window* w, int index, std::string_view text, bool sorted) {
  ListLines& items = w->list.items;
  if (sorted) {
    // After the last line that does not sort after the text.
    size_t low = 0, high = items.size();
    while (low < high) {
      size_t middle = low + (high - low) / 2;
      if (CollateNoCase(text, items[middle]) < 0) high = middle;
      else low = middle + 1;
    }
    index = static_cast<int>(low);
  } else if (index < 0) {
    index = Count(w);
  } else if (index > Count(w)) {
    return LB_ERR;
  }
  items.insert(static_cast<size_t>(index), text);
  if (w->list.selection >= index) ++w->list.selection;
  if (w->list.caret >= index && Count(w) > 1) ++w->list.caret;
  Changed();
  return index;
}

LRESULT DeleteItem(Window* w, int index) {
  if (index < 0 || index >= Count(w)) return LB_ERR;
  w->list.items.erase(static_cast<size_t>(index));
  if (w->list.selection == index) w->list.selection = -1;
  else if (w->list.selection > index) --w->list.selection;
  if (w->list.caret > index || w->list.caret >= Count(w)) w->list.caret = std::max(0, w->list.caret - 1);
  w->list.topIndex = std::max(0, std::min(w->list.topIndex, Count(w) - 1));
  Changed();
  return Count(w);
}

// From start+1 to the end, then from the beginning up to start; -1 (or a
// start past the end) searches them all.
int Find(const Window* w, int start, std::string_view text, bool exact) {
  int n = Count(w);
  if (start < 0 || start >= n) start = -1;
  for (int step = 1; step <= n; ++step) {
    int i = (start + step) % n;
    std::string_view item = w->list.items[static_cast<size_t>(i)];
    if (exact ? EqualNoCase(item, text) : StartsNoCase(item, text))
      return i;
  }
  return LB_ERR;
}

LRESULT CopyItem(const Window* w, int index, LPARAM buffer) {
  if (index < 0 || index >= Count(w)) return LB_ERR;
  std::string_view item = w->list.items[static_cast<size_t>(index)];
  if (char* out = reinterpret_cast<char*>(buffer)) {
    std::memcpy(out, item.data(), item.size());
    out[item.size()] = '\0';
  }
  return static_cast<LRESULT>(item.size());
}

void SetEditText(Window* w, const std::string& text) {
  w->text = text;
  w->edit = EditState{};
  Changed();
}

LRESULT Selection(const Window* w, WPARAM start, LPARAM end) {
  DWORD s = static_cast<DWORD>(w->edit.SelStart()), e = static_cast<DWORD>(w->edit.SelEnd());
  if (DWORD* p = reinterpret_cast<DWORD*>(start)) *p = s;
  if (DWORD* p = reinterpret_cast<DWORD*>(end)) *p = e;
  return s > 0xFFFF || e > 0xFFFF ? -1 : MAKELONG(s, e);
}

void SetSelection(Window* w, int start, int end) {
  size_t len = w->text.size();
  if (start < 0) {
    w->edit.anchor = w->edit.caret;
  } else {
    size_t e = end < 0 ? len : std::min<size_t>(static_cast<size_t>(end), len);
    EditPlaceCaret(w, e);
    w->edit.anchor = text::CharStart(w->text, static_cast<size_t>(start));
  }
  Changed();
}

LRESULT ListMessage(Window* w, UINT message, WPARAM wParam, LPARAM lParam) {
  int index = static_cast<int>(wParam);
  switch (message) {
    case LB_ADDSTRING:
      return InsertItem(w, -1, Arg(lParam), (w->style & LBS_SORT) != 0);
    case LB_INSERTSTRING:
      return InsertItem(w, index, Arg(lParam), false);
    case LB_DELETESTRING:
      return DeleteItem(w, index);
    case LB_INITSTORAGE:
      if (!w->list.items.reserve(wParam, static_cast<size_t>(lParam))) return LB_ERRSPACE;
      return static_cast<LRESULT>(w->list.items.size() + wParam);
    case LB_RESETCONTENT:
      w->list.items.clear();
      w->list.selection = -1;
      w->list.caret = 0;
      w->list.topIndex = 0;
      Changed();
      return 0;
    case LB_SETCURSEL:
      if (index < -1 || index >= Count(w)) return LB_ERR;
      w->list.selection = index;
      if (index >= 0) {
        w->list.caret = index;
        ListScrollTo(w, index);
      }
      Changed();
      return index < 0 ? LB_ERR : index;
    case LB_GETCURSEL:
      return w->list.selection;
    case LB_GETCARETINDEX:
      return w->list.caret;
    case LB_GETTEXT:
      return CopyItem(w, index, lParam);
    case LB_GETTEXTLEN:
      return index < 0 || index >= Count(w) ? LB_ERR : static_cast<LRESULT>(w->list.items[wParam].size());
    case LB_GETCOUNT:
      return Count(w);
    case LB_GETTOPINDEX:
      return w->list.topIndex;
    case LB_SETTOPINDEX:
      if (index < 0 || index >= Count(w)) return LB_ERR;
      w->list.topIndex = std::max(0, std::min(index, Count(w) - VisibleLines(*w)));
      Changed();
      return 0;
    case LB_SETTABSTOPS: {
      if (!(w->style & LBS_USETABSTOPS)) return FALSE;
      const int* stops = reinterpret_cast<const int*>(lParam);
      if (index > 0 && !stops) return FALSE;
      w->list.tabStops.assign(stops, stops + std::max(0, index));
      Changed();
      return TRUE;
    }
    default:
      return 0;
  }
}

LRESULT ComboMessage(Window* w, UINT message, WPARAM wParam, LPARAM lParam) {
  int index = static_cast<int>(wParam);
  switch (message) {
    case CB_ADDSTRING:
      return InsertItem(w, -1, Arg(lParam), (w->style & CBS_SORT) != 0);
    case CB_INSERTSTRING:
      return InsertItem(w, index, Arg(lParam), false);
    case CB_DELETESTRING:
      return DeleteItem(w, index);
    case CB_RESETCONTENT:
      w->list.items.clear();
      w->list.selection = -1;
      w->list.caret = 0;
      w->list.topIndex = 0;
      w->combo.highlight = -1;
      SetEditText(w, "");
      return 0;
    case CB_GETCOUNT:
      return Count(w);
    case CB_GETCURSEL:
      return w->list.selection;
    case CB_SETCURSEL:
      if (index < -1 || index >= Count(w)) return CB_ERR;
      w->list.selection = index;
      SetEditText(w, index < 0 ? std::string() : std::string(w->list.items[static_cast<size_t>(index)]));
      if (index >= 0) SetSelection(w, 0, -1);
      return index < 0 ? CB_ERR : index;
    case CB_GETLBTEXT:
      return CopyItem(w, index, lParam);
    case CB_GETLBTEXTLEN:
      return index < 0 || index >= Count(w) ? CB_ERR : static_cast<LRESULT>(w->list.items[wParam].size());
    case CB_FINDSTRING:
      return Find(w, index, Arg(lParam), false);
    case CB_FINDSTRINGEXACT:
      return Find(w, index, Arg(lParam), true);
    case CB_SELECTSTRING: {
      int found = Find(w, index, Arg(lParam), false);
      return found < 0 ? CB_ERR : ComboMessage(w, CB_SETCURSEL, static_cast<WPARAM>(found), 0);
    }
    case CB_SHOWDROPDOWN:
      ComboShowList(w, wParam != 0);
      return TRUE;
    case CB_GETDROPPEDSTATE:
      return w->combo.dropped ? TRUE : FALSE;
    case CB_GETEDITSEL:
      return Selection(w, wParam, lParam);
    default:
      return 0;
  }
}

}  // namespace

LRESULT ControlMessage(Window* w, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETTEXT:
      SetEditText(w, std::string(Arg(lParam)));
      if (w->kind == Kind::Edit && !w->Multiline()) Notify(w, EN_CHANGE);
      return TRUE;
    case WM_GETTEXT:
      return CopyText(w->text, wParam, lParam);
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(w->text.size());
    default:
      break;
  }
  switch (w->kind) {
    case Kind::Button:
      if (message == BM_CLICK && CanFocus(w) && w->TopLevel()->Enabled()) {
        FocusControl(w, false);
        Notify(w, BN_CLICKED);
      }
      return 0;
    case Kind::Edit:
      if (message == EM_SETSEL) SetSelection(w, static_cast<int>(wParam), static_cast<int>(lParam));
      if (message == EM_GETSEL) return Selection(w, wParam, lParam);
      return 0;
    case Kind::ListBox: {
      LRESULT result = ListMessage(w, message, wParam, lParam);
      CheckList(*w);
      return result;
    }
    case Kind::ComboBox: {
      LRESULT result = ComboMessage(w, message, wParam, lParam);
      CheckList(*w);
      return result;
    }
    default:
      return 0;
  }
}

// ---- what a person does to the controls

static size_t LineStart(const std::string& text, size_t pos) {
  size_t nl = pos == 0 ? std::string::npos : text.rfind('\n', pos - 1);
  return nl == std::string::npos ? 0 : nl + 1;
}

static size_t LineEnd(const std::string& text, size_t pos) {
  size_t nl = text.find('\n', pos);
  if (nl == std::string::npos) return text.size();
  return nl > 0 && text[nl - 1] == '\r' ? nl - 1 : nl;
}

// One character left or right, a "\r\n" pair counting as one.
static size_t Step(const std::string& text, size_t pos, bool forward) {
  if (forward) {
    if (pos >= text.size()) return text.size();
    return text.compare(pos, 2, "\r\n") == 0 ? pos + 2 : pos + text::CharLength(text, pos);
  }
  if (pos == 0) return 0;
  return pos >= 2 && text.compare(pos - 2, 2, "\r\n") == 0 ? pos - 2 : text::PrevChar(text, pos);
}

void EditPlaceCaret(Window* w, size_t position) {
  EditState& e = w->edit;
  const std::string& text = w->text;
  e.caret = e.anchor = text::CharStart(text, position);
  if (w->Multiline()) {
    size_t line = static_cast<size_t>(std::count(text.begin(), text.begin() + static_cast<long>(e.caret), '\n'));
    size_t lines = static_cast<size_t>(VisibleLines(*w));
    if (line < e.scroll) e.scroll = line;
    if (line >= e.scroll + lines) e.scroll = line - lines + 1;
  } else {
    // The caret's own cell is the last one the field shows.
    std::string_view view = text;
    e.scroll = std::min(text::CharStart(text, e.scroll), e.caret);
    int shown = text::Cells(view.substr(e.scroll, e.caret - e.scroll));
    while (e.scroll < e.caret && shown > VisibleColumns(*w) - 1) {
      size_t length = text::CharLength(text, e.scroll);
      shown -= text::Cells(view.substr(e.scroll, length));
      e.scroll += length;
    }
  }
  Changed();
}

static void MoveCaret(Window* w, size_t position, bool extend) {
  size_t anchor = w->edit.anchor;
  EditPlaceCaret(w, position);
  if (extend) w->edit.anchor = anchor;
}

void EditReplaceSelection(Window* w, const std::string& typed) {
  std::string text = typed;
  if (!w->Multiline()) text.erase(std::remove_if(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }),
                                  text.end());
  size_t start = w->edit.SelStart();
  w->text.replace(start, w->edit.SelEnd() - start, text);
  EditPlaceCaret(w, start + text.size());
  Notify(w, w->kind == Kind::ComboBox ? static_cast<WORD>(CBN_EDITCHANGE) : static_cast<WORD>(EN_CHANGE));
}

void EditKey(Window* w, Key key, unsigned modifiers) {
  const std::string& text = w->text;
  EditState& e = w->edit;
  bool shift = modifiers & kShift;
  bool selection = e.anchor != e.caret;
  switch (key) {
    case Key::Left:
      MoveCaret(w, selection && !shift ? e.SelStart() : Step(text, e.caret, false), shift);
      break;
    case Key::Right:
      MoveCaret(w, selection && !shift ? e.SelEnd() : Step(text, e.caret, true), shift);
      break;
    case Key::Home:
      MoveCaret(w, (modifiers & kCtrl) ? 0 : LineStart(text, e.caret), shift);
      break;
    case Key::End:
      MoveCaret(w, (modifiers & kCtrl) ? text.size() : LineEnd(text, e.caret), shift);
      break;
    case Key::Up:
    case Key::Down: {
      if (!w->Multiline()) break;
      size_t start = LineStart(text, e.caret);
      int column = text::Cells(std::string_view(text).substr(start, e.caret - start));
      size_t target;
      if (key == Key::Up) {
        if (start == 0) break;
        target = LineStart(text, start - 1);
      } else {
        size_t end = LineEnd(text, e.caret);
        if (end >= text.size()) break;
        target = Step(text, end, true);
      }
      MoveCaret(w, target + text::OffsetAtCell(std::string_view(text).substr(target, LineEnd(text, target) - target), column),
                shift);
      break;
    }
    case Key::Backspace:
      if (!selection) e.anchor = Step(text, e.caret, false);
      if (e.anchor != e.caret) EditReplaceSelection(w, "");
      break;
    case Key::Delete:
      if (!selection) e.anchor = Step(text, e.caret, true);
      if (e.anchor != e.caret) EditReplaceSelection(w, "");
      break;
    case Key::Enter:
      if (w->Multiline()) EditReplaceSelection(w, "\r\n");
      break;
    default:
      break;
  }
}

void ListScrollTo(Window* w, int index) {
  int lines = w->kind == Kind::ComboBox ? DroppedLines(*w) : VisibleLines(*w);
  if (index < w->list.topIndex) w->list.topIndex = index;
  if (index >= w->list.topIndex + lines) w->list.topIndex = index - lines + 1;
  CheckList(*w);
}

void CheckList(const Window& w) {
  [[maybe_unused]] int count = static_cast<int>(w.list.items.size());
  [[maybe_unused]] int last = std::max(count - 1, 0);
  assert(w.list.selection >= -1 && w.list.selection < count);
  assert(w.list.caret >= 0 && w.list.caret <= last);
  assert(w.list.topIndex >= 0 && w.list.topIndex <= last);
  assert(w.combo.highlight >= -1 && w.combo.highlight < count);
}

void ListMoveSelection(Window* w, int index) {
  if (Count(w) == 0) return;
  index = std::max(0, std::min(index, Count(w) - 1));
  w->list.selection = index;
  w->list.caret = index;
  ListScrollTo(w, index);
  Changed();
  if (w->style & LBS_NOTIFY) Notify(w, LBN_SELCHANGE);
}

void ComboShowList(Window* w, bool show) {
  if (show == w->combo.dropped) return;
  w->combo.dropped = show;
  if (show) {
    int match = w->text.empty() ? -1 : Find(w, -1, w->text, false);
    w->combo.highlight = match >= 0 ? match : w->list.selection;
    if (w->combo.highlight >= 0) ListScrollTo(w, w->combo.highlight);
  } else {
    w->combo.highlight = -1;
  }
  Changed();
  if (show) Notify(w, CBN_DROPDOWN);
}

void ComboMoveHighlight(Window* w, int index) {
  if (Count(w) == 0) return;
  w->combo.highlight = std::max(0, std::min(index, Count(w) - 1));
  ListScrollTo(w, w->combo.highlight);  // checks the list
  Changed();
}

void ComboChoose(Window* w, int index) {
  if (index < 0 || index >= Count(w)) return;
  ComboShowList(w, false);
  w->list.selection = index;
  SetEditText(w, std::string(w->list.items[static_cast<size_t>(index)]));
  SetSelection(w, 0, -1);
  Notify(w, CBN_SELCHANGE);
}

}  // namespace layer
