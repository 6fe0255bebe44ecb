// "BELVON.PAR": the next order number (4 bytes) and the ParameterRecord.
// Layout and the older layout: doc/formats/parameter-file.md.
#ifndef BELVON_STORE_PARAMETER_FILE_H
#define BELVON_STORE_PARAMETER_FILE_H

#include <cstdint>
#include <span>

#include "store/app_state.h"
#include "store/parameter_record.h"

namespace frame {

// The largest file that still has the older layout.
inline constexpr std::int64_t kOlderParameterFileMax = 2642;
// How much of an older record the migration reads; bytes past the end of the
// file count as zero.
inline constexpr std::size_t kOlderParameterRecordRead = 2660;

// What a parameter file holds, told from its size and its first bytes.
enum class ParameterLayout {
  Placeholder,  // at most the order number: a first start that never saved
  Current,
  Older,        // the previous program's, to be converted
  Unknown,      // neither: cut short or damaged; left as it is
};

// `bytes` holds the first min(size, kParameterFileSize) bytes of the file.
// The previous program always wrote its whole record, so an older file is
// exactly kOlderParameterFileMax bytes long; it must also hold plausible
// tax and exchange rates where the older record keeps them, and must not
// carry the mark of the current layout (the exchange rate 1.0 of currency 1
// that every save writes), which a current file cut short still shows.
ParameterLayout RecogniseParameterLayout(std::span<const std::uint8_t> bytes, std::int64_t size);

// Builds the current record from an older one (`older` holds the bytes after
// the order number, zero-padded to kOlderParameterRecordRead): the fields are
// taken over, currency symbol 4 becomes the euro sign (byte 128), the twelve
// tax slots are multiplied by 10 and the exchange rate of currency 1 is 1.0.
store::ParameterRecord MigrateOlderParameters(std::span<const std::uint8_t> older);

// The first number of this month: ((year - 1900) * 100 + month) * 10000 + 1.
std::uint32_t FirstOrderNumberOfMonth(int year, int month);

// Whose next order number counts when the parameters are saved.
enum class OrderCounter {
  // The file's: another copy of the program may have drawn numbers since
  // this one read the file, and writing back an older counter would hand
  // out the same number twice. The counter in memory is refreshed instead.
  FromFile,
  // Memory's: the user typed it ("1. Rechnungsnummer").
  FromMemory,
};

// Saves the parameters and the counter (see OrderCounter). Into a file of
// the current layout only the fields in which app.parameters differs from
// app.storedParameters (what this copy read or wrote last) are written, over
// the record as the file holds it now, read and written in one exclusive
// hold: what another copy saved meanwhile (a currency changeover, another
// setting) stays, never a stale copy of it. A missing file is created (after
// the data directory changed, there is none yet); one of another size is
// written whole. Afterwards memory holds what the file holds. Returns 1, or
// 0 when the file cannot be read or written.
int SaveParameters(AppState& app, OrderCounter counter = OrderCounter::FromFile);

// Writes into `onFile` every field of the record in which `after` differs
// from `before`, whole; the other fields stay as `onFile` has them.
void TakeChangedFields(const store::ParameterRecord& before, const store::ParameterRecord& after,
                       store::ParameterRecord& onFile);

}  // namespace frame

#endif  // BELVON_STORE_PARAMETER_FILE_H
