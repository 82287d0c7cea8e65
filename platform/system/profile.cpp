// The private profile (INI file) functions over plain text files.
//
// The backslash before the file name is the path separator (a folder's own
// name may hold backslashes on POSIX); a bare name is looked up in the current
// directory. A write rebuilds the file in a temporary file beside it, under
// one fixed name that the next write takes over, and renames that over the
// old one, so the file is never half written and a crash leaves nothing
// behind for good. Lines the functions do not touch (other sections,
// comments, blank lines) are kept byte for byte. As on Windows, a UTF-8
// byte-order mark and CR LF line ends are read and kept.
//
// Reads keep the parsed file and parse it again only when it changed on disk,
// so reading every key of a long file stays linear.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/win32.h"

namespace {

std::string PosixPath(LPCSTR fileName) {
  std::string path = fileName;
  size_t separator = path.rfind('\\');
  if (separator != std::string::npos) path[separator] = '/';
  return path;
}

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

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
  bool byteOrderMark = false;
  bool crlf = false;  // lines the functions write end as the file's first line does
};

std::string Lower(const std::string& s) {
  std::string out = s;
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

Profile Parse(std::string text) {
  Profile profile;
  if (text.compare(0, 3, kByteOrderMark) == 0) {
    profile.byteOrderMark = true;
    text.erase(0, 3);
  }
  profile.endsWithNewline = text.empty() || text.back() == '\n';
  size_t firstEnd = text.find('\n');
  profile.crlf = firstEnd != std::string::npos && firstEnd > 0 && text[firstEnd - 1] == '\r';
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    profile.lines.push_back(ParseLine(text.substr(start, end - start)));
    start = end + 1;
  }
  return profile;
}

// Nothing when the file cannot be opened.
std::optional<Profile> Load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::stringstream content;
  content << in.rdbuf();
  return Parse(content.str());
}

// A line the functions write, ending as the file's lines end.
Line NewLine(const Profile& p, const std::string& text) { return ParseLine(p.crlf ? text + "\r" : text); }

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
  std::string out = p.byteOrderMark ? kByteOrderMark : "";
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

std::string TemporaryPath(const std::string& path) { return path + ".tmp"; }

// Opens the temporary file and locks it against other writers; -1 when that
// fails. A descriptor whose file another writer renamed away meanwhile is
// given up and the name opened again.
int OpenTemporary(const std::string& temp, bool create) {
  for (int attempt = 0; attempt < 8; ++attempt) {
    int fd = open(temp.c_str(), O_WRONLY | O_CLOEXEC | (create ? O_CREAT : 0), 0600);
    if (fd < 0) return -1;
    if (flock(fd, create ? LOCK_EX : LOCK_EX | LOCK_NB) != 0) {
      close(fd);
      return -1;
    }
    struct stat held, named;
    if (fstat(fd, &held) == 0 && stat(temp.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
        held.st_ino == named.st_ino)
      return fd;
    close(fd);
  }
  return -1;
}

// Removes what a writer that died left behind; one still writing keeps its lock.
void RemoveStaleTemporary(const std::string& path) {
  std::string temp = TemporaryPath(path);
  int fd = OpenTemporary(temp, false);
  if (fd < 0) return;
  unlink(temp.c_str());
  close(fd);
}

// Writes the whole file through the temporary file in the same folder.
bool Replace(const std::string& path, const std::string& text) {
  std::string temp = TemporaryPath(path);
  int fd = OpenTemporary(temp, true);
  if (fd < 0) return false;
  struct stat old;
  mode_t mode = 0;
  // A new settings file is its owner's alone, whatever the umask; the
  // replacement of one that exists keeps its mode.
  if (stat(path.c_str(), &old) == 0) {
    mode = old.st_mode & 07777;
  } else {
    mode = 0600;
  }
  bool ok = ftruncate(fd, 0) == 0 && fchmod(fd, mode) == 0 && WriteAll(fd, text) && fsync(fd) == 0;
  // Renamed while still locked, so no other writer reuses the file meanwhile.
  if (ok) ok = rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) unlink(temp.c_str());
  ok = close(fd) == 0 && ok;
  if (!ok) return false;
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

// The last file read, parsed, with an index of its keys. It is trusted only
// while the file on disk is the same one, unchanged; a file changed so
// recently that a further change could keep its time stamp is read again.
struct ReadCache {
  std::string path;
  struct stat seen = {};
  bool trusted = false;
  Profile profile;
  std::unordered_map<std::string, Span> sections;     // lower-case name: its first occurrence
  std::unordered_map<std::string, size_t> keys;       // lower-case section '\n' key: its line
};

ReadCache cache;

constexpr long long kRacyNanoseconds = 100'000'000;  // beyond any file system's time stamp step

long long Nanoseconds(const struct timespec& t) { return t.tv_sec * 1'000'000'000LL + t.tv_nsec; }

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
         Nanoseconds(a.st_mtim) == Nanoseconds(b.st_mtim) && Nanoseconds(a.st_ctim) == Nanoseconds(b.st_ctim);
}

void Index(ReadCache& c) {
  c.sections.clear();
  c.keys.clear();
  const std::vector<Line>& lines = c.profile.lines;
  std::string current;
  bool first = false;  // keys count only in a section's first occurrence
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].type == Line::Section) {
      if (first) c.sections[current].end = i;
      current = Lower(lines[i].name);
      first = c.sections.find(current) == c.sections.end();
      if (first) c.sections[current] = Span{i, lines.size()};
    } else if (lines[i].type == Line::Key && first) {
      c.keys.emplace(current + '\n' + Lower(lines[i].name), i);
    }
  }
}

// The parsed file, or none when it cannot be read.
const ReadCache* Read(const std::string& path) {
  struct stat now;
  if (cache.trusted && cache.path == path && stat(path.c_str(), &now) == 0 && SameFile(now, cache.seen))
    return &cache;
  cache.trusted = false;
  cache.path.clear();
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat before;
  std::string text;
  bool ok = fstat(fd, &before) == 0 && !S_ISDIR(before.st_mode);
  char chunk[65536];
  while (ok) {
    ssize_t n = read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ok = false;
    if (n <= 0) break;
    text.append(chunk, static_cast<size_t>(n));
  }
  close(fd);
  if (!ok) return nullptr;
  struct timespec clock;
  clock_gettime(CLOCK_REALTIME, &clock);
  cache.profile = Parse(std::move(text));
  Index(cache);
  cache.path = path;
  cache.seen = before;
  cache.trusted = Nanoseconds(clock) - Nanoseconds(before.st_mtim) > kRacyNanoseconds &&
                  Nanoseconds(clock) - Nanoseconds(before.st_ctim) > kRacyNanoseconds;
  return &cache;
}

}  // namespace

DWORD WINAPI GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer, DWORD size,
                                      LPCSTR fileName) {
  if (buffer == nullptr || size == 0 || fileName == nullptr) return 0;
  const ReadCache* file = Read(PosixPath(fileName));
  if (section == nullptr) {
    std::vector<std::string> names;
    if (file)
      for (const Line& line : file->profile.lines)
        if (line.type == Line::Section) names.push_back(line.name);
    return CopyList(names, buffer, size);
  }
  if (file) {
    std::string sectionName = Lower(Trim(section));
    if (key == nullptr) {
      std::vector<std::string> names;
      auto found = file->sections.find(sectionName);
      if (found != file->sections.end())
        for (size_t i = found->second.header + 1; i < found->second.end; ++i)
          if (file->profile.lines[i].type == Line::Key) names.push_back(file->profile.lines[i].name);
      return CopyList(names, buffer, size);
    }
    auto at = file->keys.find(sectionName + '\n' + Lower(Trim(key)));
    if (at != file->keys.end()) return CopyValue(Unquote(file->profile.lines[at->second].value), buffer, size);
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
  cache.trusted = false;
  RemoveStaleTemporary(path);
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
      p.lines[at] = NewLine(p, p.lines[at].name + "=" + value);
    } else if (span.header != std::string::npos) {
      // After the section's last non-blank line, so a blank line before the
      // next section stays where it was.
      size_t insert = span.end;
      while (insert > span.header + 1 && Trim(p.lines[insert - 1].raw).empty()) --insert;
      p.lines.insert(p.lines.begin() + static_cast<std::ptrdiff_t>(insert), NewLine(p, Trim(key) + "=" + value));
    } else {
      // Appended piece by piece: GCC 12 at -O3 warns falsely (-Wrestrict) on
      // "[" + std::string(section).
      std::string header(1, '[');
      header.append(section).append(1, ']');
      p.lines.push_back(NewLine(p, header));
      p.lines.push_back(NewLine(p, Trim(key) + "=" + value));
    }
  }
  p.endsWithNewline = true;
  std::string after = Serialise(p);
  if (existed && after == before) return TRUE;
  return Replace(path, after) ? TRUE : FALSE;
}
