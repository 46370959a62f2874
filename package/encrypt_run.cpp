#include "package/encrypt_run.h"

#include <optional>

#include "package/codepage.h"
#include "package/file_io.h"
#include "package/messages.h"
#include "package/names.h"
#include "package/picture_files.h"
#include "package/stego.h"
#include "package/writer.h"

namespace package {

namespace fs = std::filesystem;

namespace {

class EncryptRun {
  public:
    EncryptRun(const EncryptRequest& r, RunUi& ui, const RunServices& s)
        : req_(r), ui_(ui), svc_(s) {}

    EncryptResult run();

  private:
    bool check_request();
    bool prepare_inputs();
    bool prepare_keys();
    // The output to write to: the proposal, or what the user picks when it
    // is taken; nullopt when the user cancelled.
    std::optional<fs::path> claim_output(const fs::path& proposed);
    bool is_input(const fs::path& p) const;
    bool run_package();
    bool run_each_file();
    void log_item(const std::string& item);
    void erase_sources(const std::vector<const SourceFile*>& done);
    WriteObserver observer();

    const EncryptRequest& req_;
    RunUi& ui_;
    const RunServices& svc_;
    std::vector<SourceFile> files_;
    FileSet inputs_, written_;  // the files, pictures and log; the outputs so far
    Bytes message_;
    RunKeys keys_;
    std::uint64_t total_ = 0, done_ = 0;
    EncryptResult result_;
};

bool EncryptRun::check_request() {
    if (req_.files.empty() && req_.message.empty()) {
        ui_.message(msg::kNothingToEncrypt);
        return false;
    }
    if (std::string err = check_distinct_files(req_.files); !err.empty()) {
        ui_.message(err);
        return false;
    }
    if (req_.mode == EncryptMode::Pictures) {
        if (req_.sharing) {
            ui_.message(msg::kSharingRefusesPictures);
            return false;
        }
        if (req_.pictures.empty()) {
            ui_.message(msg::kChoosePictures);
            return false;
        }
        if (req_.pictures.size() > kMaxPictures) {
            ui_.message(msg::kTooManyPictures);
            return false;
        }
        if (std::string err = check_pictures(req_.pictures, req_.files); !err.empty()) {
            ui_.message(err);
            return false;
        }
    }
    if (req_.mode != EncryptMode::EachFile &&
        req_.files.size() + (req_.message.empty() ? 0 : 1) > kMaxEntries) {
        ui_.message(msg::kTooManyEntries);
        return false;
    }
    if (req_.sharing && req_.recipients.empty()) {
        ui_.message(msg::kChooseRecipients, msg::kWarningCaption);
        return false;
    }
    if (req_.sharing && req_.recipients.size() > kMaxRecipients) {
        ui_.message(msg::kTooManyRecipients);
        return false;
    }
    return true;
}

bool EncryptRun::prepare_inputs() {
    if (!req_.message.empty()) {
        auto m = to_codepage(req_.message);
        if (!m) {
            ui_.message(std::string(msg::kTextNotEncodable) + msg::kMessageWord);
            return false;
        }
        message_ = std::move(*m);
        total_ += message_.size();
    }
    for (const fs::path& p : req_.files) {
        auto name = to_codepage(path_text(p));
        const std::string shown = escape_controls(path_text(p));
        if (!name) {
            ui_.message(std::string(msg::kTextNotEncodable) + shown);
            return false;
        }
        auto size = size_of_file(p);
        if (!size || !open_file(p, "rb")) {
            ui_.message(std::string(msg::kFileOpen) + "\n" + shown);
            return false;
        }
        files_.push_back({p, std::move(*name), *size});
        total_ += *size;
    }
    return true;
}

bool EncryptRun::prepare_keys() {
    KeySource source;
    source.algorithm = req_.algorithm;
    if (req_.sharing) {
        source.protection = Protection::Sharing;
        for (const fs::path& key_file : req_.recipients) {
            auto key = read_whole(key_file);
            if (!key) {
                ui_.message(msg::kKeyFileOpen);
                return false;
            }
            source.recipients.push_back(std::move(*key));
        }
    } else {
        auto password = ui_.new_password();
        if (!password) return false;
        auto bytes = to_codepage(password->text());
        password->wipe();
        if (!bytes) {
            ui_.message(std::string(msg::kTextNotEncodable) + "password");
            return false;
        }
        source.password = SecretBytes(*bytes);
        secure_wipe(bytes->data(), bytes->size());
    }
    const Arrangement arrangement = req_.mode == EncryptMode::Package    ? Arrangement::Package
                                    : req_.mode == EncryptMode::EachFile ? Arrangement::EachFile
                                                                         : Arrangement::Pictures;
    std::string err = make_run_keys(arrangement, source, keys_);
    source.password.wipe();
    if (!err.empty()) {
        ui_.message(err);
        return false;
    }
    return true;
}

bool EncryptRun::is_input(const fs::path& p) const {
    return inputs_.contains(p);
}

std::optional<fs::path> EncryptRun::claim_output(const fs::path& proposed) {
    OutputRules rules;
    rules.inputs = &inputs_;
    rules.written = &written_;
    rules.replace_existing = req_.replace_existing;
    rules.save_filter = msg::kSaveFilterVlr;
    return package::claim_output(proposed, rules, ui_);
}

WriteObserver EncryptRun::observer() {
    WriteObserver o;
    o.file_started = [this](const SourceFile& f) {
        ui_.status(escape_controls(path_text(f.path)));
    };
    const std::uint64_t base = done_;
    o.bytes = [this, base](std::uint64_t n) { ui_.progress(base + n, total_); };
    return o;
}

void EncryptRun::log_item(const std::string& item) {
    if (!svc_.log) return;
    const std::string algorithm = req_.sharing ? "ECC" : algorithm_word(keys_.slot_kind);
    std::string line = escape_controls(item);
    switch (req_.mode) {
        case EncryptMode::Package:
            line += "\tEncrypted Packgage(" + algorithm + ")\n";
            break;
        case EncryptMode::Pictures:
            line += "\tStegano(" + algorithm + ")\n";
            break;
        case EncryptMode::EachFile:
            line += "\tEncrypted Each(" + algorithm + ")\n";
            break;
    }
    svc_.log(line);
}

bool EncryptRun::run_package() {
    const bool pictures = req_.mode == EncryptMode::Pictures;
    fs::path target;
    if (pictures) {
        // Everything is checked before the first picture is touched.
        std::uint64_t size = 4;
        if (!message_.empty()) size += 8 + keys_.header.size() + 20 + message_.size();
        for (const SourceFile& f : files_)
            size += 4 + f.stored_name.size() + 8 + keys_.header.size() + 20 + f.size;
        auto capacity = pictures_capacity(req_.pictures);
        if (!capacity) {
            ui_.message(msg::kPictureOpen);
            return false;
        }
        const std::uint64_t padded = size + pad_length(size, req_.pictures.size());
        if (static_cast<std::int64_t>(padded) > *capacity) {
            ui_.message(msg::kPicturesTooSmall);
            return false;
        }
        // The carrier never takes the place of a file of the user's.
        target = unique_output_name(req_.pictures[0].parent_path() / "Steg.vlr");
    } else {
        fs::path proposed = req_.output;
        if (proposed.empty())
            proposed = default_output_name(EncryptMode::Package, req_.files, !message_.empty(),
                                           fs::current_path());
        auto claimed = claim_output(proposed);
        if (!claimed) {
            if (!is_input(proposed)) ui_.message(msg::kEncryptCancelled);
            return false;
        }
        target = *claimed;
    }

    StagedOutput out;
    if (!out.open(target)) {
        ui_.message(msg::kFileOpen);
        return false;
    }
    if (std::string err = write_package(out.file(), files_, message_, keys_, observer());
        !err.empty()) {
        ui_.message(err);
        return false;
    }
    if (!out.commit()) {
        ui_.message(msg::kWriteFailed);
        return false;
    }
    if (!message_.empty()) log_item(msg::kMessageWord);
    for (const SourceFile& f : files_) log_item(path_text(f.path));

    if (pictures) {
        ui_.status(msg::kHidingStatus);
        auto package = read_whole(target);
        if (svc_.erase) {
            svc_.erase(target);
        } else {
            std::error_code ec;
            fs::remove(target, ec);
        }
        if (!package) {
            ui_.message(msg::kEncryptedFileRead);
            return false;
        }
        const std::size_t n = req_.pictures.size();
        std::string err = hide_in_pictures(*package, req_.pictures,
                                           [this, n](std::size_t i) { ui_.progress(i + 1, n); });
        if (!err.empty()) {
            ui_.message(err);
            return false;
        }
        result_.outputs = req_.pictures;
    } else {
        result_.outputs.push_back(target);
    }
    std::vector<const SourceFile*> all;
    for (const SourceFile& f : files_) all.push_back(&f);
    erase_sources(all);
    ui_.shell_open(pictures ? req_.pictures[0].parent_path() : target.parent_path());
    ui_.message(msg::kEncryptedPackage);
    return true;
}

bool EncryptRun::run_each_file() {
    std::vector<const SourceFile*> done;
    fs::path last_folder;
    auto write_item = [&](const fs::path& target, const SourceFile* file) -> bool {
        StagedOutput out;
        if (!out.open(target)) {
            ui_.message(msg::kFileOpen);
            return false;
        }
        std::string err = write_each_file_item(out.file(), file, message_, keys_, observer());
        if (err.empty() && !out.commit()) err = msg::kWriteFailed;
        if (!err.empty()) {
            ui_.message(err);
            return false;
        }
        result_.outputs.push_back(target);
        written_.add(target);
        last_folder = target.parent_path();
        return true;
    };

    if (!message_.empty()) {
        fs::path proposed = req_.output;
        if (proposed.empty())
            proposed =
                default_output_name(EncryptMode::EachFile, req_.files, true, fs::current_path());
        if (auto target = claim_output(proposed)) {
            if (!write_item(*target, nullptr)) return false;
            log_item(msg::kMessageWord);
        } else {
            ++result_.skipped;
        }
        done_ += message_.size();
    }
    for (const SourceFile& f : files_) {
        fs::path proposed = f.path;
        proposed += ".vlr";
        if (auto target = claim_output(proposed)) {
            if (!write_item(*target, &f)) return false;
            log_item(path_text(f.path));
            done.push_back(&f);
        } else {
            ++result_.skipped;
        }
        done_ += f.size;
    }
    if (result_.outputs.empty()) {
        ui_.message(msg::kEncryptCancelled);
        return false;
    }
    erase_sources(done);
    ui_.shell_open(last_folder);
    ui_.message(msg::kEncryptedEach);
    return true;
}

// Only once every output of the run is complete on disk.
void EncryptRun::erase_sources(const std::vector<const SourceFile*>& done) {
    if (!req_.delete_sources || !svc_.erase) return;
    for (const SourceFile* f : done) svc_.erase(f->path);
}

EncryptResult EncryptRun::run() {
    if (!check_request()) return result_;
    for (const fs::path& p : req_.files) inputs_.add(p);
    for (const fs::path& p : req_.pictures) inputs_.add(p);
    if (!svc_.log_file.empty()) inputs_.add(svc_.log_file);
    if (!prepare_inputs() || !prepare_keys()) return result_;
    ui_.progress(0, total_);
    const bool ok = req_.mode == EncryptMode::EachFile ? run_each_file() : run_package();
    ui_.status("");
    ui_.progress(0, 0);
    result_.finished = ok;
    return result_;
}

}  // namespace

EncryptResult run_encrypt(const EncryptRequest& request, RunUi& ui, const RunServices& services) {
    return EncryptRun(request, ui, services).run();
}

}  // namespace package
