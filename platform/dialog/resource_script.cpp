// Reads DIALOG/DIALOGEX, MENU and ICON statements of a .rc script, with the
// defaults the resource compiler gives each control statement.
#include "platform/dialog/resource_script.h"

#include <cctype>
#include <cstdlib>
#include <optional>
#include <unordered_map>


namespace layer {
namespace {

// Button and static styles the program itself never names.
constexpr DWORD kBsCheckBox = 0x2, kBsAutoCheckBox = 0x3, kBsRadioButton = 0x4, kBsGroupBox = 0x7,
                kBsAutoRadioButton = 0x9, kSsIcon = 0x3, kCbsSimple = 0x1;

const std::unordered_map<std::string, long>& StyleConstants() {
  static const std::unordered_map<std::string, long> table = {
#define C(name) {#name, static_cast<long>(name)}
      C(WS_OVERLAPPED), C(WS_POPUP), C(WS_CHILD), C(WS_VISIBLE), C(WS_DISABLED), C(WS_CLIPSIBLINGS),
      C(WS_CLIPCHILDREN), C(WS_CAPTION), C(WS_BORDER), C(WS_DLGFRAME), C(WS_VSCROLL), C(WS_HSCROLL),
      C(WS_SYSMENU), C(WS_THICKFRAME), C(WS_GROUP), C(WS_TABSTOP), C(WS_MINIMIZEBOX), C(WS_MAXIMIZEBOX),
      C(WS_EX_CLIENTEDGE), C(WS_EX_STATICEDGE), C(DS_ABSALIGN), C(DS_SETFONT), C(DS_MODALFRAME), C(DS_CENTER),
      C(ES_LEFT), C(ES_CENTER), C(ES_RIGHT), C(ES_MULTILINE), C(ES_AUTOVSCROLL), C(ES_AUTOHSCROLL),
      C(ES_WANTRETURN), C(BS_PUSHBUTTON), C(BS_DEFPUSHBUTTON), C(BS_GROUPBOX), C(SS_NOPREFIX), C(SS_LEFT), C(SS_CENTER), C(SS_RIGHT),
      C(SS_SUNKEN), C(LBS_NOTIFY), C(LBS_SORT), C(LBS_USETABSTOPS), C(LBS_NOINTEGRALHEIGHT), C(CBS_DROPDOWN),
      C(CBS_DROPDOWNLIST), C(CBS_AUTOHSCROLL), C(CBS_SORT), C(IDOK), C(IDCANCEL), C(IDABORT), C(IDRETRY),
      C(IDIGNORE), C(IDYES), C(IDNO), C(IDC_STATIC),
#undef C
      {"WS_EX_DLGMODALFRAME", 0x1},  {"WS_EX_TOPMOST", 0x8},      {"WS_EX_TOOLWINDOW", 0x80},
      {"WS_EX_WINDOWEDGE", 0x100},   {"WS_TILED", 0},             {"WS_MINIMIZE", 0x20000000},
      {"WS_MAXIMIZE", 0x01000000},   {"DS_3DLOOK", 0x4},          {"DS_FIXEDSYS", 0x8},
      {"DS_NOFAILCREATE", 0x10},     {"DS_CONTROL", 0x400},       {"DS_SHELLFONT", 0x48},
      {"ES_UPPERCASE", 0x8},         {"ES_LOWERCASE", 0x10},      {"ES_PASSWORD", 0x20},
      {"ES_NOHIDESEL", 0x100},       {"ES_READONLY", 0x800},      {"ES_NUMBER", 0x2000},
      {"BS_CHECKBOX", 0x2},          {"BS_AUTOCHECKBOX", 0x3},    {"BS_RADIOBUTTON", 0x4},
      {"BS_3STATE", 0x5},            {"BS_AUTO3STATE", 0x6},      
      {"BS_AUTORADIOBUTTON", 0x9},   {"BS_LEFTTEXT", 0x20},       {"BS_FLAT", 0x8000},
      {"BS_MULTILINE", 0x2000},      {"SS_ICON", 0x3},            {"SS_BLACKRECT", 0x4},
      {"SS_GRAYRECT", 0x5},          {"SS_WHITERECT", 0x6},       {"SS_BLACKFRAME", 0x7},
      {"SS_ETCHEDHORZ", 0x10},       {"SS_ETCHEDFRAME", 0x12},    
      {"SS_NOTIFY", 0x100},          {"SS_CENTERIMAGE", 0x200},   {"SS_LEFTNOWORDWRAP", 0xC},
      {"LBS_MULTIPLESEL", 0x8},      {"LBS_OWNERDRAWFIXED", 0x10}, {"LBS_HASSTRINGS", 0x40},
      {"LBS_NOREDRAW", 0x4},         {"LBS_MULTICOLUMN", 0x200},  {"LBS_WANTKEYBOARDINPUT", 0x400},
      {"LBS_EXTENDEDSEL", 0x800},    {"LBS_DISABLENOSCROLL", 0x1000}, {"LBS_NOSEL", 0x4000},
      {"LBS_STANDARD", 0xA00003},    {"CBS_SIMPLE", 0x1},         {"CBS_OWNERDRAWFIXED", 0x10},
      {"CBS_HASSTRINGS", 0x200},     {"CBS_OEMCONVERT", 0x80},    {"CBS_NOINTEGRALHEIGHT", 0x400},
      {"CBS_DISABLENOSCROLL", 0x800}, {"CBS_UPPERCASE", 0x2000},  {"CBS_LOWERCASE", 0x4000},
  };
  return table;
}

struct Token {
  enum Type { End, Name, Number, String, Punct } type = End;
  std::string text;
  long number = 0;
  int line = 0;
};

class Lexer {
 public:
  explicit Lexer(const std::string& text) : text_(text) {}

  std::vector<Token> Tokens() {
    std::vector<Token> out;
    for (;;) {
      Token t = Next();
      out.push_back(t);
      if (t.type == Token::End) return out;
    }
  }

 private:
  char Peek(size_t ahead = 0) const { return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : '\0'; }

  void SkipSpaceAndComments() {
    for (;;) {
      char c = Peek();
      if (c == '\n') {
        ++line_;
        ++pos_;
        atLineStart_ = true;
      } else if (std::isspace(static_cast<unsigned char>(c))) {
        ++pos_;
      } else if (c == '/' && Peek(1) == '/') {
        while (Peek() && Peek() != '\n') ++pos_;
      } else if (c == '/' && Peek(1) == '*') {
        pos_ += 2;
        while (Peek() && !(Peek() == '*' && Peek(1) == '/')) {
          if (Peek() == '\n') ++line_;
          ++pos_;
        }
        if (Peek()) pos_ += 2;
      } else if (c == '#' && atLineStart_) {
        directives_.push_back(ReadLine());
      } else {
        return;
      }
    }
  }

  std::string ReadLine() {
    size_t start = pos_;
    while (Peek() && Peek() != '\n') ++pos_;
    return text_.substr(start, pos_ - start);
  }

  Token Next() {
    SkipSpaceAndComments();
    atLineStart_ = false;
    Token t;
    t.line = line_;
    char c = Peek();
    if (!c) return t;
    if (std::isdigit(static_cast<unsigned char>(c))) {
      size_t start = pos_;
      while (std::isalnum(static_cast<unsigned char>(Peek()))) ++pos_;
      std::string digits = text_.substr(start, pos_ - start);
      while (!digits.empty() && (digits.back() == 'L' || digits.back() == 'l' || digits.back() == 'U' ||
                                 digits.back() == 'u'))
        digits.pop_back();
      t.type = Token::Number;
      t.text = digits;
      bool hex = digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X');
      t.number = std::strtol(digits.c_str(), nullptr, hex ? 16 : 10);
      return t;
    }
    if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
      size_t start = pos_;
      while (std::isalnum(static_cast<unsigned char>(Peek())) || Peek() == '_') ++pos_;
      t.type = Token::Name;
      t.text = text_.substr(start, pos_ - start);
      return t;
    }
    if (c == '"') {
      ++pos_;
      t.type = Token::String;
      while (Peek()) {
        char ch = Peek();
        if (ch == '"') {
          if (Peek(1) == '"') {
            t.text += '"';
            pos_ += 2;
            continue;
          }
          ++pos_;
          break;
        }
        if (ch == '\\' && Peek(1)) {
          char e = Peek(1);
          pos_ += 2;
          switch (e) {
            case 'n': t.text += '\n'; break;
            case 't': t.text += '\t'; break;
            case 'r': t.text += '\r'; break;
            case 'a': t.text += '\a'; break;
            default: t.text += e; break;
          }
          continue;
        }
        if (ch == '\n') ++line_;
        t.text += ch;
        ++pos_;
      }
      return t;
    }
    t.type = Token::Punct;
    t.text = std::string(1, c);
    ++pos_;
    return t;
  }

  std::string text_;
  size_t pos_ = 0;
  int line_ = 1;
  bool atLineStart_ = true;

 public:
  std::vector<std::string> directives_;
};

class Parser {
 public:
  Parser(std::vector<Token> tokens, std::unordered_map<std::string, long> defines, ResourceScript& out)
      : tokens_(std::move(tokens)), defines_(std::move(defines)), out_(out) {}

  void Script() {
    while (!AtEnd()) {
      size_t before = pos_;
      Statement();
      if (pos_ == before) ++pos_;  // never stall on something unreadable
    }
  }

  // Evaluates a plain expression: numbers, names, | + - ( ).
  long Expression() {
    long value = Term();
    while (IsPunct("|") || IsPunct("+") || IsPunct("-")) {
      char op = Take().text[0];
      long rhs = Term();
      value = op == '|' ? (value | rhs) : op == '+' ? value + rhs : value - rhs;
    }
    return value;
  }

 private:
  const Token& Cur() const { return tokens_[pos_]; }
  bool AtEnd() const { return Cur().type == Token::End; }
  Token Take() { return AtEnd() ? Cur() : tokens_[pos_++]; }
  bool IsPunct(const char* p) const { return Cur().type == Token::Punct && Cur().text == p; }
  bool IsName(const char* n) const { return Cur().type == Token::Name && Cur().text == n; }
  bool IsBegin() const { return IsName("BEGIN") || IsPunct("{"); }
  bool IsEnd() const { return IsName("END") || IsPunct("}"); }
  bool TakeComma() {
    if (!IsPunct(",")) return false;
    ++pos_;
    return true;
  }

  void Fail(const std::string& what) {
    if (out_.error.empty()) out_.error = "line " + std::to_string(Cur().line) + ": " + what;
  }

  long Lookup(const std::string& name) {
    auto d = defines_.find(name);
    if (d != defines_.end()) return d->second;
    auto s = StyleConstants().find(name);
    if (s != StyleConstants().end()) return s->second;
    Fail("unknown name " + name);
    return 0;
  }

  long Term() {
    Token t = Take();
    if (t.type == Token::Number) return t.number;
    if (t.type == Token::Name) {
      if (t.text == "NOT") return ~Term();
      return Lookup(t.text);
    }
    if (t.type == Token::Punct && t.text == "-") return -Term();
    if (t.type == Token::Punct && t.text == "~") return ~Term();
    if (t.type == Token::Punct && t.text == "(") {
      long v = Expression();
      if (IsPunct(")")) ++pos_;
      return v;
    }
    Fail("expected a value");
    return 0;
  }

  // A style: OR-ed parts added to the defaults, NOT parts taken away.
  DWORD Style(DWORD defaults) {
    DWORD style = defaults;
    for (;;) {
      if (IsName("NOT")) {
        ++pos_;
        style &= ~static_cast<DWORD>(Term());
      } else {
        style |= static_cast<DWORD>(Term());
      }
      if (!(IsPunct("|") || IsPunct("+"))) return style;
      ++pos_;
    }
  }

  std::string String() {
    if (Cur().type == Token::String) return Take().text;
    Fail("expected a text");
    return Take().text;
  }

  int Id() { return static_cast<int>(Expression()); }

  Rect Rectangle() {
    Rect r;
    r.x = static_cast<int>(Expression());
    TakeComma();
    r.y = static_cast<int>(Expression());
    TakeComma();
    r.cx = static_cast<int>(Expression());
    TakeComma();
    r.cy = static_cast<int>(Expression());
    return r;
  }

  void SkipLine() {
    int line = Cur().line;
    while (!AtEnd() && Cur().line == line) ++pos_;
  }

  void SkipBlock() {
    int depth = 0;
    do {
      if (IsBegin()) ++depth;
      if (IsEnd()) --depth;
      ++pos_;
    } while (!AtEnd() && depth > 0);
  }

  void Statement() {
    if (IsName("LANGUAGE") || IsName("STRINGTABLE") || IsName("VERSION") || IsName("CHARACTERISTICS")) {
      bool table = IsName("STRINGTABLE");
      SkipLine();
      if (table && IsBegin()) SkipBlock();
      return;
    }
    int line = Cur().line;
    std::optional<int> id;
    if (Cur().type == Token::Number || (Cur().type == Token::Name && defines_.count(Cur().text)))
      id = static_cast<int>(Term());
    else
      ++pos_;  // a named resource: kept out, the program names all of its own by number
    std::string type = Cur().type == Token::Name ? Cur().text : "";
    if (id && type == "ICON") {
      ++pos_;
      out_.icons[*id] = String();
    } else if (id && type == "MENU") {
      ++pos_;
      while (!AtEnd() && !IsBegin()) ++pos_;
      out_.menus[*id] = MenuBlock();
    } else if (id && (type == "DIALOGEX" || type == "DIALOG")) {
      ++pos_;
      Dialog(*id, type == "DIALOGEX");
    } else {
      while (!AtEnd() && Cur().line == line) ++pos_;
      if (IsBegin()) SkipBlock();
    }
  }

  std::vector<MenuTemplateItem> MenuBlock() {
    std::vector<MenuTemplateItem> items;
    if (!IsBegin()) {
      Fail("expected BEGIN");
      return items;
    }
    ++pos_;
    while (!AtEnd() && !IsEnd()) {
      MenuTemplateItem item;
      if (IsName("POPUP")) {
        ++pos_;
        item.text = String();
        item.flags = MF_POPUP | MenuOptions();
        item.items = MenuBlock();
      } else if (IsName("MENUITEM")) {
        ++pos_;
        if (IsName("SEPARATOR")) {
          ++pos_;
          item.flags = MF_SEPARATOR;
        } else {
          item.text = String();
          TakeComma();
          item.id = static_cast<UINT>(Id());
          item.flags = MenuOptions();
        }
      } else {
        Fail("unexpected " + Cur().text + " in a menu");
        ++pos_;
        continue;
      }
      items.push_back(std::move(item));
    }
    if (IsEnd()) ++pos_;
    return items;
  }

  UINT MenuOptions() {
    UINT flags = 0;
    while (TakeComma() || (Cur().type == Token::Name && !IsName("MENUITEM") && !IsName("POPUP") && !IsBegin() &&
                           !IsEnd())) {
      if (Cur().type != Token::Name) continue;
      std::string option = Take().text;
      if (option == "CHECKED") flags |= MF_CHECKED;
      if (option == "GRAYED") flags |= MF_GRAYED;
      if (option == "INACTIVE") flags |= MF_DISABLED;
    }
    return flags;
  }

  void Dialog(int id, bool extended) {
    DialogTemplate d;
    d.id = id;
    d.rect = Rectangle();
    if (extended && TakeComma()) Expression();  // help id
    bool styled = false, captioned = false;
    while (!AtEnd() && !IsBegin()) {
      std::string word = Take().text;
      if (word == "STYLE") {
        d.style = Style(0);
        styled = true;
      } else if (word == "EXSTYLE") {
        d.exStyle = Style(0);
      } else if (word == "CAPTION") {
        d.caption = String();
        captioned = true;
      } else if (word == "MENU") {
        d.menuId = Id();
      } else if (word == "FONT") {
        d.fontSize = static_cast<int>(Expression());
        TakeComma();
        d.fontName = String();
        while (TakeComma()) Expression();
      } else if (word == "CLASS") {
        Take();
      } else if (word == "LANGUAGE") {
        Expression();
        TakeComma();
        Expression();
      } else if (word == "VERSION" || word == "CHARACTERISTICS") {
        Expression();
      } else {
        Fail("unexpected " + word + " in a dialog");
      }
    }
    if (!styled) d.style = WS_POPUP | WS_BORDER | WS_SYSMENU;
    if (captioned) d.style |= WS_CAPTION;
    if (d.fontSize) d.style |= DS_SETFONT;
    if (IsBegin()) ++pos_;
    while (!AtEnd() && !IsEnd()) {
      size_t before = pos_;
      Control(d);
      if (pos_ == before) ++pos_;
    }
    if (IsEnd()) ++pos_;
    out_.dialogs[id] = std::move(d);
  }

  struct ControlKind {
    const char* className;
    DWORD defaults;
    bool hasText;
  };

  static std::optional<ControlKind> KindOf(const std::string& word) {
    static const std::unordered_map<std::string, ControlKind> kinds = {
        {"EDITTEXT", {"Edit", ES_LEFT | WS_BORDER | WS_TABSTOP, false}},
        {"LISTBOX", {"ListBox", LBS_NOTIFY | WS_BORDER, false}},
        {"COMBOBOX", {"ComboBox", 0, false}},
        {"PUSHBUTTON", {"Button", BS_PUSHBUTTON | WS_TABSTOP, true}},
        {"DEFPUSHBUTTON", {"Button", BS_DEFPUSHBUTTON | WS_TABSTOP, true}},
        {"CHECKBOX", {"Button", kBsCheckBox | WS_TABSTOP, true}},
        {"AUTOCHECKBOX", {"Button", kBsAutoCheckBox | WS_TABSTOP, true}},
        {"RADIOBUTTON", {"Button", kBsRadioButton, true}},
        {"AUTORADIOBUTTON", {"Button", kBsAutoRadioButton, true}},
        {"GROUPBOX", {"Button", kBsGroupBox, true}},
        {"LTEXT", {"Static", SS_LEFT | WS_GROUP, true}},
        {"CTEXT", {"Static", SS_CENTER | WS_GROUP, true}},
        {"RTEXT", {"Static", SS_RIGHT | WS_GROUP, true}},
        {"ICON", {"Static", kSsIcon, true}},
    };
    auto k = kinds.find(word);
    if (k == kinds.end()) return std::nullopt;
    return k->second;
  }

  // The rest of a statement after its text: a name or number.
  std::string TextOrId() {
    if (Cur().type == Token::String) return Take().text;
    return std::to_string(Term());
  }

  void Control(DialogTemplate& d) {
    ControlTemplate c;
    std::string word = Take().text;
    DWORD base = WS_CHILD | WS_VISIBLE;
    if (word == "CONTROL") {
      c.text = TextOrId();
      TakeComma();
      c.id = Id();
      TakeComma();
      c.className = Cur().type == Token::String ? Take().text : Take().text;
      TakeComma();
      c.style = Style(base);
      TakeComma();
      c.rect = Rectangle();
      if (TakeComma()) c.exStyle = Style(0);
      d.controls.push_back(std::move(c));
      return;
    }
    std::optional<ControlKind> kind = KindOf(word);
    if (!kind) {
      Fail("unknown control " + word);
      SkipLine();
      return;
    }
    c.className = kind->className;
    if (kind->hasText) {
      c.text = TextOrId();
      TakeComma();
    }
    c.id = Id();
    TakeComma();
    c.rect = Rectangle();
    if (TakeComma()) {
      c.style = Style(base | kind->defaults);
      if (TakeComma()) c.exStyle = Style(0);
    } else {
      c.style = base | kind->defaults;
      if (word == "COMBOBOX") c.style |= kCbsSimple | WS_TABSTOP;  // only when no style is written
    }
    d.controls.push_back(std::move(c));
  }

  std::vector<Token> tokens_;
  size_t pos_ = 0;
  std::unordered_map<std::string, long> defines_;
  ResourceScript& out_;
};

std::unordered_map<std::string, long> Defines(const std::string& header) {
  std::unordered_map<std::string, long> defines;
  Lexer lexer(header);
  lexer.Tokens();
  for (const std::string& line : lexer.directives_) {
    Lexer words(line.substr(1));
    std::vector<Token> tokens = words.Tokens();
    if (tokens.size() < 3 || tokens[0].text != "define" || tokens[1].type != Token::Name) continue;
    std::string name = tokens[1].text;
    tokens.erase(tokens.begin(), tokens.begin() + 2);
    ResourceScript scratch;
    Parser value(std::move(tokens), defines, scratch);
    long v = value.Expression();
    if (scratch.error.empty()) defines[name] = v;
  }
  return defines;
}

}  // namespace

const DialogTemplate* ResourceScript::Dialog(int id) const {
  auto d = dialogs.find(id);
  return d == dialogs.end() ? nullptr : &d->second;
}

const std::vector<MenuTemplateItem>* ResourceScript::MenuItems(int id) const {
  auto m = menus.find(id);
  return m == menus.end() ? nullptr : &m->second;
}

ResourceScript ParseResourceScript(const std::string& script, const std::string& header) {
  ResourceScript out;
  Lexer lexer(script);
  Parser parser(lexer.Tokens(), Defines(header), out);
  parser.Script();
  return out;
}

namespace {
const ResourceScript* resources = nullptr;
}  // namespace

void UseResources(const ResourceScript* script) { resources = script; }

const ResourceScript& Resources() {
  static const ResourceScript none;
  return resources ? *resources : none;
}

int ResourceId(LPCSTR name) {
  if (name == nullptr) return 0;
  if (IS_INTRESOURCE(name)) return LOWORD(name);
  const char* digits = name[0] == '#' ? name + 1 : name;
  char* end = nullptr;
  long id = std::strtol(digits, &end, 10);
  if (end == digits || *end != '\0' || id <= 0 || id > 0xFFFF) return 0;
  return static_cast<int>(id);
}

}  // namespace layer
