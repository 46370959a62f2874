// The command line of vellora-cli, parsed into one request per command.
// Other programs script this interface, so options keep their meaning.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace cli {

enum class Verb { Help, Encrypt, Decrypt, KeyCreate, Wipe, Info };

struct Options {
    Verb verb = Verb::Help;
    std::string mode = "package";              // package | each | bmp
    std::string algorithm = "seed";            // seed | aria | aes
    std::optional<std::string> password_file;  // "-" = standard input
    std::vector<std::string> recipients;       // .lck paths or key names
    std::optional<std::string> text;
    std::optional<std::string> message_file;
    std::optional<std::string> output;
    std::vector<std::string> pictures;
    bool delete_sources = false;
    std::optional<std::string> log_file;
    bool force = false;
    bool yes = false;
    std::optional<std::string> name;
    std::optional<std::string> key_dir;
    std::vector<std::string> operands;
};

struct Parsed {
    Options options;
    std::string error;  // a usage error; empty when the line is good
};

Parsed parse_args(const std::vector<std::string>& args);

// --help text, Korean then English.
std::string usage_text();

}  // namespace cli
