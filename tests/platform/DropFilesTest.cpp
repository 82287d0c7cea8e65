// Files dropped on a window reach it only after DragAcceptFiles, with every
// name whole or cut to the buffer as Windows cuts it.
#include "tests/platform/DialogFixture.h"

#include <sstream>
#include <string>
#include <vector>

#include "platform/script/script.h"

namespace {

std::vector<std::string> received;
std::string cut;

INT_PTR CALLBACK DropTarget(HWND d, UINT m, WPARAM w, LPARAM accept) {
  if (m == WM_INITDIALOG) {
    if (accept) DragAcceptFiles(d, TRUE);
    return TRUE;
  }
  if (m == WM_DROPFILES) {
    HDROP drop = reinterpret_cast<HDROP>(w);
    UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
      std::string name(DragQueryFileA(drop, i, nullptr, 0), '\0');
      DragQueryFileA(drop, i, name.data(), static_cast<UINT>(name.size() + 1));
      received.push_back(name);
    }
    char small[5];
    DragQueryFileA(drop, 0, small, sizeof small);
    cut = small;
    DragFinish(drop);
    return TRUE;
  }
  if (m == WM_COMMAND && LOWORD(w) == IDCANCEL) EndDialog(d, 0);
  return FALSE;
}

TEST(DropFiles, OnlyAWindowThatAcceptsFilesGetsThemWhole) {
  struct Case {
    LPARAM accept;
    std::vector<std::string> received;
    std::string out;
  } cases[] = {
      {TRUE, {"/home/a b/statement.ofx"}, ""},
      {FALSE, {}, "error: line 1: the window takes no dropped files\n"},
  };
  for (const Case& c : cases) {
    received.clear();
    std::istringstream in("drop \"/home/a b/statement.ofx\"\nescape\n");
    std::ostringstream out;
    RunWithScriptFrontEnd(in, out, [&] {
      return static_cast<int>(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(IDD_ACCOUNT), nullptr, DropTarget, c.accept));
    });
    EXPECT_EQ(received, c.received);
    EXPECT_EQ(out.str(), c.out);
    if (c.accept) {
      EXPECT_EQ(cut, "/hom");
    }
  }
}

}  // namespace
