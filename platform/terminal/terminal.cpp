#include "platform/terminal/terminal.h"

#include <langinfo.h>
#include <poll.h>
#include <unistd.h>

#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>

#include "platform/dialog/desktop.h"
#include "platform/dialog/frontend.h"
#include "platform/dialog/input.h"
#include "platform/terminal/canvas.h"
#include "platform/terminal/keys.h"
#include "platform/terminal/layout.h"
#include "platform/terminal/mouse.h"
#include "platform/terminal/palette.h"
#include "platform/terminal/render.h"

// Last: curses defines macros with common names.
#include <curses.h>

namespace {

volatile sig_atomic_t quitRequested = 0;
volatile sig_atomic_t screenActive = 0;

void OnQuitSignal(int) { quitRequested = 1; }

void OnCrashSignal(int sig) {
  // The person gets their terminal back before the default action (a core
  // dump, usually) ends the process.
  if (screenActive) endwin();
  screenActive = 0;
  std::signal(sig, SIG_DFL);
  std::raise(sig);
}

void RestoreAtExit() {
  if (screenActive) endwin();
  screenActive = 0;
}

// Installs the handlers for the session's life and puts the old ones back.
class SignalHandlers {
 public:
  SignalHandlers() {
    for (int sig : kQuit) Install(sig, OnQuitSignal, 0);
    for (int sig : kCrash) Install(sig, OnCrashSignal, SA_RESETHAND | SA_NODEFER);
  }
  ~SignalHandlers() {
    for (size_t i = 0; i < saved_count_; ++i) sigaction(saved_[i].sig, &saved_[i].old, nullptr);
  }
  SignalHandlers(const SignalHandlers&) = delete;
  SignalHandlers& operator=(const SignalHandlers&) = delete;

 private:
  static constexpr int kQuit[] = {SIGINT, SIGTERM, SIGHUP};
  static constexpr int kCrash[] = {SIGSEGV, SIGABRT, SIGBUS, SIGFPE, SIGILL};
  struct Saved {
    int sig;
    struct sigaction old;
  };
  void Install(int sig, void (*handler)(int), int flags) {
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = flags;  // no SA_RESTART: a waiting read returns and sees the request
    saved_[saved_count_].sig = sig;
    sigaction(sig, &action, &saved_[saved_count_].old);
    ++saved_count_;
  }
  Saved saved_[8];
  size_t saved_count_ = 0;
};

int ExtendedKeyCode(const char* capability) {
  char* sequence = tigetstr(capability);
  if (sequence == nullptr || sequence == reinterpret_cast<char*>(-1)) return -1;
  int code = key_defined(sequence);
  return code > 0 ? code : -1;
}

// Line drawing and marks for a terminal whose character set is not UTF-8.
wchar_t Plain(char32_t ch) {
  switch (ch) {
    case U'─': case U'═': return L'-';
    case U'│': case U'║': return L'|';
    case U'┌': case U'┐': case U'└': case U'┘': case U'╔': case U'╗': case U'╚': case U'╝':
    case U'├': case U'┤': return L'+';
    case U'▲': return L'^';
    case U'▼': return L'v';
    case U'▶': return L'>';
    case U'◀': return L'<';
    case U'░': return L':';
    case U'█': case U'■': return L'#';
    case U'✓': return L'*';
    case U'…': return L'~';
    case U'×': return L'x';
    default: return ch < 0x80 ? static_cast<wchar_t>(ch) : L'?';
  }
}

class TerminalFrontEnd : public layer::FrontEnd {
 public:
  TerminalFrontEnd() {
    utf8_ = std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0;
    colours_ = 0;
    if (has_colors() && std::getenv("NO_COLOR") == nullptr) {
      start_color();
      bool defaults = use_default_colors() == OK;
      colours_ = COLORS;
      for (int s = 0; s <= static_cast<int>(term::Style::Message); ++s) {
        term::Look look = term::LookOf(static_cast<term::Style>(s), colours_);
        short fg = look.foreground, bg = look.background;
        if (!defaults && fg < 0) fg = COLOR_WHITE;
        if (!defaults && bg < 0) bg = COLOR_BLACK;
        init_pair(static_cast<short>(s + 1), fg, bg);
      }
    }
    extended_.altDown = ExtendedKeyCode("kDN3");
    extended_.altUp = ExtendedKeyCode("kUP3");
  }

  bool WaitForInput(layer::Window*) override {
    for (;;) {
      if (quitRequested) closing_ = true;
      if (closing_) return false;
      if (!pending_.empty()) {
        term::Action action = pending_.front();
        pending_.pop_front();
        if (Dispatch(action)) return true;
        continue;
      }
      if (dirty_) Paint();
      std::optional<term::RawKey> key = Read(250);
      if (!key) {
        if (HungUp()) closing_ = true;
        continue;
      }
      for (const term::Action& a : term::Translate(*key, [this] { return Read(40); }, extended_))
        pending_.push_back(a);
    }
  }

  void Changed() override { dirty_ = true; }

  int ShownLines(const layer::Window& control) override {
    int rows = 0, cols = 0;
    getmaxyx(stdscr, rows, cols);
    return term::ShownLines(control, rows, cols);
  }

  int ShownColumns(const layer::Window& control) override {
    int rows = 0, cols = 0;
    getmaxyx(stdscr, rows, cols);
    return term::ShownColumns(control, rows, cols);
  }

 private:
  static std::optional<term::RawKey> Read(int milliseconds) {
    timeout(milliseconds);
    wint_t ch = 0;
    int result = get_wch(&ch);
    if (result == ERR) return std::nullopt;
    return term::RawKey{result == KEY_CODE_YES, static_cast<int>(ch)};
  }

  // The terminal went away without a hangup signal.
  static bool HungUp() {
    struct pollfd fd{STDIN_FILENO, POLLIN, 0};
    return poll(&fd, 1, 0) > 0 && (fd.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
  }

  // Hands one action to the dialog manager; false when it was none of its business.
  bool Dispatch(const term::Action& action) {
    dirty_ = true;
    if (action.type == term::Action::Quit) {
      closing_ = true;
      return false;
    }
    if (action.type == term::Action::Redraw) {
      clearok(curscr, TRUE);
      return false;
    }
    // While the windows do not fit, keys would act on what nobody sees.
    if (tooSmall_) {
      if (action.type == term::Action::Mouse) {
        MEVENT event;
        getmouse(&event);
      }
      return false;
    }
    switch (action.type) {
      case term::Action::Key:
        layer::PressKey(action.key, action.modifiers);
        return true;
      case term::Action::Char:
        layer::TypeChar(action.ch, action.modifiers);
        return true;
      case term::Action::NextWindow:
        return NextWindow();
      case term::Action::Mouse:
        return Mouse();
      default:
        return false;
    }
  }

  bool NextWindow() {
    std::vector<layer::Window*> usable;
    for (layer::Window* w : layer::TopLevelWindows())
      if (w->Visible() && w->Enabled()) usable.push_back(w);
    if (usable.size() < 2) return false;
    layer::Window* active = layer::ActiveWindow();
    size_t i = 0;
    while (i < usable.size() && usable[i] != active) ++i;
    layer::Activate(layer::ToHandle(usable[(i + 1) % usable.size()]));
    return true;
  }

  bool Mouse() {
    MEVENT event;
    if (getmouse(&event) != OK) return false;
    int rows = 0, cols = 0;
    getmaxyx(stdscr, rows, cols);
    std::vector<layer::Window*> windows = term::DrawingOrder(layer::TopLevelWindows(), layer::ActiveWindow());
    if (event.bstate & BUTTON4_PRESSED) return term::WheelAt(windows, rows, cols, event.y, event.x, -3);
#ifdef BUTTON5_PRESSED
    if (event.bstate & BUTTON5_PRESSED) return term::WheelAt(windows, rows, cols, event.y, event.x, 3);
#endif
    if ((event.bstate & (BUTTON1_PRESSED | BUTTON1_CLICKED)) == 0) return false;
    return term::ClickAt(windows, rows, cols, event.y, event.x);
  }

  void Paint() {
    int rows = 0, cols = 0;
    getmaxyx(stdscr, rows, cols);
    term::Canvas canvas(rows, cols);
    std::vector<layer::Window*> windows = term::DrawingOrder(layer::TopLevelWindows(), layer::ActiveWindow());
    tooSmall_ = !term::Draw(canvas, windows, layer::ActiveWindow());
    for (int r = 0; r < rows; ++r) {
      for (int c = 0; c < cols; ++c) {
        const term::Cell& cell = canvas.At(r, c);
        if (cell.tail) continue;
        wchar_t text[2] = {utf8_ ? static_cast<wchar_t>(cell.ch) : Plain(cell.ch), L'\0'};
        // A wide character that would not fit whole on the last column.
        if (c == cols - 1 && text::CharCells(cell.ch) > 1) text[0] = L' ';
        cchar_t out;
        setcchar(&out, text, Attributes(cell), static_cast<short>(colours_ >= 8 ? static_cast<int>(cell.style) + 1 : 0),
                 nullptr);
        mvadd_wch(r, c, &out);
      }
    }
    if (canvas.cursor) {
      curs_set(1);
      move(canvas.cursor->first, canvas.cursor->second);
    } else {
      curs_set(0);
    }
    refresh();
    dirty_ = false;
  }

  attr_t Attributes(const term::Cell& cell) const {
    term::Look look = term::LookOf(cell.style, colours_);
    attr_t attributes = A_NORMAL;
    if (look.bold) attributes |= A_BOLD;
    if (look.reverse) attributes |= A_REVERSE;
    if (look.underline || cell.underline) attributes |= A_UNDERLINE;
    if (look.dim) attributes |= A_DIM;
    return attributes;
  }

  std::deque<term::Action> pending_;
  term::ExtendedKeys extended_;
  bool utf8_ = false;
  int colours_ = 0;
  bool dirty_ = true;
  bool closing_ = false;
  bool tooSmall_ = false;
};

}  // namespace

int RunWithTerminalFrontEnd(const std::function<int()>& entry) {
  // Only the character set: numbers keep the C locale's decimal point.
  std::setlocale(LC_CTYPE, "");
  quitRequested = 0;
  SignalHandlers handlers;
  SCREEN* screen = newterm(nullptr, stdout, stdin);
  if (screen == nullptr) {
    const char* name = std::getenv("TERM");
    std::fprintf(stderr, "Cannot use this terminal (TERM=%s).\n", name ? name : "");
    return 1;
  }
  set_term(screen);
  screenActive = 1;
  static bool atExitRegistered = false;
  if (!atExitRegistered) atExitRegistered = std::atexit(RestoreAtExit) == 0;
  cbreak();
  noecho();
  nonl();
  intrflush(stdscr, FALSE);
  keypad(stdscr, TRUE);
  set_escdelay(25);
  // Releases are asked for too, so the terminal reports them as events, not keys.
  mmask_t mask = BUTTON1_PRESSED | BUTTON1_RELEASED | BUTTON1_CLICKED | BUTTON4_PRESSED;
#ifdef BUTTON5_PRESSED
  mask |= BUTTON5_PRESSED;
#endif
  mousemask(mask, nullptr);
  mouseinterval(0);

  int result = 0;
  {
    TerminalFrontEnd frontEnd;
    layer::InstallFrontEnd(&frontEnd);
    result = entry();
    layer::InstallFrontEnd(nullptr);
  }
  endwin();
  screenActive = 0;
  delscreen(screen);
  return result;
}
