#include "app/vellora/window_setup.h"

#include <commctrl.h>

#include <memory>

#include "shell/create_key_dialog.h"
#include "shell/main_window.h"
#include "ui/ids.h"
#include "ui/win32/skin.h"

namespace vellora {

namespace fs = std::filesystem;
using ui::win32::SkinStyle;

namespace {

constexpr char kAboutItem[] = "Vellora 정보(&A)...";
constexpr int kFaceWidth = 207;
constexpr int kFaceHeight = 273;

class AboutBox final : public ui::DialogPresenter {
  public:
    void on_init(ui::DialogView& view) override { view_ = &view; }
    void on_command(ui::ControlId id, ui::Event event) override {
        if (id == IDOK && event == ui::Event::clicked) view_->close(IDOK);
    }
    void on_close() override { view_->close(IDCANCEL); }

  private:
    ui::DialogView* view_ = nullptr;
};

SkinStyle base_style(const WindowSetup& setup, const char* background) {
    SkinStyle style;
    style.background = setup.program_folder / "res" / background;
    style.instance = setup.instance;
    style.caption_glyph = IDB_CAPTION;
    style.close_glyph = IDB_CLOSE;
    style.minimise_glyph = IDB_MINIMISE;
    style.about_item = kAboutItem;
    ui::Interaction* interaction = setup.interaction;
    style.on_about = [interaction](HWND) {
        AboutBox about;
        interaction->run_modal(IDD_ABOUTBOX, about);
    };
    return style;
}

}  // namespace

int scaled(HWND window, int pixels) {
    return MulDiv(pixels, ui::win32::window_dpi(window), 96);
}

namespace {

// The three faces at their picture size, side by side under the caption;
// the window follows them. Gaps and caption grow with the dpi.
void lay_out_start(HWND dialog, int dpi) {
    const int gap = MulDiv(16, dpi, 96);
    const int top = MulDiv(30, dpi, 96) + gap;
    const int ids[] = {IDC_START_ENCRYPT, IDC_START_DECRYPT, IDC_START_SHARING};
    for (int i = 0; i < 3; ++i) {
        SetWindowPos(GetDlgItem(dialog, ids[i]), nullptr, gap + i * (kFaceWidth + gap), top,
                     kFaceWidth, kFaceHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    SetWindowPos(dialog, nullptr, 0, 0, gap + 3 * (kFaceWidth + gap), top + kFaceHeight + gap,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void add_columns(HWND list, int width) {
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    const wchar_t* titles[] = {L"파일이름", L"파일경로"};
    const int widths[] = {width * 2 / 5, width * 3 / 5 - 4};
    for (int i = 0; i < 2; ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = const_cast<wchar_t*>(titles[i]);
        column.cx = widths[i];
        SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
}

void set_up_main(HWND dialog) {
    for (int id : {IDC_ENC_FILES, IDC_DEC_INPUTS}) {
        HWND list = GetDlgItem(dialog, id);
        RECT r{};
        GetClientRect(list, &r);
        add_columns(list, r.right);
    }
    // One character over the limit gets through to the presenter, which
    // refuses it with its message and cuts the text back; at exactly the
    // limit the edit would swallow the keystroke without a word.
    SendDlgItemMessageW(dialog, IDC_ENC_MESSAGE, EM_SETLIMITTEXT, shell::kMessageLimit + 1, 0);
}

}  // namespace

void configure_window(const WindowSetup& setup, int template_id, ui::DialogPresenter& presenter,
                      ui::win32::HostOptions& options) {
    switch (template_id) {
        case IDD_START: {
            SkinStyle style = base_style(setup, "BackGround.bmp");
            const fs::path faces = setup.program_folder / "res" / "StartPage.bmp";
            const int ids[] = {IDC_START_ENCRYPT, IDC_START_DECRYPT, IDC_START_SHARING};
            for (int i = 0; i < 3; ++i) {
                style.faces[ids[i]] = {faces,
                                       RECT{0, i * kFaceHeight, kFaceWidth, (i + 1) * kFaceHeight}};
                style.hand_cursor.push_back(ids[i]);
            }
            options.decoration = std::make_unique<ui::win32::Skin>(std::move(style));
            options.after_init = [](HWND dialog) {
                lay_out_start(dialog, ui::win32::window_dpi(dialog));
            };
            options.after_dpi_change = lay_out_start;
            break;
        }
        case IDD_MAIN: {
            auto* main = dynamic_cast<shell::MainWindow*>(&presenter);
            SkinStyle style = base_style(setup, "BackGround02.bmp");
            style.tabs = {IDC_TAB_ENCRYPT, IDC_TAB_DECRYPT, IDC_TAB_SHARING};
            style.hand_cursor = {IDC_TAB_ENCRYPT, IDC_TAB_DECRYPT,     IDC_TAB_SHARING,
                                 IDC_SIDE_HOME,   IDC_SIDE_CREATE_KEY, IDC_SIDE_SETTINGS,
                                 IDC_SIDE_HELP,   IDC_DELETION_AREA};
            style.tooltips[IDC_DELETION_AREA] = shell::kDeletionTooltip;
            style.drop_area = IDC_DELETION_AREA;
            style.panel = IDC_BANNER;
            const fs::path res = setup.program_folder / "res";
            style.banners = {{IDC_ENC_TITLE, res / "StaticMsgEnc.bmp"},
                             {IDC_DEC_TITLE, res / "StaticMsgDec.bmp"},
                             {IDC_SHARE_KEYS_LABEL, res / "StaticMsgShareKey.bmp"},
                             {IDC_SHARE_RECIPIENTS_LABEL, res / "StaticMsgShareTarget.bmp"}};
            if (main != nullptr) {
                style.current_tab = [main] {
                    switch (main->page()) {
                        case shell::Page::decrypt:
                            return IDC_TAB_DECRYPT;
                        case shell::Page::sharing:
                            return IDC_TAB_SHARING;
                        default:
                            return IDC_TAB_ENCRYPT;
                    }
                };
                options.key_filter = [main](int key, ui::ControlId focus) {
                    return main->on_key_down(key, focus);
                };
                options.on_drop = [main](ui::ControlId target, const std::vector<fs::path>& items) {
                    main->on_drop(target, items);
                };
            }
            options.status_controls = {IDC_ENC_STATUS, IDC_DEC_STATUS};
            options.progress_controls = {IDC_ENC_PROGRESS, IDC_DEC_PROGRESS};
            options.decoration = std::make_unique<ui::win32::Skin>(std::move(style));
            options.after_init = set_up_main;
            break;
        }
        case IDD_SETTINGS: {
            SkinStyle style = base_style(setup, "PropBackGround.bmp");
            style.hand_cursor = {IDC_SETTINGS_OK, IDC_SETTINGS_CANCEL};
            style.check_boxes = {IDC_SETTINGS_DELETE_INPUTS, IDC_SETTINGS_WRITE_LOG};
            style.backdrops = {{setup.program_folder / "res" / "StaticMsgCheckDel.bmp",
                                {IDC_SETTINGS_DELETE_INPUTS, IDC_SETTINGS_WRITE_LOG}}};
            options.decoration = std::make_unique<ui::win32::Skin>(std::move(style));
            break;
        }
        case IDD_CREATE_KEY: {
            auto* dialog = dynamic_cast<shell::CreateKeyDialog*>(&presenter);
            SkinStyle style = base_style(setup, "CertBackGround.bmp");
            style.about_item.clear();
            style.minimise_box = false;
            style.hand_cursor = {IDC_KEY_OK, IDC_KEY_CHECK_NAME, IDC_KEY_CANCEL};
            if (dialog != nullptr) {
                options.key_filter = [dialog](int key, ui::ControlId focus) {
                    if (key != VK_RETURN) return false;
                    dialog->on_enter_key(focus == IDC_KEY_NAME || focus == IDC_KEY_PASSWORD ||
                                         focus == IDC_KEY_CONFIRM);
                    return true;
                };
            }
            options.decoration = std::make_unique<ui::win32::Skin>(std::move(style));
            break;
        }
        case IDD_PASSWORD_ENTRY:
        case IDD_PASSWORD_NEW: {
            SkinStyle style = base_style(setup, "PropBackGround.bmp");
            style.about_item.clear();
            style.minimise_box = false;
            options.decoration = std::make_unique<ui::win32::Skin>(std::move(style));
            break;
        }
        default:
            break;  // the about box and the progress window keep the system look
    }
}

}  // namespace vellora
