// A pause at a named point of a long operation, for tests that run two
// copies of the program as processes and must let the second one in at
// exactly that point. Set BELVON_PAUSE_AT to "<point>:<folder>": at that
// point the program makes <folder>/angehalten and waits until <folder>/weiter
// exists (for at most a minute). Without the variable nothing happens.
#ifndef BELVON_PLATFORM_TEST_PAUSE_H
#define BELVON_PLATFORM_TEST_PAUSE_H

namespace platform {

void PauseAt(const char* point);

}  // namespace platform

#endif  // BELVON_PLATFORM_TEST_PAUSE_H
