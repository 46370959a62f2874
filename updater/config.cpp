#include "updater/config.h"

#include <cctype>

#include "platform/ini.h"
#include "platform/secret.h"

namespace updater {

namespace {

bool EqualsIgnoringCase(const std::string& a, const char* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != b[i]) return false;
    return i == a.size() && b[i] == '\0';
}

}  // namespace

void WipeText(std::string& text) {
    platform::wipe_string(text);
}

UpdateConfig::~UpdateConfig() {
    WipeText(login_password);
}

int ServiceOfProtocol(const std::string& protocol, bool& secure) {
    secure = EqualsIgnoringCase(protocol, "HTTPS");
    return EqualsIgnoringCase(protocol, "FTP") ? 1 : 3;
}

UpdateConfig ReadUpdateConfig(const std::filesystem::path& file) {
    UpdateConfig c;
    c.remote_address = platform::ini_string(file, "SERVER", "Remote Address", "");
    c.service =
        ServiceOfProtocol(platform::ini_string(file, "SERVER", "Protocol", "FTP"), c.secure);
    c.passive = platform::ini_int(file, "SERVER", "Passive FTP MODE", 0);
    c.port = platform::ini_int(file, "SERVER", "Remote Port", 0);
    c.login_name = platform::ini_string(file, "SERVER", "Login Name", "");
    c.login_password = platform::ini_string(file, "SERVER", "Login Password", "");
    c.remote_version_file = platform::ini_string(file, "SERVER", "Remote Version File", "");
    c.local_version_file = platform::ini_string(file, "LOCAL", "Local Version File", "");
    c.default_exec_file = platform::ini_string(file, "LOCAL", "Default Exec File", "");
    return c;
}

}  // namespace updater
