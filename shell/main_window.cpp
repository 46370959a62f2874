#include "shell/main_window.h"

#include <algorithm>
#include <span>
#include <system_error>

#include "package/decrypt_run.h"
#include "package/encrypt_run.h"
#include "package/interaction_ui.h"
#include "package/messages.h"
#include "platform/files.h"
#include "platform/text.h"
#include "shell/activity_log.h"
#include "shell/banner.h"
#include "shell/create_key_dialog.h"
#include "shell/drop_delete.h"

namespace shell {

using namespace main_ids;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> list_row(const fs::path& file) {
    return {platform::path_to_utf8(file.filename()), platform::path_to_utf8(file)};
}

// The longest start of the text whose code page 949 form fits the limit,
// cut between whole characters.
std::string fit_message(const std::string& text) {
    std::size_t bytes = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t next = at + 1;
        while (next < text.size() && (static_cast<unsigned char>(text[next]) & 0xC0) == 0x80)
            ++next;
        const std::string_view character(text.data() + at, next - at);
        bytes += platform::cp949_length(character).value_or(character.size());
        if (bytes > kMessageLimit) break;
        at = next;
    }
    return text.substr(0, at);
}

}  // namespace

const std::vector<ui::ControlId>& page_controls(Page page) {
    static const std::vector<ui::ControlId> kEncryptPage = {
        IDC_ENC_TITLE,     IDC_ENC_MESSAGE_LABEL,
        IDC_ENC_MESSAGE,   IDC_ENC_FILES_LABEL,
        IDC_ENC_FILES,     IDC_ENC_HINT,
        IDC_ENC_ADD_FILES, IDC_ENC_OUTPUT_LABEL,
        IDC_ENC_OUTPUT,    IDC_ENC_CHOOSE_OUTPUT,
        IDC_ENC_STATUS,    IDC_ENC_CAPACITY,
        IDC_ENC_PROGRESS,  IDC_ENC_RUN};
    static const std::vector<ui::ControlId> kDecryptPage = {
        IDC_DEC_TITLE,        IDC_DEC_INPUTS_LABEL, IDC_DEC_INPUTS,        IDC_DEC_ADD_INPUTS,
        IDC_DEC_FOLDER_LABEL, IDC_DEC_FOLDER,       IDC_DEC_CHOOSE_FOLDER, IDC_DEC_STATUS,
        IDC_DEC_PROGRESS,     IDC_DEC_RUN};
    static const std::vector<ui::ControlId> kSharingPage = {
        IDC_SHARE_KEYS_LABEL,       IDC_SHARE_KEYS,       IDC_SHARE_ADD,  IDC_SHARE_REMOVE,
        IDC_SHARE_RECIPIENTS_LABEL, IDC_SHARE_RECIPIENTS, IDC_SHARE_NEXT, IDC_SHARE_EXPORT};
    switch (page) {
        case Page::decrypt:
            return kDecryptPage;
        case Page::sharing:
            return kSharingPage;
        case Page::encrypt:
            break;
    }
    return kEncryptPage;
}

ui::Point kept_on_screen(ui::Point corner, ui::Size screen) {
    auto within = [](int v, int extent) { return std::clamp(v, 0, std::max(extent - 1, 0)); };
    return {within(corner.x, screen.width), within(corner.y, screen.height)};
}

MainWindow::MainWindow(MainWindowPorts ports, Page first_page, std::optional<ui::Point> place_at)
    : ports_(std::move(ports)),
      files_(program_files(ports_.program_folder)),
      page_(first_page),
      sharing_(files_.key_folder),
      place_at_(place_at) {}

void MainWindow::on_init(ui::DialogView& view) {
    view_ = &view;
    if (place_at_) view.move_window(kept_on_screen(*place_at_, view.screen_size()));
    view.set_title(kWindowTitle);
    if (ports_.load_movie) ports_.load_movie(choose_banner_movie(ports_.program_folder));
    if (!prepare_program_folder(files_, ports_.interaction, settings_)) return;
    ready_ = true;
    encrypting_ = decrypting_ = false;
    if (page_ == Page::sharing) {
        show_sharing_page();
    } else {
        show_page(page_);
    }
}

void MainWindow::on_close() {
    if (view_ == nullptr || running()) return;
    view_->close(static_cast<int>(ui::Answer::cancel));
}

void MainWindow::run_long(const std::function<void(ui::Interaction&)>& job) {
    if (ports_.run_long) {
        ports_.run_long(job);
    } else {
        job(ports_.interaction);
    }
}

// The run's services use the run's own interaction (the progress window of
// a wipe included), never the window thread's directly.
package::RunServices MainWindow::run_services(DeletionPorts& deletion) {
    package::RunServices services;
    services.erase = [this, &deletion](const fs::path& file) { return erase_file(file, deletion); };
    if (settings_.write_log == 1) {
        services.log = [this](const std::string& l) { log_line(l); };
        services.log_file = files_.log_path;
    }
    return services;
}

void MainWindow::show_page(Page page) {
    page_ = page;
    for (Page other : {Page::encrypt, Page::decrypt, Page::sharing}) {
        if (other == page) continue;
        for (ui::ControlId id : page_controls(other)) view_->show(id, false);
    }
    for (ui::ControlId id : page_controls(page)) view_->show(id, true);
}

void MainWindow::show_sharing_page() {
    if (settings_.mode == package::stored(package::EncryptMode::Pictures)) {
        ports_.interaction.message_box(kSharingRefusesPictures, "", ui::mb::ok);
        show_page(Page::encrypt);
        return;
    }
    show_page(Page::sharing);
    sharing_.refill(*view_);
}

package::EncryptMode MainWindow::mode() const {
    return package::mode_from_stored(settings_.mode);
}

fs::path MainWindow::working_folder() const {
    if (!ports_.working_folder.empty()) return ports_.working_folder;
    std::error_code ec;
    return fs::current_path(ec);
}

void MainWindow::on_command(ui::ControlId id, ui::Event event) {
    if (view_ == nullptr || !ready_) return;
    if (id == kMessage && event == ui::Event::text_changed) {
        message_changed();
        return;
    }
    if (event != ui::Event::clicked) return;
    const bool gated = busy();
    switch (id) {
        case kEncryptTab:
            if (!gated) show_page(Page::encrypt);
            break;
        case kDecryptTab:
            if (!gated) show_page(Page::decrypt);
            break;
        case kSharingTab:
            if (!gated) show_sharing_page();
            break;
        case kHome:
            if (!gated) {
                start_corner_ = offset_from(view_->control_origin(kHome), kStartFromHomeButton);
                view_->close(kResultHome);
            }
            break;
        case kCreateKey:
            if (!gated) open_create_key();
            break;
        case kSettings:
            if (!gated) open_settings();
            break;
        case kHelp:
            ports_.interaction.shell_open(platform::path_from_utf8(ports_.help_address));
            break;
        case kAddFiles:
            add_files();
            break;
        case kChooseOutput:
            choose_output();
            break;
        case kEncrypt:
            encrypt();
            break;
        case kAddInputs:
            add_inputs();
            break;
        case kChooseFolder:
            choose_folder();
            break;
        case kDecrypt:
            decrypt();
            break;
        case sharing_ids::kAdd:
            sharing_.add(*view_, ports_.interaction);
            break;
        case sharing_ids::kRemove:
            sharing_.remove(*view_);
            break;
        case sharing_ids::kNext:
            if (sharing_.confirm(*view_, ports_.interaction) && !gated) show_page(Page::encrypt);
            break;
        case sharing_ids::kExport:
            sharing_.export_keys(*view_, ports_.interaction);
            break;
        default:
            break;
    }
}

void MainWindow::open_settings() {
    SettingsDialog dialog(files_.settings_path, page_, ports_.interaction);
    if (ports_.interaction.run_modal(settings_ids::kTemplate, dialog) !=
        static_cast<int>(ui::Answer::ok))
        return;
    if (take_dialog_settings(settings_, dialog.settings())) refresh_output();
}

void MainWindow::open_create_key() {
    CreateKeyDialog dialog(files_.key_folder, ports_.interaction);
    ports_.interaction.run_modal(create_key_ids::kTemplate, dialog);
    // A new key shows up at once when its list is on screen.
    if (page_ == Page::sharing) sharing_.refill(*view_);
}

// ------------------------------------------------------------ encrypt page

bool MainWindow::add_encrypt_file(const fs::path& file) {
    package::InteractionUi run_ui(ports_.interaction);
    if (package::add_encrypt_inputs(encrypt_inputs_, std::span(&file, 1), run_ui) != 1)
        return false;
    view_->add_row(kFiles, list_row(file));
    return true;
}

void MainWindow::add_files() {
    ui::FileDialogOptions options;
    options.filter = kAddFilesFilter;
    for (const fs::path& file : ports_.interaction.open_files(options)) {
        if (!add_encrypt_file(file)) return;
    }
    refresh_output();
}

void MainWindow::choose_output() {
    if (mode() == package::EncryptMode::Pictures) {
        choose_pictures();
        return;
    }
    ui::FileDialogOptions options;
    options.filter = kOutputFilter;
    options.default_extension = "vlr";
    options.initial_name = "벨로라.vlr";
    if (auto chosen = ports_.interaction.save_file(options))
        view_->set_text(kOutput, platform::path_to_utf8(*chosen));
}

void MainWindow::choose_pictures() {
    ui::FileDialogOptions options;
    options.filter = kPictureFilter;
    options.default_extension = "bmp";
    options.initial_name = "*.bmp";
    const auto chosen = ports_.interaction.open_files(options);
    if (chosen.empty()) return;
    const std::string message = view_->text(kMessage);
    package::InteractionUi run_ui(ports_.interaction);
    package::PictureChoice choice =
        package::choose_pictures(chosen, encrypt_inputs_.paths,
                                 platform::cp949_length(message).value_or(message.size()), run_ui);
    pictures_ = std::move(choice.pictures);
    pictures_text_ = std::move(choice.shown);
    capacity_sufficient_ = choice.sufficient;
    view_->set_text(kCapacity, choice.capacity_text);
    view_->set_text(kOutput, pictures_text_);
}

void MainWindow::check_capacity() {
    const std::string message = view_->text(kMessage);
    const std::size_t message_bytes = platform::cp949_length(message).value_or(message.size());
    const std::int64_t need = package::hiding_need(encrypt_inputs_.counted, message_bytes);
    const std::int64_t available = package::pictures_capacity(pictures_).value_or(0);
    capacity_sufficient_ = !pictures_.empty() && need <= available;
    view_->set_text(kCapacity, package::capacity_text(need, available));
}

void MainWindow::message_changed() {
    const std::string text = view_->text(kMessage);
    const auto bytes = platform::cp949_length(text);
    if (bytes && *bytes > kMessageLimit) {
        ports_.interaction.message_box(kMessageTooLong, "", ui::mb::ok);
        view_->set_text(kMessage, fit_message(text));
    }
    refresh_output();
}

// The output box follows the inputs: a proposed name in modes 0 and 1, the
// chosen pictures and their capacity in mode 2.
void MainWindow::refresh_output() {
    if (mode() == package::EncryptMode::Pictures) {
        view_->set_text(kOutput, pictures_text_);
        if (!pictures_.empty()) check_capacity();
        return;
    }
    const fs::path name = package::default_output_name(
        mode(), encrypt_inputs_.paths, !view_->text(kMessage).empty(), working_folder());
    view_->set_text(kOutput, platform::path_to_utf8(name));
}

bool MainWindow::erase_file(const fs::path& file, DeletionPorts& deletion) {
    if (OverwriteFile(file, false, deletion) != 1) return false;
    bool removed = false;
    WipeFile(file, deletion, &removed);
    return removed;
}

void MainWindow::log_line(const std::string& line) {
    append_log_line(files_.log_path, ports_.clock, line);
}

void MainWindow::encrypt() {
    if (encrypting_) return;
    package::EncryptRequest request;
    request.mode = mode();
    request.algorithm = package::algorithm_from_stored(settings_.algorithm);
    request.files = encrypt_inputs_.paths;
    request.message = view_->text(kMessage);
    request.sharing = sharing_.recipients().confirmed;
    request.recipients = sharing_.recipients().paths;
    if (request.mode == package::EncryptMode::Pictures) {
        // Settled before the password is asked for.
        const bool has_input = !request.files.empty() || !request.message.empty();
        if (has_input && (pictures_.empty() || !capacity_sufficient_)) {
            ports_.interaction.message_box(
                pictures_.empty() ? package::msg::kChoosePictures : package::msg::kPicturesTooSmall,
                "", ui::mb::ok);
            return;
        }
        request.pictures = pictures_;
    } else {
        request.output = platform::path_from_utf8(view_->text(kOutput));
    }
    request.delete_sources = settings_.delete_inputs == 1;

    encrypting_ = true;
    package::EncryptResult result;
    run_long([&](ui::Interaction& interaction) {
        DeletionPorts deletion{ports_.clock, interaction, ports_.profile, {}};
        package::InteractionUi run_ui(interaction);
        result = package::run_encrypt(request, run_ui, run_services(deletion));
    });
    encrypting_ = false;
    if (!result.finished) return;
    clear_encrypt_inputs();
    if (request.sharing) sharing_.recipients().clear();
}

void MainWindow::clear_encrypt_inputs() {
    encrypt_inputs_.clear();
    pictures_.clear();
    pictures_text_.clear();
    capacity_sufficient_ = false;
    view_->clear_rows(kFiles);
    view_->set_text(kMessage, "");
    view_->set_text(kOutput, "");
    view_->set_text(kEncryptStatus, "");
    view_->set_text(kCapacity, "");
    view_->set_progress_position(kEncryptProgress, 0);
}

// ------------------------------------------------------------ decrypt page

bool MainWindow::add_decrypt_file(const fs::path& file) {
    package::InteractionUi run_ui(ports_.interaction);
    if (package::add_decrypt_inputs(decrypt_inputs_, std::span(&file, 1), run_ui) != 1)
        return false;
    view_->add_row(kInputs, list_row(file));
    return true;
}

void MainWindow::add_inputs() {
    ui::FileDialogOptions options;
    options.filter = kAddInputsFilter;
    for (const fs::path& file : ports_.interaction.open_files(options)) {
        if (!add_decrypt_file(file)) return;
    }
}

void MainWindow::choose_folder() {
    if (auto folder = ports_.interaction.choose_folder(kChooseFolderTitle))
        view_->set_text(kOutputFolder, platform::path_to_utf8(*folder));
}

void MainWindow::decrypt() {
    if (decrypting_) return;
    package::DecryptRequest request;
    request.inputs = decrypt_inputs_.paths;
    request.output_folder = platform::path_from_utf8(view_->text(kOutputFolder));
    request.delete_inputs = settings_.delete_inputs == 1;

    decrypting_ = true;
    package::DecryptResult result;
    run_long([&](ui::Interaction& interaction) {
        DeletionPorts deletion{ports_.clock, interaction, ports_.profile, {}};
        package::InteractionUi run_ui(interaction);
        result = package::run_decrypt(request, run_ui, run_services(deletion));
    });
    decrypting_ = false;
    if (result.key_found) clear_decrypt_inputs();
}

void MainWindow::clear_decrypt_inputs() {
    decrypt_inputs_.clear();
    view_->clear_rows(kInputs);
    view_->set_text(kOutputFolder, "");
    view_->set_text(kDecryptStatus, "");
    view_->set_progress_position(kDecryptProgress, 0);
}

// ------------------------------------------------------- keys and drops

bool MainWindow::on_key_down(int virtual_key, ui::ControlId focus) {
    if (view_ == nullptr || !ready_) return false;
    if (virtual_key == kKeyDelete) {
        // In the message edit the key deletes text, never listed files.
        if (focus != kMessage) delete_selected();
        return false;
    }
    if (virtual_key == kKeyEscape) return true;
    if (virtual_key == kKeyEnter) return focus != kMessage;  // a line break in the message
    return false;
}

void MainWindow::delete_selected() {
    // The inputs of a running operation stay as they are.
    if (busy()) return;
    int removed = 0;
    auto remove_from = [&](ui::ControlId list, package::InputList& inputs) {
        for (;;) {
            const std::vector<int> rows = view_->selected_rows(list);
            if (rows.empty()) break;
            const int row = *std::min_element(rows.begin(), rows.end());
            if (row < 0 || row >= view_->row_count(list)) break;
            view_->remove_row(list, row);
            // Takes off what the file added when it was listed, so the total
            // stays right even when the file is gone by now.
            inputs.remove(static_cast<std::size_t>(row));
            ++removed;
        }
    };
    if (page_ == Page::encrypt) remove_from(kFiles, encrypt_inputs_);
    if (page_ == Page::decrypt) remove_from(kInputs, decrypt_inputs_);
    if (encrypt_inputs_.paths.empty() && page_ == Page::encrypt) view_->set_text(kOutput, "");
    if (removed > 0) ports_.interaction.message_box(kFilesRemoved, "", ui::mb::ok);
    if (mode() == package::EncryptMode::Pictures && !pictures_.empty()) check_capacity();
}

void MainWindow::on_drop(ui::ControlId target, const std::vector<fs::path>& items) {
    if (view_ == nullptr || !ready_ || running()) return;
    if (target == kFiles || target == kInputs) {
        drop_on_list(target, items);
    } else if (target == kDeletionArea) {
        deleting_ = true;
        run_long([&](ui::Interaction& interaction) {
            DeletionPorts deletion{ports_.clock, interaction, ports_.profile, {}};
            delete_dropped_items(items, deletion);
        });
        deleting_ = false;
    }
}

void MainWindow::drop_on_list(ui::ControlId list, const std::vector<fs::path>& items) {
    DropRun run;
    run.target = list;
    run.add_to_list = [this, list](const fs::path& file) {
        return list == kFiles ? add_encrypt_file(file) : add_decrypt_file(file);
    };
    for (const fs::path& item : items) {
        std::error_code ec;
        if (fs::is_directory(item, ec) && !platform::is_link(item)) {
            WalkDroppedFolder(item, run);
        } else if (!run.add_to_list(item)) {
            break;
        }
    }
    if (list == kFiles) refresh_output();
}

}  // namespace shell
