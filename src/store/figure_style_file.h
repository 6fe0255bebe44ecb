// The figure style of a data directory, in "FORMAT.INI" beside the record
// files: BELVON.PAR has no byte that older files are sure to hold as zero,
// and every workstation on the directory should print the same figures.
// A missing file or key is the point style, so directories from before the
// setting print as they always did.
//
// Layout: doc/formats/format-ini.md
#ifndef BELVON_STORE_FIGURE_STYLE_FILE_H
#define BELVON_STORE_FIGURE_STYLE_FILE_H

#include <string>
#include <string_view>

#include "store/app_state.h"
#include "core/figures.h"

namespace store {

inline constexpr const char* kFigureStyleFileName = "FORMAT.INI";

frame::FigureStyle ParseFigureStyle(std::string_view text);
std::string FigureStyleText(frame::FigureStyle style);

// The style the directory's file names; the point style when there is none.
frame::FigureStyle LoadFigureStyle(frame::AppState& app);
// Writes the file beside and renames it over; false when that failed.
bool SaveFigureStyle(frame::AppState& app, frame::FigureStyle style);

}  // namespace store

#endif  // BELVON_STORE_FIGURE_STYLE_FILE_H
