// Where the kit that checks e-invoices against the official EN 16931 and
// XRechnung rules (third_party/validate-cii) is found at run time.
#ifndef BELVON_EINVOICE_VALIDATION_KIT_H
#define BELVON_EINVOICE_VALIDATION_KIT_H

#include <string>

namespace einvoice {

// The script validate-cii, the first of: the one the environment variable
// BELVON_CII_KIT names; the link validate-cii/ that CMake makes in a build
// tree beside the program; the installed kit under the data folder of the
// install prefix. Empty when none of them is there.
std::string ValidationKitScript();

// The same choice with its inputs given: `named` is the environment's value
// (nullptr or empty when unset), `programDirectory` the folder of the running
// program, `installedDirectory` the installed kit's folder. A named script is
// taken as it is, the others only when the script exists.
std::string FindValidationKit(const char* named, const std::string& programDirectory,
                              const std::string& installedDirectory);

}  // namespace einvoice

#endif  // BELVON_EINVOICE_VALIDATION_KIT_H
