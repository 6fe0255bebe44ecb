// The one state record of a running program.
//
// Owned by whoever runs the program (the Qt application, the command line, a
// test) and passed by reference; there is no other mutable global state in the
// core, so a test can hold two AppStates on one data directory and play two
// copies of the program.
#ifndef BELVON_STORE_APP_STATE_H
#define BELVON_STORE_APP_STATE_H

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/figures.h"
#include "platform/clock.h"
#include "platform/file.h"
#include "store/address_record.h"
#include "store/article_record.h"
#include "store/index_entry.h"
#include "store/order_record.h"
#include "store/parameter_record.h"
#include "store/product_group_table.h"

namespace store {
class ArticleText;
struct IssuedDocuments;
}

namespace frame {

class UserInterface;

// What one running program keeps for itself between operations (a copy of
// what it read, to be checked against the files before use): a copy of the
// AppState starts without it, as another program would.
template <typename T>
struct KeptByProgram {
  KeptByProgram() = default;
  KeptByProgram(const KeptByProgram&) {}
  KeptByProgram& operator=(const KeptByProgram& other) {
    if (this != &other) value.reset();
    return *this;
  }
  KeptByProgram(KeptByProgram&&) noexcept = default;
  KeptByProgram& operator=(KeptByProgram&&) noexcept = default;
  std::shared_ptr<T> value;
};

// Per indexed file: the header count and the entry the last operation handled.
template <typename Entry>
struct IndexCursor {
  std::int32_t lastIndex = -1;  // entries minus one, -1 when empty
  std::int32_t position = -1;   // current position, -1 = none
  Entry entry{};                // current index entry
};

struct AppState {
  // Seams.
  platform::FileSystem* fileSystem = &platform::SystemFileSystem();
  const platform::Clock* clock = &platform::SystemClock();
  UserInterface* ui = nullptr;
  platform::RetryPolicy retry;
  // Converts record files of the previous format after an older parameter
  // file was taken over; set by the maintenance layer.
  std::function<void(AppState&)> convertPreviousFormat;
  // Run at the end of every LoadParameters: the appointment reminder, hung
  // in by the desktop program and the command line.
  std::function<void(AppState&)> searchAppointments;
  // Run by every LoadParameters before the appointment reminder: gives the
  // invoices issued before the book of issued invoices was kept their
  // records, and finishes an issue that was cut off between its two writes.
  std::function<bool(AppState&)> completeIssueBook;
  // Makes the PDF and the e-invoice of the current order as issued with
  // job `job` on `invoiceDate`, for the archive of issued invoices; fills
  // what `documents` lacks. Hung in by the desktop program and the command
  // line (it paints with Qt); without it only what the issue handed over is
  // archived.
  std::function<void(AppState&, int job, const std::string& invoiceDate,
                     store::IssuedDocuments& documents)>
      renderIssuedDocuments;

  // Profile (group BELVON of belvon.ini).
  std::string dataDirectory;  // prefix of every data file name
  std::int32_t restrictedMode = 0;  // LIGHT
  std::int32_t cashDeskMode = 0;    // KASSE

  // Parameter file.
  std::uint32_t nextOrderNumber = 0;
  store::ParameterRecord parameters{};
  // The record as this copy last read it from the parameter file or wrote it
  // there: a save writes only the fields in which `parameters` differs from
  // it, so that what another copy saved meanwhile stays.
  store::ParameterRecord storedParameters{};
  std::int32_t fourthCurrencyPrint = 0;  // copy of the parameter flag
  // How figures are written (FORMAT.INI of the data directory).
  FigureStyle figures = FigureStyle::Point;

  // Articles.
  IndexCursor<store::ArticleIndexEntry> articles;
  store::ArticleRecord article{};
  store::ArticleRecord articleCriteria{};
  // The text the word search looks through (store/article_text.h).
  KeptByProgram<store::ArticleText> articleText;

  // Addresses.
  IndexCursor<store::AddressIndexEntry> addresses;
  store::AddressRecord address{};
  store::AddressRecord addressCriteria{};

  // Orders: the current head, the line table (slot 0 is the line being
  // edited, slots 1..369 the order's lines) and the address of the order
  // read last.
  IndexCursor<store::OrderIndexEntry> orders;
  store::OrderHead order{};
  std::vector<store::OrderLine> orderLines = std::vector<store::OrderLine>(store::kOrderLineSlots);
  store::AddressRecord orderAddress{};

  store::ProductGroupTable productGroups;

  // The full name of a data file: the prefix followed directly by the name.
  std::string path(const char* fileName) const { return dataDirectory + fileName; }
};

}  // namespace frame

#endif  // BELVON_STORE_APP_STATE_H
