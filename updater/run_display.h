// What the update run shows: the controls of the updater window, addressed by
// their ids, and its one message box. The manager calls it on the worker
// thread; implementations hand the calls to whoever owns the window.
#pragma once

#include <string>

namespace updater {

enum RunControl : int {
    kStepBar = 1000,
    kStatusText = 1001,
    kFileBar = 1002,
    kFileText = 1003,
    kCountText = 1004,
};

class RunDisplay {
  public:
    virtual ~RunDisplay() = default;
    virtual void SetText(int control, const std::string& text) = 0;
    // Range 0..upper.
    virtual void SetProgress(int control, int upper, int position) = 0;
    virtual void ShowMessage(const std::string& text, const std::string& caption) = 0;
};

}  // namespace updater
