// Start-up and shutdown: the command line is read first (--help and
// --version print and end, --size gives the size to start at); then the main
// window is made from its layout and shown (Load, the first Resize, the first
// Activate); from then on the program is its event handlers, until Exit, the
// main window's close box or an error.

#include "application.h"
#include "command_line.h"
#include "runtime.h"
#include "vistrum_version.h"
#include "vt_main.h"

#include <cstdio>
#include <memory>

int main(int argc, char* argv[]) {
    using namespace vistrum;
    const CommandLine commandLine = readCommandLine(argc, argv);
    if (!commandLine.run) {
        std::fputs(commandLine.output.c_str(), stdout);
        std::fputs(commandLine.error.c_str(), stderr);
        return commandLine.status;
    }

    // The platform gets the program's name and no argument.
    char name[] = "vistrum";
    char* platformArgv[] = {argc > 0 ? argv[0] : name, nullptr};
    int platformArgc = 1;
    forms::Application app(platformArgc, platformArgv,
                           {version::productName, version::full, version::appId, "vistrum"});
    if (!app.problem().empty()) {
        std::fprintf(stderr, "vistrum: %s\n", app.problem().c_str());
        return 1;
    }

    // Built as a handler is run, so that an error while the window is made
    // is reported and ends the program like any other.
    forms::Runtime& runtime = forms::Runtime::get();
    std::unique_ptr<VtMain> vtMain;
    runtime.raise([&vtMain, &commandLine] {
        vtMain = std::make_unique<VtMain>();
        if (commandLine.startSize)
            vtMain->setStartSize(*commandLine.startSize);
    });
    if (!runtime.ended())
        vtMain->Show();
    if (runtime.ended())
        return runtime.exitStatus();
    return app.exec();
}
