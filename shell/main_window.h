// The main window (template 130): three pages (encrypt, decrypt, file
// sharing) of which one is visible, the tab and side buttons, the keyboard
// rules and the routing of dropped files. It owns the inputs of both runs
// and hands them to the package operations.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "package/inputs.h"
#include "package/messages.h"
#include "platform/clock.h"
#include "platform/profile.h"
#include "shell/secure_delete.h"
#include "shell/settings.h"
#include "shell/settings_dialog.h"
#include "shell/sharing_page.h"
#include "shell/startup.h"
#include "ui/ports.h"

namespace shell {

namespace main_ids {
inline constexpr int kTemplate = 130;
// Tab buttons.
inline constexpr ui::ControlId kEncryptTab = 1007;
inline constexpr ui::ControlId kDecryptTab = 1008;
inline constexpr ui::ControlId kSharingTab = 1009;
// Side buttons.
inline constexpr ui::ControlId kHome = 1050;
inline constexpr ui::ControlId kCreateKey = 1051;
inline constexpr ui::ControlId kSettings = 1052;
inline constexpr ui::ControlId kHelp = 1053;
// Encrypt page.
inline constexpr ui::ControlId kMessage = 1020;
inline constexpr ui::ControlId kFiles = 1021;
inline constexpr ui::ControlId kAddFiles = 1025;
inline constexpr ui::ControlId kOutput = 1068;
inline constexpr ui::ControlId kChooseOutput = 1026;
inline constexpr ui::ControlId kEncryptStatus = 1033;
inline constexpr ui::ControlId kCapacity = 1034;
inline constexpr ui::ControlId kEncryptProgress = 1024;
inline constexpr ui::ControlId kEncrypt = 1027;
// Decrypt page.
inline constexpr ui::ControlId kInputs = 1039;
inline constexpr ui::ControlId kAddInputs = 1041;
inline constexpr ui::ControlId kOutputFolder = 1065;
inline constexpr ui::ControlId kChooseFolder = 1038;
inline constexpr ui::ControlId kDecryptStatus = 1042;
inline constexpr ui::ControlId kDecryptProgress = 1035;
inline constexpr ui::ControlId kDecrypt = 1036;
// Always visible.
inline constexpr ui::ControlId kDeletionArea = 1087;
}  // namespace main_ids

// The texts the main window shows (package/messages.h).
using package::msg::kAddFilesFilter;
using package::msg::kAddInputsFilter;
using package::msg::kFilesRemoved;
using package::msg::kMessageTooLong;
using package::msg::kOutputFilter;
using package::msg::kPictureFilter;
using package::msg::kWindowTitle;
inline constexpr std::size_t kMessageLimit = 50000;  // bytes of code page 949 text

// The controls each page shows; showing a page hides those of the others.
const std::vector<ui::ControlId>& page_controls(Page page);

// Virtual keys the main window looks at.
inline constexpr int kKeyEnter = 0x0D;
inline constexpr int kKeyEscape = 0x1B;
inline constexpr int kKeyDelete = 0x2E;

// How the main window ended: the home button, or closed (the program ends).
inline constexpr int kResultHome = main_ids::kHome;

struct MainWindowPorts {
    ui::Interaction& interaction;
    platform::Clock& clock;
    std::filesystem::path program_folder;
    // Where the progress window of a deletion keeps its position; may be null.
    platform::AppProfile* profile = nullptr;
    // The banner player hosted in the window (the Flash player on Windows):
    // loads the movie it is given. May be empty.
    std::function<void(const std::filesystem::path& movie)> load_movie;
    // The online manual page, opened by the help button.
    std::string help_address;
    // The folder default output names fall back on; empty: the current directory.
    std::filesystem::path working_folder;
};

class MainWindow final : public ui::DialogPresenter {
  public:
    MainWindow(MainWindowPorts ports, Page first_page);

    void on_init(ui::DialogView& view) override;
    void on_command(ui::ControlId id, ui::Event event) override;
    // The close area ends the program; Escape never reaches here.
    void on_close() override;

    // A key pressed anywhere in the window, with the control that has the
    // focus. True when the window swallows the key.
    bool on_key_down(int virtual_key, ui::ControlId focus);
    // Files and folders dropped on the control `target` (the control under
    // the cursor when they were dropped).
    void on_drop(ui::ControlId target, const std::vector<std::filesystem::path>& items);

    Page page() const { return page_; }
    // Where the window stood when the home button closed it.
    std::optional<ui::Point> home_origin() const { return home_origin_; }
    bool busy() const { return encrypting_ || decrypting_; }
    const Settings& settings() const { return settings_; }
    const package::InputList& encrypt_inputs() const { return encrypt_inputs_; }
    const package::InputList& decrypt_inputs() const { return decrypt_inputs_; }
    const std::vector<std::filesystem::path>& pictures() const { return pictures_; }
    const Recipients& recipients() const { return sharing_.recipients(); }

  private:
    void show_page(Page page);
    void show_sharing_page();
    void open_settings();
    void open_create_key();

    // Encrypt page.
    bool add_encrypt_file(const std::filesystem::path& file);
    void add_files();
    void choose_output();
    void choose_pictures();
    void message_changed();
    void refresh_output();
    void check_capacity();
    void encrypt();
    void clear_encrypt_inputs();

    // Decrypt page.
    bool add_decrypt_file(const std::filesystem::path& file);
    void add_inputs();
    void choose_folder();
    void decrypt();
    void clear_decrypt_inputs();

    void delete_selected();
    void drop_on_list(ui::ControlId list, const std::vector<std::filesystem::path>& items);
    bool erase_file(const std::filesystem::path& file);
    void log_line(const std::string& line);
    package::EncryptMode mode() const;
    std::filesystem::path working_folder() const;

    MainWindowPorts ports_;
    ProgramFiles files_;
    DeletionPorts deletion_;
    ui::DialogView* view_ = nullptr;
    bool ready_ = false;  // the set-up got past Proper.dat
    Page page_;
    bool encrypting_ = false;
    bool decrypting_ = false;
    Settings settings_;
    package::InputList encrypt_inputs_;
    std::vector<std::filesystem::path> pictures_;
    std::string pictures_text_;  // the quoted picture names the output box shows
    bool capacity_sufficient_ = false;
    package::InputList decrypt_inputs_;
    SharingPage sharing_;
    std::optional<ui::Point> home_origin_;
};

}  // namespace shell
