// Test dialog procedures over the test dialogs (TestDialogs.rc): every message
// is handed to a handler the test sets, and every WM_COMMAND is recorded.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/headless/headless.h"
#include "platform/win32.h"
#include "tests/platform/TestDialogs.h"

struct CommandRecord {
  HWND dialog;
  int id;
  int code;
  HWND from;
  bool operator==(const CommandRecord&) const = default;
};

class DialogFixture : public testing::Test {
 protected:
  using Handler = std::function<INT_PTR(HWND, UINT, WPARAM, LPARAM)>;

  void SetUp() override {
    handler = nullptr;
    commands.clear();
  }

  // Handles WM_INITDIALOG with TRUE, WM_CLOSE as not handled, and otherwise
  // asks the test's handler.
  static INT_PTR CALLBACK Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND)
      commands.push_back({dialog, LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)});
    if (handler) return handler(dialog, message, wParam, lParam);
    return message == WM_INITDIALOG;
  }

  static INT_PTR Run(int templateId, HWND owner = nullptr, LPARAM param = 0) {
    return DialogBoxParamA(nullptr, MAKEINTRESOURCEA(templateId), owner, Proc, param);
  }

  // The commands with this id, in order.
  static std::vector<CommandRecord> CommandsFor(int id) {
    std::vector<CommandRecord> out;
    for (const CommandRecord& c : commands)
      if (c.id == id) out.push_back(c);
    return out;
  }

  static inline Handler handler;
  static inline std::vector<CommandRecord> commands;
  headless::Session ui;
};

// Runs `body` once the dialog is up, then closes it.
inline void During(headless::Session& ui, std::function<void(HWND)> body) {
  ui.Then([&ui, body] {
    body(ui.Active());
    EndDialog(ui.Active(), 0);
  });
}
