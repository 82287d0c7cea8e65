// Text beyond ASCII (UTF-8) in lists and edit fields: columns are display
// cells, and keys, clicks and typing deal in whole characters.
#include "tests/platform/DialogFixture.h"

#include <clocale>
#include <string>
#include <utility>

#include "platform/dialog/input.h"
#include "platform/dialog/window.h"

namespace {

class Utf8Test : public DialogFixture {};

using layer::Key;

const char kClef[] = "\xF0\x9D\x84\x9E";  // four bytes, one cell


bool WellFormed(const std::string& s) {
  for (size_t i = 0; i < s.size();) {
    unsigned char b = static_cast<unsigned char>(s[i]);
    size_t extra = b < 0x80 ? 0 : (b & 0xe0) == 0xc0 ? 1 : (b & 0xf0) == 0xe0 ? 2 : (b & 0xf8) == 0xf0 ? 3 : 9;
    if (extra > 3 || i + extra >= s.size()) return false;
    for (size_t k = 1; k <= extra; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xc0) != 0x80) return false;
    i += extra + 1;
  }
  return true;
}

// An edit's selection, or a combo box's edit part's.
std::pair<DWORD, DWORD> Sel(HWND edit) {
  DWORD start = 0, end = 0;
  UINT message = layer::FromHandle(edit)->kind == layer::Kind::ComboBox ? CB_GETEDITSEL : EM_GETSEL;
  SendMessageA(edit, message, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return {start, end};
}

std::pair<DWORD, DWORD> At(DWORD pos) { return {pos, pos}; }

void Keys(std::initializer_list<Key> keys, unsigned modifiers = 0) {
  for (Key k : keys) layer::PressKey(k, modifiers);
}

TEST_F(Utf8Test, ListColumnsAreDisplayCellsNotBytes) {
  During(ui, [&](HWND d) {
    int stops[] = {44, 94, 274, 338, 406};
    SendDlgItemMessageA(d, IDC_REGISTER, LB_SETTABSTOPS, 5, reinterpret_cast<LPARAM>(stops));
    const layer::Window& list = *layer::FromHandle(GetDlgItem(d, IDC_REGISTER));
    auto expanded = [&](const std::string& payee) {
      return layer::ExpandTabs(list, "101\t01/15/2003\t" + payee + "\t\t45.20\tC");
    };
    // Each payee takes four cells, as "Cafe" does; a stray byte is drawn as one.
    std::string ascii = expanded("Cafe");
    for (std::string payee : {std::string("Café"), std::string("Caf€"), "Ca" + std::string(kClef) + "e",
                              std::string("Caf\xFF")}) {
      std::string line = expanded(payee);
      ASSERT_NE(line.find(payee), std::string::npos);
      line.replace(line.find(payee), payee.size(), "Cafe");
      EXPECT_EQ(line, ascii) << payee;
    }

    int interval = 20;  // every five cells
    SendDlgItemMessageA(d, IDC_REGISTER, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&interval));
    EXPECT_EQ(layer::ExpandTabs(list, "éé\tc\td"), "éé   c    d");

    // Where the locale knows wide characters they take two cells, as drawn.
    std::string old = std::setlocale(LC_CTYPE, nullptr);
    if (std::setlocale(LC_CTYPE, "C.UTF-8")) {
      EXPECT_EQ(layer::ExpandTabs(list, "東\tx"), "東   x");
      EXPECT_EQ(layer::ExpandTabs(list, "東京\tx"), "東京 x");
      std::setlocale(LC_CTYPE, old.c_str());
    }
  });
  Run(IDD_REGISTER);
}

TEST_F(Utf8Test, EditKeysAndTypingDealInWholeCharacters) {
  std::vector<std::string> seen;  // the text at every change notice
  handler = [&seen](HWND d, UINT m, WPARAM w, LPARAM) -> INT_PTR {
    if (m == WM_COMMAND && HIWORD(w) == EN_CHANGE) {
      char text[64];
      GetDlgItemTextA(d, LOWORD(w), text, sizeof text);
      seen.push_back(text);
    }
    return m == WM_INITDIALOG;
  };
  During(ui, [&](HWND d) {
    HWND edit = GetDlgItem(d, IDC_INITIALBALANCE);
    ui.Type(IDC_INITIALBALANCE, "Café€");  // typed a byte at a time, as the terminal hands them over
    EXPECT_EQ(ui.Text(IDC_INITIALBALANCE), "Café€");
    EXPECT_EQ(Sel(edit), At(8));
    layer::PressKey(Key::Backspace);
    EXPECT_EQ(ui.Text(IDC_INITIALBALANCE), "Café");
    layer::PressKey(Key::Left);
    EXPECT_EQ(Sel(edit), At(3));
    layer::PressKey(Key::Delete);
    EXPECT_EQ(ui.Text(IDC_INITIALBALANCE), "Caf");

    SetDlgItemTextA(d, IDC_INITIALBALANCE, ("aé" + std::string(kClef) + "b").c_str());
    Keys({Key::End, Key::Left, Key::Left});
    EXPECT_EQ(Sel(edit), At(3));
    layer::PressKey(Key::Right);
    EXPECT_EQ(Sel(edit), At(7));
    layer::PressKey(Key::Left, layer::kShift);
    EXPECT_EQ(Sel(edit), std::make_pair(DWORD{3}, DWORD{7}));
    layer::TypeChar('x');
    EXPECT_EQ(ui.Text(IDC_INITIALBALANCE), "aéxb");
    Keys({Key::Home, Key::Right, Key::Right});
    layer::PressKey(Key::Left, layer::kShift);
    layer::PressKey(Key::Backspace);
    EXPECT_EQ(ui.Text(IDC_INITIALBALANCE), "axb");

    // Bytes that make no whole character are not typed.
    SetDlgItemTextA(d, IDC_INITIALBALANCE, "");
    layer::TypeChar('\xA9');
    layer::TypeChar('\xC3');
    layer::TypeChar('x');
    layer::TypeChar('\xFF');
    EXPECT_EQ(ui.Text(IDC_INITIALBALANCE), "x");

    // A position inside a character means the character's start.
    SetDlgItemTextA(d, IDC_INITIALBALANCE, "Café");
    SendMessageA(edit, EM_SETSEL, 4, 4);
    layer::TypeChar('x');
    EXPECT_EQ(ui.Text(IDC_INITIALBALANCE), "Cafxé");
    SendMessageA(edit, EM_SETSEL, 5, 5);
    layer::PressKey(Key::Delete);
    EXPECT_EQ(ui.Text(IDC_INITIALBALANCE), "Cafx");

    for (const std::string& text : seen) EXPECT_TRUE(WellFormed(text)) << text;
  });
  Run(IDD_ACCOUNT);
}

TEST_F(Utf8Test, MultilineLinesKeepTheirColumnInCells) {
  During(ui, [&](HWND d) {
    ui.Type(IDC_NOTE, "ééé\nabc");
    layer::PressKey(Key::Up);  // from the third column to the third column
    layer::TypeChar('!');
    EXPECT_EQ(ui.Text(IDC_NOTE), "ééé!\r\nabc");
    layer::PressKey(Key::Down);
    layer::TypeChar('?');
    EXPECT_EQ(ui.Text(IDC_NOTE), "ééé!\r\nabc?");

    // A click inside the second character of the first line.
    layer::ClickEdit(GetDlgItem(d, IDC_NOTE), 3);
    EXPECT_EQ(Sel(GetDlgItem(d, IDC_NOTE)), At(2));
  });
  Run(IDD_ACCOUNT);
}

TEST_F(Utf8Test, ClicksInsideACharacterPutTheCaretAtItsStart) {
  During(ui, [&](HWND d) {
    HWND date = GetDlgItem(d, IDC_DATE);
    SetDlgItemTextA(d, IDC_DATE, "éé/01");
    layer::ClickEdit(date, 3);
    EXPECT_EQ(Sel(date), At(2));
    layer::ClickEdit(date, 1);
    EXPECT_EQ(Sel(date), At(0));

    // Scrolled to its end, the field shows as many characters as it has
    // cells, less the caret's own.
    std::string long_text;
    for (int i = 0; i < 20; ++i) long_text += "é";
    SetDlgItemTextA(d, IDC_DATE, long_text.c_str());
    ui.Focus(IDC_DATE);
    int columns = layer::VisibleColumns(*layer::FromHandle(date));
    EXPECT_EQ(layer::FromHandle(date)->edit.scroll, static_cast<size_t>(2 * (20 - (columns - 1))));

    HWND payee = GetDlgItem(d, IDC_PAYEE);
    SetDlgItemTextA(d, IDC_PAYEE, "Crème brûlée");
    layer::ClickEdit(payee, 3);  // inside the "è"
    EXPECT_EQ(Sel(payee), At(2));
    layer::ClickEdit(payee, 4);
    EXPECT_EQ(Sel(payee), At(4));
    Keys({Key::Left, Key::Backspace});
    EXPECT_EQ(ui.Text(IDC_PAYEE), "Cème brûlée");
    Keys({Key::End, Key::Left, Key::Left, Key::Left, Key::Left});
    layer::PressKey(Key::Delete);
    EXPECT_EQ(ui.Text(IDC_PAYEE), "Cème brlée");
  });
  Run(IDD_REGISTER);
}

TEST_F(Utf8Test, WindowTextIsCutBeforeACharacterThatDoesNotFit) {
  During(ui, [&](HWND d) {
    SetDlgItemTextA(d, IDC_DATE, "Café");
    char buffer[5];
    EXPECT_EQ(GetDlgItemTextA(d, IDC_DATE, buffer, sizeof buffer), 3u);
    EXPECT_STREQ(buffer, "Caf");
    char whole[6];
    EXPECT_EQ(GetDlgItemTextA(d, IDC_DATE, whole, sizeof whole), 5u);
    EXPECT_STREQ(whole, "Café");
  });
  Run(IDD_REGISTER);
}

}  // namespace
