// The program's dialog templates run through the dialog manager with small
// test procedures, drawn onto a canvas the size of a terminal, and clicked
// where things are drawn.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/dialog/desktop.h"
#include "platform/dialog/frontend.h"
#include "platform/dialog/input.h"
#include "platform/terminal/canvas.h"
#include "platform/terminal/layout.h"
#include "platform/terminal/mouse.h"
#include "platform/terminal/render.h"
#include "platform/win32.h"
#include "resources/ProgramResources.h"
#include "resources/resource.h"

class ScreenTest : public testing::Test {
 protected:
  static constexpr int kShowMessage = 40005;
  // The terminal's size; tests of the denser layouts change it.
  static inline int kRows = 36, kCols = 110;

  // Runs the steps one per wait of a modal loop, as a person's inputs; message
  // boxes become windows of their own.
  struct Steps : layer::FrontEnd {
    std::deque<std::function<void()>> steps;
    // Lists page and fields scroll by what the terminal shows.
    int ShownLines(const layer::Window& c) override { return term::ShownLines(c, kRows, kCols); }
    int ShownColumns(const layer::Window& c) override { return term::ShownColumns(c, kRows, kCols); }
    bool WaitForInput(layer::Window*) override {
      if (steps.empty()) return false;
      std::function<void()> step = std::move(steps.front());
      steps.pop_front();
      step();
      return true;
    }
  };

  void SetUp() override {
    UseProgramResources();
    kRows = 36;
    kCols = 110;
    notice = {"First line of the message\nand a second", "Notice", MB_OKCANCEL | MB_ICONWARNING};
    lines.clear();
    payees.clear();
    commands.clear();
    answers.clear();
    layer::InstallFrontEnd(&steps);
  }

  void TearDown() override {
    layer::InstallFrontEnd(nullptr);
    EXPECT_TRUE(steps.steps.empty()) << "some steps never ran";
  }

  void Then(std::function<void()> step) { steps.steps.push_back(std::move(step)); }

  static INT_PTR CALLBACK RegisterProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
      case WM_INITDIALOG: {
        registerWindow = layer::FromHandle(dialog);
        static const int stops[] = {44, 94, 274, 338, 406};
        SendDlgItemMessageA(dialog, IDC_REGISTER, LB_SETTABSTOPS, 5, reinterpret_cast<LPARAM>(stops));
        for (const std::string& line : lines)
          SendDlgItemMessageA(dialog, IDC_REGISTER, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
        for (const std::string& payee : payees)
          SendDlgItemMessageA(dialog, IDC_PAYEE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(payee.c_str()));
        SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(LoadIconA(nullptr, MAKEINTRESOURCEA(IDI_CHECKBOOK))));
        return TRUE;
      }
      case WM_CLOSE:
        EndDialog(dialog, 0);
        return TRUE;
      case WM_COMMAND:
        commands.push_back({LOWORD(wParam), HIWORD(wParam)});
        if (LOWORD(wParam) == ID_SETUP_ACCOUNTDETAILS)
          DialogBoxParamA(nullptr, MAKEINTRESOURCEA(IDD_ACCOUNT), nullptr, AccountProc, 0);
        if (LOWORD(wParam) == kShowMessage)
          answers.push_back(MessageBoxA(dialog, notice.text, notice.caption, notice.style));
        return TRUE;
      default:
        return FALSE;
    }
  }

  static INT_PTR CALLBACK AccountProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
      EndDialog(dialog, LOWORD(wParam));
      return TRUE;
    }
    return FALSE;
  }

  // Runs the register window; the steps run one at a time while it waits.
  void RunRegister() { DialogBoxParamA(nullptr, MAKEINTRESOURCEA(IDD_REGISTER), nullptr, RegisterProc, 0); }

  static std::vector<layer::Window*> Windows() {
    return term::DrawingOrder(layer::TopLevelWindows(), layer::ActiveWindow());
  }

  static term::Canvas Screen(int rows = kRows, int cols = kCols) {
    term::Canvas canvas(rows, cols);
    term::Draw(canvas, Windows(), layer::ActiveWindow());
    return canvas;
  }

  static bool Click(int row, int col) { return term::ClickAt(Windows(), kRows, kCols, row, col); }

  static layer::Window* Register() { return registerWindow; }
  static HWND Item(int id) { return GetDlgItem(layer::ToHandle(Register()), id); }
  static layer::Window* Control(int id) { return layer::FromHandle(Item(id)); }
  // A control of the active window by its text (labels have no id of their own).
  static layer::Window* Labelled(const std::string& text) {
    for (auto& child : layer::ActiveWindow()->children)
      if (child->text == text) return child.get();
    return nullptr;
  }
  static term::Box BoxOf(layer::Window* control) {
    return term::BoxOf(term::Place(*control->TopLevel(), kRows, kCols), *control).box;
  }

  // Where `text` is first drawn at or below `fromRow` (columns count cells;
  // the tests draw no double-width characters before it).
  static bool Find(const term::Canvas& canvas, const std::string& text, int& row, int& col, int fromRow = 0) {
    std::u32string wanted = text::Decode(text);
    for (int r = fromRow; r < canvas.Rows(); ++r) {
      std::u32string line = text::Decode(canvas.Row(r));
      size_t at = line.find(wanted);
      if (at != std::u32string::npos) {
        row = r;
        col = static_cast<int>(at);
        return true;
      }
    }
    return false;
  }

  static std::string All(const term::Canvas& canvas) {
    std::string out;
    for (int r = 0; r < canvas.Rows(); ++r) out += canvas.Row(r) + "\n";
    return out;
  }

  struct Message {
    const char* text;
    const char* caption;
    UINT style;
  };
  static inline Message notice;  // what command kShowMessage shows

  struct Command {
    int id;
    int code;
  };
  static inline std::vector<std::string> lines;
  static inline std::vector<std::string> payees;
  static inline std::vector<Command> commands;
  static inline std::vector<int> answers;
  static inline layer::Window* registerWindow = nullptr;
  Steps steps;
};
