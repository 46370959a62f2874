// The decrypt run: each-file items, packages, or one set of carrying
// pictures, opened with one password, written into one folder.
#pragma once

#include <filesystem>
#include <vector>

#include "package/run_ui.h"

namespace package {

struct DecryptRequest {
    std::vector<std::filesystem::path> inputs;  // in list order
    std::filesystem::path output_folder;
    bool delete_inputs = false;
    bool replace_existing = false;  // replace an existing output without asking
};

struct DecryptResult {
    bool key_found = false;   // some input opened; the caller clears its inputs
    bool finished = false;    // the run reached its end without an error
    std::size_t refused = 0;  // inputs the password did not open
    std::size_t skipped = 0;  // outputs not written because the name was taken
    std::vector<std::filesystem::path> outputs;
};

DecryptResult run_decrypt(const DecryptRequest& request, RunUi& ui, const RunServices& services);

}  // namespace package
