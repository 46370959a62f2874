// A component library for the register step: its registration export leaves
// a marker in the working directory and answers VELLORA_REGISTER_RESULT.
#include <cstdio>

extern "C" long DllRegisterServer() {
    if (std::FILE* f = std::fopen(VELLORA_REGISTER_MARKER, "a")) {
        std::fputs("registered\n", f);
        std::fclose(f);
    }
    return VELLORA_REGISTER_RESULT;
}
