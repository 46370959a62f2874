// The file-sharing page of the main window: the shared keys found in the Key
// folder (list box 1044), the chosen recipients (list box 1057, sorted), and
// the recipient path list that the encrypt run reads once confirmed.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "ui/ids.h"
#include "ui/ports.h"

namespace shell {

namespace sharing_ids {
inline constexpr ui::ControlId kKeys = IDC_SHARE_KEYS;
inline constexpr ui::ControlId kRecipients = IDC_SHARE_RECIPIENTS;
inline constexpr ui::ControlId kAdd = IDC_SHARE_ADD;
inline constexpr ui::ControlId kRemove = IDC_SHARE_REMOVE;
inline constexpr ui::ControlId kNext = IDC_SHARE_NEXT;
inline constexpr ui::ControlId kExport = IDC_SHARE_EXPORT;
}  // namespace sharing_ids

inline constexpr char kAlreadyAdded[] = "이미 추가 된 인증서 입니다.\n";
inline constexpr char kChooseRecipients[] = "공유키 파일을 선택해 주세요";
inline constexpr char kChooseExport[] = "내보낼 공유키를 선택해 주세요.";
inline constexpr char kChooseFolderTitle[] = "폴더를 선택해 주세요.";
inline constexpr char kSameNameExists[] = "동일한 파일명이 있습니다.";
inline constexpr char kKeyFilter[] = "공유키 파일 (*.lck)|*.lck|";
inline constexpr char kSourceOpenError[] = "선택된 공유키 열기 오류";
inline constexpr char kSourceReadError[] = "공유키 읽기 오류";
inline constexpr char kDestinationOpenError[] = "저장될 공유키 열기 오류";
inline constexpr char kDestinationWriteError[] = "공유키 쓰기 오류";
inline constexpr char kKeysCopied[] = "선택된 공유키가 복사되었습니다.";

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
