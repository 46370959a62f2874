#include "ui/scripted/scripted.h"

#include <gtest/gtest.h>

namespace {

using ui::Answer;
using ui::ScriptedInteraction;
using ui::ScriptError;

TEST(ScriptedInteraction, AnswersInOrderAndPlainBoxesNeedNoScript) {
    ScriptedInteraction s;
    s.answer_box(Answer::no).answer_password("secret1").answer_save(std::nullopt);
    EXPECT_EQ(s.message_box("info", "", ui::mb::ok), Answer::ok);  // consumes nothing
    EXPECT_EQ(s.message_box("sure?", "벨로라", ui::mb::yes_no | ui::mb::icon_question), Answer::no);
    auto typed = s.enter_password();
    ASSERT_TRUE(typed);
    EXPECT_EQ(typed->text(), "secret1");
    EXPECT_EQ(s.save_file({"vlr 파일 (*.vlr)|*.vlr|", "vlr", "a.vlr", {}}), std::nullopt);
    EXPECT_EQ(s.unused_steps(), 0u);
    ASSERT_EQ(s.boxes().size(), 2u);
    EXPECT_EQ(s.boxes()[1].answer, Answer::no);
    EXPECT_EQ(s.file_dialogs()[0].initial_name, "a.vlr");
}

TEST(ScriptedInteraction, UnscriptedOrUnexpectedDialogsFailLoudly) {
    struct Case {
        const char* name;
        std::function<void(ScriptedInteraction&)> script;
        std::function<void(ScriptedInteraction&)> act;
    };
    const Case cases[] = {
        {"nothing scripted", [](auto&) {}, [](auto& s) { s.new_password(); }},
        {"wrong kind", [](auto& s) { s.answer_folder("/tmp"); },
         [](auto& s) { s.enter_password(); }},
        {"choice box unscripted", [](auto&) {},
         [](auto& s) { s.message_box("?", "", ui::mb::ok_cancel); }},
        {"wrong template", [](auto& s) { s.answer_modal(132, nullptr); },
         [](auto& s) {
             struct Idle : ui::DialogPresenter {
                 void on_init(ui::DialogView&) override {}
                 void on_command(ui::ControlId, ui::Event) override {}
             } idle;
             s.run_modal(133, idle);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedInteraction s;
        c.script(s);
        EXPECT_THROW(c.act(s), ScriptError);
        EXPECT_EQ(s.failures().size(), 1u);
    }
}

struct Counter : ui::DialogPresenter {
    void on_init(ui::DialogView& v) override {
        view = &v;
        v.add_row(5, {"a", "b"});
    }
    void on_command(ui::ControlId id, ui::Event e) override {
        if (id == 1 && e == ui::Event::clicked) view->close(7);
        if (id == 5 && e == ui::Event::selection_changed) ++changes;
    }
    ui::DialogView* view = nullptr;
    int changes = 0;
};

TEST(ScriptedInteraction, ModalDialogRunsTheScriptAndMustBeClosed) {
    ScriptedInteraction s;
    Counter counter;
    s.answer_modal(200, [](ui::ScriptedView& v) {
        EXPECT_EQ(v.row_text(5, 0, 1), "b");
        v.select(5, 0);
        v.click(1);
    });
    EXPECT_EQ(s.run_modal(200, counter), 7);
    EXPECT_EQ(counter.changes, 1);

    s.answer_modal(200, [](ui::ScriptedView&) {});
    EXPECT_THROW(s.run_modal(200, counter), ScriptError);
}

TEST(ScriptedView, ListRowsAndSelectionStayConsistent) {
    ui::ScriptedView v;
    for (const char* r : {"r0", "r1", "r2"}) v.add_row(9, {r});
    v.set_selection(9, 2);
    v.remove_row(9, 0);
    EXPECT_EQ(v.selection(9), 1);
    EXPECT_EQ(v.row_text(9, 1, 0), "r2");
    v.remove_row(9, 1);
    EXPECT_EQ(v.selection(9), -1);
    EXPECT_EQ(v.row_text(9, 5, 0), "");
    EXPECT_EQ(v.set_progress_position(3, 40), 0);
    EXPECT_EQ(v.set_progress_position(3, 60), 40);
    v.clear_rows(9);
    EXPECT_EQ(v.row_count(9), 0);
}

}  // namespace
