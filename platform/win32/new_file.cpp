#include <fcntl.h>
#include <io.h>
#include <windows.h>
// windows.h first: sddl.h needs its types.
#include <sddl.h>

#include <string>

#include "platform/new_file.h"

namespace platform {

namespace {

// CREATE_NEW refuses any existing name; FILE_FLAG_OPEN_REPARSE_POINT keeps
// a planted link from being followed.
std::FILE* create_new(const std::filesystem::path& path, SECURITY_ATTRIBUTES* attributes,
                      DWORD share, bool& taken) {
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, share, attributes, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        taken = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ||
                error == ERROR_ACCESS_DENIED;
        return nullptr;
    }
    taken = false;
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
    if (fd < 0) {
        CloseHandle(handle);
        return nullptr;
    }
    std::FILE* file = _fdopen(fd, "wb");
    if (!file) _close(fd);
    return file;
}

}  // namespace

std::FILE* create_private_file(const std::filesystem::path& path) {
    // Protected (no inherited entries), full access for the owner only.
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;FA;;;OW)", SDDL_REVISION_1,
                                                              &descriptor, nullptr))
        return nullptr;
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
    bool taken = false;
    std::FILE* file = create_new(path, &attributes, 0, taken);
    LocalFree(descriptor);
    return file;
}

std::optional<NewTemporary> create_exclusive_beside(const std::filesystem::path& target,
                                                    std::string_view suffix) {
    for (int n = 0; n < 100; ++n) {
        std::filesystem::path candidate = target;
        const std::string tail = std::string(suffix) + (n == 0 ? "" : std::to_string(n));
        candidate += std::wstring(tail.begin(), tail.end());
        bool taken = false;
        // Readers are welcome while it downloads; other writers are not.
        if (std::FILE* file = create_new(candidate, nullptr, FILE_SHARE_READ, taken))
            return NewTemporary{file, candidate};
        if (!taken) return std::nullopt;
    }
    return std::nullopt;
}

bool replace_in_one_step(const std::filesystem::path& temporary,
                         const std::filesystem::path& target) {
    return MoveFileExW(temporary.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

}  // namespace platform
