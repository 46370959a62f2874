// The file-sharing page of the main window: the shared keys found in the Key
// folder (list box 1044), the chosen recipients (list box 1057, sorted), and
// the recipient path list that the encrypt run reads once confirmed.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "package/messages.h"
#include "ui/ports.h"

namespace shell {

namespace sharing_ids {
inline constexpr ui::ControlId kKeys = 1044;
inline constexpr ui::ControlId kRecipients = 1057;
inline constexpr ui::ControlId kAdd = 1045;
inline constexpr ui::ControlId kRemove = 1058;
inline constexpr ui::ControlId kNext = 1048;
inline constexpr ui::ControlId kExport = 1089;
}  // namespace sharing_ids

// The texts this page shows (package/messages.h).
using package::msg::kAlreadyAdded;
using package::msg::kChooseExport;
using package::msg::kChooseFolderTitle;
using package::msg::kChooseRecipients;
using package::msg::kDestinationOpenError;
using package::msg::kDestinationWriteError;
using package::msg::kKeyFilter;
using package::msg::kKeysCopied;
using package::msg::kNameTaken;
using package::msg::kSourceOpenError;
using package::msg::kSourceReadError;
using package::msg::kWarningCaption;

// At most this many selected entries are taken from a list box.
inline constexpr std::size_t kMaxSelection = 100;

// The recipients the encrypt run encrypts for, once confirmed.
struct Recipients {
    std::vector<std::filesystem::path> paths;  // in the order of list box 1057
    bool confirmed = false;
    void clear() {
        paths.clear();
        confirmed = false;
    }
};

class SharingPage {
  public:
    explicit SharingPage(std::filesystem::path key_folder) : key_folder_(std::move(key_folder)) {}

    // Refills list box 1044 from the "*.lck" files of the key folder.
    void refill(ui::DialogView& view) const;
    // "->": the selected keys join list box 1057, each at most once.
    void add(ui::DialogView& view, ui::Interaction& interaction) const;
    // "<-": removes the selected recipients; the confirmation no longer holds.
    void remove(ui::DialogView& view);
    // "다음": rebuilds the recipient path list from list box 1057. True when
    // the recipients are confirmed (the main window then shows the encrypt
    // page).
    bool confirm(ui::DialogView& view, ui::Interaction& interaction);
    // "공개키 내보내기": copies the selected key files into a chosen folder.
    void export_keys(ui::DialogView& view, ui::Interaction& interaction) const;

    Recipients& recipients() { return recipients_; }
    const Recipients& recipients() const { return recipients_; }

  private:
    std::filesystem::path key_folder_;
    Recipients recipients_;
};

}  // namespace shell
