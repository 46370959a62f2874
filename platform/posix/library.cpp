#include <dlfcn.h>

#include <cerrno>

#include "platform/library.h"

namespace platform {

RegistrationResult register_library(const std::filesystem::path& library) {
    RegistrationResult r;
    std::string path = library.string();
    // dlopen searches the library path for a bare name; a module is a file here.
    if (library.is_relative()) path = "./" + path;
    errno = 0;
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        r.outcome = RegistrationResult::Outcome::load_failed;
        r.error = errno != 0 ? errno : ENOEXEC;
        return r;
    }
    using Export = long (*)();
    dlerror();
    auto entry = reinterpret_cast<Export>(dlsym(handle, "DllRegisterServer"));
    if (!entry) {
        r.outcome = RegistrationResult::Outcome::export_missing;
        r.error = ENOENT;
    } else {
        r.result = entry();
        r.outcome = r.result < 0 ? RegistrationResult::Outcome::export_failed
                                 : RegistrationResult::Outcome::registered;
    }
    dlclose(handle);
    return r;
}

}  // namespace platform
