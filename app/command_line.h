#pragma once
// The command line. The program takes two options, --help and --version,
// each of which prints and ends it; any other argument is refused, so that
// none reaches the platform layer (Qt would take its own options from them).
// Shared by the Linux and the Windows build.

#include <string>

namespace vistrum {

struct CommandLine {
    bool run = true;    // false: print what is below, then end with `status`
    int status = 0;     // 0 for --help and --version, 2 for a refused argument
    std::string output; // for standard output: the usage or the version
    std::string error;  // for standard error: one line naming the argument
};

// Reads argv[1] to argv[argc - 1].
CommandLine readCommandLine(int argc, const char* const argv[]);

} // namespace vistrum
