// The encrypt run: files and a message into one package, one item per
// input, or a package hidden in pictures; protected by a password or for
// recipients' shared keys.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "package/inputs.h"
#include "package/keys.h"
#include "package/run_ui.h"

namespace package {

struct EncryptRequest {
    EncryptMode mode = EncryptMode::Package;
    Algorithm algorithm = Algorithm::Seed;
    std::vector<std::filesystem::path> files;  // in list order
    std::string message;                       // UTF-8; empty when there is none
    bool sharing = false;
    std::vector<std::filesystem::path> recipients;  // shared-key files
    std::filesystem::path output;  // the package, or the message item in each-file mode
    std::vector<std::filesystem::path> pictures;  // in selection order
    bool delete_sources = false;
    bool replace_existing = false;  // replace an existing output without asking
};

struct EncryptResult {
    bool finished = false;  // the run got to its end; the caller clears its inputs
    std::vector<std::filesystem::path> outputs;
    std::size_t skipped = 0;  // items not written because their name was taken
};

EncryptResult run_encrypt(const EncryptRequest& request, RunUi& ui, const RunServices& services);

}  // namespace package
