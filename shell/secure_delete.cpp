#include "shell/secure_delete.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <system_error>

#include "package/messages.h"
#include "platform/files.h"
#include "platform/random.h"
#include "platform/text.h"
#include "shell/progress_window.h"
#include "shell/startup.h"

namespace shell {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr std::size_t kBlock = 4096;
constexpr std::size_t kStreamBuffer = 1 << 20;
constexpr int kProgressEnd = 150;

int write_error(DeletionPorts& ports) {
    ports.interaction.message_box("file write error", "comfirm", ui::mb::ok);
    return 0;
}

bool write_zeros(std::FILE* f, std::size_t count) {
    static const char kZeros[kBlock] = {};
    return std::fwrite(kZeros, 1, count, f) == count;
}

// Length of the file name as the narrow interface counts it (code page 949
// bytes), so that the random name takes as many bytes as the old one.
std::size_t name_length(const fs::path& path) {
    std::string name = platform::path_to_utf8(path.filename());
    if (auto bytes = platform::cp949_length(name)) return *bytes;
    auto wide = platform::to_wide(name);
    return wide ? wide->size() : name.size();
}

bool gone(const fs::path& path) {
    std::error_code ec;
    return !fs::exists(fs::symlink_status(path, ec));
}

}  // namespace

int OverwriteFile(const fs::path& path, bool show_progress, DeletionPorts& ports) {
    // Declared before the file: the stream uses it until it is closed.
    auto stream_buffer = std::make_unique<char[]>(kStreamBuffer);
    platform::OverwriteTarget target = platform::open_for_overwrite(path);
    if (!target.file) {
        ReportNotWiped(path, ports);
        return 0;
    }
    platform::FilePtr file = std::move(target.file);
    // The blocks are gathered in a large stream buffer and reach the system
    // in big writes; a failed write still surfaces as a short count, at the
    // latest at the final flush, and nothing is reported done before the
    // zeros are on the device.
    std::setvbuf(file.get(), stream_buffer.get(), _IOFBF, kStreamBuffer);
    std::uint64_t size = platform::stream_size(file.get()).value_or(0);

    std::optional<ProgressWindow> progress;
    if (show_progress) {
        progress.emplace(package::msg::kDeletionProgressTitle, ports.interaction, ports.profile);
        if (progress->create()) {
            progress->set_range(0, kProgressEnd);
            progress->set_text(platform::path_to_utf8(path));
        } else {
            progress.reset();  // work on without a window
        }
    }

    std::uint64_t remaining = size;
    while (remaining > kBlock) {
        if (!write_zeros(file.get(), kBlock)) return write_error(ports);
        remaining -= kBlock;
        if (progress) {
            progress->set_position(static_cast<int>((size - remaining) * 100 / size));
            progress->pump();
            if (progress->cancelled()) return 0;
        }
    }
    if (remaining > 0 && !write_zeros(file.get(), static_cast<std::size_t>(remaining))) {
        return write_error(ports);
    }
    // The caller renames and deletes next: the zeros must be on the device
    // first, or the old contents may survive in the freed blocks.
    if (!platform::flush_to_device(file.get())) return write_error(ports);
    platform::stream_seek(file.get(), 0);

    if (progress) {
        progress->set_position(100);
        progress->pump();
        for (int step = 101; step <= kProgressEnd; ++step) {
            progress->set_position(step);
            progress->pump();
            ports.clock.sleep(500ms);
            if (progress->cancelled()) return 0;
        }
        progress->hide();
        progress->destroy();
    }
    ports.clock.sleep(1000ms);
    return 1;
}

int WipeFile(const fs::path& path, DeletionPorts& ports, bool* removed) {
    platform::c_srand(static_cast<unsigned>(ports.clock.seconds_since_epoch()));
    std::string random_name(name_length(path), 'A');
    for (char& c : random_name) {
        c = static_cast<char>(65 + 57 * platform::c_rand() / 32768);
    }
    fs::path renamed = path.parent_path() / platform::path_from_utf8(random_name);

    if (ports.before_rename) ports.before_rename(path);
    std::error_code ec;
    // Never rename over an existing file: that would delete someone else's data.
    bool moved = false;
    if (gone(renamed)) {
        fs::rename(path, renamed, ec);
        moved = !ec;
    }
    bool is_gone;
    if (moved) {
        ports.clock.sleep(500ms);
        fs::remove(renamed, ec);
        is_gone = gone(renamed);
        if (!is_gone) fs::rename(renamed, path, ec);  // keep the user's name on what survives
    } else {
        fs::remove(path, ec);
        is_gone = gone(path);
    }
    if (removed != nullptr) *removed = is_gone;
    if (!is_gone) {
        ports.interaction.message_box(
            std::string(kNotRemoved) + "\n" + platform::path_to_utf8(path), kWarningCaption,
            ui::mb::ok);
    }
    return is_gone ? 1 : 0;
}

void ReportNotWiped(const fs::path& path, DeletionPorts& ports) {
    ports.interaction.message_box(std::string(kNotWiped) + "\n" + platform::path_to_utf8(path),
                                  kWarningCaption, ui::mb::ok);
}

}  // namespace shell
