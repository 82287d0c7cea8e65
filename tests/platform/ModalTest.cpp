// Modal loops: nesting, owners, message boxes and dialogs that will not close.
#include "tests/platform/DialogFixture.h"

#include <deque>

#include "platform/dialog/desktop.h"
#include "platform/dialog/frontend.h"
#include "platform/dialog/input.h"

namespace {

class ModalTest : public DialogFixture {};

bool IsRegister(HWND d) { return GetMenu(d) != nullptr; }

TEST_F(ModalTest, DialogWithoutOwnerLeavesTheFirstUsableAndEachReturnsItsOwnResult) {
  INT_PTR nested = -5;
  HWND registerWindow = nullptr;
  handler = [&](HWND d, UINT m, WPARAM w, LPARAM) -> INT_PTR {
    if (m == WM_INITDIALOG) return TRUE;
    if (m != WM_COMMAND) return FALSE;
    if (IsRegister(d) && LOWORD(w) == ID_SETUP_ACCOUNTDETAILS) nested = Run(IDD_ACCOUNT);
    if (!IsRegister(d) && LOWORD(w) == IDOK) EndDialog(d, 11);
    return TRUE;
  };
  ui.Then([&] {
    registerWindow = ui.Active();
    ui.ChooseMenu(ID_SETUP_ACCOUNTDETAILS);
  });
  ui.Then([&] {
    EXPECT_EQ(ui.Text(0), "Account Information");
    EXPECT_TRUE(IsWindowEnabled(registerWindow));
    ui.Use(registerWindow);
    ui.Click(IDC_NEW);
    EXPECT_EQ(layer::ActiveWindow(), layer::FromHandle(registerWindow));
    ui.Use(nullptr);
  });
  ui.Then([&] {
    ASSERT_EQ(commands.back().id, IDC_NEW);
    EXPECT_EQ(commands.back().dialog, registerWindow);
    HWND account = layer::ToHandle(layer::TopLevelWindows().front() == layer::FromHandle(registerWindow)
                                       ? layer::TopLevelWindows().back()
                                       : layer::TopLevelWindows().front());
    ui.Use(account);
    ui.Click(IDOK);
    ui.Use(nullptr);
  });
  ui.Then([&] {
    EXPECT_EQ(ui.Active(), registerWindow);
    EndDialog(ui.Active(), 22);
  });
  EXPECT_EQ(Run(IDD_REGISTER), 22);
  EXPECT_EQ(nested, 11);
  EXPECT_TRUE(layer::TopLevelWindows().empty());
  EXPECT_EQ(layer::ActiveWindow(), nullptr);
}

TEST_F(ModalTest, OwnedDialogDisablesItsOwnerWhileOpen) {
  bool ownerEnabledInside = true;
  handler = [&](HWND d, UINT m, WPARAM w, LPARAM) -> INT_PTR {
    if (m == WM_INITDIALOG) return TRUE;
    if (m == WM_COMMAND && IsRegister(d) && LOWORD(w) == IDC_NEW) {
      Run(IDD_ACCOUNT, d);
      EXPECT_TRUE(IsWindowEnabled(d));
    }
    return FALSE;
  };
  HWND owner = nullptr;
  ui.Then([&] {
    owner = ui.Active();
    ui.Click(IDC_NEW);
  });
  ui.Then([&] {
    ownerEnabledInside = IsWindowEnabled(owner);
    ui.Use(owner);
    ui.Click(IDC_EDIT);  // refused: the owner is disabled
    ui.Use(nullptr);
    EndDialog(ui.Active(), 0);
  });
  ui.Then([&] { EndDialog(ui.Active(), 0); });
  Run(IDD_REGISTER);
  EXPECT_FALSE(ownerEnabledInside);
  EXPECT_TRUE(CommandsFor(IDC_EDIT).empty());
}

TEST_F(ModalTest, EndingTheOuterDialogHidesItAtOnceAndReturnsAfterTheInner) {
  handler = [&](HWND d, UINT m, WPARAM w, LPARAM) -> INT_PTR {
    if (m == WM_COMMAND && IsRegister(d) && LOWORD(w) == ID_SETUP_ACCOUNTDETAILS) Run(IDD_ACCOUNT);
    if (m == WM_COMMAND && IsRegister(d) && LOWORD(w) == ID_RECORD_EXIT) EndDialog(d, 3);
    if (m == WM_COMMAND && !IsRegister(d) && LOWORD(w) == IDCANCEL) EndDialog(d, 0);
    return m == WM_INITDIALOG;
  };
  HWND outer = nullptr;
  ui.Then([&] {
    outer = ui.Active();
    ui.ChooseMenu(ID_SETUP_ACCOUNTDETAILS);
  });
  ui.Then([&] {
    ui.Use(outer);
    ui.ChooseMenu(ID_RECORD_EXIT);
    ui.Use(nullptr);
    EXPECT_FALSE(IsWindowVisible(outer));
    EXPECT_FALSE(ui.IsOpen(outer));
    EXPECT_EQ(ui.Text(0), "Account Information");
  });
  EXPECT_EQ(Run(IDD_REGISTER), 3);  // the account dialog closed when the steps ran out
}

TEST_F(ModalTest, MessageBoxesAreRecordedAndAnswered) {
  ui.Then([&] {
    HWND d = ui.Active();
    EXPECT_EQ(MessageBoxA(d, "Delete it?", "Delete", MB_YESNO | MB_ICONQUESTION), IDYES);
    EXPECT_EQ(MessageBoxA(d, "Sure?", "Delete", MB_YESNO | MB_DEFBUTTON2), IDNO);
    ui.AnswerNextMessageBox(IDCANCEL);
    EXPECT_EQ(MessageBoxA(nullptr, "Remove?", nullptr, MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(MessageBoxA(d, "Bad", "X", 0xF), 0);
    const auto& boxes = ui.MessageBoxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].owner, d);
    EXPECT_EQ(boxes[0].caption, "Delete");
    EXPECT_EQ(boxes[0].text, "Delete it?");
    EXPECT_EQ(boxes[0].style, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(boxes[2].caption, "Error");
    EXPECT_EQ(boxes[2].answer, IDCANCEL);
    ui.ClearMessageBoxes();
    EXPECT_TRUE(ui.MessageBoxes().empty());
    EndDialog(d, 0);
  });
  Run(IDD_ACCOUNT);
}

// Input taken from a list of steps, leaving message boxes to their windows.
class StepInput : public layer::FrontEnd {
 public:
  StepInput() : previous_(layer::InstalledFrontEnd()) { layer::InstallFrontEnd(this); }
  ~StepInput() override { layer::InstallFrontEnd(previous_); }
  bool WaitForInput(layer::Window* modal) override {
    if (steps.empty()) return false;
    auto step = std::move(steps.front());
    steps.pop_front();
    step(modal);
    return true;
  }
  std::deque<std::function<void(layer::Window*)>> steps;

 private:
  layer::FrontEnd* previous_;
};

TEST(MessageBoxWindow, KeysAnswerItAsTheyWould) {
  StepInput input;
  input.steps.push_back([](layer::Window*) { layer::PressKey(layer::Key::Escape); });
  EXPECT_EQ(MessageBoxA(nullptr, "t", "c", MB_OKCANCEL), IDCANCEL);
  input.steps.push_back([](layer::Window*) { layer::PressKey(layer::Key::Escape); });
  EXPECT_EQ(MessageBoxA(nullptr, "t", "c", MB_OK), IDOK);

  input.steps.push_back([](layer::Window* box) {
    EXPECT_TRUE(box->dialog.messageBox);
    EXPECT_EQ(box->text, "c");
    EXPECT_EQ(box->children[0]->text, "line one\nline two");
    layer::PressKey(layer::Key::Escape);  // a Yes/No box has no way out but its buttons
  });
  input.steps.push_back([](layer::Window*) { layer::ClickCloseBox(layer::ToHandle(layer::ActiveWindow())); });
  input.steps.push_back([](layer::Window*) { layer::PressKey(layer::Key::Tab); });
  input.steps.push_back([](layer::Window*) { layer::PressKey(layer::Key::Enter); });
  EXPECT_EQ(MessageBoxA(nullptr, "line one\r\nline two", "c", MB_YESNO), IDNO);
  EXPECT_TRUE(input.steps.empty());

  input.steps.push_back([](layer::Window*) { layer::TypeChar('y', layer::kAlt); });
  EXPECT_EQ(MessageBoxA(nullptr, "t", "c", MB_YESNO | MB_DEFBUTTON2), IDYES);
  input.steps.push_back([](layer::Window*) { layer::PressKey(layer::Key::Enter); });
  EXPECT_EQ(MessageBoxA(nullptr, "t", "c", MB_YESNOCANCEL | MB_DEFBUTTON3), IDCANCEL);
  // No input at all: the default button.
  EXPECT_EQ(MessageBoxA(nullptr, "t", "c", MB_YESNO | MB_DEFBUTTON2), IDNO);
}

// Without its icon, an error looked like a notice, and "Remove Reconciled"
// lost its warning.
TEST(MessageBoxWindow, ShowsTheIconItsStyleAsksForBesideTextWrappedNoWider) {
  const std::string text = "Are you sure you want to remove all reconciled transactions from this account? "
                           "The transaction information will be lost.";
  const struct {
    UINT style;
    layer::StockIcon icon;
  } cases[] = {
      {MB_OK, layer::StockIcon::None},
      {MB_OK | MB_ICONERROR, layer::StockIcon::Error},
      {MB_OKCANCEL | MB_ICONWARNING, layer::StockIcon::Warning},
      {MB_OK | MB_ICONINFORMATION, layer::StockIcon::Information},
      {MB_YESNO | MB_ICONQUESTION, layer::StockIcon::Question},
  };
  int plainWidth = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.style);
    StepInput input;
    input.steps.push_back([&](layer::Window* box) {
      const layer::Window* icon = nullptr;
      const layer::Window* label = nullptr;
      for (const auto& child : box->children) {
        if (layer::StockIconOf(*child) != layer::StockIcon::None) icon = child.get();
        if (child->kind == layer::Kind::Static && child->id == 0xFFFF) label = child.get();
      }
      ASSERT_NE(label, nullptr);
      if (c.icon == layer::StockIcon::None) {
        EXPECT_EQ(icon, nullptr);
        plainWidth = box->rect.cx;
      } else {
        ASSERT_NE(icon, nullptr);
        EXPECT_EQ(layer::StockIconOf(*icon), c.icon);
        EXPECT_GT(label->rect.x, icon->rect.x + icon->rect.cx) << "the text beside the icon";
        EXPECT_LE(box->rect.cx, plainWidth) << "the text wraps sooner instead";
        for (const auto& button : box->children) {
          if (button->kind != layer::Kind::Button) continue;
          EXPECT_GE(button->rect.y, icon->rect.y + icon->rect.cy);
        }
      }
      EXPECT_LE(label->rect.x + label->rect.cx, box->rect.cx);
      layer::PressKey(layer::Key::Enter);
    });
    MessageBoxA(nullptr, text.c_str(), "c", c.style);
  }
}

TEST_F(ModalTest, MessageBoxWithoutOwnerIsModalToEveryDialog) {
  ui.Then([&] {
    HWND d = ui.Active();
    StepInput input;
    input.steps.push_back([d](layer::Window* box) {
      EXPECT_FALSE(IsWindowEnabled(d));
      EXPECT_EQ(layer::ActiveWindow(), box);
      layer::ClickControl(GetDlgItem(d, IDC_NEW));  // refused
      layer::PressKey(layer::Key::Enter);
    });
    EXPECT_EQ(MessageBoxA(nullptr, "t", "c", MB_OK), IDOK);
    EXPECT_TRUE(IsWindowEnabled(d));
    EXPECT_EQ(layer::ActiveWindow(), layer::FromHandle(d));
    EndDialog(d, 0);
  });
  Run(IDD_REGISTER);
  EXPECT_TRUE(CommandsFor(IDC_NEW).empty());
}

TEST_F(ModalTest, ADialogThatWillNotCloseIsGivenUp) {
  int closes = 0;
  handler = [&](HWND, UINT m, WPARAM, LPARAM) -> INT_PTR {
    if (m == WM_CLOSE) ++closes;
    return TRUE;  // handles everything, ends nothing
  };
  testing::internal::CaptureStderr();
  EXPECT_EQ(Run(IDD_ACCOUNT), 0);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_TRUE(ui.GaveUp());
  EXPECT_GT(closes, 1);
  EXPECT_NE(err.find("Account Information"), std::string::npos);
}

}  // namespace
