// The archive of issued invoices: the PDF and the XML that left the program
// when an invoice was issued, kept unchanged in the folder ARCHIV of the data
// directory as <number>.pdf and <number>.xml, their SHA-256 in the invoice's
// record of issue (store/issue_record.h).
#ifndef BELVON_STORE_ISSUE_ARCHIVE_H
#define BELVON_STORE_ISSUE_ARCHIVE_H

#include <cstdint>
#include <string>

#include "store/app_state.h"
#include "store/issue_record.h"

namespace store {

// What an issue hands over: the document's PDF and its e-invoice (either may
// be empty when none was made).
struct IssuedDocuments {
  std::string pdf;
  std::string xml;
  // For a credit note that cancels an invoice: that invoice, for the
  // documents to name.
  std::int32_t precedingInvoice = 0;
  std::string precedingDate;
};

// DataDirectory + "ARCHIV/<number>.<extension>".
std::string ArchivePath(const frame::AppState& app, std::int32_t number, const char* extension);

// Writes the documents that are there into the archive, each whole or not
// at all, and puts their digests into `record`. A file left there by an
// issue that never came to be recorded is written over. False when a file
// could not be written.
bool ArchiveIssuedDocuments(frame::AppState& app, std::int32_t number,
                            const IssuedDocuments& documents, IssueRecord& record);

enum class ArchiveState {
  None,     // the record names no such document
  Intact,   // the file is there and its digest is the record's
  Missing,  // the record names it, the file is gone or cannot be read
  Changed,  // the file is there, but not as it was archived
};

// The archived PDF (`pdf` true) or XML of `record`, read and checked against
// its digest; `bytes` holds it when the state is Intact.
ArchiveState ReadArchived(frame::AppState& app, const IssueRecord& record, bool pdf,
                          std::string& bytes);

}  // namespace store

#endif  // BELVON_STORE_ISSUE_ARCHIVE_H
