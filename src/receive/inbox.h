// The inbox of received e-invoices in the data directory (GoBD): each file
// kept byte for byte as it arrived, under EINGANG/, named by its entry and
// checked by its SHA-256, and listed in EINGANG/EINGANG.LST (inbox_list.h).
//
// Changes to the list are made one program copy at a time: the copy holds
// EINGANG/EINGANG.LCK exclusively while it reads, changes and writes the
// list. The list and each kept file are written beside and renamed over, so
// a copy that only reads always finds a whole list and whole files.
#ifndef BELVON_RECEIVE_INBOX_H
#define BELVON_RECEIVE_INBOX_H

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "receive/inbox_list.h"
#include "receive/incoming_file.h"
#include "receive/invoice_checks.h"
#include "store/app_state.h"

namespace receive {

// The official rules for a CII (official_rules.h), with or without the
// XRechnung rules; none to leave them out.
using RuleRunner = std::function<std::vector<Finding>(std::string_view xml, bool xrechnung)>;

// The list as it is on the disk now; an empty list when there is none. False
// (with `problem` in German) when it is there but cannot be read.
bool ReadInbox(frame::AppState& app, InboxList& list, std::string* problem = nullptr);

enum class AddResult { Kept, Refused, Failed };

struct AddOutcome {
  AddResult result = AddResult::Refused;
  std::string message;  // German, when not kept
  InboxEntry entry;     // the new entry, when kept
  OpenedInvoice opened;
};

// Reads, checks and keeps the file at `path`. Refused (and nothing written)
// when it is no e-invoice, cannot be read, or is byte for byte a file kept
// before; Failed when writing failed (nothing left behind).
AddOutcome AddToInbox(frame::AppState& app, const std::string& path, const RuleRunner& rules);

// The same for bytes already read; `originalName` is the name it came with.
AddOutcome AddBytesToInbox(frame::AppState& app, const std::string& bytes,
                           const std::string& originalName, const RuleRunner& rules);

// The findings of an opened invoice: the figures recomputed and, for a CII,
// the official rules.
std::vector<Finding> FindingsOf(const OpenedInvoice& opened, const RuleRunner& rules);

// The kept file of `entry`, read and checked against its checksum; not ok
// (with the message) when it is gone or was changed.
OpenedInvoice OpenKept(frame::AppState& app, const InboxEntry& entry, std::string* bytes = nullptr);

// Marks the entry `id` paid on `date` (dd.mm.yyyy; empty: open again).
// False with `message` when there is no such entry or the list cannot be
// written.
bool MarkPaid(frame::AppState& app, int id, const std::string& date, std::string& message);

// The path of a kept file.
std::string KeptPath(const frame::AppState& app, const InboxEntry& entry);

// A name for saving an attachment out: its file name, else its ID, without
// any folder part.
std::string AttachmentFileName(const Attachment& attachment, std::size_t index);

}  // namespace receive

#endif  // BELVON_RECEIVE_INBOX_H
