// The picture of an article: its file is named by the first word of the
// article's remark 2.
#ifndef BELVON_PICTURES_PICTURE_FILE_H
#define BELVON_PICTURES_PICTURE_FILE_H

#include <optional>
#include <string>
#include <string_view>

#include "pictures/picture.h"

namespace frame {
struct AppState;
}

namespace pictures {

// The remark up to its first blank, comma, colon, semicolon, CR or LF.
std::string PictureName(std::string_view remark2);

// The picture in the JPEG file `name` (Windows-1252, as the record keeps it;
// a relative name is taken inside the data directory), or nothing when the
// file cannot be opened or is no JPEG we can decode.
std::optional<Picture> LoadPicture(const frame::AppState& app, const std::string& name);

}  // namespace pictures

#endif  // BELVON_PICTURES_PICTURE_FILE_H
