#include "app/cli/commands.h"

#include <cstdio>
#include <fstream>
#include <iostream>

#include "app/cli/args.h"
#include "app/cli/terminal.h"
#include "app/cli/update_command.h"
#include "package/codepage.h"
#include "package/decrypt_run.h"
#include "package/encrypt_run.h"
#include "package/file_io.h"
#include "package/inputs.h"
#include "package/interaction_ui.h"
#include "package/keys.h"
#include "package/messages.h"
#include "package/names.h"
#include "package/reader.h"
#include "package/stego.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/text.h"
#include "pubkey/keystore.h"
#include "shell/activity_log.h"
#include "shell/drop_delete.h"
#include "shell/secure_delete.h"

namespace cli {

namespace fs = std::filesystem;
using package::path_from_text;
using package::path_text;

namespace {

// The waits of the deletion pace a window; a terminal has none to pace.
class NoWaitClock final : public platform::Clock {
  public:
    TimePoint now() const override { return system_.now(); }
    platform::LocalTime local_time() const override { return system_.local_time(); }
    void sleep(std::chrono::milliseconds) override {}

  private:
    platform::SystemClock system_;
};

fs::path default_key_folder() {
#ifdef _WIN32
    return platform::program_folder() / "Key";
#else
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg)
        return fs::path(xdg) / "vellora" / "Key";
    const char* home = std::getenv("HOME");
    return fs::path(home ? home : ".") / ".local" / "share" / "vellora" / "Key";
#endif
}

fs::path key_folder(const Options& o) {
    return o.key_dir ? path_from_text(*o.key_dir) : default_key_folder();
}

// A recipient: an existing file, or a key name in the key folder.
fs::path recipient_path(const std::string& given, const fs::path& folder) {
    fs::path p = path_from_text(given);
    std::error_code ec;
    if (fs::exists(p, ec) || p.has_parent_path()) return p;
    std::string name = given;
    if (name.size() < 4 || name.compare(name.size() - 4, 4, ".lck") != 0) name += ".lck";
    return folder / path_from_text(name);
}

std::optional<platform::SecretBytes> password_from(const Options& o) {
    if (!o.password_file) return std::nullopt;
    return read_password_line(*o.password_file);
}

// Reads -p when given; false (after saying why) when its file cannot be read.
bool read_password_option(const Options& o, std::optional<platform::SecretBytes>& password) {
    if (!o.password_file) return true;
    password = password_from(o);
    if (password) return true;
    std::fprintf(stderr, "%s\n-p: %s\n", package::msg::kFileRead,
                 package::escape_controls(*o.password_file).c_str());
    return false;
}

// The files a command names besides its outputs: its inputs, the password
// and message files.
std::vector<fs::path> named_files(const Options& o) {
    std::vector<fs::path> files;
    for (const std::string& f : o.operands) files.push_back(path_from_text(f));
    for (const std::string& b : o.pictures) files.push_back(path_from_text(b));
    if (o.password_file && *o.password_file != "-")
        files.push_back(path_from_text(*o.password_file));
    if (o.message_file) files.push_back(path_from_text(*o.message_file));
    return files;
}

// --log naming a file the command reads or writes would append lines into
// it: refused before any work. Outputs named only during the run (decrypted
// entries) are kept off the log by the run itself.
bool log_is_apart(const Options& o, std::vector<fs::path> files) {
    if (!o.log_file) return true;
    const std::string err = package::check_log_file(path_from_text(*o.log_file), files);
    if (err.empty()) return true;
    std::fprintf(stderr, "%s\n", err.c_str());
    return false;
}

struct Services {
    NoWaitClock clock;
    TerminalInteraction& terminal;
    shell::DeletionPorts ports;
    package::RunServices run;
    // A source or input that --delete-sources could not wipe (the deletion
    // has told why): the command fails.
    bool erase_failed = false;

    Services(TerminalInteraction& t, const Options& o) : terminal(t), ports{clock, t, nullptr, {}} {
        run.erase = [this](const fs::path& p) {
            const bool gone =
                shell::OverwriteFile(p, false, ports) == 1 && shell::WipeFile(p, ports) == 1;
            if (!gone) erase_failed = true;
            return gone;
        };
        if (o.log_file) {
            const fs::path log = path_from_text(*o.log_file);
            run.log_file = log;
            run.log = [this, log](const std::string& line) {
                if (!shell::append_log_line(log, clock, line))
                    std::fprintf(stderr, "log: %s\n", path_text(log).c_str());
            };
        }
    }
};

int encrypt(const Options& o) {
    package::EncryptRequest req;
    // The parser has refused any other word.
    req.mode = package::mode_from_option(o.mode).value_or(package::EncryptMode::Package);
    req.algorithm = package::algorithm_from_option(o.algorithm).value_or(package::Algorithm::Seed);
    // The list holds full paths, as the window's list does.
    std::error_code ec;
    for (const std::string& f : o.operands)
        req.files.push_back(fs::absolute(path_from_text(f), ec));
    if (o.text) req.message = *o.text;
    if (o.message_file) {
        auto text = package::read_whole(path_from_text(*o.message_file));
        if (!text) {
            std::fprintf(stderr, "%s\n%s\n", package::msg::kFileOpen, o.message_file->c_str());
            return 1;
        }
        req.message.assign(text->begin(), text->end());
    }
    if (o.output) req.output = path_from_text(*o.output);
    for (const std::string& b : o.pictures) req.pictures.push_back(path_from_text(b));
    const fs::path keys = key_folder(o);
    for (const std::string& r : o.recipients) req.recipients.push_back(recipient_path(r, keys));
    req.sharing = !req.recipients.empty();
    req.delete_sources = o.delete_sources;
    req.replace_existing = o.force;

    std::vector<fs::path> touched = named_files(o);
    touched.insert(touched.end(), req.recipients.begin(), req.recipients.end());
    // The outputs as the run will name them.
    fs::path output = req.output;
    if (output.empty())
        output = package::default_output_name(req.mode, req.files, !req.message.empty(),
                                              fs::current_path(ec));
    if (!output.empty()) touched.push_back(output);
    if (req.mode == package::EncryptMode::EachFile)
        for (fs::path f : req.files) touched.push_back(f += ".vlr");
    if (!log_is_apart(o, std::move(touched))) return 1;

    // The command line has no save dialog: its decrypt would write only the
    // first of two entries of one name, and the second, once its source is
    // wiped, would be out of reach.
    if (req.mode != package::EncryptMode::EachFile) {
        std::string err = package::check_distinct_files(req.files);
        if (err.empty()) err = package::check_leaf_names(req.files);
        if (!err.empty()) {
            std::fprintf(stderr, "%s\n", err.c_str());
            return 1;
        }
    }
    std::optional<platform::SecretBytes> password;
    // A well-formed command whose file cannot be read failed; it was no
    // usage error.
    if (!req.sharing && !read_password_option(o, password)) return 1;
    TerminalInteraction terminal(std::move(password), false);
    Services services(terminal, o);
    package::InteractionUi ui(terminal);
    package::EncryptResult r = package::run_encrypt(req, ui, services.run);
    return r.finished && r.skipped == 0 && !services.erase_failed ? 0 : 1;
}

int decrypt(const Options& o) {
    package::DecryptRequest req;
    for (const std::string& f : o.operands) req.inputs.push_back(path_from_text(f));
    req.output_folder = path_from_text(*o.output);
    req.delete_inputs = o.delete_sources;
    req.replace_existing = o.force;
    if (!log_is_apart(o, named_files(o))) return 1;
    std::error_code ec;
    fs::create_directories(req.output_folder, ec);
    std::optional<platform::SecretBytes> password;
    if (!read_password_option(o, password)) return 1;
    TerminalInteraction terminal(std::move(password), false);
    Services services(terminal, o);
    package::InteractionUi ui(terminal);
    package::DecryptResult r = package::run_decrypt(req, ui, services.run);
    return r.finished && r.key_found && r.refused == 0 && r.skipped == 0 && !services.erase_failed
               ? 0
               : 1;
}

int key_create(const Options& o) {
    const std::string& name = *o.name;
    if (name.empty()) {
        std::fprintf(stderr, "%s\n", package::msg::kNameMissing);
        return 1;
    }
    auto cp = platform::to_cp949(name);
    if (!cp) {
        std::fprintf(stderr, "%s%s\n", package::msg::kTextNotEncodable, name.c_str());
        return 1;
    }
    // Bytes of code page 949 never use these values as trail bytes.
    for (char c : *cp) {
        if (std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos) {
            std::fprintf(stderr, "%s\n", package::msg::kForbiddenName);
            return 1;
        }
    }
    std::string file = name;
    const auto dot = file.rfind('.');
    if (dot == std::string::npos || file.substr(dot) != ".lck") file += ".lck";
    std::optional<platform::SecretBytes> password;
    if (!read_password_option(o, password) || !password) return 1;
    auto length = platform::cp949_length(password->text());
    if (!length || *length < 6) {
        std::fprintf(stderr, "%s\n", package::msg::kKeyPasswordTooShort);
        return 1;
    }
    const fs::path folder = key_folder(o);
    std::error_code ec;
    fs::create_directories(folder, ec);
    const fs::path target = folder / path_from_text(file);
    if (fs::exists(target, ec) && !o.force) {
        std::fprintf(stderr, "%s\n%s\n", package::msg::kNameTaken, path_text(target).c_str());
        return 1;
    }
    auto text = platform::to_cp949(password->text());
    password->wipe();
    platform::SecretBytes bytes = platform::SecretBytes::take(*text);
    package::Bytes pub;
    package::SecretBytes priv;
    package::Status s = package::DeriveSharedKeyPair(bytes.span(), pub, priv);
    bytes.wipe();
    if (s != 0) {
        std::fprintf(stderr, "%s\n", package::status_text(s).c_str());
        return 1;
    }
    // The same staged write as the window: an interrupted --force leaves
    // the old key whole.
    if (keystore::replace_file(target, pub) != keystore::WriteResult::ok) {
        std::fprintf(stderr, "%s\n", package::msg::kWriteFailed);
        return 1;
    }
    std::fprintf(stderr, "%s\n", package::msg::kKeyCreated);
    std::printf("%s\n", path_text(target).c_str());
    return 0;
}

int wipe(const Options& o) {
    std::vector<fs::path> items;
    int status = 0;
    std::error_code ec;
    for (const std::string& p : o.operands) {
        const fs::path path = path_from_text(p);
        // A mistyped name was not wiped: the file meant is still there.
        if (!fs::exists(fs::symlink_status(platform::without_trailing_separators(path), ec))) {
            std::fprintf(stderr, "%s\n%s\n", package::msg::kFileOpen,
                         package::escape_controls(p).c_str());
            status = 1;
            continue;
        }
        items.push_back(path);
    }
    if (items.empty()) return status;
    TerminalInteraction terminal(std::nullopt, o.yes);
    NoWaitClock clock;
    shell::DeletionPorts ports{clock, terminal, nullptr, {}};
    shell::delete_dropped_items(items, ports);
    for (const fs::path& p : items)
        if (fs::exists(fs::symlink_status(p, ec))) status = 1;
    return status;
}

// Prints what a file holds; false when it cannot be read, is not encrypted
// or is damaged. Every stored text is shown with its control characters
// escaped: a name must not drive the terminal.
bool describe(const fs::path& path) {
    using package::escape_controls;
    std::printf("%s\n", escape_controls(path_text(path)).c_str());
    auto size = package::size_of_file(path);
    package::FilePtr f = package::open_file(path, "rb");
    if (!size || !f) {
        std::printf("  %s\n", package::msg::kFileOpen);
        return false;
    }
    package::FileSource src(f.get(), *size);
    package::Outline outline;
    switch (package::detect_kind(src)) {
        case package::InputKind::EachFile:
            std::printf("  kind: each-file item\n");
            outline = package::read_each_file(src);
            break;
        case package::InputKind::Package:
            std::printf("  kind: package\n");
            outline = package::read_package(src);
            break;
        case package::InputKind::Picture: {
            std::printf("  kind: carrying picture\n");
            auto bytes = package::read_whole(path);
            package::Bytes piece;
            if (bytes && package::extract_piece(*bytes, piece) && piece.size() >= 2) {
                std::printf("  piece: number %u, %zu bytes\n", package::get_u16(piece.data()),
                            piece.size() - 2);
                return true;
            }
            std::printf("  piece: unreadable\n");
            return false;
        }
        case package::InputKind::None:
            std::printf("  %s\n", package::msg::kNotEncrypted);
            return false;
    }
    if (!outline.entries.empty()) {
        const package::SealedEntry& first = outline.entries.front();
        const std::string magic(first.header.magic.begin(), first.header.magic.end());
        std::printf("  magic: %s\n  slots:", escape_controls(magic).c_str());
        for (const package::KeySlot& s : first.header.slots)
            std::printf(
                " %u(%s)", s.kind,
                s.kind == package::kSlotReserved ? "reserved" : package::algorithm_word(s.kind));
        std::printf("\n");
    }
    for (const package::SealedEntry& e : outline.entries) {
        std::string name = package::msg::kMessageWord;
        if (!e.is_message) {
            auto text = package::from_codepage(e.stored_name);
            name = text ? escape_controls(*text) : "(unreadable name)";
        }
        std::printf("  %s\t%u bytes\n", name.c_str(), e.ct_length);
    }
    if (outline.error.empty()) return true;
    std::printf("  %s\n", outline.error.c_str());
    return false;
}

int info(const Options& o) {
    int status = 0;
    for (const std::string& p : o.operands)
        if (!describe(path_from_text(p))) status = 1;
    return status;
}

}  // namespace

int run(const std::vector<std::string>& args) {
    if (!args.empty() && args[0] == "update") return run_update({args.begin() + 1, args.end()});
    Parsed parsed = parse_args(args);
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "vellora-cli: %s\n%s", parsed.error.c_str(), usage_text().c_str());
        return 2;
    }
    const Options& o = parsed.options;
    switch (o.verb) {
        case Verb::Help:
            std::printf("%s", usage_text().c_str());
            return 0;
        case Verb::Encrypt:
            return encrypt(o);
        case Verb::Decrypt:
            return decrypt(o);
        case Verb::KeyCreate:
            return key_create(o);
        case Verb::Wipe:
            return wipe(o);
        case Verb::Info:
            return info(o);
    }
    return 2;
}

}  // namespace cli
