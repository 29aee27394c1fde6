#include "command_line.h"

#include "vistrum_version.h"

#include <string_view>

namespace vistrum {

namespace {

#if defined(_WIN32)
constexpr std::string_view kWhere = "";
constexpr std::string_view kMore = "README.txt beside vistrum.exe";
#else
constexpr std::string_view kWhere = " on the X display that DISPLAY names";
constexpr std::string_view kMore = "the manual page (man vistrum)";
#endif

std::string usage() {
    std::string text = "Usage: vistrum [--help | --version]\n";
    text += version::productName;
    text += " sets its own window to the outer pixel size of a screen resolution,\n"
            "from 640 x 480 up to 3200 x 1200, so that programmers see how much room\n"
            "a layout has on that screen.\n"
            "Without an option it opens its window";
    text += kWhere;
    text += ".\n\n"
            "  --help     print this help and end\n"
            "  --version  print the version and end\n\n"
            "More in ";
    text += kMore;
    text += " and in the program under Help.\n";
    return text;
}

} // namespace

CommandLine readCommandLine(int argc, const char* const argv[]) {
    bool help = false;
    bool showVersion = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help") {
            help = true;
        } else if (argument == "--version") {
            showVersion = true;
        } else {
            return {false,
                    2,
                    {},
                    "vistrum: unknown argument \"" + std::string(argument) +
                        "\" (vistrum takes only --help or --version)\n"};
        }
    }
    if (help)
        return {false, 0, usage(), {}};
    if (showVersion)
        return {false,
                0,
                std::string(version::productName) + " " + version::display + " (" + version::full +
                    ")\n",
                {}};
    return {};
}

} // namespace vistrum
