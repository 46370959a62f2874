// "vellora-cli update": the publisher's key pair, signing and checking of
// version lists for signed updates.
#pragma once

#include <string>
#include <vector>

namespace cli {

// The arguments after "update"; returns 0 success, 1 failure, 2 usage error.
int run_update(const std::vector<std::string>& args);

}  // namespace cli
