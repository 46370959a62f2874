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
#include "ui/ids.h"
#include "ui/ports.h"

namespace shell {

namespace main_ids {
inline constexpr int kTemplate = IDD_MAIN;
// Tab buttons.
inline constexpr ui::ControlId kEncryptTab = IDC_TAB_ENCRYPT;
inline constexpr ui::ControlId kDecryptTab = IDC_TAB_DECRYPT;
inline constexpr ui::ControlId kSharingTab = IDC_TAB_SHARING;
// Side buttons.
inline constexpr ui::ControlId kHome = IDC_SIDE_HOME;
inline constexpr ui::ControlId kCreateKey = IDC_SIDE_CREATE_KEY;
inline constexpr ui::ControlId kSettings = IDC_SIDE_SETTINGS;
inline constexpr ui::ControlId kHelp = IDC_SIDE_HELP;
// Encrypt page.
inline constexpr ui::ControlId kMessage = IDC_ENC_MESSAGE;
inline constexpr ui::ControlId kFiles = IDC_ENC_FILES;
inline constexpr ui::ControlId kAddFiles = IDC_ENC_ADD_FILES;
inline constexpr ui::ControlId kOutput = IDC_ENC_OUTPUT;
inline constexpr ui::ControlId kChooseOutput = IDC_ENC_CHOOSE_OUTPUT;
inline constexpr ui::ControlId kEncryptStatus = IDC_ENC_STATUS;
inline constexpr ui::ControlId kCapacity = IDC_ENC_CAPACITY;
inline constexpr ui::ControlId kEncryptProgress = IDC_ENC_PROGRESS;
inline constexpr ui::ControlId kEncrypt = IDC_ENC_RUN;
// Decrypt page.
inline constexpr ui::ControlId kInputs = IDC_DEC_INPUTS;
inline constexpr ui::ControlId kAddInputs = IDC_DEC_ADD_INPUTS;
inline constexpr ui::ControlId kOutputFolder = IDC_DEC_FOLDER;
inline constexpr ui::ControlId kChooseFolder = IDC_DEC_CHOOSE_FOLDER;
inline constexpr ui::ControlId kDecryptStatus = IDC_DEC_STATUS;
inline constexpr ui::ControlId kDecryptProgress = IDC_DEC_PROGRESS;
inline constexpr ui::ControlId kDecrypt = IDC_DEC_RUN;
// Always visible.
inline constexpr ui::ControlId kDeletionArea = IDC_DELETION_AREA;
}  // namespace main_ids

// The texts the main window shows (package/messages.h).
using package::msg::kAddFilesFilter;
using package::msg::kAddInputsFilter;
using package::msg::kDeletionTooltip;
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

// Where the start and main windows open relative to the button that led
// there, in screen pixels: the main window at the left edge of start button
// 1000 and 137 above its top; the start window 12 left of and 99 above the
// home button's top-left corner.
inline constexpr ui::Point kMainFromStartButton{0, -137};
inline constexpr ui::Point kStartFromHomeButton{-12, -99};

// A window's top-left corner `from` a button's, by one of the offsets above.
inline ui::Point offset_from(ui::Point from, ui::Point offset) {
    return {from.x + offset.x, from.y + offset.y};
}
// A window's top-left corner kept on the screen, so that the window (which
// is dragged by any point of it) can always be reached.
ui::Point kept_on_screen(ui::Point corner, ui::Size screen);

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
    // Runs a long operation (encrypt, decrypt, deletion) with the
    // Interaction it must use, and returns when it has ended. On Windows the
    // job runs on a worker thread while the window thread keeps dispatching;
    // empty: the job runs here with `interaction`.
    std::function<void(const std::function<void(ui::Interaction&)>& job)> run_long;
};

class MainWindow final : public ui::DialogPresenter {
  public:
    // `place_at`: the window's top-left corner on the screen, none to leave
    // it where the template puts it.
    MainWindow(MainWindowPorts ports, Page first_page,
               std::optional<ui::Point> place_at = std::nullopt);

    void on_init(ui::DialogView& view) override;
    void on_command(ui::ControlId id, ui::Event event) override;
    // The close area ends the program, but never during a run: the window
    // stays until the run is over. Escape never reaches here.
    void on_close() override;

    // A key pressed anywhere in the window, with the control that has the
    // focus. True when the window swallows the key.
    bool on_key_down(int virtual_key, ui::ControlId focus);
    // Files and folders dropped on the control `target` (the control under
    // the cursor when they were dropped).
    void on_drop(ui::ControlId target, const std::vector<std::filesystem::path>& items);

    Page page() const { return page_; }
    // Where the start window goes when the home button closed this window.
    std::optional<ui::Point> start_corner() const { return start_corner_; }
    bool busy() const { return encrypting_ || decrypting_; }
    // A run of any kind (encrypt, decrypt, deletion) is going on.
    bool running() const { return busy() || deleting_; }
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
    bool erase_file(const std::filesystem::path& file, DeletionPorts& deletion);
    void run_long(const std::function<void(ui::Interaction&)>& job);
    package::RunServices run_services(DeletionPorts& deletion);
    void log_line(const std::string& line);
    package::EncryptMode mode() const;
    std::filesystem::path working_folder() const;

    MainWindowPorts ports_;
    ProgramFiles files_;
    ui::DialogView* view_ = nullptr;
    bool ready_ = false;  // the set-up got past Proper.dat
    Page page_;
    bool encrypting_ = false;
    bool decrypting_ = false;
    bool deleting_ = false;
    Settings settings_;
    package::InputList encrypt_inputs_;
    std::vector<std::filesystem::path> pictures_;
    std::string pictures_text_;  // the quoted picture names the output box shows
    bool capacity_sufficient_ = false;
    package::InputList decrypt_inputs_;
    SharingPage sharing_;
    std::optional<ui::Point> place_at_;
    std::optional<ui::Point> start_corner_;
};

}  // namespace shell
