// EINGANG/EINGANG.LST, the list of the received invoices kept in the inbox:
// one line per kept file, fields separated by tabs, UTF-8.
//
// Layout: doc/formats/eingang.md
#ifndef BELVON_RECEIVE_INBOX_LIST_H
#define BELVON_RECEIVE_INBOX_LIST_H

#include <string>
#include <string_view>
#include <vector>

namespace receive {

inline constexpr const char* kInboxFolderName = "EINGANG";
inline constexpr const char* kInboxListName = "EINGANG/EINGANG.LST";
inline constexpr const char* kInboxLockName = "EINGANG/EINGANG.LCK";
inline constexpr std::string_view kInboxListHeading = "# Belvon Eingangsrechnungen 1";

struct InboxEntry {
  int id = 0;
  std::string received;      // dd.mm.yyyy, when it was kept
  std::string sha256;        // of the kept file, lower-case hex
  std::string fileName;      // the kept file in EINGANG/
  std::string originalName;  // the name it came with
  std::string format;        // "CII", "UBL", "PDF/CII"
  std::string seller;
  std::string sellerVatId;
  std::string number;
  std::string issueDate;
  std::string currency;
  std::string net;    // BT-109, as the file states it
  std::string tax;    // BT-110
  std::string total;  // BT-112
  std::string due;    // BT-115
  std::string dueDate;
  std::string iban;
  std::string paidOn;  // dd.mm.yyyy; empty while open
  std::vector<std::string> findings;
};

struct InboxList {
  std::vector<InboxEntry> entries;
  // Lines this version cannot read, written back as they were.
  std::vector<std::string> foreign;
  const InboxEntry* find(int id) const;
  InboxEntry* find(int id);
  int nextId() const;
};

InboxList ParseInboxList(std::string_view text);
std::string InboxListText(const InboxList& list);

}  // namespace receive

#endif  // BELVON_RECEIVE_INBOX_LIST_H
