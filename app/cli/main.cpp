// vellora-cli: the command-line front end.
#include <string>
#include <vector>

#include "app/cli/commands.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/text.h"

int wmain(int argc, wchar_t** argv) {
    // Every text the program prints is UTF-8.
    SetConsoleOutputCP(CP_UTF8);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(platform::from_wide(argv[i]).value_or(""));
    return cli::run(args);
}
#else
int main(int argc, char** argv) {
    return cli::run(std::vector<std::string>(argv + 1, argv + argc));
}
#endif
