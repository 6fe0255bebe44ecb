// The text editor's files: plain Windows-1252 texts with CR LF line ends,
// held in a buffer of 32 000 bytes.
#ifndef BELVON_LETTERS_LETTER_TEXT_H
#define BELVON_LETTERS_LETTER_TEXT_H

#include <cstddef>
#include <string>

#include "platform/file.h"

namespace letters {

inline constexpr std::size_t kLetterBufferBytes = 32000;

enum class LoadResult { Loaded, TooLong, Unreadable };

// A file shorter than the buffer is read whole into `text`; a longer one,
// or one that cannot be read, leaves `text` as it was.
LoadResult LoadLetterText(platform::FileSystem& fs, const std::string& path, std::string& text);

// Creates or truncates the file and writes at most the buffer's size of
// `text`. False when it could not be written.
bool SaveLetterText(platform::FileSystem& fs, const std::string& path, const std::string& text);

// The message for a text that was not loaded or saved, naming the file.
std::string LetterFileProblem(const std::string& path, LoadResult result);

}  // namespace letters

#endif  // BELVON_LETTERS_LETTER_TEXT_H
