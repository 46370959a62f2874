// Long runs off the window thread. A run executes on a worker thread with an
// Interaction whose every call is carried to the window thread and, when it
// asks something, waits there for the answer. The window thread meanwhile
// keeps dispatching messages, so the windows repaint and stay usable.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "ui/ports.h"

namespace ui::win32 {

// The window thread's mailbox: a message-only window that runs closures
// posted to it. Made on the window thread.
class WindowThread {
  public:
    WindowThread();
    ~WindowThread();
    WindowThread(const WindowThread&) = delete;
    WindowThread& operator=(const WindowThread&) = delete;

    bool is_current() const { return GetCurrentThreadId() == thread_; }
    // Runs `task` on the window thread and returns when it has run; runs it
    // at once when called there. Exceptions travel back to the caller.
    void call(const std::function<void()>& task);
    // Wakes the window thread's loop.
    void wake() const;

  private:
    static LRESULT CALLBACK procedure(HWND, UINT, WPARAM, LPARAM);
    DWORD thread_;
    HWND mailbox_ = nullptr;
};

// The Interaction a worker uses: each call runs `inner` on the window
// thread. pump() on the worker does nothing: the window thread dispatches
// its messages by itself.
std::unique_ptr<Interaction> marshalled(WindowThread& window_thread, Interaction& inner);

// Runs `job` on a worker thread with a marshalled interaction and returns
// when it has finished, dispatching the window thread's messages meanwhile.
// A quit message arriving meanwhile is kept for the outer loop.
void run_on_worker(WindowThread& window_thread, Interaction& inner,
                   const std::function<void(Interaction&)>& job);

}  // namespace ui::win32
