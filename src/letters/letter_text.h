// The text files the user names: the text editor's letters, the dunning
// texts, the letter of `belvon-cli print 10 --text`. Every one is read by
// the same rule, whatever editor wrote it: UTF-8 when its bytes are valid
// UTF-8, otherwise Windows-1252; CR LF, LF and a lone CR each end a line.
// What is read is what the editor holds: Windows-1252 with CR LF line ends,
// at most a buffer of 32 000 bytes.
#ifndef BELVON_LETTERS_LETTER_TEXT_H
#define BELVON_LETTERS_LETTER_TEXT_H

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/file.h"

namespace letters {

inline constexpr std::size_t kLetterBufferBytes = 32000;

enum class LoadResult { Loaded, TooLong, Unreadable };

// The bytes of a text file as the editor holds them (see above).
// `replaced` (when given) says whether characters that Windows-1252 has not
// became "?".
std::string DecodeUserText(std::string_view bytes, bool* replaced = nullptr);

// A file shorter than the buffer, and shorter once decoded, is read whole
// and decoded into `text`; a longer one, or one that cannot be read, leaves
// `text` as it was.
LoadResult LoadLetterText(platform::FileSystem& fs, const std::string& path, std::string& text,
                          bool* replaced = nullptr);

// Creates or truncates the file and writes at most the buffer's size of
// `text`. False when it could not be written.
bool SaveLetterText(platform::FileSystem& fs, const std::string& path, const std::string& text);

// The message for a text that was not loaded or saved, naming the file.
std::string LetterFileProblem(const std::string& path, LoadResult result);

}  // namespace letters

#endif  // BELVON_LETTERS_LETTER_TEXT_H
