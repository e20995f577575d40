// The package's signing certificate in the local machine's "TrustedPeople" store, which is where
// Windows looks for the signer of a package that no certification authority vouches for.
#pragma once
#include <windows.h>

enum class CertificateOutcome { Done, NoCertificate, Failed };

// Adds the certificate of the file (DER, as Morvane.cer) to the store, replacing an equal one.
CertificateOutcome TrustCertificate(LPCSTR certificateFile);
// Deletes from the store exactly the certificate with the file's thumbprint; Done also when the store
// does not hold it.
CertificateOutcome DistrustCertificate(LPCSTR certificateFile);

