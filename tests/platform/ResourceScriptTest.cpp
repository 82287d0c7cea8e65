// The .rc reader, on the program's own script and on small scripts of its own.
#include <gtest/gtest.h>

#include "platform/dialog/resource_script.h"
#include "resources/ProgramResources.h"
#include "resources/resource.h"

namespace {

using layer::ControlTemplate;
using layer::DialogTemplate;

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

struct Expected {
  int id;
  const char* className;
  const char* text;
  int x, y, cx, cy;
  DWORD style;
  DWORD exStyle;
};

void ExpectControls(const DialogTemplate& d, const std::vector<Expected>& expected) {
  ASSERT_EQ(d.controls.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    const ControlTemplate& c = d.controls[i];
    const Expected& e = expected[i];
    SCOPED_TRACE("control " + std::to_string(i) + " (" + e.text + " " + std::to_string(e.id) + ")");
    EXPECT_EQ(c.id, e.id);
    EXPECT_EQ(c.className, e.className);
    EXPECT_EQ(c.text, e.text);
    EXPECT_EQ(c.rect.x, e.x);
    EXPECT_EQ(c.rect.y, e.y);
    EXPECT_EQ(c.rect.cx, e.cx);
    EXPECT_EQ(c.rect.cy, e.cy);
    EXPECT_EQ(c.style, e.style) << std::hex << c.style << " != " << e.style;
    EXPECT_EQ(c.exStyle, e.exStyle);
  }
}

TEST(ResourceScript, RegisterWindowTemplate) {
  const layer::ResourceScript& rc = ProgramResources();
  EXPECT_EQ(rc.error, "");
  const DialogTemplate* d = rc.Dialog(IDD_REGISTER);
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->caption, "Qarvo's Checkbook v1.01");
  EXPECT_EQ(d->rect.cx, 435);
  EXPECT_EQ(d->rect.cy, 262);
  EXPECT_EQ(d->style, static_cast<DWORD>(DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU |
                                         WS_CLIPSIBLINGS | WS_CLIPCHILDREN));
  EXPECT_EQ(d->exStyle, static_cast<DWORD>(WS_EX_CLIENTEDGE));
  EXPECT_EQ(d->menuId, IDR_MAINMENU);
  EXPECT_EQ(d->fontSize, 8);
  EXPECT_EQ(d->fontName, "Arial");

  const DWORD edit = kChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
  const DWORD button = kChild | WS_TABSTOP | BS_PUSHBUTTON;
  const DWORD heading = kChild | WS_GROUP | SS_CENTER;
  const DWORD sunken = WS_EX_CLIENTEDGE;
  ExpectControls(*d, {
      {IDC_CHECKNUM, "Edit", "", 4, 17, 38, 13, edit, 0},
      {IDC_DATE, "Edit", "", 42, 17, 50, 13, edit, 0},
      {IDC_PAYEE, "ComboBox", "", 92, 17, 180, 100,
       kChild | CBS_DROPDOWN | CBS_AUTOHSCROLL | CBS_SORT | WS_VSCROLL | WS_TABSTOP, 0},
      {IDC_CREDIT, "Edit", "", 272, 17, 63, 13, edit, 0},
      {IDC_DEBIT, "Edit", "", 336, 17, 66, 13, edit, 0},
      {IDC_BALANCE, "Button", "&Balance", 142, 245, 35, 14, button, 0},
      {IDC_POSTPONE, "Button", "&Postpone", 180, 245, 37, 14, button & ~static_cast<DWORD>(WS_VISIBLE), 0},
      {IDC_NEW, "Button", "&New", 332, 245, 31, 14, button, 0},
      {IDC_EDIT, "Button", "&Edit", 366, 245, 31, 14, button, 0},
      {IDC_DELETE, "Button", "&Delete", 400, 245, 31, 14, button, 0},
      {IDC_REGISTER, "ListBox", "", 4, 31, 429, 210,
       kChild | LBS_NOTIFY | WS_BORDER | LBS_USETABSTOPS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP, 0},
      {IDC_STATIC, "Static", "", 72, 245, 67, 14, kChild | WS_GROUP | SS_LEFT, sunken},
      {IDC_BALANCEDAMOUNT, "Static", "", 74, 248, 62, 8, heading, 0},
      {IDC_STATIC, "Static", "", 258, 245, 67, 14, kChild | WS_GROUP | SS_RIGHT, sunken},
      {IDC_BALANCETOTAL, "Static", "0", 266, 248, 58, 8, heading, 0},
      {IDC_STATIC, "Static", "Check#", 4, 2, 38, 14, heading, sunken},
      {IDC_STATIC, "Static", "Date", 42, 2, 50, 14, heading, sunken},
      {IDC_STATIC, "Static", "Description", 92, 2, 180, 14, heading, sunken},
      {IDC_STATIC, "Static", "Credit", 272, 2, 63, 14, heading, sunken},
      {IDC_STATIC, "Static", "Debit", 336, 2, 66, 14, heading, sunken},
      {IDC_STATIC, "Static", "Balance", 226, 248, 29, 8, kChild | WS_GROUP | SS_RIGHT, 0},
      {IDC_STATIC, "Static", "St.", 402, 2, 28, 14, heading, sunken},
      {IDC_STATIC, "Static", "Balanced Ammount", 4, 248, 63, 8, kChild | WS_GROUP | SS_LEFT, 0},
  });
}

TEST(ResourceScript, AccountDialogTemplate) {
  const DialogTemplate* d = ProgramResources().Dialog(IDD_ACCOUNT);
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->caption, "Account Information");
  EXPECT_EQ(d->rect.cx, 262);
  EXPECT_EQ(d->rect.cy, 146);
  EXPECT_EQ(d->style, static_cast<DWORD>(DS_SETFONT | DS_ABSALIGN | DS_MODALFRAME | DS_CENTER | WS_POPUP |
                                         WS_CAPTION | WS_SYSMENU));
  EXPECT_EQ(d->menuId, 0);
  EXPECT_EQ(d->fontName, "MS Sans Serif");
  const DWORD edit = kChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
  const DWORD label = kChild | WS_GROUP | SS_LEFT;
  ExpectControls(*d, {
      {IDC_ACCOUNTNAME, "Edit", "", 63, 11, 188, 14, edit, 0},
      {IDC_INITIALBALANCE, "Edit", "", 63, 29, 79, 14, edit, 0},
      {IDC_NOTE, "Edit", "", 64, 48, 186, 51, edit | ES_MULTILINE | ES_AUTOVSCROLL, 0},
      {IDOK, "Button", "OK", 83, 112, 50, 14, kChild | WS_TABSTOP | BS_DEFPUSHBUTTON, 0},
      {IDCANCEL, "Button", "Cancel", 135, 112, 50, 14, kChild | WS_TABSTOP | BS_PUSHBUTTON, 0},
      {IDC_STATIC, "Static", "Account Name", 11, 14, 48, 8, label, 0},
      {IDC_STATIC, "Static", "Initial Balance", 11, 32, 45, 8, label, 0},
      {IDC_STATIC, "Static", "Note", 12, 48, 16, 8, label, 0},
  });
}

TEST(ResourceScript, MainMenuAndIcon) {
  const auto* bar = ProgramResources().MenuItems(IDR_MAINMENU);
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(bar->size(), 2u);
  auto describe = [](const layer::MenuTemplateItem& popup) {
    std::string out;
    for (const auto& item : popup.items)
      out += (item.flags & MF_SEPARATOR) ? std::string("-|") : item.text + "=" + std::to_string(item.id) + "|";
    return out;
  };
  EXPECT_EQ((*bar)[0].text, "&Record");
  EXPECT_TRUE((*bar)[0].flags & MF_POPUP);
  EXPECT_EQ(describe((*bar)[0]),
            "&New=1008|&Edit=1009|&Delete=1010|-|Re&port..=40005|&Import Statement...=40006|E&xport...=40007|"
            "&Remove Reconciled..=40004|-|&Exit=40002|");
  EXPECT_EQ((*bar)[1].text, "&Setup");
  EXPECT_EQ(describe((*bar)[1]), "&Account Details...=40001|-|&Hide Reconciled..=40003|");
  EXPECT_EQ(ProgramResources().icons.at(IDI_CHECKBOOK), "checkbook.ico");
}

TEST(ResourceScript, StatementSyntax) {
  const char* header = "#define IDD_T 7\n#define IDC_A (1000 + 1)\n#define NEG (-2)\n";
  const char* script = R"(
    /* block
       comment */ #include "x.h"
    STRINGTABLE
    BEGIN
        1 "skipped"
    END
    IDD_T DIALOG 1, 2, 0x20, 40L
    CAPTION "Say ""hi""\tthere"
    {
        EDITTEXT IDC_A, 1, 2, 3, 4, NOT WS_TABSTOP | ES_MULTILINE   // no tab stop
        CONTROL "Go", NEG, "Button", BS_DEFPUSHBUTTON | WS_TABSTOP, 5, 6, 7, 8, WS_EX_STATICEDGE
        COMBOBOX 9, 1, 1, 1, 1
        GROUPBOX "&Frame", 10, 0, 0, 9, 9
    }
  )";
  layer::ResourceScript rc = layer::ParseResourceScript(script, header);
  EXPECT_EQ(rc.error, "");
  const DialogTemplate* d = rc.Dialog(7);
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->caption, "Say \"hi\"\tthere");
  EXPECT_EQ(d->rect.cx, 32);
  EXPECT_EQ(d->rect.cy, 40);
  EXPECT_EQ(d->style, static_cast<DWORD>(WS_POPUP | WS_BORDER | WS_SYSMENU | WS_CAPTION));
  ASSERT_EQ(d->controls.size(), 4u);
  EXPECT_EQ(d->controls[0].id, 1001);
  EXPECT_EQ(d->controls[0].style, static_cast<DWORD>(kChild | WS_BORDER | ES_MULTILINE));
  EXPECT_EQ(d->controls[1].id, -2);
  EXPECT_EQ(d->controls[1].style, static_cast<DWORD>(kChild | BS_DEFPUSHBUTTON | WS_TABSTOP));
  EXPECT_EQ(d->controls[1].exStyle, static_cast<DWORD>(WS_EX_STATICEDGE));
  EXPECT_EQ(d->controls[2].style, static_cast<DWORD>(kChild | WS_TABSTOP | 0x1));  // a simple combo box
  EXPECT_EQ(d->controls[3].style, static_cast<DWORD>(kChild | 0x7));

  EXPECT_NE(layer::ParseResourceScript("1 DIALOG 0,0,1,1 BEGIN EDITTEXT IDC_NOPE,0,0,1,1 END", "").error, "");
}

TEST(ResourceScript, ResourceNames) {
  EXPECT_EQ(layer::ResourceId(MAKEINTRESOURCEA(101)), 101);
  EXPECT_EQ(layer::ResourceId("#105"), 105);
  EXPECT_EQ(layer::ResourceId("104"), 104);
  EXPECT_EQ(layer::ResourceId("IDD_REGISTER"), 0);
  EXPECT_EQ(layer::ResourceId(nullptr), 0);
}

}  // namespace
