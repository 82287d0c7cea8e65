// Prints a binary's version information the way Explorer finds it: the string
// table named by the first Translation entry, then the fixed file version.
// Usage: show-version FILE
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string Utf8(const wchar_t* text) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? size - 1 : 0, '\0');
    if (size > 1) WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
    return out;
}

std::string Dotted(DWORD high, DWORD low) {
    return std::to_string(HIWORD(high)) + "." + std::to_string(LOWORD(high)) + "." + std::to_string(HIWORD(low)) +
           "." + std::to_string(LOWORD(low));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: show-version FILE\n");
        return 2;
    }
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(argv[1], &ignored);
    std::vector<char> block(size);
    if (size == 0 || !GetFileVersionInfoW(argv[1], 0, size, block.data())) {
        std::printf("no version information\n");
        return 1;
    }
    WORD* translation = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                        &length) || length < 2 * sizeof(WORD)) {
        std::printf("no Translation entry\n");
        return 1;
    }
    std::printf("Translation=%04x%04x\n", translation[0], translation[1]);
    static const wchar_t* const names[] = {L"CompanyName", L"FileDescription", L"FileVersion", L"InternalName",
                                           L"LegalCopyright", L"OriginalFilename", L"ProductName",
                                           L"ProductVersion"};
    for (const wchar_t* name : names) {
        wchar_t path[96];
        swprintf(path, 96, L"\\StringFileInfo\\%04x%04x\\%ls", translation[0], translation[1], name);
        wchar_t* value = nullptr;
        std::string text = "(missing)";
        if (VerQueryValueW(block.data(), path, reinterpret_cast<void**>(&value), &length) && value)
            text = Utf8(value);
        std::printf("%s=%s\n", Utf8(name).c_str(), text.c_str());
    }
    VS_FIXEDFILEINFO* fixed = nullptr;
    if (!VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || !fixed) {
        std::printf("no fixed file information\n");
        return 1;
    }
    std::printf("FixedFileVersion=%s\n", Dotted(fixed->dwFileVersionMS, fixed->dwFileVersionLS).c_str());
    std::printf("FixedProductVersion=%s\n", Dotted(fixed->dwProductVersionMS, fixed->dwProductVersionLS).c_str());
    const char* type = fixed->dwFileType == VFT_APP ? "application" : fixed->dwFileType == VFT_DLL ? "dll" : "other";
    std::printf("FileType=%s\n", type);
    return 0;
}
