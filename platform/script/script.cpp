// The script front end: one action a line, run one per modal-loop wait.
#include "platform/script/script.h"

#include <cctype>
#include <deque>
#include <istream>
#include <optional>
#include <ostream>
#include <sstream>

#include "platform/dialog/actions.h"
#include "platform/dialog/desktop.h"
#include "platform/dialog/frontend.h"

namespace {

namespace actions = layer::actions;

struct ButtonName {
  const char* name;
  int id;
};
constexpr ButtonName kButtons[] = {{"ok", IDOK},       {"cancel", IDCANCEL}, {"abort", IDABORT}, {"retry", IDRETRY},
                                   {"ignore", IDIGNORE}, {"yes", IDYES},       {"no", IDNO}};

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::optional<int> Number(const std::string& word) {
  if (word.empty()) return std::nullopt;
  size_t used = 0;
  try {
    int n = std::stoi(word, &used, 10);
    if (used == word.size()) return n;
  } catch (const std::exception&) {
  }
  return std::nullopt;
}

std::optional<int> Button(const std::string& word) {
  for (const ButtonName& b : kButtons)
    if (Lower(word) == b.name) return b.id;
  return Number(word);
}

// A text argument: the rest of the line, or a quoted text with escapes.
std::optional<std::string> TextArgument(const std::string& rest) {
  if (rest.empty() || rest[0] != '"') return rest;
  std::string out;
  for (size_t i = 1; i < rest.size(); ++i) {
    char c = rest[i];
    if (c == '"') return i + 1 == rest.size() ? std::optional<std::string>(out) : std::nullopt;
    if (c == '\\' && i + 1 < rest.size()) {
      char e = rest[++i];
      out += e == 'n' ? '\n' : e == 't' ? '\t' : e == 'r' ? '\r' : e;
    } else {
      out += c;
    }
  }
  return std::nullopt;
}

class ScriptFrontEnd : public layer::FrontEnd {
 public:
  ScriptFrontEnd(std::istream& in, std::ostream& out) : in_(in), out_(out) {}

  bool WaitForInput(layer::Window*) override {
    while (std::optional<std::string> line = NextAction()) {
      if (Run(*line)) return true;
    }
    return false;
  }

  std::optional<int> AnswerMessageBox(const layer::MessageBoxRequest& box) override {
    out_ << "messagebox caption " << actions::Quote(box.caption) << " style 0x" << std::hex << box.style << std::dec
         << " text " << actions::Quote(box.text) << "\n";
    int answer = box.defaultButton;
    if (!answers_.empty()) {
      answer = answers_.front();
      answers_.pop_front();
    } else if (std::optional<std::string> next = NextAction()) {
      std::istringstream words(*next);
      std::string verb, button;
      words >> verb >> button;
      if (Lower(verb) == "answer") {
        std::optional<int> id = Button(button);
        if (id) answer = *id;
        else Error("unknown button " + button);
      } else {
        pending_ = next;  // not an answer: the next wait runs it
        --lineNumber_;
      }
    }
    out_ << "answer " << answer << "\n";
    return answer;
  }

  void Abandoned(layer::Window* dialog) override {
    Error("the dialog " + actions::Quote(dialog->text) + " did not close at the end of the script");
  }

  // Lines left when the program ended.
  void Finish() {
    if (std::optional<std::string> line = NextAction()) Error("the program ended before this line");
  }

 private:
  std::optional<std::string> NextAction() {
    if (pending_) {
      std::optional<std::string> line = pending_;
      pending_.reset();
      ++lineNumber_;
      return line;
    }
    std::string line;
    while (std::getline(in_, line)) {
      ++lineNumber_;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      size_t start = line.find_first_not_of(" \t");
      if (start == std::string::npos || line[start] == '#') continue;
      return line.substr(start);
    }
    return std::nullopt;
  }

  void Error(const std::string& what) { out_ << "error: line " << lineNumber_ << ": " << what << "\n"; }

  HWND Target() {
    if (chosen_) {
      for (layer::Window* w : layer::TopLevelWindows())
        if (w->dialog.templateId == chosen_ && !w->dialog.ended) return layer::ToHandle(w);
    }
    return layer::ToHandle(layer::ActiveWindow());
  }

  // Runs one line; false for lines that take no turn: answers, print, use
  // and lines that cannot be read.
  bool Run(const std::string& line) {
    std::istringstream words(line);
    std::string verb;
    words >> verb;
    verb = Lower(verb);
    std::string first;
    words >> first;
    std::string rest;
    std::getline(words >> std::ws, rest);
    std::optional<int> id = Number(first);
    HWND target = Target();
    std::string why;

    if (verb == "click" && id) why = actions::Click(target, *id);
    else if (verb == "menu" && id) why = actions::ChooseMenu(target, *id);
    else if ((verb == "type" || verb == "set") && id) {
      std::optional<std::string> text = TextArgument(rest);
      if (!text) why = "unterminated text";
      else why = verb == "type" ? actions::Type(target, *id, *text) : actions::SetText(target, *id, *text);
    } else if ((verb == "select" || verb == "pick") && id && Number(rest)) {
      why = verb == "select" ? actions::SelectLine(target, *id, *Number(rest)) : actions::PickItem(target, *id, *Number(rest));
    } else if (verb == "focus" && id) why = actions::Focus(target, *id);
    else if (verb == "enter" && first.empty()) why = actions::Press(target, layer::Key::Enter);
    else if (verb == "escape" && first.empty()) why = actions::Press(target, layer::Key::Escape);
    else if (verb == "tab" && first.empty()) why = actions::Press(target, layer::Key::Tab);
    else if (verb == "shift-tab" && first.empty()) why = actions::Press(target, layer::Key::Tab, layer::kShift);
    else if (verb == "alt" && first.size() == 1) why = actions::Alt(target, first[0]);
    else if (verb == "close" && first.empty()) why = actions::CloseBox(target);
    else if (verb == "drop" && !first.empty()) {
      std::optional<std::string> path = TextArgument(rest.empty() ? first : first + " " + rest);
      if (!path) why = "unterminated text";
      else why = actions::Drop(target, *path);
    }
    else if (verb == "answer" && Button(first)) {
      answers_.push_back(*Button(first));
      return false;
    } else if (verb == "use") {
      chosen_ = id.value_or(0);
      return false;
    } else if (verb == "print" && first.empty()) {
      out_ << actions::Describe(target);
      return false;
    } else {
      Error("cannot read " + actions::Quote(line));
      return false;
    }
    if (!why.empty()) Error(why);
    return true;
  }

  std::istream& in_;
  std::ostream& out_;
  std::optional<std::string> pending_;
  std::deque<int> answers_;
  int lineNumber_ = 0;
  int chosen_ = 0;  // template id chosen by "use", 0 for the active dialog
};

}  // namespace

int RunWithScriptFrontEnd(std::istream& in, std::ostream& out, const std::function<int()>& entry) {
  ScriptFrontEnd frontEnd(in, out);
  layer::FrontEnd* previous = layer::InstalledFrontEnd();
  layer::InstallFrontEnd(&frontEnd);
  int result = entry();
  frontEnd.Finish();
  layer::InstallFrontEnd(previous);
  out.flush();
  return result;
}
