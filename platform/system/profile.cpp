// The private profile (INI file) functions over plain text files.
//
// A file name's backslashes are path separators; a bare name is looked up in
// the current directory. A write rebuilds the file in a temporary file beside
// it and renames that over the old one, so the file is never half written.
// Lines the functions do not touch (other sections, comments, blank lines)
// are kept byte for byte.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace {

std::string PosixPath(LPCSTR fileName) {
  std::string path = fileName;
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
  return s.substr(b, e - b);
}

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

// One line of the file, kept as read, with what it means.
struct Line {
  std::string raw;  // without the '\n'
  enum Type { Other, Section, Key } type = Other;
  std::string name;   // section or key name, trimmed
  std::string value;  // a key's value, trimmed
};

Line ParseLine(const std::string& raw) {
  Line line;
  line.raw = raw;
  std::string text = raw;
  if (!text.empty() && text.back() == '\r') text.pop_back();
  std::string trimmed = Trim(text);
  if (trimmed.empty() || trimmed[0] == ';') return line;
  if (trimmed[0] == '[') {
    size_t close = trimmed.find(']');
    line.type = Line::Section;
    line.name = Trim(trimmed.substr(1, close == std::string::npos ? std::string::npos : close - 1));
    return line;
  }
  size_t eq = trimmed.find('=');
  if (eq == std::string::npos) return line;
  line.type = Line::Key;
  line.name = Trim(trimmed.substr(0, eq));
  line.value = Trim(trimmed.substr(eq + 1));
  return line;
}

struct Profile {
  std::vector<Line> lines;
  bool endsWithNewline = true;
};

// Nothing when the file cannot be opened.
std::optional<Profile> Load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::stringstream content;
  content << in.rdbuf();
  Profile profile;
  std::string text = content.str();
  profile.endsWithNewline = text.empty() || text.back() == '\n';
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    profile.lines.push_back(ParseLine(text.substr(start, end - start)));
    start = end + 1;
  }
  return profile;
}

// [begin, end) of a section's lines after its header; begin == npos when missing.
struct Span {
  size_t header = std::string::npos, end = 0;
};

Span FindSection(const Profile& p, const std::string& section) {
  Span span;
  for (size_t i = 0; i < p.lines.size(); ++i) {
    if (p.lines[i].type != Line::Section) continue;
    if (span.header != std::string::npos) {
      span.end = i;
      return span;
    }
    if (SameName(p.lines[i].name, section)) span.header = i;
  }
  span.end = p.lines.size();
  return span;
}

size_t FindKey(const Profile& p, const Span& span, const std::string& key) {
  if (span.header == std::string::npos) return std::string::npos;
  for (size_t i = span.header + 1; i < span.end; ++i)
    if (p.lines[i].type == Line::Key && SameName(p.lines[i].name, key)) return i;
  return std::string::npos;
}

std::string Unquote(const std::string& value) {
  if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
    return value.substr(1, value.size() - 2);
  return value;
}

// Copies a list of names, each NUL-terminated, the list ending in a second
// NUL, cut to the buffer as Windows cuts it.
DWORD CopyList(const std::vector<std::string>& names, LPSTR buffer, DWORD size) {
  if (size < 2) {
    if (size == 1) buffer[0] = '\0';
    return 0;
  }
  DWORD used = 0;
  for (const std::string& name : names) {
    for (char c : name) {
      if (used + 2 >= size) {
        buffer[used] = '\0';
        buffer[used + 1] = '\0';
        return size - 2;
      }
      buffer[used++] = c;
    }
    if (used + 2 >= size) {
      buffer[used] = '\0';
      buffer[used + 1] = '\0';
      return size - 2;
    }
    buffer[used++] = '\0';
  }
  buffer[used] = '\0';
  return used;
}

DWORD CopyValue(const std::string& value, LPSTR buffer, DWORD size) {
  if (size == 0) return 0;
  DWORD n = static_cast<DWORD>(std::min<size_t>(value.size(), size - 1));
  std::memcpy(buffer, value.data(), n);
  buffer[n] = '\0';
  return n;
}

std::string Serialise(const Profile& p) {
  std::string out;
  for (size_t i = 0; i < p.lines.size(); ++i) {
    out += p.lines[i].raw;
    if (i + 1 < p.lines.size() || p.endsWithNewline) out += '\n';
  }
  return out;
}

bool WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// Writes the whole file through a temporary file in the same folder.
bool Replace(const std::string& path, const std::string& text) {
  std::string temp = path + ".XXXXXX";
  int fd = mkstemp(temp.data());
  if (fd < 0) return false;
  struct stat old;
  mode_t mode = 0;
  if (stat(path.c_str(), &old) == 0) {
    mode = old.st_mode & 07777;
  } else {
    mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
  }
  bool ok = fchmod(fd, mode) == 0 && WriteAll(fd, text) && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  if (ok) ok = rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) {
    unlink(temp.c_str());
    return false;
  }
  // The rename itself is made lasting by syncing the folder.
  size_t slash = path.rfind('/');
  std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (dir >= 0) {
    fsync(dir);
    close(dir);
  }
  return true;
}

}  // namespace

DWORD WINAPI GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer, DWORD size,
                                      LPCSTR fileName) {
  if (buffer == nullptr || size == 0 || fileName == nullptr) return 0;
  std::optional<Profile> profile = Load(PosixPath(fileName));
  if (section == nullptr) {
    std::vector<std::string> names;
    if (profile)
      for (const Line& line : profile->lines)
        if (line.type == Line::Section) names.push_back(line.name);
    return CopyList(names, buffer, size);
  }
  if (profile) {
    Span span = FindSection(*profile, section);
    if (key == nullptr) {
      std::vector<std::string> names;
      if (span.header != std::string::npos)
        for (size_t i = span.header + 1; i < span.end; ++i)
          if (profile->lines[i].type == Line::Key) names.push_back(profile->lines[i].name);
      return CopyList(names, buffer, size);
    }
    size_t at = FindKey(*profile, span, key);
    if (at != std::string::npos) return CopyValue(Unquote(profile->lines[at].value), buffer, size);
  } else if (key == nullptr) {
    return CopyList({}, buffer, size);
  }
  std::string fallback = defaultValue ? defaultValue : "";
  while (!fallback.empty() && fallback.back() == ' ') fallback.pop_back();
  return CopyValue(fallback, buffer, size);
}

UINT WINAPI GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT defaultValue, LPCSTR fileName) {
  char buffer[256];
  if (GetPrivateProfileStringA(section, key, "", buffer, sizeof buffer, fileName) == 0)
    return static_cast<UINT>(defaultValue);
  const char* p = buffer;
  while (std::isspace(static_cast<unsigned char>(*p))) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  UINT value = 0;
  for (; std::isdigit(static_cast<unsigned char>(*p)); ++p) value = value * 10 + static_cast<UINT>(*p - '0');
  return negative ? 0u - value : value;
}

BOOL WINAPI WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR fileName) {
  if (section == nullptr || fileName == nullptr) return FALSE;
  std::string path = PosixPath(fileName);
  std::optional<Profile> loaded = Load(path);
  bool existed = loaded.has_value();
  if (!loaded) {
    struct stat st;
    if (stat(path.c_str(), &st) == 0) return FALSE;  // there, but unreadable: leave it alone
    if (key == nullptr || value == nullptr) return TRUE;  // nothing to delete
    loaded = Profile{};
  }
  Profile& p = *loaded;
  std::string before = Serialise(p);
  Span span = FindSection(p, section);
  if (key == nullptr) {
    if (span.header != std::string::npos)
      p.lines.erase(p.lines.begin() + static_cast<std::ptrdiff_t>(span.header),
                    p.lines.begin() + static_cast<std::ptrdiff_t>(span.end));
  } else {
    size_t at = FindKey(p, span, key);
    if (value == nullptr) {
      if (at != std::string::npos) p.lines.erase(p.lines.begin() + static_cast<std::ptrdiff_t>(at));
    } else if (at != std::string::npos) {
      p.lines[at] = ParseLine(p.lines[at].name + "=" + value);
    } else if (span.header != std::string::npos) {
      // After the section's last non-blank line, so a blank line before the
      // next section stays where it was.
      size_t insert = span.end;
      while (insert > span.header + 1 && Trim(p.lines[insert - 1].raw).empty()) --insert;
      p.lines.insert(p.lines.begin() + static_cast<std::ptrdiff_t>(insert), ParseLine(Trim(key) + "=" + value));
    } else {
      p.lines.push_back(ParseLine("[" + std::string(section) + "]"));
      p.lines.push_back(ParseLine(Trim(key) + "=" + value));
    }
  }
  p.endsWithNewline = true;
  std::string after = Serialise(p);
  if (existed && after == before) return TRUE;
  return Replace(path, after) ? TRUE : FALSE;
}
