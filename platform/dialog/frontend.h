// What a modal loop needs from whatever draws the windows and reads input.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/dialog/window.h"

namespace layer {

struct MessageBoxRequest {
  HWND owner = nullptr;
  std::string caption;
  std::string text;
  UINT style = 0;
  std::vector<int> buttons;  // button ids in order, e.g. IDYES, IDNO
  int defaultButton = IDOK;
  int escapeButton = 0;      // what Esc or the close box gives; 0 when they do nothing
};

// GetOpenFileName or GetSaveFileName about to show its dialog.
struct FileDialogRequest {
  HWND owner = nullptr;
  bool save = false;
  std::string title;
  std::vector<std::pair<std::string, std::string>> filters;  // name, patterns ("*.ofx;*.qif")
  int filterIndex = 0;  // 0-based
  std::string folder;   // where it starts
  std::string name;     // the name it offers
};

struct FileDialogAnswer {
  bool chosen = false;  // false: cancelled
  std::string path;
  int filterIndex = 0;
};

class FrontEnd {
 public:
  virtual ~FrontEnd() = default;

  // A modal loop waits: take one input (through input.h) and return true,
  // or return false when no input will come any more. The loop then closes
  // `modal` as its close box would. Calls nest: handling an input may start
  // another modal loop, which calls this again.
  virtual bool WaitForInput(Window* modal) = 0;

  // Something visible changed; draw before waiting next.
  virtual void Changed() {}

  // A message box is about to be shown. An answer here takes it at once,
  // without a window or a loop of its own.
  virtual std::optional<int> AnswerMessageBox(const MessageBoxRequest&) { return std::nullopt; }

  // A file dialog is about to be shown. A front end with a chooser of its own
  // (the desktop's) answers here; none shows the layer's dialog.
  virtual std::optional<FileDialogAnswer> ChooseFile(const FileDialogRequest&) { return std::nullopt; }

  // A modal loop was given up because its window would not close.
  virtual void Abandoned(Window*) {}

  // Lines a list box (or an open combo box list) shows and columns an edit
  // field shows as drawn now; 0 leaves them to the template's cells.
  virtual int ShownLines(const Window&) { return 0; }
  virtual int ShownColumns(const Window&) { return 0; }
};

// The installed front end; with none, modal loops close their dialogs at once.
void InstallFrontEnd(FrontEnd* frontEnd);
FrontEnd* InstalledFrontEnd();

}  // namespace layer
