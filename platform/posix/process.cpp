#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/process.h"

extern char** environ;

namespace platform {
namespace {

// Splits a Windows-style command line: blanks separate arguments, double
// quotes group blanks into one argument and are dropped.
std::vector<std::string> split_command_line(std::string_view line) {
    std::vector<std::string> args;
    std::string current;
    bool quoted = false;
    bool have = false;
    for (char c : line) {
        if (c == '"') {
            quoted = !quoted;
            have = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (have) args.push_back(current);
            current.clear();
            have = false;
        } else {
            current.push_back(c);
            have = true;
        }
    }
    if (have) args.push_back(current);
    return args;
}

// The child is not waited for by the caller; reap it in the background so
// it does not linger as a zombie.
void reap_later(pid_t pid) {
    std::thread([pid] {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
}

bool spawn(const std::vector<std::string>& args, const std::filesystem::path* working_directory,
           bool search_path) {
    if (args.empty()) return false;
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (working_directory != nullptr) {
        posix_spawn_file_actions_addchdir_np(&actions, working_directory->c_str());
    }
    pid_t pid = 0;
    int rc = search_path ? posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ)
                         : posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return false;
    reap_later(pid);
    return true;
}

}  // namespace

bool start_process(std::string_view command_line, const std::filesystem::path& working_directory) {
    auto args = split_command_line(command_line);
    if (args.empty()) return false;
    for (char& c : args[0]) {
        if (c == '\\') c = '/';
    }
    std::error_code ec;
    std::filesystem::path program = std::filesystem::absolute(args[0], ec);
    if (ec || access(program.c_str(), X_OK) != 0) return false;
    args[0] = program.string();
    std::filesystem::path directory = working_directory;
    for (auto* p : {&directory}) {
        std::string s = p->string();
        for (char& c : s) {
            if (c == '\\') c = '/';
        }
        *p = s;
    }
    if (directory.empty()) return spawn(args, nullptr, false);
    if (!std::filesystem::is_directory(directory, ec)) return false;
    return spawn(args, &directory, false);
}

bool shell_open(const std::filesystem::path& target) {
    return spawn({"xdg-open", target.string()}, nullptr, true);
}

long last_system_error() {
    return errno;
}

}  // namespace platform
