// libcurl: the downloader reads the authorities to trust from VELLORA_CA_FILE.
#include <cstdlib>

#include "tests/netdown/trust.h"

namespace testing_support {

bool TrustTestAuthority(const std::filesystem::path& folder) {
    return setenv("VELLORA_CA_FILE", (folder / "ca.pem").c_str(), 1) == 0;
}

void ForgetTestAuthority() {
    unsetenv("VELLORA_CA_FILE");
}

bool IsCertificateRefusal(const std::string& message) {
    // CURLE_PEER_FAILED_VERIFICATION with curl's account of the problem.
    return message.rfind("ERROR : Function(", 0) == 0 &&
           message.find(", EC=60 ,") != std::string::npos &&
           message.find("certificate") != std::string::npos;
}

}  // namespace testing_support
