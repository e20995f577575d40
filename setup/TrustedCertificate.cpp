#include "TrustedCertificate.h"
#include "Holders.h"
#include <wincrypt.h>
#include <memory>
#include <new>

namespace {

const DWORD kMaxCertificateSize = 64 * 1024;

struct CertStoreTraits {
    using Type = HCERTSTORE;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { ::CertCloseStore(h, 0); }
};
struct CertContextTraits {
    using Type = PCCERT_CONTEXT;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { ::CertFreeCertificateContext(h); }
};
using CCertStore = CHandleT<CertStoreTraits>;
using CCertContext = CHandleT<CertContextTraits>;

// The certificate of a DER file; invalid when the file is missing or holds none.
CCertContext LoadCertificate(LPCSTR path)
{
    CCertContext certificate;
    CFileHandle file(::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER size;
    if (!file.IsValid() || !::GetFileSizeEx(file, &size) || size.QuadPart == 0 || size.QuadPart > kMaxCertificateSize)
        return certificate;
    std::unique_ptr<BYTE[]> bytes(new (std::nothrow) BYTE[size.LowPart]);
    DWORD read = 0;
    if (bytes && ::ReadFile(file, bytes.get(), size.LowPart, &read, nullptr) && read == size.LowPart)
        certificate.Attach(::CertCreateCertificateContext(X509_ASN_ENCODING, bytes.get(), read));
    return certificate;
}

// The store's registry part, where an added certificate goes: a deletion through the whole system
// store (a collection) does not reach the registry on Wine, and goes to the same place on Windows.
CCertStore OpenTrustedPeople(DWORD access)
{
    return CCertStore(::CertOpenStore(CERT_STORE_PROV_SYSTEM_REGISTRY_A, 0, 0,
                                      CERT_SYSTEM_STORE_LOCAL_MACHINE | access, "TrustedPeople"));
}

}

CertificateOutcome TrustCertificate(LPCSTR certificateFile)
{
    CCertContext certificate = LoadCertificate(certificateFile);
    if (!certificate.IsValid())
        return CertificateOutcome::NoCertificate;
    CCertStore store = OpenTrustedPeople(0);
    return store.IsValid() && ::CertAddCertificateContextToStore(store, certificate, CERT_STORE_ADD_REPLACE_EXISTING,
                                                                 nullptr)
        ? CertificateOutcome::Done
        : CertificateOutcome::Failed;
}

CertificateOutcome DistrustCertificate(LPCSTR certificateFile)
{
    CCertContext certificate = LoadCertificate(certificateFile);
    if (!certificate.IsValid())
        return CertificateOutcome::NoCertificate;
    BYTE thumbprint[20];
    DWORD length = sizeof(thumbprint);
    if (!::CertGetCertificateContextProperty(certificate, CERT_SHA1_HASH_PROP_ID, thumbprint, &length))
        return CertificateOutcome::Failed;
    // Opened for writing even when the certificate is missing, so that a store the user may not
    // change is reported rather than taken for one without the certificate.
    CCertStore store = OpenTrustedPeople(CERT_STORE_OPEN_EXISTING_FLAG);
    if (!store.IsValid())
        return ::GetLastError() == ERROR_FILE_NOT_FOUND ? CertificateOutcome::Done : CertificateOutcome::Failed;
    CRYPT_HASH_BLOB hash = { length, thumbprint };
    PCCERT_CONTEXT installed = ::CertFindCertificateInStore(store, X509_ASN_ENCODING, 0, CERT_FIND_SHA1_HASH, &hash,
                                                            nullptr);
    if (!installed)
        return CertificateOutcome::Done;
    // The deletion frees the found context, whether it succeeds or not.
    return ::CertDeleteCertificateFromStore(installed) ? CertificateOutcome::Done : CertificateOutcome::Failed;
}
