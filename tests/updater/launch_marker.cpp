// A program for the update runs to start: leaves "launched.txt" in its
// working directory with that directory and its arguments, one a line.
// Bytes appended to the executable (old and new versions of a module) do
// not change what it does.
#include <cstdio>
#include <filesystem>

int main(int argc, char** argv) {
    std::FILE* f = std::fopen("launched.tmp", "w");
    if (!f) return 1;
    std::fprintf(f, "%s\n", std::filesystem::current_path().string().c_str());
    for (int i = 1; i < argc; ++i) std::fprintf(f, "[%s]\n", argv[i]);
    std::fclose(f);
    std::remove("launched.txt");
    return std::rename("launched.tmp", "launched.txt") == 0 ? 0 : 1;
}
