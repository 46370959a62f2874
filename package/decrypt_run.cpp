#include "package/decrypt_run.h"

#include <optional>

#include "package/codepage.h"
#include "package/file_io.h"
#include "package/inputs.h"
#include "package/keys.h"
#include "package/messages.h"
#include "package/names.h"
#include "package/picture_files.h"
#include "package/reader.h"
#include "package/seal.h"
#include "package/stego.h"
#include "platform/text.h"

namespace package {

namespace fs = std::filesystem;

namespace {

enum class Flow { Next, Stop };  // go on with the next input, or end the run

class DecryptRun {
  public:
    DecryptRun(const DecryptRequest& r, RunUi& ui, const RunServices& s)
        : req_(r), ui_(ui), svc_(s) {}
    DecryptResult run();

  private:
    bool sort_inputs();
    Flow each_file(const fs::path& input);
    Flow package(ByteSource& src, const std::string& shown, bool pictures);
    // The session key for an entry; reuses the last one for the same header.
    // The recovered key, kept for the next entry with the same header;
    // null when none opened it.
    const Recovery* key_for(const SealedEntry& e, Flow& flow);
    std::optional<fs::path> claim(const fs::path& proposed);
    bool write_entry(ByteSource& src, const SealedEntry& e, const SecretBytes& key,
                     const fs::path& target);
    void log(const std::string& item, const char* word, std::uint16_t slot_kind);

    const DecryptRequest& req_;
    RunUi& ui_;
    const RunServices& svc_;
    std::vector<fs::path> each_, packages_, pictures_;
    std::optional<PasswordKeys> keys_;
    Bytes last_header_;
    CheckBlock last_check_{};
    std::optional<Recovery> last_;
    FileSet inputs_{req_.inputs}, written_;  // the inputs and the log; the outputs so far
    std::vector<fs::path> completed_;        // inputs every entry of which was written
    std::uint64_t total_ = 0, done_ = 0;
    DecryptResult result_;
};

bool DecryptRun::sort_inputs() {
    for (const fs::path& input : req_.inputs) {
        auto size = size_of_file(input);
        FilePtr f = open_file(input, "rb");
        if (!size || !f) {
            ui_.message(std::string(msg::kFileRead) + "\n" + escape_controls(path_text(input)));
            return false;
        }
        FileSource src(f.get(), *size);
        const InputKind kind = detect_kind(src);
        if (kind == InputKind::None) {
            ui_.message(msg::kNotEncrypted);
            return false;
        }
        const bool picture = kind == InputKind::Picture;
        if (picture ? !(each_.empty() && packages_.empty()) : !pictures_.empty()) {
            ui_.message(msg::kMixedInputs);
            return false;
        }
        if (picture && pictures_.size() == kMaxPictures) {
            ui_.message(msg::kTooManyPictures);
            return false;
        }
        (picture ? pictures_ : kind == InputKind::EachFile ? each_ : packages_).push_back(input);
        total_ += *size;
    }
    if (each_.empty() && packages_.empty() && pictures_.empty()) {
        ui_.message(msg::kNoKindFound);
        return false;
    }
    return true;
}

const Recovery* DecryptRun::key_for(const SealedEntry& e, Flow& flow) {
    flow = Flow::Next;
    if (last_ && e.header_bytes == last_header_ && e.check_block == last_check_) return &*last_;
    Recovery r = recover_session_key(e.header, e.check_block, *keys_);
    if (!r.error.empty()) {
        ui_.message(r.error);
        flow = Flow::Stop;
        return nullptr;
    }
    if (!r.found) return nullptr;
    last_header_ = e.header_bytes;
    last_check_ = e.check_block;
    last_ = std::move(r);
    result_.key_found = true;
    return &*last_;
}

std::optional<fs::path> DecryptRun::claim(const fs::path& proposed) {
    OutputRules rules;
    rules.inputs = &inputs_;
    rules.written = &written_;
    rules.replace_existing = req_.replace_existing;
    rules.save_filter = msg::kSaveFilterAll;
    return claim_output(proposed, rules, ui_);
}

bool DecryptRun::write_entry(ByteSource& src, const SealedEntry& e, const SecretBytes& key,
                             const fs::path& target) {
    StagedOutput out;
    if (!out.open(target)) {
        ui_.message(e.is_message ? msg::kMessageCreate : msg::kFileOpen);
        return false;
    }
    const std::uint64_t base = done_;
    auto progress = [&](std::uint64_t n) { ui_.progress(base + n, total_); };
    std::string err;
    if (e.is_message) {
        // The message is code-page text; it is saved in this system's own
        // text encoding.
        Bytes text;
        err = unseal_to(
            src, e, key,
            [&](const std::uint8_t* p, std::size_t n) {
                text.insert(text.end(), p, p + n);
                return true;
            },
            progress);
        if (auto native = platform::cp949_to_native_text(
                std::string_view(reinterpret_cast<const char*>(text.data()), text.size())))
            text.assign(native->begin(), native->end());
        if (err.empty() && !text.empty() &&
            std::fwrite(text.data(), 1, text.size(), out.file()) != text.size())
            err = msg::kWriteFailed;
    } else {
        std::FILE* f = out.file();
        err = unseal_to(
            src, e, key,
            [f](const std::uint8_t* p, std::size_t n) { return std::fwrite(p, 1, n, f) == n; },
            progress);
    }
    if (err.empty() && !out.commit()) err = msg::kWriteFailed;
    if (!err.empty()) {
        ui_.message(err);
        return false;
    }
    done_ += e.ct_length;
    result_.outputs.push_back(target);
    written_.add(target);
    return true;
}

void DecryptRun::log(const std::string& item, const char* word, std::uint16_t slot_kind) {
    if (svc_.log)
        svc_.log(escape_controls(item) + "\t" + word + "(" + algorithm_word(slot_kind) + ")\n");
}

Flow DecryptRun::each_file(const fs::path& input) {
    auto size = size_of_file(input);
    FilePtr f = open_file(input, "rb");
    if (!size || !f) {
        ui_.message(msg::kFileRead);
        return Flow::Stop;
    }
    FileSource src(f.get(), *size);
    Outline outline = read_each_file(src);
    if (!outline.error.empty()) {
        ui_.message(outline.error);
        return Flow::Stop;
    }
    const SealedEntry& e = outline.entries[0];
    Flow flow;
    auto key = key_for(e, flow);
    if (!key) {
        if (flow == Flow::Next) {
            ui_.message(escape_controls(path_text(input)) + msg::kWrongPasswordSuffix);
            ++result_.refused;
        }
        return flow;
    }
    fs::path name = input.filename().replace_extension();
    if (e.is_message) name.replace_extension(".txt");
    auto target = claim(req_.output_folder / path_from_text(safe_leaf_name(path_text(name))));
    if (!target) {
        ++result_.skipped;
        return Flow::Next;
    }
    ui_.status(escape_controls(path_text(input)));
    if (!write_entry(src, e, key->session_key, *target)) return Flow::Stop;
    log(e.is_message ? msg::kMessageWord : path_text(input), "Decrypted Each", key->slot_kind);
    completed_.push_back(input);
    return Flow::Next;
}

Flow DecryptRun::package(ByteSource& src, const std::string& shown, bool pictures) {
    Outline outline = read_package(src);
    if (!outline.error.empty()) {
        ui_.message(outline.error);
        return Flow::Stop;
    }
    const char* word = pictures ? "UnStegano" : "Decrypted Packgage";
    bool all_written = true;
    for (const SealedEntry& e : outline.entries) {
        Flow flow;
        auto key = key_for(e, flow);
        if (!key) {
            if (flow == Flow::Stop) return Flow::Stop;
            ++result_.refused;
            ui_.message(pictures ? std::string(msg::kWrongPassword)
                                 : escape_controls(shown) + msg::kWrongPasswordSuffix);
            // A wrong password on the message ends the run; on a file, this package.
            return e.is_message || pictures ? Flow::Stop : Flow::Next;
        }
        fs::path name;
        std::string item = msg::kMessageWord;
        if (e.is_message) {
            name = pictures ? fs::path(u8"스테가노_메세지.txt") : fs::path(u8"꾸러미_메세지.txt");
        } else {
            const std::string leaf = leaf_name(e.stored_name);
            auto text = from_codepage(
                std::span(reinterpret_cast<const std::uint8_t*>(leaf.data()), leaf.size()));
            auto stored = from_codepage(e.stored_name);
            if (leaf.empty() || !text || !stored) {
                ui_.message(msg::kNameRead);
                return Flow::Stop;
            }
            name = path_from_text(safe_leaf_name(*text));
            item = *stored;
        }
        auto target = claim(req_.output_folder / name);
        if (!target) {
            ++result_.skipped;
            all_written = false;
            done_ += e.ct_length;
            continue;
        }
        ui_.status(escape_controls(item));
        if (!write_entry(src, e, key->session_key, *target)) return Flow::Stop;
        log(item, word, key->slot_kind);
    }
    if (!all_written) return Flow::Next;
    if (pictures) {
        completed_.insert(completed_.end(), pictures_.begin(), pictures_.end());
    } else {
        completed_.push_back(path_from_text(shown));
    }
    return Flow::Next;
}

DecryptResult DecryptRun::run() {
    if (!svc_.log_file.empty()) inputs_.add(svc_.log_file);
    if (req_.inputs.empty()) {
        ui_.message(msg::kNoInputs);
        return result_;
    }
    std::error_code ec;
    if (req_.output_folder.empty() || !fs::is_directory(req_.output_folder, ec)) {
        ui_.message(msg::kNoOutputFolder);
        return result_;
    }
    if (!sort_inputs()) return result_;
    auto typed = ui_.password();
    if (!typed) return result_;
    auto password = to_codepage(typed->text());
    typed->wipe();
    if (!password) {
        ui_.message(std::string(msg::kTextNotEncodable) + "password");
        return result_;
    }
    keys_.emplace(*password);
    secure_wipe(password->data(), password->size());

    bool stopped = false;
    for (const fs::path& input : each_)
        if (each_file(input) == Flow::Stop) {
            stopped = true;
            break;
        }
    if (!stopped && !pictures_.empty()) {
        ui_.status(msg::kUnhidingStatus);
        Bytes joined;
        std::string err = join_from_pictures(pictures_, joined);
        if (!err.empty()) {
            ui_.message(err);
            stopped = true;
        } else {
            MemorySource src(joined);
            stopped = package(src, {}, true) == Flow::Stop;
        }
    }
    for (std::size_t i = 0; !stopped && i < packages_.size(); ++i) {
        const fs::path& input = packages_[i];
        auto size = size_of_file(input);
        FilePtr f = open_file(input, "rb");
        if (!size || !f) {
            ui_.message(msg::kFileRead);
            stopped = true;
            break;
        }
        FileSource src(f.get(), *size);
        stopped = package(src, path_text(input), false) == Flow::Stop;
    }

    // Inputs go only after every output of the run is on disk.
    if (req_.delete_inputs && svc_.erase)
        for (const fs::path& input : completed_) svc_.erase(input);

    if (!stopped && result_.key_found) {
        if (!result_.outputs.empty()) {
            ui_.shell_open(req_.output_folder);
            ui_.message(msg::kDecrypted);
        } else {
            ui_.message(msg::kDecryptCancelled);
        }
    }
    result_.finished = !stopped;
    ui_.status("");
    ui_.progress(0, 0);
    return result_;
}

}  // namespace

DecryptResult run_decrypt(const DecryptRequest& request, RunUi& ui, const RunServices& services) {
    return DecryptRun(request, ui, services).run();
}

}  // namespace package
