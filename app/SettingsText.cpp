#include "app/SettingsText.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "app/AppState.h"
#include "app/SettingsFile.h"
#include "storage/TextConvert.h"
#include "storage/TextEncoding.h"

namespace {

// iniPath names this file in the current folder, which stays the same for
// the run; read by name, the file is found the same way on both platforms.
constexpr const char* kFileName = "RErivaRude.ini";
// Longer values are read no further than this many bytes.
constexpr size_t kLongestValue = 65536;

std::string_view Trim(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
  return text;
}

// The readers drop one pair of quotes around a value.
std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

std::string ReadWholeFile() {
  std::string text;
  std::FILE* file = std::fopen(kFileName, "rb");
  if (file == nullptr) return text;
  char block[4096];
  size_t got;
  while ((got = std::fread(block, 1, sizeof block, file)) > 0) text.append(block, got);
  std::fclose(file);
  return text;
}

}  // namespace

SettingsText::SettingsText() {
  std::string text = ReadWholeFile();
  if (IsUtf8(text)) return;  // every file this program writes
  std::string_view rest = text;
  bool inSection = false, sectionSeen = false;
  while (!rest.empty()) {
    size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    std::string_view trimmed = Trim(line);
    trimmed = Trim(SkipByteOrderMark(trimmed));
    if (trimmed.starts_with('[')) {
      // As the readers do, only the section's first block counts.
      size_t close = trimmed.find(']');
      bool ours = EqualsNoCase(Trim(trimmed.substr(1, close == std::string_view::npos ? close : close - 1)),
                           kSettingsSection);
      if (inSection) break;
      inSection = ours && !sectionSeen;
      sectionSeen = sectionSeen || ours;
      continue;
    }
    size_t equals = trimmed.find('=');
    if (!inSection || equals == std::string_view::npos || IsUtf8(line)) continue;
    std::string_view key = Trim(trimmed.substr(0, equals));
    if (!IsUtf8(key)) continue;  // no key of the program's
    bool known = false;
    for (const OldValue& held : old_) known = known || EqualsNoCase(held.key, key);
    if (!known) old_.push_back({std::string(key), Windows1252ToUtf8(Trim(trimmed.substr(equals + 1)))});
  }
}

DWORD SettingsText::Read(const char* key, char* buffer, DWORD size) const {
  if (size == 0) return 0;
  for (const OldValue& held : old_) {
    if (!EqualsNoCase(held.key, key)) continue;
    std::string value(Unquote(held.value));
    CopyText(buffer, value.c_str(), size - 1);
    return static_cast<DWORD>(std::strlen(buffer));
  }
  // The value is read whole and cut here: Windows' reader, cutting a UTF-8
  // value, can leave a stray byte before the terminator it places.
  std::string value(size_t{size} + 1, '\0');
  for (;;) {
    DWORD length = GetPrivateProfileStringA(kSettingsSection, key, "", value.data(), static_cast<DWORD>(value.size()),
                                            appState.iniPath.Text());
    if (length + 1 < value.size() || value.size() >= kLongestValue) break;
    value.assign(value.size() * 4, '\0');
  }
  CopyText(buffer, value.c_str(), size - 1);
  return static_cast<DWORD>(std::strlen(buffer));
}

void WriteSetting(const char* key, const char* value) {
  // Windows' profile functions rewrite the whole file in the process's code
  // page, UTF-8, and would turn old text into U+FFFD; so the values an older
  // program left in Windows-1252 are written back as UTF-8 first.
  SettingsText file;
  for (const SettingsText::OldValue& held : file.old_)
    WritePrivateProfileStringA(kSettingsSection, held.key.c_str(), held.value.c_str(), appState.iniPath.Text());
  WritePrivateProfileStringA(kSettingsSection, key, value, appState.iniPath.Text());
}
