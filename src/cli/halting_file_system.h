// A pause at a chosen open, for tests that play two copies of the program
// with two real processes.
//
// With BELVON_HALT_AT=NAME:N in the environment, the Nth open of a data file
// whose path ends in NAME waits before it is made: the command puts a file
// NAME.HALT beside it and goes on once somebody removed that file (or after
// a minute, so that a forgotten pause never holds a command for good). A
// test starts a command, waits for the .HALT file, lets the other copy work,
// removes the file, and sees what the first command then wrote.
#ifndef BELVON_CLI_HALTING_FILE_SYSTEM_H
#define BELVON_CLI_HALTING_FILE_SYSTEM_H

#include <string>

#include "platform/file.h"

namespace cli {

class HaltingFileSystem : public platform::FileSystem {
 public:
  // Reads BELVON_HALT_AT; without it (or with a malformed value) it never
  // halts.
  HaltingFileSystem();
  bool injectFault(platform::IoOp op, const std::string& path) override;

 private:
  std::string name_;
  int at_ = 0;
  int opens_ = 0;
};

}  // namespace cli

#endif  // BELVON_CLI_HALTING_FILE_SYSTEM_H
