// The dialog templates against the presenters that drive them: every control
// a presenter touches exists in its template, with the kind (and, where the
// windows name one, the text) the presenter and the user expect. Reads the
// resource script and the id header as text, so it runs on every platform.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "shell/create_key_dialog.h"
#include "shell/main_window.h"
#include "shell/password_dialogs.h"
#include "shell/settings_dialog.h"
#include "shell/sharing_page.h"
#include "shell/start_window.h"
#include "ui/ids.h"

namespace {

struct Control {
    std::string kind;  // Static, Edit, Button, ComboBox, ListBox, ListView, Progress, Icon
    std::string text;
    std::set<std::string> styles;
};

using Template = std::map<int, Control>;

std::string read(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::map<std::string, int> read_ids() {
    std::map<std::string, int> ids;
    std::istringstream in(read(VELLORA_SOURCE_DIR "/ui/ids.h"));
    std::regex define(R"(^#define\s+(\w+)\s+(0x[0-9A-Fa-f]+|\d+)\s*$)");
    std::smatch m;
    for (std::string line; std::getline(in, line);)
        if (std::regex_match(line, m, define)) ids[m[1]] = std::stoi(m[2], nullptr, 0);
    ids["IDOK"] = 1;
    ids["-1"] = -1;
    return ids;
}

// Splits at commas outside quotes and trims.
std::vector<std::string> fields(const std::string& s) {
    std::vector<std::string> out(1);
    bool quoted = false;
    for (char c : s) {
        if (c == '"') quoted = !quoted;
        if (c == ',' && !quoted) {
            out.emplace_back();
        } else {
            out.back() += c;
        }
    }
    for (auto& f : out) {
        f.erase(0, f.find_first_not_of(" \t"));
        f.erase(f.find_last_not_of(" \t\r") + 1);
    }
    return out;
}

std::set<std::string> styles_of(const std::vector<std::string>& parts, std::size_t from) {
    std::set<std::string> styles;
    for (std::size_t i = from; i < parts.size(); ++i) {
        std::istringstream in(parts[i]);
        std::string word;
        bool negate = false;
        while (in >> word) {
            if (word == "|") continue;
            if (word == "NOT") {
                negate = true;
                continue;
            }
            styles.insert(negate ? "NOT " + word : word);
            negate = false;
        }
    }
    return styles;
}

std::string unquote(const std::string& s) {
    return s.size() >= 2 && s.front() == '"' ? s.substr(1, s.size() - 2) : s;
}

std::map<int, Template> read_templates() {
    const auto ids = read_ids();
    std::map<int, Template> templates;
    std::istringstream in(read(VELLORA_SOURCE_DIR "/app/vellora/dialogs.rc"));
    std::regex head(R"(^(\w+) DIALOGEX)");
    std::smatch m;
    Template* current = nullptr;
    bool body = false;
    for (std::string line; std::getline(in, line);) {
        line.erase(0, line.find_first_not_of(" \t"));
        if (std::regex_search(line, m, head)) {
            current = &templates[ids.at(m[1])];
            body = false;
            continue;
        }
        if (current == nullptr) continue;
        if (line.rfind("BEGIN", 0) == 0) body = true;
        if (line.rfind("END", 0) == 0) current = nullptr;
        if (!body || current == nullptr || line.empty() || line.rfind("//", 0) == 0) continue;
        const std::string keyword = line.substr(0, line.find(' '));
        auto parts = fields(line.substr(keyword.size()));
        Control c;
        std::string id;
        if (keyword == "EDITTEXT" || keyword == "COMBOBOX" || keyword == "LISTBOX") {
            id = parts[0];
            c.kind = keyword == "EDITTEXT"   ? "Edit"
                     : keyword == "COMBOBOX" ? "ComboBox"
                                             : "ListBox";
            c.styles = styles_of(parts, 5);
        } else if (keyword == "CONTROL") {
            c.text = unquote(parts[0]);
            id = parts[1];
            const std::string cls = parts[2];
            c.kind = cls == "\"Button\""       ? "Button"
                     : cls == "WC_LISTVIEW"    ? "ListView"
                     : cls == "PROGRESS_CLASS" ? "Progress"
                                               : cls;
            c.styles = styles_of(parts, 3);
            for (const char* coordinate : {"0", "1"}) c.styles.erase(coordinate);
        } else if (keyword == "LTEXT" || keyword == "PUSHBUTTON" || keyword == "DEFPUSHBUTTON" ||
                   keyword == "ICON") {
            c.text = unquote(parts[0]);
            id = parts[1];
            c.kind = keyword == "LTEXT" ? "Static" : keyword == "ICON" ? "Icon" : "Button";
            if (keyword == "DEFPUSHBUTTON") c.styles.insert("BS_DEFPUSHBUTTON");
            c.styles.merge(styles_of(parts, 6));
        } else {
            continue;
        }
        const int value = ids.at(id);
        if (value == -1) continue;  // unnamed labels
        EXPECT_EQ(current->count(value), 0u) << "control " << id << " twice in one template";
        (*current)[value] = c;
    }
    return templates;
}

struct Expected {
    int template_id;
    int control;
    const char* kind;
    const char* text;   // nullptr: not checked
    const char* style;  // nullptr: not checked
};

class DialogResources : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { templates_ = new std::map<int, Template>(read_templates()); }
    static void TearDownTestSuite() { delete templates_; }

    const Control* find(int template_id, int control) const {
        auto t = templates_->find(template_id);
        if (t == templates_->end()) return nullptr;
        auto c = t->second.find(control);
        return c == t->second.end() ? nullptr : &c->second;
    }

    void check(const std::vector<Expected>& table) const {
        for (const Expected& e : table) {
            SCOPED_TRACE("template " + std::to_string(e.template_id) + ", control " +
                         std::to_string(e.control));
            const Control* c = find(e.template_id, e.control);
            ASSERT_NE(c, nullptr);
            EXPECT_EQ(c->kind, e.kind);
            if (e.text != nullptr) {
                EXPECT_EQ(c->text, e.text);
            }
            if (e.style != nullptr) {
                EXPECT_TRUE(c->styles.count(e.style)) << "missing " << e.style;
            }
        }
    }

    static std::map<int, Template>* templates_;
};

std::map<int, Template>* DialogResources::templates_ = nullptr;

TEST_F(DialogResources, StartAndMainWindowControls) {
    using namespace shell::main_ids;
    using namespace shell::sharing_ids;
    namespace start = shell::start_ids;
    check({
        {start::kTemplate, start::kEncrypt, "Button", "암호화", "BS_OWNERDRAW"},
        {start::kTemplate, start::kDecrypt, "Button", "복호화", "BS_OWNERDRAW"},
        {start::kTemplate, start::kSharing, "Button", "파일공유", "BS_OWNERDRAW"},
        {kTemplate, kEncryptTab, "Button", "암호화", nullptr},
        {kTemplate, kDecryptTab, "Button", "복호화", nullptr},
        {kTemplate, kSharingTab, "Button", "파일 공유", nullptr},
        {kTemplate, kHome, "Button", "처음으로", nullptr},
        {kTemplate, kCreateKey, "Button", "공유키 만들기", nullptr},
        {kTemplate, kSettings, "Button", "환경설정", nullptr},
        {kTemplate, kHelp, "Button", "도움말", nullptr},
        {kTemplate, kDeletionArea, "Button", nullptr, "BS_OWNERDRAW"},
        {kTemplate, kMessage, "Edit", nullptr, "ES_MULTILINE"},
        {kTemplate, kMessage, "Edit", nullptr, "ES_WANTRETURN"},
        {kTemplate, kFiles, "ListView", nullptr, "LVS_REPORT"},
        {kTemplate, kAddFiles, "Button", "찾아보기", nullptr},
        {kTemplate, kOutput, "ComboBox", nullptr, "CBS_DROPDOWN"},
        {kTemplate, kChooseOutput, "Button", "찾아보기", nullptr},
        {kTemplate, kEncryptStatus, "Static", nullptr, nullptr},
        {kTemplate, kCapacity, "Static", nullptr, nullptr},
        {kTemplate, kEncryptProgress, "Progress", nullptr, "PBS_SMOOTH"},
        {kTemplate, kEncrypt, "Button", "암호화", nullptr},
        {kTemplate, IDC_ENC_TITLE, "Static", "암호화", nullptr},
        {kTemplate, IDC_ENC_MESSAGE_LABEL, "Static", "내용", nullptr},
        {kTemplate, IDC_ENC_FILES_LABEL, "Static", "파일 첨부", nullptr},
        {kTemplate, IDC_ENC_HINT, "Static", "※ 암호화할 파일을 선택해 주십시요", nullptr},
        {kTemplate, IDC_ENC_OUTPUT_LABEL, "Static", "파일 저장", nullptr},
        {kTemplate, kInputs, "ListView", nullptr, "LVS_REPORT"},
        {kTemplate, kAddInputs, "Button", "찾아보기", nullptr},
        {kTemplate, kOutputFolder, "Edit", nullptr, "ES_READONLY"},
        {kTemplate, kChooseFolder, "Button", "찾아보기", nullptr},
        {kTemplate, kDecryptStatus, "Static", nullptr, nullptr},
        {kTemplate, kDecryptProgress, "Progress", nullptr, "PBS_SMOOTH"},
        {kTemplate, kDecrypt, "Button", "복호화", nullptr},
        {kTemplate, IDC_DEC_TITLE, "Static", "복호화", nullptr},
        {kTemplate, IDC_DEC_INPUTS_LABEL, "Static", "복호화 할 파일:", nullptr},
        {kTemplate, IDC_DEC_FOLDER_LABEL, "Static", "저장 경로:", nullptr},
        {kTemplate, kKeys, "ListBox", nullptr, "LBS_EXTENDEDSEL"},
        {kTemplate, kRecipients, "ListBox", nullptr, "LBS_SORT"},
        {kTemplate, kAdd, "Button", "->", nullptr},
        {kTemplate, kRemove, "Button", "<-", nullptr},
        {kTemplate, kNext, "Button", "다음", nullptr},
        {kTemplate, kExport, "Button", "공개키 내보내기", nullptr},
        {kTemplate, IDC_SHARE_KEYS_LABEL, "Static", "사용자별 공유키 목록", nullptr},
        {kTemplate, IDC_SHARE_RECIPIENTS_LABEL, "Static", "파일공유 할 사용자", nullptr},
    });
    // Every control of every page exists, and only the encrypt page's show
    // before the presenter picks the page.
    for (shell::Page page : {shell::Page::encrypt, shell::Page::decrypt, shell::Page::sharing}) {
        for (ui::ControlId id : shell::page_controls(page)) {
            SCOPED_TRACE("page control " + std::to_string(id));
            const Control* c = find(kTemplate, id);
            ASSERT_NE(c, nullptr);
            if (page == shell::Page::encrypt) {
                EXPECT_FALSE(c->styles.count("NOT WS_VISIBLE"));
            }
        }
    }
}

TEST_F(DialogResources, DialogControls) {
    namespace pw = shell::password_ids;
    namespace st = shell::settings_ids;
    namespace ck = shell::create_key_ids;
    check({
        {pw::kEntryTemplate, pw::kEntryEdit, "Edit", nullptr, "ES_PASSWORD"},
        {pw::kEntryTemplate, pw::kOk, "Button", "확인", "BS_DEFPUSHBUTTON"},
        {pw::kEntryTemplate, pw::kCancel, "Button", "취소", nullptr},
        {pw::kNewTemplate, pw::kNewEdit, "Edit", nullptr, "ES_PASSWORD"},
        {pw::kNewTemplate, pw::kConfirmEdit, "Edit", nullptr, "ES_PASSWORD"},
        {pw::kNewTemplate, pw::kOk, "Button", "확인", nullptr},
        {pw::kNewTemplate, pw::kCancel, "Button", "취소", nullptr},
        {st::kTemplate, st::kMode, "ComboBox", nullptr, "CBS_DROPDOWNLIST"},
        {st::kTemplate, st::kAlgorithm, "ComboBox", nullptr, "CBS_DROPDOWNLIST"},
        {st::kTemplate, st::kDeleteInputs, "Button", "원본 파일 삭제", "BS_CHECKBOX"},
        {st::kTemplate, st::kWriteLog, "Button", "로그 파일 생성", "BS_CHECKBOX"},
        {st::kTemplate, st::kOk, "Button", "확인", "BS_DEFPUSHBUTTON"},
        {st::kTemplate, st::kCancel, "Button", "취소", nullptr},
        {ck::kTemplate, ck::kName, "Edit", nullptr, nullptr},
        {ck::kTemplate, ck::kCheckName, "Button", "중복 확인", nullptr},
        {ck::kTemplate, ck::kPassword, "Edit", nullptr, "ES_PASSWORD"},
        {ck::kTemplate, ck::kConfirm, "Edit", nullptr, "ES_PASSWORD"},
        {ck::kTemplate, ck::kOk, "Button", "확인", nullptr},
        {ck::kTemplate, ck::kCancel, "Button", "취소", nullptr},
        {IDD_ABOUTBOX, IDC_ABOUT_VERSION, "Static", "Vellora 버전 2.0.0.0", nullptr},
        {IDD_ABOUTBOX, 1, "Button", "확인", nullptr},
    });
    // The key name edit is the one edit of the dialog that shows its text.
    EXPECT_FALSE(find(ck::kTemplate, ck::kName)->styles.count("ES_PASSWORD"));
}

}  // namespace
