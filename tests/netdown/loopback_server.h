// A real HTTP or FTP server on 127.0.0.1 for one test: started from
// test_server.py on a free port, ended with the test.
#pragma once

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#if !defined(_WIN32)
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

namespace testing_support {

class LoopbackServer {
  public:
    // kind "http" or "ftp"; files are served from `root`.
    LoopbackServer(const std::string& kind, const std::filesystem::path& root) {
#if defined(_WIN32)
        // Under Wine the server runs natively, started by a ctest fixture that
        // leaves its port in a file and serves the folder it was given.
        const char* port_file =
            std::getenv(kind == "http" ? "VELLORA_HTTP_PORT_FILE" : "VELLORA_FTP_PORT_FILE");
        if (!port_file) return;
        for (int i = 0; i < 100 && port_ == 0; ++i) {
            std::ifstream in(port_file);
            in >> port_;
            if (port_ == 0) std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        const char* shared_root = std::getenv("VELLORA_SERVER_ROOT");
        root_ = shared_root ? std::filesystem::path(shared_root) : root;
#else
        root_ = root;
        int to_child[2], from_child[2];
        if (pipe(to_child) != 0) return;
        if (pipe(from_child) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, to_child[0], 0);
        posix_spawn_file_actions_adddup2(&actions, from_child[1], 1);
        posix_spawn_file_actions_addclose(&actions, to_child[1]);
        posix_spawn_file_actions_addclose(&actions, from_child[0]);
        std::string script = VELLORA_TEST_SERVER_SCRIPT;
        std::string root_text = root.string();
        std::string limit = "--limit=120";
        char* argv[] = {const_cast<char*>("/usr/bin/python3"),
                        script.data(),
                        const_cast<char*>(kind.c_str()),
                        root_text.data(),
                        limit.data(),
                        nullptr};
        if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv, environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(to_child[0]);
        close(from_child[1]);
        stdin_ = to_child[1];
        std::string line;
        pollfd fd{from_child[0], POLLIN, 0};
        while (pid_ > 0 && line.find('\n') == std::string::npos && poll(&fd, 1, 10000) > 0) {
            char c[64];
            const ssize_t n = read(from_child[0], c, sizeof c);
            if (n <= 0) break;
            line.append(c, static_cast<std::size_t>(n));
        }
        close(from_child[0]);
        port_ = std::atoi(line.c_str());
#endif
    }

    ~LoopbackServer() {
#if !defined(_WIN32)
        if (stdin_ >= 0) close(stdin_);
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            int status = 0;
            waitpid(pid_, &status, 0);
        }
#endif
    }

    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    int port() const {
        return port_;
    }
    // Where the served files go (the fixture's folder under Wine).
    const std::filesystem::path& root() const {
        return root_;
    }

  private:
    int port_ = 0;
    std::filesystem::path root_;
#if !defined(_WIN32)
    pid_t pid_ = -1;
    int stdin_ = -1;
#endif
};

}  // namespace testing_support
