// The text values of the settings file, in UTF-8 on both platforms. A file an
// older build on Windows or another program wrote may hold Windows-1252
// text; such values are read converted and written back as UTF-8 with the
// program's next write to the file.
#pragma once

#include <string>
#include <vector>

#include "platform/win32.h"

class SettingsText {
 public:
  // Looks once through the file for values that are not UTF-8.
  SettingsText();
  // The value of key in the program's section, cut to size - 1 bytes of
  // whole characters, as GetPrivateProfileStringA with default "" reads it;
  // returns its length.
  DWORD Read(const char* key, char* buffer, DWORD size) const;

 private:
  struct OldValue {
    std::string key;
    std::string value;  // as it stands after the equals sign, converted
  };
  friend void WriteSetting(const char* key, const char* value);
  std::vector<OldValue> old_;
};

// WritePrivateProfileStringA in the program's section of the settings file.
void WriteSetting(const char* key, const char* value);
