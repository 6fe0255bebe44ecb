// The official EN 16931 and XRechnung rules, run on a received CII through
// the validation kit (einvoice/validation_kit.h) when it and Java are
// installed. The kit takes a few seconds; its findings are kept with the
// invoice, so that it runs once per file.
#ifndef BELVON_RECEIVE_OFFICIAL_RULES_H
#define BELVON_RECEIVE_OFFICIAL_RULES_H

#include <string>
#include <string_view>
#include <vector>

#include "receive/invoice_checks.h"

namespace receive {

// The fatal findings of the kit for the CII `xml`; when the kit or Java is
// missing, or the kit fails, one finding that says so (the other checks
// still stand). `script` is the kit's validate-cii. The German XRechnung
// rules are run only for an invoice that claims to be an XRechnung (its
// specification identifier, BT-24, names it): a ZUGFeRD invoice of profile
// EN 16931 owes no Leitweg-ID.
std::vector<Finding> RunOfficialRules(const std::string& script, std::string_view xml,
                                      bool xrechnung);

// Whether the specification identifier (BT-24) names XRechnung.
bool ClaimsXRechnung(std::string_view specification);

// The findings in the kit's output for the file `path` ("FILE: RULE [fatal]
// message (at /xpath)" per line); warnings and information are left out.
std::vector<Finding> ParseKitOutput(std::string_view output, const std::string& path);

}  // namespace receive

#endif  // BELVON_RECEIVE_OFFICIAL_RULES_H
