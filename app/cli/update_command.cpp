#include "app/cli/update_command.h"

#include <charconv>
#include <cstdio>
#include <optional>

#include "platform/files.h"
#include "platform/secret.h"
#include "updater/publisher.h"

namespace cli {

namespace {

const char kUsage[] = R"(사용법 / Usage:
  vellora-cli update keygen SECRET_KEY_FILE
  vellora-cli update sign SECRET_KEY_FILE VERSION_LIST --root SERVER_ROOT [--serial N]
  vellora-cli update verify PUBLIC_KEY VERSION_LIST [--root SERVER_ROOT]

  keygen  makes a key pair: the secret key goes to a new file only you can read
          (an existing file is never replaced); the public key is printed.
  sign    adds the serial and the SHA-512 of every module the list names (the
          files under SERVER_ROOT at their remote paths) to the list as comment
          lines, and writes the signature to VERSION_LIST.sig. Without --serial
          the serial is the time in seconds, or the previous serial + 1.
  verify  checks VERSION_LIST.sig with PUBLIC_KEY (64 hex digits or a file),
          and with --root every module's SHA-512.
  Exit status: 0 success, 1 failure, 2 usage error.
)";

int usage(const char* problem) {
    std::fprintf(stderr, "vellora-cli update: %s\n%s", problem, kUsage);
    return 2;
}

struct Arguments {
    std::vector<std::string> operands;
    std::optional<std::string> root;
    std::optional<std::uint64_t> serial;
    std::string error;
};

Arguments parse(const std::vector<std::string>& args) {
    Arguments a;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--root" || arg == "--serial") {
            if (i + 1 >= args.size()) {
                a.error = arg + " needs a value";
                return a;
            }
            const std::string& value = args[++i];
            if (arg == "--root") {
                a.root = value;
            } else {
                std::uint64_t n = 0;
                const auto [end, ec] =
                    std::from_chars(value.data(), value.data() + value.size(), n);
                if (ec != std::errc() || end != value.data() + value.size()) {
                    a.error = "--serial takes a decimal number";
                    return a;
                }
                a.serial = n;
            }
        } else if (arg.rfind("--", 0) == 0) {
            a.error = "unknown option " + arg;
            return a;
        } else {
            a.operands.push_back(arg);
        }
    }
    return a;
}

void print_modules(const updater::PublishReport& report) {
    for (const auto& [remote, state] : report.modules)
        std::printf("  %s\t%s\n", remote.c_str(), state.c_str());
}

int keygen(const Arguments& a) {
    std::string error;
    const auto key = updater::MakeKeyPair(platform::path_from_utf8(a.operands[0]), error);
    if (!key) {
        std::fprintf(stderr, "vellora-cli update: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s\n", updater::HexText(key->data(), key->size()).c_str());
    return 0;
}

int sign(const Arguments& a) {
    updater::Seed seed{};
    std::string error;
    if (!updater::ReadSecretKey(platform::path_from_utf8(a.operands[0]), seed, error)) {
        std::fprintf(stderr, "vellora-cli update: %s\n", error.c_str());
        return 1;
    }
    const auto report = updater::SignVersionList(seed, platform::path_from_utf8(a.operands[1]),
                                                 platform::path_from_utf8(*a.root), a.serial);
    platform::secure_wipe(seed.data(), seed.size());
    print_modules(report);
    if (!report.ok) {
        std::fprintf(stderr, "vellora-cli update: %s\n", report.error.c_str());
        return 1;
    }
    std::printf("serial %llu, signature %s.sig\n", static_cast<unsigned long long>(report.serial),
                a.operands[1].c_str());
    return 0;
}

int verify(const Arguments& a) {
    std::string error;
    const auto key = updater::ReadPublicKey(a.operands[0], error);
    if (!key) {
        std::fprintf(stderr, "vellora-cli update: %s\n", error.c_str());
        return 1;
    }
    std::optional<std::filesystem::path> root;
    if (a.root) root = platform::path_from_utf8(*a.root);
    const auto report =
        updater::VerifyVersionList(*key, platform::path_from_utf8(a.operands[1]), root);
    print_modules(report);
    if (!report.ok) {
        std::fprintf(stderr, "vellora-cli update: %s\n", report.error.c_str());
        return 1;
    }
    std::printf("signature OK, serial %llu\n", static_cast<unsigned long long>(report.serial));
    return 0;
}

}  // namespace

int run_update(const std::vector<std::string>& args) {
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        std::printf("%s", kUsage);
        return args.empty() ? 2 : 0;
    }
    const Arguments a = parse(args);
    if (!a.error.empty()) return usage(a.error.c_str());
    const std::string& verb = args[0];
    if (verb == "keygen" && a.operands.size() == 1 && !a.root && !a.serial) return keygen(a);
    if (verb == "sign" && a.operands.size() == 2 && a.root) return sign(a);
    if (verb == "verify" && a.operands.size() == 2 && !a.serial) return verify(a);
    return usage(("wrong arguments for update " + verb).c_str());
}

}  // namespace cli
