#pragma once
// The command line. --help and --version each print and end the program;
// --size WIDTHxHEIGHT gives the size it starts at. Any other argument, or a
// size that cannot be taken, is refused, so that no argument reaches the
// platform layer (Qt would take its own options from them). Shared by the
// Linux and the Windows build.

#include "vt_main.h"

#include <optional>
#include <string>

namespace vistrum {

struct CommandLine {
    bool run = true;                    // false: print what is below, then end with `status`
    int status = 0;                     // 0 for --help and --version, 2 for a refused argument
    std::string output;                 // for standard output: the usage or the version
    std::string error;                  // for standard error: one line naming the argument
    std::optional<OuterSize> startSize; // instead of "640 X 480"
};

// Reads argv[1] to argv[argc - 1].
CommandLine readCommandLine(int argc, const char* const argv[]);

} // namespace vistrum
