// A scripted person at the screen and a scratch folder for run tests.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "package/bytes.h"
#include "package/run_ui.h"
#include "tests/support/temp_folder.h"

namespace package::testing_support {

namespace fs = std::filesystem;

class ScriptedUi : public RunUi {
  public:
    std::vector<std::string> messages;
    std::deque<std::optional<std::string>> passwords;
    std::deque<std::optional<fs::path>> save_answers;
    std::vector<fs::path> opened;

    void message(const std::string& text, const std::string& caption) override {
        messages.push_back(caption.empty() ? text : caption + ": " + text);
    }
    std::optional<platform::SecretBytes> new_password() override { return next_password(); }
    std::optional<platform::SecretBytes> password() override { return next_password(); }
    std::optional<fs::path> save_as(const fs::path&, const std::string&) override {
        if (save_answers.empty()) {
            ADD_FAILURE() << "unexpected save dialog";
            return std::nullopt;
        }
        auto a = save_answers.front();
        save_answers.pop_front();
        return a;
    }
    std::string last_status;
    // Runs at every progress report: a test's hook for what else happens
    // on the machine while a run is under way.
    std::function<void(std::uint64_t, std::uint64_t)> on_progress;

    void shell_open(const fs::path& p) override { opened.push_back(p); }
    void status(const std::string& text) override { last_status = text; }
    void progress(std::uint64_t position, std::uint64_t range) override {
        if (on_progress) on_progress(position, range);
    }

  private:
    std::optional<platform::SecretBytes> next_password() {
        if (passwords.empty()) {
            ADD_FAILURE() << "unexpected password dialog";
            return std::nullopt;
        }
        auto p = passwords.front();
        passwords.pop_front();
        if (!p) return std::nullopt;
        return platform::SecretBytes::take(*p);
    }
};

class ScratchDir : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(dir_ / "in");
        fs::create_directories(dir_ / "out");
    }

    fs::path write(const fs::path& rel, const std::string& content) {
        fs::path p = dir_ / rel;
        test_support::write_file(p, content);
        return p;
    }
    fs::path write(const fs::path& rel, const Bytes& content) {
        return write(rel, std::string(content.begin(), content.end()));
    }
    static std::string read(const fs::path& p) { return test_support::read_file(p); }
    static std::string random_text(std::size_t n, unsigned seed) {
        std::mt19937 rng(seed);
        std::string s(n, '\0');
        for (char& c : s) c = static_cast<char>(rng());
        return s;
    }
    // A BMP-like cover whose header size field is its length.
    fs::path picture(const std::string& name, std::size_t size, unsigned seed) {
        std::string c = random_text(size, seed);
        c[0] = 'B';
        c[1] = 'M';
        for (int i = 0; i < 4; ++i) c[2 + i] = static_cast<char>((size >> (8 * i)) & 0xFF);
        return write(fs::path("pics") / name, c);
    }
    std::vector<fs::path> out_files() const {
        std::vector<fs::path> v;
        for (const auto& e : fs::directory_iterator(dir_ / "out")) v.push_back(e.path());
        return v;
    }

    test_support::TempFolder folder_;
    const fs::path dir_ = folder_.path();
};

}  // namespace package::testing_support
