// A statement file as the bank delivers it: a CAMT.053 document, a ZIP of
// several of them (one per day, as most German banks pack a period), or
// an MT940 file. What the file is is told by its contents, not its name.
#ifndef BELVON_BANK_STATEMENT_FILE_H
#define BELVON_BANK_STATEMENT_FILE_H

#include <string>
#include <string_view>

#include "bank/statement.h"
#include "platform/file.h"

namespace bank {

// The largest statement file read (a year of a busy account is a few MB).
inline constexpr std::uint64_t kStatementFileCap = 256ull << 20;

// The transactions of the bytes of a statement file. False, with a German
// `error` and `statement` empty, when they are none of the formats or
// cannot be read whole: a file is read entirely or not at all.
bool ReadStatement(std::string_view bytes, Statement& statement, std::string& error,
                   StatementFormat* format = nullptr);

// The same for the file at `path`; the error names the file.
bool ReadStatementFile(platform::FileSystem& fs, const std::string& path, Statement& statement,
                       std::string& error, StatementFormat* format = nullptr);

}  // namespace bank

#endif  // BELVON_BANK_STATEMENT_FILE_H
