// Makes this process trust (or stop trusting) a test certificate authority
// the way the system's transport looks for authorities.
#pragma once

#include <filesystem>
#include <string>

namespace testing_support {

// `folder` holds ca.pem and ca.der of the authority.
bool TrustTestAuthority(const std::filesystem::path& folder);
void ForgetTestAuthority();

// Whether a downloader log message is the failure report of a refused
// server certificate (the transport's own error code for it, and a text).
bool IsCertificateRefusal(const std::string& message);

}  // namespace testing_support
