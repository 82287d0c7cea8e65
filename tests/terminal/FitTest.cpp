// Every window of the program laid out for terminals from 80 x 24 up: no
// control covers another, texts are whole, list columns stay under their
// headings, and a resize loses nothing.
#include "tests/terminal/ScreenFixture.h"

namespace {

constexpr std::pair<int, int> kSizes[] = {{24, 80}, {30, 100}, {40, 120}};

std::string Name(const void* control) {
  auto* w = static_cast<const layer::Window*>(control);
  return "control " + std::to_string(w->id) + " \"" + w->text + "\"";
}

std::string SizeName(int rows, int cols) { return std::to_string(cols) + " x " + std::to_string(rows); }

// Whether `text` is drawn on `row` overlapping the columns of `box`.
bool DrawnIn(const term::Canvas& screen, int row, const term::Box& box, const std::u32string& text) {
  std::u32string line = text::Decode(screen.Row(row));
  for (size_t at = line.find(text); at != std::u32string::npos; at = line.find(text, at + 1)) {
    int from = static_cast<int>(at), to = from + static_cast<int>(text.size());
    if (from < box.col + box.width && to > box.col) return true;
  }
  return false;
}

class FitTest : public ScreenTest {
 protected:
  // The windows as drawn at each size: nothing covered, every label, value
  // and button text of the active window whole, open menus and lists on the screen.
  static void ExpectTidy(const std::string& scene) {
    for (auto [rows, cols] : kSizes) {
      SCOPED_TRACE(scene + " at " + SizeName(rows, cols));
      term::Canvas screen(rows, cols);
      ASSERT_TRUE(term::Draw(screen, Windows(), layer::ActiveWindow())) << All(screen);
      for (const auto& c : screen.covered)
        ADD_FAILURE() << Name(c.over) << " covers " << Name(c.under) << " at row " << c.row << ", column " << c.col
                      << "\n" << All(screen);
      layer::Window* active = layer::ActiveWindow();
      term::Placement p = term::Place(*active, rows, cols);
      // An open menu or list lies over the controls for a while; only it is looked at then.
      bool overlay = active->dialog.menuBar.mode == layer::MenuBarState::Popup;
      for (auto& child : active->children) overlay = overlay || child->combo.dropped;
      for (auto& child : active->children) {
        layer::Window& c = *child;
        if (overlay || !c.Visible() || c.text.empty() || (c.kind != layer::Kind::Static && c.kind != layer::Kind::Button)) continue;
        std::u32string text = term::IconGlyph(c);
        if (text.empty()) text = (c.style & SS_NOPREFIX) ? text::Decode(c.text) : term::MakeLabel(c.text).text;
        term::ControlBox cb = term::BoxOf(p, c);
        int row = text.find(U'\n') == std::u32string::npos && term::IconGlyph(c).empty() ? cb.textRow : cb.box.row;
        for (size_t start = 0; start <= text.size(); ++row) {
          size_t end = std::min(text.find(U'\n', start), text.size());
          std::u32string line = text.substr(start, end - start);
          EXPECT_TRUE(DrawnIn(screen, row, cb.box, line)) << Name(&c) << ": \"" << text::Encode(line) << "\" not whole\n"
                                                          << All(screen);
          start = end + 1;
        }
      }
      const layer::MenuBarState& bar = active->dialog.menuBar;
      if (bar.mode == layer::MenuBarState::Popup) {
        term::Box popup = term::PopupBox(p, bar.popup);
        EXPECT_TRUE(popup.row >= 0 && popup.col >= 0 && popup.row + popup.height <= rows && popup.col + popup.width <= cols);
      }
      for (auto& child : active->children)
        if (child->combo.dropped) {
          term::Box list = term::DropDownOf(p, term::BoxOf(p, *child), *child).box;
          EXPECT_LE(list.row + list.height, p.frame.row + p.frame.height);
          EXPECT_GE(list.height, 3 + std::min<int>(2, static_cast<int>(child->list.items.size()) - 1)) << "lines shown";
        }
    }
  }
};

TEST_F(FitTest, EveryWindowOfTheProgramIsDrawnWithNoControlCoveringAnotherAndItsTextsWhole) {
  lines = {"101\t01/15/2003\tGrocery Store\t\t25.50\tR", "\t02/01/2003\tSalary\t12500.00\t",
           "99999\t12/31/2003\tA payee with a long name for the list\t\t1234567.89\tB"};
  payees = {"Salary", "Grocery Store", "Rent", "Insurance"};
  // The messages the program shows, as it shows them.
  static const Message messages[] = {
      {"Please enter the Date.", "Data Entry", MB_OK | MB_ICONERROR},
      {"Enter or Select a Payee from the list", "Data Entry", MB_OK | MB_ICONERROR},
      {"Please enter Debit or credit ammount", "Data Entry", MB_OK | MB_ICONERROR},
      {"Enter either debit or credit ammount, not both", "Data Entry", MB_OK | MB_ICONERROR},
      {"Account is not setup yet. Please setup Account", "Insert New Record", MB_OK | MB_ICONERROR},
      {"Error inserting a Record", "Insert New Record", MB_OK | MB_ICONERROR},
      {"Can not change this record.\nRecord is read-only.", "Edit Record", MB_OK | MB_ICONERROR},
      {"Error accessing a Record information.", "Edit Record", MB_OK | MB_ICONERROR},
      {"Error updating the Record information.", "Edit Record", MB_OK | MB_ICONERROR},
      {"Record not found.", "Delete Record", MB_OK | MB_ICONERROR},
      {"Are you sure you want to permanetly remove\nall Reconciled transactions?\nThe transaction information will "
       "be lost!\nYou may need to backup your database file before proceeding.",
       "Warning", MB_OKCANCEL | MB_ICONWARNING},
      {"Can not start application\nRequired components are missing.", "Error", MB_OK},
      {"Can not open Database.", "RErivarude", MB_ICONERROR},
  };
  Then([&] {
    HWND window = layer::ToHandle(Register());
    SetDlgItemTextA(window, IDC_BALANCEDAMOUNT, "$ -25.50");
    SetDlgItemTextA(window, IDC_BALANCETOTAL, "$ 1474.50");
    ExpectTidy("the register");
    ShowWindow(Item(IDC_POSTPONE), SW_SHOW);
    SetDlgItemTextA(window, IDC_BALANCE, "&Finish");
    ExpectTidy("the register while balancing");
    for (int popup = 0; popup < 2; ++popup) {
      layer::ClickMenuBar(window, popup);
      ExpectTidy("menu " + std::to_string(popup));
      layer::PressKey(layer::Key::Escape);
      layer::PressKey(layer::Key::Escape);
    }
    ASSERT_EQ(Register()->dialog.menuBar.mode, layer::MenuBarState::Closed);
    layer::ClickComboArrow(Item(IDC_PAYEE));
    ASSERT_TRUE(Control(IDC_PAYEE)->combo.dropped);
    ExpectTidy("the payee list");
    layer::ClickComboArrow(Item(IDC_PAYEE));
    SendMessageA(window, WM_COMMAND, ID_SETUP_ACCOUNTDETAILS, 0);
  });
  Then([&] {
    ASSERT_NE(layer::ActiveWindow(), Register());
    ExpectTidy("the account dialog");
    layer::PressKey(layer::Key::Escape);
  });
  Then([&] { DialogBoxParamA(nullptr, MAKEINTRESOURCEA(IDD_CHOOSEACCOUNT), nullptr, AccountProc, 0); });
  Then([&] {
    ASSERT_NE(layer::ActiveWindow(), Register());
    HWND dialog = layer::ToHandle(layer::ActiveWindow());
    for (const char* line : {"Checking account 0123456789 (checking, 1234 transactions)", "Savings (savings, 1 transaction)"})
      SendDlgItemMessageA(dialog, IDC_ACCOUNTLIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
    ExpectTidy("the choice of a statement's account");
    layer::PressKey(layer::Key::Escape);
  });
  for (const Message& m : messages) {
    Then([&] {
      notice = m;
      SendMessageA(layer::ToHandle(Register()), WM_COMMAND, kShowMessage, 0);
    });
    Then([&] {
      ASSERT_TRUE(layer::ActiveWindow()->dialog.messageBox);
      ExpectTidy(m.text);
      layer::PressKey(layer::Key::Escape);
    });
  }
  RunRegister();
  EXPECT_EQ(answers.size(), std::size(messages));
}

TEST_F(FitTest, ListColumnsFallUnderTheirHeadingsAtEverySize) {
  lines = {"101\t01/15/2003\tGrocery Store\t\t25.50\tR", "\t02/01/2003\tSalary\t12500.00\t"};
  Then([&] {
    for (auto [rows, cols] : kSizes) {
      SCOPED_TRACE(SizeName(rows, cols));
      kRows = rows;
      kCols = cols;
      term::Canvas screen = Screen();
      int listRow = 0, col = 0;
      ASSERT_TRUE(Find(screen, "Grocery Store", listRow, col, 4)) << All(screen);
      const std::pair<const char*, const char*> columns[] = {{"Check#", "101"},       {"Date", "01/15/2003"},
                                                             {"Description", "Grocery Store"}, {"Debit", "25.50"},
                                                             {"St.", "R"},           {"Credit", "12500.00"}};
      for (auto [heading, value] : columns) {
        term::Box box = BoxOf(Labelled(heading));
        int row = 0, at = 0;
        ASSERT_TRUE(Find(screen, value, row, at, listRow)) << value;
        EXPECT_LE(row, listRow + 1) << value;
        EXPECT_GT(at, box.col) << value << " starts left of " << heading << "\n" << All(screen);
        EXPECT_LE(at + static_cast<int>(std::string(value).size()), box.col + box.width)
            << value << " runs past " << heading << "\n" << All(screen);
      }
    }
  });
  RunRegister();
}

TEST_F(FitTest, BelowTheSmallestLayoutTheNoticeNamesTheSizeThatWorks) {
  Then([&] {
    int rows = 0, cols = 0;
    EXPECT_TRUE(term::Fits(Windows(), 24, 80, rows, cols));
    EXPECT_LE(rows, 24);
    EXPECT_LE(cols, 80);
    term::Canvas exact(rows, cols);
    EXPECT_TRUE(term::Draw(exact, Windows(), layer::ActiveWindow())) << "the size the notice names works";
    for (auto [r, c] : {std::pair{rows - 1, cols}, std::pair{rows, cols - 1}}) {
      term::Canvas small(r, c);
      EXPECT_FALSE(term::Draw(small, Windows(), layer::ActiveWindow()));
      std::string text = All(small);
      EXPECT_NE(text.find(SizeName(rows, cols)), std::string::npos) << text;
      EXPECT_NE(text.find("The terminal is " + SizeName(r, c)), std::string::npos) << text;
    }
  });
  RunRegister();
}

TEST_F(FitTest, AtTheSmallestSizeTheListScrollsToItsEndAndPagesByTheLinesItShows) {
  for (int i = 0; i < 40; ++i) lines.push_back("Line " + std::to_string(100 + i));
  kRows = 24;
  kCols = 80;
  Then([&] {
    term::Box list = BoxOf(Control(IDC_REGISTER));
    for (int i = 0; i < 20; ++i) term::WheelAt(Windows(), kRows, kCols, list.row + 2, list.col + 5, 3);
    term::Canvas screen = Screen();
    int row = 0, col = 0;
    ASSERT_TRUE(Find(screen, "Line 139", row, col)) << "the wheel reaches the end\n" << All(screen);
    EXPECT_EQ(row, list.row + list.height - 2);
    SetFocus(Item(IDC_REGISTER));
    SendMessageA(Item(IDC_REGISTER), LB_SETTOPINDEX, 0, 0);
    SendMessageA(Item(IDC_REGISTER), LB_SETCURSEL, 0, 0);
    layer::PressKey(layer::Key::PageDown);
    int shown = list.height - 2;
    EXPECT_EQ(Control(IDC_REGISTER)->list.selection, shown - 1);
    screen = Screen();
    EXPECT_TRUE(Find(screen, "Line 100", row, col)) << "a page down keeps the first line in view\n" << All(screen);
    ASSERT_TRUE(Find(screen, "Line " + std::to_string(100 + shown - 1), row, col));
    EXPECT_EQ(screen.At(row, col).style, term::Style::SelectedFocused);
  });
  RunRegister();
}

TEST_F(FitTest, ResizingToTheSmallestSizeAndBackLosesNothingTyped) {
  for (int i = 0; i < 40; ++i) lines.push_back("\t01/" + std::to_string(10 + i % 20) + "/2003\tLine " + std::to_string(100 + i));
  const std::string typed = "01/15/2003 and more than fits";
  Then([&] {
    SendMessageA(Item(IDC_REGISTER), LB_SETTOPINDEX, 12, 0);
    SendMessageA(Item(IDC_REGISTER), LB_SETCURSEL, 30, 0);
    SetFocus(Item(IDC_DATE));
    for (char c : typed) layer::TypeChar(c);
    layer::PressKey(layer::Key::Left);
  });
  Then([&] {
    term::Canvas large = Screen(40, 120);
    term::Canvas small = Screen(24, 80);
    // Small: the caret stays in the field, beside the text before it; the selected line is shown.
    layer::Window* date = Control(IDC_DATE);
    kRows = 24;
    kCols = 80;
    term::Box box = BoxOf(date);
    ASSERT_TRUE(small.cursor.has_value());
    auto [row, col] = *small.cursor;
    EXPECT_EQ(row, box.row + box.height / 2);
    EXPECT_TRUE(col > box.col && col < box.col + box.width - 1) << All(small);
    EXPECT_EQ(small.At(row, col - 1).ch, U't');
    EXPECT_EQ(small.At(row, col).ch, U's');
    int line = 0, at = 0;
    ASSERT_TRUE(Find(small, "Line 130", line, at)) << All(small);
    EXPECT_EQ(small.At(line, at).style, term::Style::Selected);
    // Back to the large size: the very same screen, and the state untouched.
    term::Canvas again = Screen(40, 120);
    EXPECT_EQ(All(again), All(large));
    EXPECT_EQ(again.cursor, large.cursor);
    EXPECT_EQ(date->text, typed);
    EXPECT_EQ(date->edit.caret, typed.size() - 1);
    EXPECT_EQ(layer::FocusOf(Register()), date);
    EXPECT_EQ(Control(IDC_REGISTER)->list.selection, 30);
    EXPECT_EQ(Control(IDC_REGISTER)->list.topIndex, 12);
  });
  RunRegister();
}

}  // namespace
