// Stands in for a newer Vellora.exe: writes "updated.marker" beside itself
// with the working directory it was started in, then ends.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t self[4096] = {};
    GetModuleFileNameW(nullptr, self, 4096);
    std::wstring marker(self);
    marker.resize(marker.find_last_of(L'\\') + 1);
    marker += L"updated.marker";
    wchar_t folder[4096] = {};
    GetCurrentDirectoryW(4096, folder);
    const std::wstring text = std::wstring(L"started in ") + folder + L"\r\n";
    char utf8[16384] = {};
    const int n =
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, utf8, sizeof utf8, nullptr, nullptr);
    HANDLE file = CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    WriteFile(file, utf8, n > 0 ? static_cast<DWORD>(n - 1) : 0, &written, nullptr);
    CloseHandle(file);
    return 0;
}
