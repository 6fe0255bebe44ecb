#include "bank/camt_reader.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>
#include <pugixml.hpp>

#include "bank/statement_text.h"

namespace bank {

namespace {

// The local part of an element name: "camt:Ntry" and "Ntry" are one element.
std::string_view Local(const pugi::xml_node& node) {
  std::string_view name = node.name();
  const std::size_t colon = name.rfind(':');
  return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

pugi::xml_node Child(const pugi::xml_node& node, std::string_view name) {
  if (!node) return {};
  for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling())
    if (child.type() == pugi::node_element && Local(child) == name) return child;
  return {};
}

// The node at a path of local names ("RltdPties/Dbtr/Nm").
pugi::xml_node At(pugi::xml_node node, std::string_view path) {
  while (node && !path.empty()) {
    const std::size_t slash = path.find('/');
    node = Child(node, path.substr(0, slash));
    path = slash == std::string_view::npos ? std::string_view{} : path.substr(slash + 1);
  }
  return node;
}

std::string Text(const pugi::xml_node& node, std::string_view path) {
  return Trimmed(At(node, path).child_value());
}

// The first of several paths that names something.
std::string FirstText(const pugi::xml_node& node, std::initializer_list<std::string_view> paths) {
  for (std::string_view path : paths) {
    std::string text = Text(node, path);
    if (!text.empty()) return text;
  }
  return {};
}

std::vector<pugi::xml_node> Children(const pugi::xml_node& node, std::string_view name) {
  std::vector<pugi::xml_node> found;
  if (!node) return found;
  for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling())
    if (child.type() == pugi::node_element && Local(child) == name) found.push_back(child);
  return found;
}

// "2026-12-04" or "2026-12-04T10:15:00+01:00" as "04.12.2026"; empty when
// it is no date.
std::string IsoDate(const std::string& text) {
  if (text.size() < 10 || text[4] != '-' || text[7] != '-') return {};
  for (int i : {0, 1, 2, 3, 5, 6, 8, 9})
    if (text[static_cast<std::size_t>(i)] < '0' || text[static_cast<std::size_t>(i)] > '9') return {};
  return text.substr(8, 2) + '.' + text.substr(5, 2) + '.' + text.substr(0, 4);
}

std::string EntryDate(const pugi::xml_node& node) {
  std::string text = Text(node, "Dt");
  if (text.empty()) text = Text(node, "DtTm");
  return IsoDate(text);
}

// The amount and currency of an Amt element; false when it is none.
bool ReadAmount(const pugi::xml_node& amount, std::int64_t& cents, std::string& currency) {
  if (!amount) return false;
  const std::optional<std::int64_t> value = DecimalCents(amount.child_value());
  if (!value || *value < 0) return false;
  cents = *value;
  currency = Trimmed(amount.attribute("Ccy").value());
  return !currency.empty();
}

// The remittance text: every unstructured line, then the structured
// creditor references (where a payer's program puts the invoice number).
std::string Remittance(const pugi::xml_node& details) {
  const pugi::xml_node info = Child(details, "RmtInf");
  std::string text;
  auto add = [&text](const std::string& part) {
    if (part.empty()) return;
    if (!text.empty()) text += ' ';
    text += part;
  };
  for (const pugi::xml_node& line : Children(info, "Ustrd")) add(Trimmed(line.child_value()));
  for (const pugi::xml_node& structured : Children(info, "Strd")) {
    add(Text(structured, "CdtrRefInf/Ref"));
    for (const pugi::xml_node& line : Children(structured, "AddtlRmtInf"))
      add(Trimmed(line.child_value()));
  }
  return text;
}

// The party on the other side: the debtor of a credit, the creditor of a
// debit. Version .08 wraps the party in Pty.
void ReadParty(const pugi::xml_node& details, bool credit, Transaction& t) {
  const pugi::xml_node parties = Child(details, "RltdPties");
  const char* party = credit ? "Dbtr" : "Cdtr";
  const char* ultimate = credit ? "UltmtDbtr" : "UltmtCdtr";
  const std::string account = credit ? "DbtrAcct" : "CdtrAcct";
  t.name = FirstText(parties, {std::string(party) + "/Nm", std::string(party) + "/Pty/Nm",
                               std::string(ultimate) + "/Nm", std::string(ultimate) + "/Pty/Nm"});
  t.iban = Text(parties, account + "/Id/IBAN");
}

}  // namespace

bool LooksLikeCamt(std::string_view bytes) {
  const std::size_t head = std::min<std::size_t>(bytes.size(), 4096);
  return bytes.substr(0, head).find("BkToCstmrStmt") != std::string_view::npos;
}

bool ReadCamt(std::string_view bytes, Statement& statement, std::string& error) {
  pugi::xml_document document;
  const pugi::xml_parse_result parsed = document.load_buffer(bytes.data(), bytes.size());
  if (!parsed) {
    error = std::string("Die Datei ist kein lesbares XML (") + parsed.description() + ").";
    return false;
  }
  const pugi::xml_node report = Child(document.document_element(), "BkToCstmrStmt");
  if (!report || Local(document.document_element()) != "Document") {
    error = "Die Datei ist kein Kontoauszug im Format CAMT.053.";
    return false;
  }
  std::vector<Transaction> read;
  for (const pugi::xml_node& account : Children(report, "Stmt")) {
    const std::string own = FirstText(account, {"Acct/Id/IBAN", "Acct/Id/Othr/Id"});
    for (const pugi::xml_node& entry : Children(account, "Ntry")) {
      // Only booked entries: pending ones may yet change or vanish.
      const std::string status = FirstText(entry, {"Sts/Cd", "Sts"});
      if (!status.empty() && status != "BOOK") continue;
      Transaction base;
      base.account = own;
      base.bookingDate = EntryDate(Child(entry, "BookgDt"));
      base.valueDate = EntryDate(Child(entry, "ValDt"));
      if (base.bookingDate.empty()) base.bookingDate = base.valueDate;
      const std::string sign = Text(entry, "CdtDbtInd");
      std::int64_t entryCents = 0;
      if (base.bookingDate.empty() || (sign != "CRDT" && sign != "DBIT") ||
          !ReadAmount(Child(entry, "Amt"), entryCents, base.currency)) {
        error = "Eine Buchung des Kontoauszugs hat kein lesbares Datum, Vorzeichen oder Betrag.";
        return false;
      }
      const bool credit = sign == "CRDT";
      base.reversal = Text(entry, "RvslInd") == "true";
      base.bankReference = Text(entry, "AcctSvcrRef");
      const std::string entryText = Text(entry, "AddtlNtryInf");

      std::vector<pugi::xml_node> details;
      for (const pugi::xml_node& group : Children(entry, "NtryDtls"))
        for (const pugi::xml_node& tx : Children(group, "TxDtls")) details.push_back(tx);
      if (details.empty()) {
        Transaction t = base;
        t.cents = credit ? entryCents : -entryCents;
        t.text = entryText;
        read.push_back(t);
        continue;
      }
      for (std::size_t i = 0; i < details.size(); ++i) {
        const pugi::xml_node& tx = details[i];
        Transaction t = base;
        std::int64_t cents = entryCents;
        std::string currency = base.currency;
        // A batch names each part's amount; a single transfer may leave it
        // to the entry.
        if (!ReadAmount(Child(tx, "Amt"), cents, currency) &&
            !ReadAmount(At(tx, "AmtDtls/TxAmt/Amt"), cents, currency)) {
          if (details.size() > 1) {
            error = "Eine Sammelbuchung des Kontoauszugs nennt den Betrag einer Zahlung nicht.";
            return false;
          }
        }
        t.currency = currency;
        const std::string txSign = Text(tx, "CdtDbtInd");
        const bool txCredit = txSign.empty() ? credit : txSign == "CRDT";
        t.cents = txCredit ? cents : -cents;
        ReadParty(tx, txCredit, t);
        t.text = Remittance(tx);
        if (t.text.empty()) t.text = entryText;
        t.endToEnd = Text(tx, "Refs/EndToEndId");
        if (t.endToEnd == "NOTPROVIDED") t.endToEnd.clear();
        const std::string own = Text(tx, "Refs/AcctSvcrRef");
        // The parts of a batch share the entry's reference: each is told
        // apart by its place in the entry.
        if (!own.empty())
          t.bankReference = own;
        else if (details.size() > 1 && !t.bankReference.empty())
          t.bankReference += '/' + std::to_string(i + 1);
        read.push_back(t);
      }
    }
  }
  statement.transactions.insert(statement.transactions.end(), read.begin(), read.end());
  return true;
}

}  // namespace bank
