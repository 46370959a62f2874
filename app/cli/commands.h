// The commands of vellora-cli over the same operations the main window uses.
#pragma once

#include <string>
#include <vector>

namespace cli {

// Runs one command line (without the program name); returns the exit status:
// 0 success, 1 failure, 2 usage error.
int run(const std::vector<std::string>& args);

}  // namespace cli
