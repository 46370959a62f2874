// The update configuration "VLR.ini" (and the banner's "VLRBanner.ini",
// which has the same form).
#pragma once

#include <filesystem>
#include <string>

namespace updater {

struct UpdateConfig {
    std::string remote_address;
    int service = 1;      // 1 FTP, 3 HTTP
    bool secure = false;  // "HTTPS": HTTP over TLS
    int passive = 0;
    int port = 0;  // as configured; 0 takes the service's default
    std::string login_name;
    std::string login_password;
    std::string remote_version_file;
    std::string local_version_file;
    std::string default_exec_file;
    std::string public_key;  // [SIGNATURE] "Public Key": 64 hex digits, or empty

    UpdateConfig() = default;
    UpdateConfig(const UpdateConfig&) = default;
    UpdateConfig& operator=(const UpdateConfig&) = default;
    ~UpdateConfig();  // the password is wiped
};

// "FTP" in any case selects FTP (1); "HTTPS" in any case HTTP over TLS;
// anything else HTTP (3).
int ServiceOfProtocol(const std::string& protocol, bool& secure);

// Reads the keys with their defaults; the file must exist.
UpdateConfig ReadUpdateConfig(const std::filesystem::path& file);

// Overwrites a secret's bytes before its memory is given back.
void WipeText(std::string& text);

}  // namespace updater
