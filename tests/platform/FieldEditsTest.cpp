// Edits a front end makes in its own text widget (an input method's text, a
// paste, a cut), taken by the dialog manager as the typing they stand for.
#include "tests/platform/DialogFixture.h"

#include "platform/dialog/input.h"
#include "platform/dialog/window.h"

namespace {

class FieldEditsTest : public DialogFixture {};

TEST_F(FieldEditsTest, AReplacedRangeChangesTheTextPutsTheCaretAfterItAndNotifiesOnce) {
  During(ui, [&](HWND d) {
    HWND field = GetDlgItem(d, IDC_ACCOUNTNAME);
    SetDlgItemTextA(d, IDC_ACCOUNTNAME, "Hous hold");
    commands.clear();
    layer::ReplaceFieldText(field, 4, 5, "e");  // a space selected and typed over
    EXPECT_EQ(ui.Text(IDC_ACCOUNTNAME), "Household");
    EXPECT_EQ(layer::FromHandle(field)->edit.caret, 5u);
    ASSERT_EQ(CommandsFor(IDC_ACCOUNTNAME).size(), 1u);
    EXPECT_EQ(CommandsFor(IDC_ACCOUNTNAME)[0].code, EN_CHANGE);
    layer::ReplaceFieldText(field, 9, 9, " — Käse");  // pasted at the end, several bytes a character
    EXPECT_EQ(ui.Text(IDC_ACCOUNTNAME), "Household — Käse");
    layer::ReplaceFieldText(field, 0, 100, "");  // cut all; an end past the text is its end
    EXPECT_EQ(ui.Text(IDC_ACCOUNTNAME), "");
  });
  Run(IDD_ACCOUNT);
}

TEST_F(FieldEditsTest, ARangeInsideACharacterNeverSplitsIt) {
  During(ui, [&](HWND d) {
    HWND field = GetDlgItem(d, IDC_ACCOUNTNAME);
    SetDlgItemTextA(d, IDC_ACCOUNTNAME, "Käse");  // ä is bytes 1 and 2
    layer::ReplaceFieldText(field, 2, 3, "a");
    EXPECT_EQ(ui.Text(IDC_ACCOUNTNAME), "Kase");  // from the character's start: all of it replaced
  });
  Run(IDD_ACCOUNT);
}

TEST_F(FieldEditsTest, ADisabledOrHiddenFieldOrAButtonTakesNoEdit) {
  During(ui, [&](HWND d) {
    SetDlgItemTextA(d, IDC_ACCOUNTNAME, "kept");
    EnableWindow(GetDlgItem(d, IDC_ACCOUNTNAME), FALSE);
    layer::ReplaceFieldText(GetDlgItem(d, IDC_ACCOUNTNAME), 0, 4, "lost");
    EXPECT_EQ(ui.Text(IDC_ACCOUNTNAME), "kept");
    SetDlgItemTextA(d, IDC_INITIALBALANCE, "1");
    ShowWindow(GetDlgItem(d, IDC_INITIALBALANCE), SW_HIDE);
    layer::ReplaceFieldText(GetDlgItem(d, IDC_INITIALBALANCE), 0, 1, "2");
    EXPECT_EQ(ui.Text(IDC_INITIALBALANCE), "1");
    layer::ReplaceFieldText(GetDlgItem(d, IDOK), 0, 2, "No");
    EXPECT_EQ(ui.Text(IDOK), "OK");
  });
  Run(IDD_ACCOUNT);
}

TEST_F(FieldEditsTest, ASelectionMadeInTheWidgetIsWhatTheNextKeyReplaces) {
  During(ui, [&](HWND d) {
    HWND field = GetDlgItem(d, IDC_ACCOUNTNAME);
    SetDlgItemTextA(d, IDC_ACCOUNTNAME, "Household");
    ui.Focus(IDC_ACCOUNTNAME);
    layer::SelectFieldText(field, 9, 5);  // dragged from the end back to "hold"
    layer::TypeChar('X');
    EXPECT_EQ(ui.Text(IDC_ACCOUNTNAME), "HouseX");
  });
  Run(IDD_ACCOUNT);
}

}  // namespace
