// GetOpenFileName and GetSaveFileName as a dialog of the layer: a "File name:"
// field, the folder's folders and matching files, the types to choose from.
// It never changes the process's current folder: the program finds its own
// files there.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "platform/dialog/frontend.h"
#include "platform/dialog/manager.h"

namespace layer {
namespace {

namespace fs = std::filesystem;

DWORD lastError = 0;

struct Entry {
  std::string name;
  bool folder = false;
};

struct FileDialog {
  OPENFILENAMEA* ofn = nullptr;
  bool save = false;
  std::string title;
  std::vector<std::pair<std::string, std::string>> filters;
  int filterIndex = 0;
  std::string typedPattern;  // a pattern typed into the field, in force until another type is chosen
  fs::path folder;
  std::vector<Entry> entries;  // as the list shows them
};

std::vector<std::pair<std::string, std::string>> FiltersOf(const char* filter) {
  std::vector<std::pair<std::string, std::string>> filters;
  if (!filter) return filters;
  while (*filter) {
    std::string name = filter;
    filter += name.size() + 1;
    std::string patterns = filter;
    filter += patterns.size() + 1;
    filters.emplace_back(name, patterns);
  }
  return filters;
}

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

// '*' any run, '?' one byte; letters in any case, as names on Windows.
bool Matches(const char* pattern, const char* name) {
  if (*pattern == '\0') return *name == '\0';
  if (*pattern == '*') return Matches(pattern + 1, name) || (*name && Matches(pattern, name + 1));
  if (*name == '\0') return false;
  return (*pattern == '?' || Lower(*pattern) == Lower(*name)) && Matches(pattern + 1, name + 1);
}

bool MatchesAny(const std::string& patterns, const std::string& name) {
  size_t start = 0;
  while (start <= patterns.size()) {
    size_t end = patterns.find(';', start);
    if (end == std::string::npos) end = patterns.size();
    std::string one = patterns.substr(start, end - start);
    one.erase(0, one.find_first_not_of(' '));
    // "*.*" is every file, dotted or not, as on Windows.
    if (one == "*.*" || (!one.empty() && Matches(one.c_str(), name.c_str()))) return true;
    start = end + 1;
  }
  return false;
}

bool NameLess(const Entry& a, const Entry& b) {
  return std::lexicographical_compare(a.name.begin(), a.name.end(), b.name.begin(), b.name.end(),
                                      [](char x, char y) { return Lower(x) < Lower(y); });
}

std::string Patterns(const FileDialog& d) {
  if (!d.typedPattern.empty()) return d.typedPattern;
  if (d.filterIndex >= 0 && d.filterIndex < static_cast<int>(d.filters.size())) return d.filters[d.filterIndex].second;
  return "*.*";
}

// A name saved without an extension takes the chosen type's ("*.qif"), or
// lpstrDefExt where the type has none of its own.
std::string ExtensionOfType(const FileDialog& d) {
  std::string first = Patterns(d);
  first = first.substr(0, first.find(';'));
  if (first.size() > 2 && first.compare(0, 2, "*.") == 0 && first.find_first_of("*?", 2) == std::string::npos)
    return first.substr(2);
  return d.ofn->lpstrDefExt;
}

void Fill(HWND hwnd, FileDialog& d) {
  d.entries.clear();
  std::vector<Entry> folders, files;
  std::error_code error;
  for (fs::directory_iterator it(d.folder, error), end; !error && it != end; it.increment(error)) {
    std::string name = it->path().filename().string();
    if (name.empty() || name[0] == '.') continue;  // hidden, as the desktop hides them
    std::error_code kind;
    if (it->is_directory(kind)) folders.push_back({name, true});
    else if (MatchesAny(Patterns(d), name)) files.push_back({name, false});
  }
  std::sort(folders.begin(), folders.end(), NameLess);
  std::sort(files.begin(), files.end(), NameLess);
  if (d.folder.has_relative_path()) d.entries.push_back({"..", true});
  d.entries.insert(d.entries.end(), folders.begin(), folders.end());
  d.entries.insert(d.entries.end(), files.begin(), files.end());
  HWND list = GetDlgItem(hwnd, lst1);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  for (const Entry& e : d.entries) {
    std::string line = e.folder ? "[" + e.name + "]" : e.name;
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
  }
  SetDlgItemTextA(hwnd, stc1, d.folder.string().c_str());
}

void EnterFolder(HWND hwnd, FileDialog& d, const fs::path& folder) {
  std::error_code error;
  fs::path canonical = fs::weakly_canonical(folder, error);
  d.folder = error ? folder.lexically_normal() : canonical;
  Fill(hwnd, d);
  SetDlgItemTextA(hwnd, edt1, "");
}

int Warn(HWND hwnd, const FileDialog& d, const std::string& text, UINT type) {
  return MessageBoxA(hwnd, text.c_str(), d.title.c_str(), type | MB_ICONWARNING);
}

// The answer into the caller's structure; false when its buffer is too small.
bool Answer(FileDialog& d, const fs::path& path) {
  std::string full = path.string();
  OPENFILENAMEA* ofn = d.ofn;
  if (!ofn->lpstrFile || full.size() + 1 > ofn->nMaxFile) {
    lastError = FNERR_BUFFERTOOSMALL;
    return false;
  }
  std::memcpy(ofn->lpstrFile, full.c_str(), full.size() + 1);
  std::string name = path.filename().string();
  ofn->nFileOffset = static_cast<WORD>(full.size() - name.size());
  size_t dot = name.rfind('.');
  ofn->nFileExtension = static_cast<WORD>(dot == std::string::npos ? full.size() : ofn->nFileOffset + dot + 1);
  ofn->nFilterIndex = static_cast<DWORD>(d.filterIndex + 1);
  if (ofn->lpstrFileTitle && ofn->nMaxFileTitle > name.size()) std::memcpy(ofn->lpstrFileTitle, name.c_str(), name.size() + 1);
  return true;
}

std::string FieldText(HWND hwnd) {
  char text[MAX_PATH * 4] = {};
  GetDlgItemTextA(hwnd, edt1, text, sizeof text);
  std::string s = text;
  s.erase(0, s.find_first_not_of(' '));
  s.erase(s.find_last_not_of(' ') + 1);
  // A name in quotes is taken as written.
  if (s.size() >= 2 && s.front() == '"' && s.back() == '"') s = s.substr(1, s.size() - 2);
  return s;
}

void Open(HWND hwnd, FileDialog& d) {
  HWND list = GetDlgItem(hwnd, lst1);
  int selected = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
  const Entry* entry = selected >= 0 && selected < static_cast<int>(d.entries.size()) ? &d.entries[selected] : nullptr;
  std::string text = FieldText(hwnd);
  if (entry && entry->folder && (GetFocus() == list || text.empty())) {
    EnterFolder(hwnd, d, d.folder / entry->name);
    return;
  }
  if (text.empty()) return;
  if (text.find_first_of("*?") != std::string::npos) {
    d.typedPattern = text;
    Fill(hwnd, d);
    return;
  }
  fs::path path = fs::path(text).is_absolute() ? fs::path(text) : d.folder / text;
  std::error_code error;
  if (fs::is_directory(path, error)) {
    EnterFolder(hwnd, d, path);
    return;
  }
  if (d.save && path.extension().empty() && d.ofn->lpstrDefExt && *d.ofn->lpstrDefExt)
    path += "." + ExtensionOfType(d);
  path = path.lexically_normal();
  if (!fs::is_directory(path.parent_path(), error)) {
    Warn(hwnd, d, text + "\nPath does not exist.\nCheck the path and try again.", MB_OK);
    return;
  }
  bool exists = fs::exists(path, error);
  if (!d.save && !exists && (d.ofn->Flags & OFN_FILEMUSTEXIST)) {
    Warn(hwnd, d, text + "\nFile not found.\nCheck the file name and try again.", MB_OK);
    return;
  }
  if (d.save && exists && (d.ofn->Flags & OFN_OVERWRITEPROMPT) &&
      Warn(hwnd, d, path.filename().string() + " already exists.\nDo you want to replace it?", MB_YESNO) != IDYES)
    return;
  EndDialog(hwnd, Answer(d, path) ? IDOK : IDABORT);
}

INT_PTR CALLBACK FileDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  static FileDialog* current = nullptr;
  if (message == WM_INITDIALOG) {
    current = reinterpret_cast<FileDialog*>(lParam);
    SetWindowTextA(hwnd, current->title.c_str());
    HWND types = GetDlgItem(hwnd, cmb1);
    for (const auto& filter : current->filters)
      SendMessageA(types, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(filter.first.c_str()));
    SendMessageA(types, CB_SETCURSEL, static_cast<WPARAM>(current->filterIndex), 0);
    Fill(hwnd, *current);
    if (current->ofn->lpstrFile) SetDlgItemTextA(hwnd, edt1, current->ofn->lpstrFile);
    return TRUE;
  }
  if (message != WM_COMMAND || !current) return FALSE;
  FileDialog& d = *current;
  int id = LOWORD(wParam);
  int code = HIWORD(wParam);
  if (id == IDOK) {
    Open(hwnd, d);
  } else if (id == IDCANCEL) {
    EndDialog(hwnd, IDCANCEL);
  } else if (id == lst1 && code == LBN_SELCHANGE) {
    int selected = static_cast<int>(SendDlgItemMessageA(hwnd, lst1, LB_GETCURSEL, 0, 0));
    if (selected >= 0 && selected < static_cast<int>(d.entries.size()) && !d.entries[selected].folder)
      SetDlgItemTextA(hwnd, edt1, d.entries[selected].name.c_str());
  } else if (id == lst1 && code == LBN_DBLCLK) {
    SetFocus(GetDlgItem(hwnd, lst1));
    Open(hwnd, d);
  } else if (id == cmb1 && code == CBN_SELCHANGE) {
    int selected = static_cast<int>(SendDlgItemMessageA(hwnd, cmb1, CB_GETCURSEL, 0, 0));
    if (selected >= 0) d.filterIndex = selected;
    d.typedPattern.clear();
    Fill(hwnd, d);
  }
  return TRUE;
}

ControlTemplate Control(const char* className, const char* text, int id, Rect rect, DWORD style) {
  ControlTemplate c;
  c.className = className;
  c.text = text;
  c.id = id;
  c.rect = rect;
  c.style = WS_CHILD | WS_VISIBLE | style;
  return c;
}

DialogTemplate Template(const FileDialog& d) {
  DialogTemplate t;
  t.rect = {0, 0, 260, 176};
  t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;
  t.caption = d.title;
  t.controls = {
      Control("Static", "", stc1, {8, 6, 244, 8}, SS_NOPREFIX),
      Control("Static", "File &name:", stc3, {8, 20, 48, 8}, 0),
      Control("Edit", "", edt1, {58, 18, 194, 12}, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL),
      Control("ListBox", "", lst1, {8, 34, 244, 104}, WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY),
      Control("Static", "Files of &type:", stc2, {8, 146, 56, 8}, 0),
      Control("ComboBox", "", cmb1, {66, 144, 186, 60}, WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST),
      Control("Button", d.save ? "&Save" : "&Open", IDOK, {146, 158, 50, 14}, WS_TABSTOP | BS_DEFPUSHBUTTON),
      Control("Button", "Cancel", IDCANCEL, {202, 158, 50, 14}, WS_TABSTOP | BS_PUSHBUTTON),
  };
  return t;
}

BOOL Run(OPENFILENAMEA* ofn, bool save) {
  lastError = 0;
  if (!ofn) return FALSE;
  FileDialog d;
  d.ofn = ofn;
  d.save = save;
  d.title = ofn->lpstrTitle ? ofn->lpstrTitle : save ? "Save As" : "Open";
  d.filters = FiltersOf(ofn->lpstrFilter);
  int index = ofn->nFilterIndex > 0 ? static_cast<int>(ofn->nFilterIndex) - 1 : 0;
  d.filterIndex = index < static_cast<int>(d.filters.size()) ? index : 0;
  std::error_code error;
  d.folder = ofn->lpstrInitialDir && *ofn->lpstrInitialDir ? fs::path(ofn->lpstrInitialDir) : fs::current_path(error);
  d.folder = fs::absolute(d.folder, error).lexically_normal();
  if (d.folder.has_relative_path() && !d.folder.has_filename()) d.folder = d.folder.parent_path();

  if (FrontEnd* frontEnd = InstalledFrontEnd()) {
    FileDialogRequest request;
    request.owner = ofn->hwndOwner;
    request.save = save;
    request.title = d.title;
    request.filters = d.filters;
    request.filterIndex = d.filterIndex;
    request.folder = d.folder.string();
    request.name = ofn->lpstrFile ? ofn->lpstrFile : "";
    if (std::optional<FileDialogAnswer> answer = frontEnd->ChooseFile(request)) {
      if (!answer->chosen) return FALSE;
      d.filterIndex = answer->filterIndex;
      return Answer(d, fs::path(answer->path)) ? TRUE : FALSE;
    }
  }
  return RunDialog(Template(d), ofn->hwndOwner, FileDialogProc, reinterpret_cast<LPARAM>(&d)) == IDOK ? TRUE : FALSE;
}

}  // namespace
}  // namespace layer

BOOL WINAPI GetOpenFileNameA(LPOPENFILENAMEA ofn) { return layer::Run(ofn, false); }
BOOL WINAPI GetSaveFileNameA(LPOPENFILENAMEA ofn) { return layer::Run(ofn, true); }
DWORD WINAPI CommDlgExtendedError() { return layer::lastError; }
