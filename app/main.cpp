// Start-up and shutdown: the main window is made from its layout and shown
// (Load, the first Resize, the first Activate); from then on the program is
// its event handlers, until Exit, the main window's close box or an error.

#include "application.h"
#include "runtime.h"
#include "vistrum_version.h"
#include "vt_main.h"

#include <cstdio>
#include <memory>

int main(int argc, char* argv[]) {
    using namespace vistrum;
    forms::Application app(argc, argv,
                           {version::productName, version::full, version::appId, "vistrum"});
    if (!app.problem().empty()) {
        std::fprintf(stderr, "vistrum: %s\n", app.problem().c_str());
        return 1;
    }

    // Built as a handler is run, so that an error while the window is made
    // is reported and ends the program like any other.
    forms::Runtime& runtime = forms::Runtime::get();
    std::unique_ptr<VtMain> vtMain;
    runtime.raise([&vtMain] { vtMain = std::make_unique<VtMain>(); });
    if (!runtime.ended())
        vtMain->Show();
    if (runtime.ended())
        return runtime.exitStatus();
    return app.exec();
}
