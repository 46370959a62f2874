// Runs a command line through the POSIX shell and keeps what it printed and
// how it ended: the end-to-end tests start the real programs this way.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace test_support {

struct Outcome {
    int status = -1;     // the exit status; -1 when the program did not exit
    std::string output;  // what the command printed (redirect 2>&1 for both streams)
};

inline Outcome run_shell(const std::string& command) {
    Outcome o;
    FILE* p = popen(command.c_str(), "r");
    if (p == nullptr) return o;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) o.output.append(buf, n);
    const int raw = pclose(p);
    o.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return o;
}

}  // namespace test_support
