// Our reader of Windows BMP files, for the letterhead logo.
//
// Accepted: a "BM" file header and the 40-byte information header, 1, 4, 8,
// 16, 24 or 32 bits per pixel, uncompressed (16 and 32 bits also with colour
// masks), rows bottom-up or top-down. Every size the file states is checked
// against the bytes it really holds, so a damaged or lying header is refused
// instead of being read past.
#ifndef BELVON_PRINTING_BMP_READER_H
#define BELVON_PRINTING_BMP_READER_H

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "printing/canvas.h"

namespace printing {

class RenderContext;

// The picture in `file`, or nothing when it is not a BMP we can read.
std::optional<Bitmap> DecodeBmp(std::span<const std::uint8_t> file);

// The logo of the letterhead. An empty name gives nothing; a file that
// cannot be opened is reported ("Bilddatei %s nicht gefunden.") once per
// context; a file that is no readable BMP is left out silently. A relative
// name is taken inside the data directory; `fileName` is Windows-1252, as
// the parameter file keeps it.
std::optional<Bitmap> LoadLogoBitmap(RenderContext& context, const std::string& fileName);

}  // namespace printing

#endif  // BELVON_PRINTING_BMP_READER_H
