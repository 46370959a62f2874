#include <objbase.h>
#include <windows.h>

#include "platform/library.h"

namespace platform {

RegistrationResult register_library(const std::filesystem::path& library) {
    RegistrationResult r;
    const HRESULT com = CoInitialize(nullptr);
    HMODULE module = LoadLibraryW(library.c_str());
    if (!module) {
        r.outcome = RegistrationResult::Outcome::load_failed;
        r.error = static_cast<long>(GetLastError());
    } else {
        using Export = HRESULT(STDAPICALLTYPE*)();
        auto entry = reinterpret_cast<Export>(
            reinterpret_cast<void*>(GetProcAddress(module, "DllRegisterServer")));
        if (!entry) {
            r.outcome = RegistrationResult::Outcome::export_missing;
            r.error = static_cast<long>(GetLastError());
        } else {
            r.result = static_cast<long>(entry());
            r.outcome = FAILED(r.result) ? RegistrationResult::Outcome::export_failed
                                         : RegistrationResult::Outcome::registered;
        }
        FreeLibrary(module);
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return r;
}

}  // namespace platform
