#include "ui/win32/worker.h"

#include <atomic>
#include <exception>
#include <thread>

#include "ui/win32/dialog_host.h"
#include "ui/win32/handles.h"

namespace ui::win32 {

namespace {

constexpr UINT kRunTask = WM_APP + 1;
constexpr wchar_t kMailboxClass[] = L"VelloraWindowThreadMailbox";

struct Task {
    const std::function<void()>* work;
    std::exception_ptr failure;
    HANDLE done;  // set once the work has run
};

// Forwards every call to the window thread.
class MarshalledView final : public DialogView {
  public:
    MarshalledView(WindowThread& thread, std::unique_ptr<DialogView> inner)
        : thread_(thread), inner_(std::move(inner)) {}
    ~MarshalledView() override {
        thread_.call([&] { inner_.reset(); });
    }

    template <class F>
    auto on_window_thread(F&& f) const {
        using R = decltype(f());
        if constexpr (std::is_void_v<R>) {
            thread_.call([&] { f(); });
        } else {
            R result{};
            thread_.call([&] { result = f(); });
            return result;
        }
    }

    std::string text(ControlId id) const override {
        return on_window_thread([&] { return inner_->text(id); });
    }
    void set_text(ControlId id, std::string_view t) override {
        on_window_thread([&] { inner_->set_text(id, t); });
    }
    void set_title(std::string_view t) override {
        on_window_thread([&] { inner_->set_title(t); });
    }
    void show(ControlId id, bool v) override {
        on_window_thread([&] { inner_->show(id, v); });
    }
    void enable(ControlId id, bool v) override {
        on_window_thread([&] { inner_->enable(id, v); });
    }
    void set_checked(ControlId id, bool v) override {
        on_window_thread([&] { inner_->set_checked(id, v); });
    }
    bool checked(ControlId id) const override {
        return on_window_thread([&] { return inner_->checked(id); });
    }
    void focus(ControlId id) override {
        on_window_thread([&] { inner_->focus(id); });
    }
    int add_row(ControlId id, const std::vector<std::string>& c) override {
        return on_window_thread([&] { return inner_->add_row(id, c); });
    }
    void remove_row(ControlId id, int row) override {
        on_window_thread([&] { inner_->remove_row(id, row); });
    }
    void clear_rows(ControlId id) override {
        on_window_thread([&] { inner_->clear_rows(id); });
    }
    int row_count(ControlId id) const override {
        return on_window_thread([&] { return inner_->row_count(id); });
    }
    std::string row_text(ControlId id, int row, int column) const override {
        return on_window_thread([&] { return inner_->row_text(id, row, column); });
    }
    int selection(ControlId id) const override {
        return on_window_thread([&] { return inner_->selection(id); });
    }
    std::vector<int> selected_rows(ControlId id) const override {
        return on_window_thread([&] { return inner_->selected_rows(id); });
    }
    void set_selection(ControlId id, int row) override {
        on_window_thread([&] { inner_->set_selection(id, row); });
    }
    void set_progress_range(ControlId id, int lower, int upper) override {
        on_window_thread([&] { inner_->set_progress_range(id, lower, upper); });
    }
    int set_progress_position(ControlId id, int position) override {
        return on_window_thread([&] { return inner_->set_progress_position(id, position); });
    }
    void show_window(bool v) override {
        on_window_thread([&] { inner_->show_window(v); });
    }
    Point control_origin(ControlId id) const override {
        return on_window_thread([&] { return inner_->control_origin(id); });
    }
    Point window_origin() const override {
        return on_window_thread([&] { return inner_->window_origin(); });
    }
    void move_window(Point p) override {
        on_window_thread([&] { inner_->move_window(p); });
    }
    void center_on_owner() override {
        on_window_thread([&] { inner_->center_on_owner(); });
    }
    Size screen_size() const override {
        return on_window_thread([&] { return inner_->screen_size(); });
    }
    void close(int result) override {
        on_window_thread([&] { inner_->close(result); });
    }

  private:
    WindowThread& thread_;
    std::unique_ptr<DialogView> inner_;
};

class MarshalledInteraction final : public Interaction {
  public:
    MarshalledInteraction(WindowThread& thread, Interaction& inner)
        : thread_(thread), inner_(inner) {}

    template <class F>
    auto on_window_thread(F&& f) {
        using R = decltype(f());
        if constexpr (std::is_void_v<R>) {
            thread_.call([&] { f(); });
        } else {
            std::optional<R> result;
            thread_.call([&] { result.emplace(f()); });
            return std::move(*result);
        }
    }

    Answer message_box(std::string_view text, std::string_view caption, unsigned style) override {
        return on_window_thread([&] { return inner_.message_box(text, caption, style); });
    }
    std::vector<std::filesystem::path> open_files(const FileDialogOptions& o) override {
        return on_window_thread([&] { return inner_.open_files(o); });
    }
    std::optional<std::filesystem::path> save_file(const FileDialogOptions& o) override {
        return on_window_thread([&] { return inner_.save_file(o); });
    }
    std::optional<std::filesystem::path> choose_folder(std::string_view title) override {
        return on_window_thread([&] { return inner_.choose_folder(title); });
    }
    std::optional<platform::SecretBytes> enter_password() override {
        return on_window_thread([&] { return inner_.enter_password(); });
    }
    std::optional<platform::SecretBytes> new_password() override {
        return on_window_thread([&] { return inner_.new_password(); });
    }
    void shell_open(const std::filesystem::path& target) override {
        on_window_thread([&] { inner_.shell_open(target); });
    }
    void set_status(std::string_view text) override {
        on_window_thread([&] { inner_.set_status(text); });
    }
    void progress(int position, int range) override {
        on_window_thread([&] { inner_.progress(position, range); });
    }
    void pump() override {
        if (thread_.is_current()) inner_.pump();
    }
    int run_modal(int template_id, DialogPresenter& presenter) override {
        return on_window_thread([&] { return inner_.run_modal(template_id, presenter); });
    }
    std::unique_ptr<DialogView> open_modeless(int template_id,
                                              DialogPresenter& presenter) override {
        std::unique_ptr<DialogView> view =
            on_window_thread([&] { return inner_.open_modeless(template_id, presenter); });
        if (!view || thread_.is_current()) return view;
        return std::make_unique<MarshalledView>(thread_, std::move(view));
    }

  private:
    WindowThread& thread_;
    Interaction& inner_;
};

}  // namespace

WindowThread::WindowThread() : thread_(GetCurrentThreadId()) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = &procedure;
    window_class.hInstance = instance;
    window_class.lpszClassName = kMailboxClass;
    RegisterClassW(&window_class);  // fails harmlessly when already registered
    mailbox_ = CreateWindowExW(0, kMailboxClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               instance, nullptr);
}

WindowThread::~WindowThread() {
    if (mailbox_ != nullptr) DestroyWindow(mailbox_);
}

LRESULT CALLBACK WindowThread::procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == kRunTask) {
        auto* task = reinterpret_cast<Task*>(l);
        try {
            (*task->work)();
        } catch (...) {
            task->failure = std::current_exception();
        }
        SetEvent(task->done);
        return 0;
    }
    return DefWindowProcW(window, message, w, l);
}

void WindowThread::call(const std::function<void()>& work) {
    if (is_current() || mailbox_ == nullptr) {
        work();
        return;
    }
    Handle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    Task task{&work, nullptr, done.get()};
    if (!done || !PostMessageW(mailbox_, kRunTask, 0, reinterpret_cast<LPARAM>(&task))) {
        work();  // no window thread to carry it: better late than never
        return;
    }
    WaitForSingleObject(done.get(), INFINITE);
    if (task.failure) std::rethrow_exception(task.failure);
}

void WindowThread::wake() const {
    // A thread message wakes the loop even where no window could be made.
    if (mailbox_ == nullptr || !PostMessageW(mailbox_, WM_NULL, 0, 0))
        PostThreadMessageW(thread_, WM_NULL, 0, 0);
}

std::unique_ptr<Interaction> marshalled(WindowThread& window_thread, Interaction& inner) {
    return std::make_unique<MarshalledInteraction>(window_thread, inner);
}

void run_on_worker(WindowThread& window_thread, Interaction& inner,
                   const std::function<void(Interaction&)>& job) {
    auto interaction = marshalled(window_thread, inner);
    std::atomic<bool> finished{false};
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            job(*interaction);
        } catch (...) {
            failure = std::current_exception();
        }
        finished = true;
        window_thread.wake();
    });
    bool quit = false;
    WPARAM quit_code = 0;
    while (!finished) {
        MSG message;
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            // Ending the program must wait for the run; keep the request.
            quit = true;
            quit_code = message.wParam;
            continue;
        }
        dispatch(message);
    }
    worker.join();
    if (quit) PostQuitMessage(static_cast<int>(quit_code));
    if (failure) std::rethrow_exception(failure);
}

}  // namespace ui::win32
