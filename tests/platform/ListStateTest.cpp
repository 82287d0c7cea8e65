// A list's selection, caret, top line and highlight index its lines: they
// stay within them through every change, and a debug build stops where one
// does not, before it reads or draws past the lines or acts on a wrong row.
#include "tests/platform/DialogFixture.h"

#include "platform/dialog/manager.h"
#include "platform/dialog/window.h"

namespace {

class ListStateTest : public DialogFixture {};

void Fill(HWND control, UINT add, int lines) {
  for (int i = 0; i < lines; ++i)
    SendMessageA(control, add, 0, reinterpret_cast<LPARAM>(("line " + std::to_string(i)).c_str()));
}

TEST_F(ListStateTest, EmptyingAListLeavesEveryIndexOnItsLines) {
  struct Case {
    const char* what;
    int id;
    UINT add, reset;
  };
  const Case cases[] = {
      {"the register list", IDC_REGISTER, LB_ADDSTRING, LB_RESETCONTENT},
      {"the payee list", IDC_PAYEE, CB_ADDSTRING, CB_RESETCONTENT},
  };
  During(ui, [&](HWND dialog) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.what);
      HWND control = GetDlgItem(dialog, c.id);
      layer::Window* w = layer::FromHandle(control);
      Fill(control, c.add, 40);
      layer::ListMoveSelection(w, 30);
      SendMessageA(control, c.reset, 0, 0);
      EXPECT_EQ(w->list.selection, -1);
      EXPECT_EQ(w->list.caret, 0);
      EXPECT_EQ(w->list.topIndex, 0);
      Fill(control, c.add, 2);
      layer::CheckList(*w);
    }
  });
  Run(IDD_REGISTER);
}

// Room made ahead must keep the lines already there; room that cannot be made is refused.
TEST_F(ListStateTest, InitStorageKeepsTheLinesAndRefusesWhatCannotBeHeld) {
  During(ui, [&](HWND dialog) {
    HWND list = GetDlgItem(dialog, IDC_REGISTER);
    Fill(list, LB_ADDSTRING, 3);
    EXPECT_EQ(SendMessageA(list, LB_INITSTORAGE, 5000, 5000 * 48), 5003);
    EXPECT_EQ(SendMessageA(list, LB_INITSTORAGE, 1, LPARAM{1} << 40), LB_ERRSPACE);
    Fill(list, LB_ADDSTRING, 2);
    EXPECT_EQ(layer::FromHandle(list)->list.items.Strings(),
              (std::vector<std::string>{"line 0", "line 1", "line 2", "line 0", "line 1"}));
  });
  Run(IDD_REGISTER);
}

TEST_F(ListStateTest, AnIndexOutsideTheLinesStopsADebugBuild) {
  struct Case {
    const char* what;
    void (*corrupt)(layer::Window&);
  };
  const Case cases[] = {
      {"selection past the last line", [](layer::Window& w) { w.list.selection = 3; }},
      {"selection below none", [](layer::Window& w) { w.list.selection = -2; }},
      {"caret past the last line", [](layer::Window& w) { w.list.caret = 3; }},
      {"top line past the last line", [](layer::Window& w) { w.list.topIndex = 5; }},
      {"top line above the first", [](layer::Window& w) { w.list.topIndex = -1; }},
      {"highlight past the last line", [](layer::Window& w) { w.combo.highlight = 3; }},
  };
  During(ui, [&](HWND dialog) {
    HWND list = GetDlgItem(dialog, IDC_REGISTER);
    Fill(list, LB_ADDSTRING, 3);
    for (const Case& c : cases) {
      SCOPED_TRACE(c.what);
      layer::Window copy;
      copy.kind = layer::Kind::ListBox;
      copy.list = layer::FromHandle(list)->list;
      layer::CheckList(copy);  // the list as the dialog manager keeps it passes
      c.corrupt(copy);
      EXPECT_DEBUG_DEATH(layer::CheckList(copy), "");
    }
  });
  Run(IDD_REGISTER);
}

}  // namespace
