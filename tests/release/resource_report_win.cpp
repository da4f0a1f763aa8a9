// Prints what a program file carries, for the release checks: its version
// information, the images of its icon group "DEFAULT_ICON" and its manifests.
// Reads the file as data only, so it works on 32-bit and 64-bit files alike.
// Usage: resource_report <program file>     (output in UTF-8)

// Wide resource type names (RT_ICON...) for the W functions used here.
#ifndef UNICODE
#define UNICODE
#endif
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string toUtf8(const wchar_t* text, int length = -1) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? size : 0, '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), size, nullptr, nullptr);
    if (length == -1 && !out.empty())
        out.pop_back(); // the terminating zero
    return out;
}

void print(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
}

std::string versionText(DWORD high, DWORD low) {
    return std::to_string(HIWORD(high)) + "." + std::to_string(LOWORD(high)) + "." +
           std::to_string(HIWORD(low)) + "." + std::to_string(LOWORD(low));
}

bool reportVersion(const std::wstring& path) {
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) {
        print("version none");
        return true;
    }
    std::vector<BYTE> block(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data()))
        return false;

    void* value = nullptr;
    UINT length = 0;
    if (VerQueryValueW(block.data(), L"\\", &value, &length) &&
        length >= sizeof(VS_FIXEDFILEINFO)) {
        auto* fixed = static_cast<VS_FIXEDFILEINFO*>(value);
        print("file-version " + versionText(fixed->dwFileVersionMS, fixed->dwFileVersionLS));
        print("product-version " +
              versionText(fixed->dwProductVersionMS, fixed->dwProductVersionLS));
    }

    if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &value, &length) ||
        length < 2 * sizeof(WORD))
        return true;
    const WORD* translation = static_cast<WORD*>(value);
    wchar_t prefix[64];
    swprintf(prefix, 64, L"\\StringFileInfo\\%04x%04x\\", translation[0], translation[1]);
    print("translation " + toUtf8(prefix + 16, 8));
    for (const wchar_t* name : {L"ProductName", L"FileDescription", L"FileVersion",
                                L"ProductVersion", L"OriginalFilename"}) {
        std::wstring query = std::wstring(prefix) + name;
        if (VerQueryValueW(block.data(), query.c_str(), &value, &length) && length > 0)
            print("string " + toUtf8(name) + "=" + toUtf8(static_cast<wchar_t*>(value)));
    }
    return true;
}

#pragma pack(push, 2)
struct IconGroupEntry {
    BYTE width, height, colourCount, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
struct IconGroupHeader {
    WORD reserved, type, count;
};
#pragma pack(pop)

const BYTE* resourceBytes(HMODULE module, HRSRC resource) {
    HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
    return loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
}

// One line per image: its size, colour depth, and whether Windows can make an
// icon of it.
void reportIcons(HMODULE module) {
    HRSRC group = FindResourceW(module, L"DEFAULT_ICON", RT_GROUP_ICON);
    const BYTE* bytes = resourceBytes(module, group);
    if (!bytes || SizeofResource(module, group) < sizeof(IconGroupHeader)) {
        print("icon-group none");
        return;
    }
    IconGroupHeader header;
    std::memcpy(&header, bytes, sizeof header);
    if (SizeofResource(module, group) < sizeof header + header.count * sizeof(IconGroupEntry)) {
        print("icon-group truncated");
        return;
    }
    for (WORD i = 0; i < header.count; ++i) {
        IconGroupEntry entry;
        std::memcpy(&entry, bytes + sizeof header + i * sizeof entry, sizeof entry);
        int width = entry.width ? entry.width : 256;
        int height = entry.height ? entry.height : 256;
        HRSRC image = FindResourceW(module, MAKEINTRESOURCEW(entry.id), RT_ICON);
        const BYTE* imageBytes = resourceBytes(module, image);
        bool loadable = false;
        if (imageBytes && SizeofResource(module, image) == entry.bytes) {
            HICON icon = CreateIconFromResourceEx(const_cast<BYTE*>(imageBytes), entry.bytes, TRUE,
                                                  0x00030000, width, height, 0);
            loadable = icon != nullptr;
            if (icon)
                DestroyIcon(icon);
        }
        print("icon " + std::to_string(width) + "x" + std::to_string(height) + " " +
              std::to_string(entry.bitCount) + "bpp " + (loadable ? "loadable" : "broken"));
    }
}

BOOL CALLBACK printManifest(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR) {
    HRSRC resource = FindResourceW(module, name, type);
    const BYTE* bytes = resourceBytes(module, resource);
    std::string id =
        IS_INTRESOURCE(name) ? std::to_string(reinterpret_cast<ULONG_PTR>(name)) : toUtf8(name);
    print("manifest " + id);
    if (bytes)
        print(std::string(reinterpret_cast<const char*>(bytes), SizeofResource(module, resource)));
    print("manifest-end");
    return TRUE;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fputs("usage: resource_report <program file>\n", stderr);
        return 2;
    }
    const std::wstring path = argv[1];
    HMODULE module = LoadLibraryExW(path.c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module) {
        std::fprintf(stderr, "cannot open %s: error %lu\n", toUtf8(path.c_str()).c_str(),
                     GetLastError());
        return 1;
    }
    bool ok = reportVersion(path);
    reportIcons(module);
    EnumResourceNamesW(module, RT_MANIFEST, printManifest, 0);
    FreeLibrary(module);
    std::fflush(stdout);
    return ok ? 0 : 1;
}
