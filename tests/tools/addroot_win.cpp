// Trusts a test certificate authority for the current user of this Wine prefix, so that a local
// TLS mock can stand in for a real service. Usage: tidewell_addroot CA.pem
#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: tidewell_addroot CA.pem\n");
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    std::stringstream pem;
    pem << file.rdbuf();
    const std::string text = pem.str();
    DWORD size = 0;
    if (!CryptStringToBinaryA(text.c_str(), 0, CRYPT_STRING_BASE64HEADER, nullptr, &size, nullptr,
                              nullptr)) {
        std::fprintf(stderr, "not a PEM certificate\n");
        return 1;
    }
    std::vector<BYTE> der(size);
    CryptStringToBinaryA(text.c_str(), 0, CRYPT_STRING_BASE64HEADER, der.data(), &size, nullptr,
                         nullptr);
    HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0,
                                     CERT_SYSTEM_STORE_CURRENT_USER, L"ROOT");
    if (!store) {
        return 1;
    }
    const BOOL added = CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING, der.data(), size,
                                                        CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
    CertCloseStore(store, 0);
    return added ? 0 : 1;
}
