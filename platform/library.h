// Loading a component library and calling its registration export
// "DllRegisterServer" (LoadLibrary / dlopen).
#pragma once

#include <filesystem>

namespace platform {

struct RegistrationResult {
    enum class Outcome { registered, load_failed, export_missing, export_failed };
    Outcome outcome = Outcome::load_failed;
    long error = 0;   // system error of the failing load or lookup
    long result = 0;  // what the export answered (negative: failure)
};

// Loads the library, calls its DllRegisterServer with the component system
// initialised for the thread, unloads it.
RegistrationResult register_library(const std::filesystem::path& library);

}  // namespace platform
