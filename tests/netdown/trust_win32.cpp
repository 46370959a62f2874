// WinINet: the authority goes into the current user's root store, which the
// system's chain check consults; it is taken out again afterwards so that the
// store keeps no test authority. The registry store itself is opened, since a
// removal through the combined system store is not kept.
#include <windows.h>
// After windows.h, which it needs.
#include <wincrypt.h>

#include <fstream>
#include <iterator>
#include <string>

#include "tests/netdown/trust.h"

namespace testing_support {

namespace {

HCERTSTORE OpenUserRoot() {
    return CertOpenStore(CERT_STORE_PROV_SYSTEM_REGISTRY_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER,
                         L"ROOT");
}

std::string g_trusted;  // DER of the authority put in the store

}  // namespace

bool TrustTestAuthority(const std::filesystem::path& folder) {
    std::ifstream in(folder / "ca.der", std::ios::binary);
    const std::string der(std::istreambuf_iterator<char>(in), {});
    if (der.empty()) return false;
    HCERTSTORE store = OpenUserRoot();
    if (!store) return false;
    const BOOL added = CertAddEncodedCertificateToStore(
        store, X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()),
        static_cast<DWORD>(der.size()), CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
    CertCloseStore(store, 0);
    if (added) g_trusted = der;
    return added != FALSE;
}

void ForgetTestAuthority() {
    if (g_trusted.empty()) return;
    HCERTSTORE store = OpenUserRoot();
    if (!store) return;
    PCCERT_CONTEXT wanted = CertCreateCertificateContext(
        X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(g_trusted.data()),
        static_cast<DWORD>(g_trusted.size()));
    if (wanted) {
        PCCERT_CONTEXT found = CertFindCertificateInStore(store, X509_ASN_ENCODING, 0,
                                                          CERT_FIND_EXISTING, wanted, nullptr);
        if (found) CertDeleteCertificateFromStore(found);  // frees `found`
        CertFreeCertificateContext(wanted);
    }
    CertCloseStore(store, 0);
    g_trusted.clear();
}

bool IsCertificateRefusal(const std::string& message) {
    if (message.rfind("ERROR : Function(", 0) != 0) return false;
    const std::size_t open = message.find('[');
    if (open == std::string::npos || message.size() < open + 3 || message[open + 1] == ']')
        return false;  // the reason must be spelt out
    for (const char* code :
         {"EC=12038 ", "EC=12045 ", "EC=12037 ", "EC=12055 ", "EC=12057 ", "EC=12169 "})
        if (message.find(code) != std::string::npos) return true;
    return false;
}

}  // namespace testing_support
