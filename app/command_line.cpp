#include "command_line.h"

#include "typed_size.h"
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
    std::string text = "Usage: vistrum [--size WIDTHxHEIGHT] [--help | --version]\n";
    text += version::productName;
    text += " sets its own window to the outer pixel size of a screen resolution,\n"
            "from 640 x 480 up to 3200 x 1200, so that programmers see how much room\n"
            "a layout has on that screen.\n"
            "Without an option it opens its window";
    text += kWhere;
    text += ".\n\n"
            "  --size WIDTHxHEIGHT  start at that outer size, not at 640 x 480: whole\n"
            "                       pixels, from ";
    text += kPixelsRange;
    text += " each (such as 1920x1080)\n"
            "  --help               print this help and end\n"
            "  --version            print the version and end\n\n"
            "More in ";
    text += kMore;
    text += " and in the program under Help.\n";
    return text;
}

CommandLine printed(std::string text) {
    CommandLine line;
    line.run = false;
    line.output = std::move(text);
    return line;
}

CommandLine refused(std::string why) {
    CommandLine line;
    line.run = false;
    line.status = 2;
    line.error = "vistrum: " + why + "\n";
    return line;
}

// WIDTHxHEIGHT, either side read as the Exact Size dialog reads it.
std::optional<OuterSize> readSize(std::string_view text, std::string& why) {
    const auto x = text.find_first_of("xX");
    const TypedPixels width = readPixels(text.substr(0, x));
    const TypedPixels height = x == std::string_view::npos ? TypedPixels{TypedPixels::NotWhole}
                                                           : readPixels(text.substr(x + 1));
    const std::string named = "--size \"" + std::string(text) + "\"";
    if (width.problem == TypedPixels::NotWhole || height.problem == TypedPixels::NotWhole) {
        why = named + " is not WIDTHxHEIGHT in whole pixels (such as 1920x1080)";
        return std::nullopt;
    }
    if (width.problem != TypedPixels::None || height.problem != TypedPixels::None) {
        why = named + ": the width and the height must each be from " + kPixelsRange + " pixels";
        return std::nullopt;
    }
    return OuterSize{static_cast<forms::Integer>(width.pixels),
                     static_cast<forms::Integer>(height.pixels)};
}

} // namespace

CommandLine readCommandLine(int argc, const char* const argv[]) {
    bool help = false;
    bool showVersion = false;
    std::optional<OuterSize> size;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help") {
            help = true;
        } else if (argument == "--version") {
            showVersion = true;
        } else if (argument == "--size" || argument.starts_with("--size=")) {
            if (argument == "--size" && i + 1 == argc)
                return refused("--size needs a size, such as --size 1920x1080");
            std::string why;
            size = readSize(argument == "--size" ? std::string_view(argv[++i]) : argument.substr(7),
                            why);
            if (!size)
                return refused(why);
        } else {
            return refused("unknown argument \"" + std::string(argument) +
                           "\" (vistrum takes only --size, --help or --version)");
        }
    }
    if (help)
        return printed(usage());
    if (showVersion)
        return printed(std::string(version::productName) + " " + version::display + " (" +
                       version::full + ")\n");
    CommandLine line;
    line.startSize = size;
    return line;
}

} // namespace vistrum
