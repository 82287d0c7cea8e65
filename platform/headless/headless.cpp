// The headless front end: queued steps stand in for a person at the keys.
#include "platform/headless/headless.h"

#include <cstdio>
#include <deque>

#include "platform/dialog/actions.h"
#include "platform/dialog/desktop.h"
#include "platform/dialog/frontend.h"

namespace headless {

namespace actions = layer::actions;

struct Session::State : layer::FrontEnd {
  std::deque<std::function<void()>> steps;
  std::deque<int> answers;
  std::vector<MessageBoxRecord> boxes;
  HWND chosen = nullptr;
  bool gaveUp = false;
  layer::FrontEnd* previous = nullptr;

  bool WaitForInput(layer::Window*) override {
    if (steps.empty()) return false;
    std::function<void()> step = std::move(steps.front());
    steps.pop_front();
    step();
    return true;
  }

  std::optional<int> AnswerMessageBox(const layer::MessageBoxRequest& box) override {
    int answer = box.defaultButton;
    if (!answers.empty()) {
      answer = answers.front();
      answers.pop_front();
    }
    boxes.push_back({box.owner, box.caption, box.text, box.style, answer});
    return answer;
  }

  void Abandoned(layer::Window* dialog) override {
    gaveUp = true;
    std::fprintf(stderr, "headless: the dialog \"%s\" did not close when asked; its loop was ended\n",
                 dialog->text.c_str());
  }
};

Session::Session() : state_(std::make_unique<State>()) {
  state_->previous = layer::InstalledFrontEnd();
  layer::InstallFrontEnd(state_.get());
}

Session::~Session() {
  if (!state_->steps.empty())
    std::fprintf(stderr, "headless: %zu step(s) never ran: no dialog waited for them\n", state_->steps.size());
  layer::InstallFrontEnd(state_->previous);
}

void Session::Then(std::function<void()> step) { state_->steps.push_back(std::move(step)); }

void Session::AnswerNextMessageBox(int button) { state_->answers.push_back(button); }
const std::vector<MessageBoxRecord>& Session::MessageBoxes() const { return state_->boxes; }
void Session::ClearMessageBoxes() { state_->boxes.clear(); }

HWND Session::Active() const {
  if (state_->chosen && IsOpen(state_->chosen)) return state_->chosen;
  return layer::ToHandle(layer::ActiveWindow());
}

void Session::Use(HWND dialog) { state_->chosen = dialog; }

namespace {

void Report(const char* action, int id, const std::string& why) {
  if (!why.empty()) std::fprintf(stderr, "headless: %s(%d): %s\n", action, id, why.c_str());
}

}  // namespace

void Session::Click(int id) { Report("Click", id, actions::Click(Active(), id)); }
void Session::ChooseMenu(int commandId) { Report("ChooseMenu", commandId, actions::ChooseMenu(Active(), commandId)); }
void Session::Type(int id, const std::string& text) { Report("Type", id, actions::Type(Active(), id, text)); }
void Session::SelectLine(int id, int index) { Report("SelectLine", id, actions::SelectLine(Active(), id, index)); }
void Session::PickItem(int id, int index) { Report("PickItem", id, actions::PickItem(Active(), id, index)); }
void Session::Focus(int id) { Report("Focus", id, actions::Focus(Active(), id)); }
void Session::Enter() { Report("Enter", 0, actions::Press(Active(), layer::Key::Enter)); }
void Session::Escape() { Report("Escape", 0, actions::Press(Active(), layer::Key::Escape)); }
void Session::Tab(bool shift) {
  Report("Tab", 0, actions::Press(Active(), layer::Key::Tab, shift ? unsigned{layer::kShift} : 0u));
}
void Session::Alt(char letter) { Report("Alt", letter, actions::Alt(Active(), letter)); }
void Session::CloseBox() { Report("CloseBox", 0, actions::CloseBox(Active())); }
void Session::Drop(const std::string& path) { Report("Drop", 0, actions::Drop(Active(), path)); }

std::string Session::Text(int id) const { return actions::Text(Active(), id); }
bool Session::Enabled(int id) const { return actions::Enabled(Active(), id); }
bool Session::Visible(int id) const { return actions::Visible(Active(), id); }
int Session::Focused() const { return actions::Focused(Active()); }
std::vector<std::string> Session::Lines(int id) const { return actions::Lines(Active(), id); }
int Session::Selection(int id) const { return actions::Selection(Active(), id); }
bool Session::MenuChecked(int commandId) const { return actions::MenuChecked(Active(), commandId); }

bool Session::IsOpen(HWND dialog) const {
  layer::Window* d = layer::FromHandle(dialog);
  return d && !d->parent && !d->dialog.ended;
}

bool Session::GaveUp() const { return state_->gaveUp; }

}  // namespace headless
