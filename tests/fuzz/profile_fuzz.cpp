// The settings reader on any file: it never fails, every key it lists reads
// back, and a key written into the file reads back as written while the
// keys of other sections keep their values.
#include <stdlib.h>
#include <strings.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

std::string Get(const char* section, const char* key, const std::string& path, DWORD size = 1024) {
  std::vector<char> buffer(size);
  DWORD n = GetPrivateProfileStringA(section, key, "", buffer.data(), size, path.c_str());
  Check(n < size && buffer[n] == '\0');
  return std::string(buffer.data(), n);
}

std::string path;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (path.empty()) {
    // Every write syncs the file: a memory file system keeps runs quick.
    std::string pattern = access("/dev/shm", W_OK) == 0 ? "/dev/shm/profile-fuzz-XXXXXX" : "/tmp/profile-fuzz-XXXXXX";
    char* folder = mkdtemp(pattern.data());
    Check(folder != nullptr);
    path = std::string(folder) + "/RErivaRude.ini";
  }
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data), size);

  GetPrivateProfileIntA("RErivaRude_100", "NumPayees", 0, path.c_str());
  Get("RErivaRude_100", "Payee_1", path, 80);
  // Every section and key listed can be asked for.
  std::string sections(Get(nullptr, nullptr, path, 1 << 16) + '\0');
  std::vector<std::pair<std::string, std::string>> other;  // a key of another section and its value
  for (size_t s = 0; s < sections.size() && sections[s];) {
    std::string section = sections.c_str() + s;
    s += section.size() + 1;
    std::string keys(Get(section.c_str(), nullptr, path, 1 << 16) + '\0');
    for (size_t k = 0; k < keys.size() && keys[k];) {
      std::string key = keys.c_str() + k;
      k += key.size() + 1;
      std::string value = Get(section.c_str(), key.c_str(), path);
      if (other.size() < 4 && section.find_first_of("[]\r\n") == std::string::npos &&
          key.find_first_of("[]=;\r\n") == std::string::npos && strcasecmp(section.c_str(), "RErivaRude_100") != 0)
        other.emplace_back(section + '\n' + key, value);
    }
  }

  // A plain value written reads back, and the other sections are untouched.
  std::string value = "v" + std::to_string(size) + " x";
  if (WritePrivateProfileStringA("RErivaRude_100", "Payee_1", value.c_str(), path.c_str())) {
    Check(Get("RErivaRude_100", "Payee_1", path) == value);
    for (const auto& [name, before] : other) {
      std::string section = name.substr(0, name.find('\n')), key = name.substr(name.find('\n') + 1);
      Check(Get(section.c_str(), key.c_str(), path) == before);
    }
  }
  return 0;
}
