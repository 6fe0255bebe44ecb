// The address export: the addresses that meet the address pane's selection
// criteria, as a semicolon-separated text file ADRESSEN.TXT in the data
// directory (Windows-1252, CR LF) for word processors and the like.
#ifndef BELVON_DATANORM_ADDRESS_EXPORT_H
#define BELVON_DATANORM_ADDRESS_EXPORT_H

#include "store/app_state.h"

namespace datanorm {

inline constexpr const char* kAddressExportName = "ADRESSEN.TXT";

// 1 when the file was written; 0 when the address file is empty or cannot be
// read (no file is created then), or when the file could not be written
// whole (the user is told; what the file held before stays).
int ExportAddresses(frame::AppState& app);

}  // namespace datanorm

#endif  // BELVON_DATANORM_ADDRESS_EXPORT_H
