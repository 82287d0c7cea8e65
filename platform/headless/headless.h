// The headless front end: tests drive the real dialog procedures with the
// actions a person would take, and read back what a person would see.
//
//   headless::Session ui;
//   ui.Then([&] { ui.Type(IDC_DATE, "01/15/2003"); ui.Click(IDC_NEW); });
//   ui.Then([&] { EXPECT_EQ(ui.Lines(IDC_REGISTER).size(), 1u); });
//   DialogBoxParamA(...);   // runs the steps, then closes what is still open
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace headless {

struct MessageBoxRecord {
  HWND owner;
  std::string caption;
  std::string text;
  UINT style;
  int answer;
};

class Session {
 public:
  Session();  // installs this front end for the session's life
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Steps run one at a time whenever a modal loop (dialog or message box)
  // waits for input. With no step left, the innermost dialog is closed as
  // its close box would close it.
  void Then(std::function<void()> step);

  // The next message box is answered with this button; a box with no answer
  // queued takes its default button.
  void AnswerNextMessageBox(int button);
  const std::vector<MessageBoxRecord>& MessageBoxes() const;
  void ClearMessageBoxes();

  // The dialog that actions address: the active one unless Use() chose another.
  HWND Active() const;
  void Use(HWND dialog);  // nullptr: back to the active dialog

  // A person's actions.
  void Click(int id);                           // a push button
  void ChooseMenu(int commandId);               // a menu item of the dialog's menu
  void Type(int id, const std::string& text);   // focus the field, replace its text as typed
  void SelectLine(int id, int index);           // a click on a list line (notifies)
  void PickItem(int id, int index);             // a combo box's drop-down item
  void Focus(int id);                           // a click into a control
  void Enter();
  void Escape();
  void Tab(bool shift = false);
  void Alt(char letter);                        // Alt+letter
  void CloseBox();                              // the window's close box
  void Drop(const std::string& path);           // a file dropped on the window

  // What a person sees.
  std::string Text(int id) const;               // also the caption with id 0
  bool Enabled(int id) const;
  bool Visible(int id) const;
  int Focused() const;                          // id of the focused control, 0 for none
  std::vector<std::string> Lines(int id) const; // list box or combo box items
  int Selection(int id) const;                  // -1 for none
  bool MenuChecked(int commandId) const;
  bool IsOpen(HWND dialog) const;

  // True once a dialog would not close when the steps ran out, so that its
  // loop had to be given up (also reported on stderr).
  bool GaveUp() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace headless
