#include "shell/sharing_page.h"

#include <algorithm>
#include <system_error>

#include "platform/files.h"
#include "pubkey/keystore.h"

namespace shell {

using namespace sharing_ids;
namespace fs = std::filesystem;

namespace {

std::vector<int> first_selected(const ui::DialogView& view, ui::ControlId id) {
    std::vector<int> rows = view.selected_rows(id);
    std::sort(rows.begin(), rows.end());
    if (rows.size() > kMaxSelection) rows.resize(kMaxSelection);
    return rows;
}

std::vector<std::string> rows_of(const ui::DialogView& view, ui::ControlId id) {
    std::vector<std::string> texts;
    for (int row = 0; row < view.row_count(id); ++row) texts.push_back(view.row_text(id, row, 0));
    return texts;
}

// The list box keeps itself sorted.
void fill_sorted(ui::DialogView& view, ui::ControlId id, std::vector<std::string> texts) {
    std::sort(texts.begin(), texts.end());
    view.clear_rows(id);
    for (const std::string& text : texts) view.add_row(id, {text});
}

}  // namespace

void SharingPage::refill(ui::DialogView& view) const {
    fill_sorted(view, kKeys, keystore::list_key_files(key_folder_));
}

void SharingPage::add(ui::DialogView& view, ui::Interaction& interaction) const {
    const std::vector<int> rows = first_selected(view, kKeys);
    if (rows.empty()) return;
    std::vector<std::string> chosen = rows_of(view, kRecipients);
    for (int row : rows) {
        const std::string text = view.row_text(kKeys, row, 0);
        if (std::find(chosen.begin(), chosen.end(), text) != chosen.end()) {
            interaction.message_box(std::string(kAlreadyAdded) + text, "", ui::mb::ok);
        } else {
            chosen.push_back(text);
        }
    }
    fill_sorted(view, kRecipients, std::move(chosen));
    view.set_selection(kKeys, -1);
}

void SharingPage::remove(ui::DialogView& view) {
    std::vector<int> rows = first_selected(view, kRecipients);
    if (rows.empty()) return;
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) view.remove_row(kRecipients, *it);
    // The confirmed list no longer matches what the user sees.
    recipients_.clear();
}

bool SharingPage::confirm(ui::DialogView& view, ui::Interaction& interaction) {
    if (view.row_count(kRecipients) == 0) {
        interaction.message_box(kChooseRecipients, kWarningCaption, ui::mb::ok);
        return false;
    }
    // Rebuilt on every confirm, so pressing "다음" twice never lists a key twice.
    recipients_.paths.clear();
    for (const std::string& text : rows_of(view, kRecipients))
        recipients_.paths.push_back(key_folder_ / platform::path_from_utf8(text));
    recipients_.confirmed = true;
    return true;
}

void SharingPage::export_keys(ui::DialogView& view, ui::Interaction& interaction) const {
    const std::vector<int> rows = first_selected(view, kKeys);
    if (rows.empty()) {
        interaction.message_box(kChooseExport, "", ui::mb::ok);
        return;
    }
    const auto folder = interaction.choose_folder(kChooseFolderTitle);
    if (!folder) return;

    bool copied = true;
    std::vector<int> done;
    for (int row : rows) {
        const std::string text = view.row_text(kKeys, row, 0);
        const fs::path source = key_folder_ / platform::path_from_utf8(text);
        fs::path destination = *folder / platform::path_from_utf8(text);
        std::error_code ec;
        if (fs::exists(destination, ec)) {
            interaction.message_box(kNameTaken, "", ui::mb::ok);
            copied = false;
            ui::FileDialogOptions options;
            options.filter = kKeyFilter;
            options.initial_folder = *folder;
            options.initial_name = text;
            const auto chosen = interaction.save_file(options);
            if (!chosen) continue;
            destination = *chosen;
            copied = true;
        }
        const auto bytes = keystore::read_key_file(source);
        if (!bytes) {
            interaction.message_box(
                platform::file_size(source) ? kSourceReadError : kSourceOpenError, "", ui::mb::ok);
            return;
        }
        switch (keystore::replace_file(destination, *bytes)) {
            case keystore::WriteResult::ok:
                break;
            case keystore::WriteResult::open_failed:
                interaction.message_box(kDestinationOpenError, "", ui::mb::ok);
                return;
            case keystore::WriteResult::write_failed:
                interaction.message_box(kDestinationWriteError, "", ui::mb::ok);
                return;
        }
        done.push_back(row);
    }
    // A key skipped at the save dialog stays selected.
    if (done.size() == rows.size()) view.set_selection(kKeys, -1);
    if (copied) interaction.message_box(kKeysCopied, "", ui::mb::ok);
}

}  // namespace shell
