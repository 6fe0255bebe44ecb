// The program's version: the project version of CMakeLists.txt, the one the
// Debian package carries, shown by --version and in the about box.
#ifndef BELVON_CORE_VERSION_H
#define BELVON_CORE_VERSION_H

namespace frame {

const char* ProgramVersion();

}  // namespace frame

#endif  // BELVON_CORE_VERSION_H
