// The documents of an issue for the archive, painted with Qt: the order's
// PDF as the issuing print draws it and its XRechnung.
#ifndef BELVON_ORDERS_UI_ISSUE_DOCUMENTS_H
#define BELVON_ORDERS_UI_ISSUE_DOCUMENTS_H

#include <string>

#include "store/app_state.h"
#include "store/issue_archive.h"

namespace orders {

// Fills what `documents` lacks for the current order issued with `job` on
// `invoiceDate` (AppState::renderIssuedDocuments). A document that cannot be
// made (an e-invoice the master data do not allow) stays empty.
void RenderIssuedDocuments(frame::AppState& app, int job, const std::string& invoiceDate,
                           store::IssuedDocuments& documents);

}  // namespace orders

#endif  // BELVON_ORDERS_UI_ISSUE_DOCUMENTS_H
