#include <fcntl.h>
#include <io.h>
#include <windows.h>
// windows.h first: sddl.h needs its types.
#include <sddl.h>

#include "platform/private_file.h"

namespace platform {

FilePtr create_private_file(const std::filesystem::path& path) {
    // Protected (no inherited entries), full access for the owner only.
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;FA;;;OW)", SDDL_REVISION_1,
                                                              &descriptor, nullptr))
        return nullptr;
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
    // CREATE_NEW refuses any existing name; FILE_FLAG_OPEN_REPARSE_POINT keeps
    // a planted link from being followed.
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, 0, &attributes, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    LocalFree(descriptor);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
    if (fd < 0) {
        CloseHandle(handle);
        return nullptr;
    }
    std::FILE* file = _fdopen(fd, "wb");
    if (!file) _close(fd);
    return FilePtr(file);
}

}  // namespace platform
