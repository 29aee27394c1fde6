#pragma once
// The event dispatcher and the program's end.
//
// Handlers run one at a time: an event raised while a handler runs waits in
// a queue until that handler has returned. The one exception is the Resize
// that a handler's own size assignment raises, which runs inside the
// assignment (runNested). A modal window lets events run while it is shown.
// A runtime error ends the handler that caused it, is reported to the user,
// and ends the program with a non-zero exit status.

#include "runtime_error.h"

#include <deque>
#include <functional>
#include <vector>

namespace forms {

class Form;

class Runtime {
public:
    static Runtime& get();

    // Runs handler now, or queues it while another handler runs. Errors it
    // raises are reported here and end the program.
    void raise(std::function<void()> handler);

    // Runs handler inside the running one; its errors propagate to it.
    void runNested(const std::function<void()>& handler);

    bool handlerRunning() const { return m_running; }

    // Sends what the handlers assigned to every window's rectangle, one
    // request for each window; done when the outermost handler returns.
    void commitGeometry();

    // Closes every window and ends the program at once; no further event
    // runs. Does not return when called from a handler.
    [[noreturn]] void End(int status = 0);
    bool ended() const { return m_ended; }
    int exitStatus() const { return m_exitStatus; }

    // How an untrapped error reaches the user; the default shows a message
    // box with the error's number and text.
    using ErrorReporter = std::function<void(const RuntimeError&)>;
    void setErrorReporter(ErrorReporter reporter) { m_reporter = std::move(reporter); }

    // Observes every handler as it starts (event name, nesting depth); for
    // tests that check handlers never overlap.
    using HandlerObserver = std::function<void(const char* event, int depth)>;
    void setHandlerObserver(HandlerObserver observer) { m_observer = std::move(observer); }
    void notifyHandler(const char* event);

    // The window that last became the program's active window.
    Form* activeForm() const { return m_active; }
    void setActiveForm(Form* form) { m_active = form; }

    void registerForm(Form* form);
    const std::vector<Form*>& forms() const { return m_forms; }
    void unregisterForm(Form* form);

    // Lets queued and new events run while a modal window is shown.
    class ModalScope {
    public:
        ModalScope();
        ~ModalScope();
        ModalScope(const ModalScope&) = delete;
        ModalScope& operator=(const ModalScope&) = delete;

    private:
        bool m_wasRunning;
        int m_depth;
    };

    // Forgets an ended program (tests only).
    void resetForTesting();

private:
    Runtime() = default;
    void runGuarded(const std::function<void()>& handler);
    void holdPainting(bool hold);
    void report(const RuntimeError& error);

    bool m_running = false;
    int m_depth = 0;
    bool m_ended = false;
    int m_exitStatus = 0;
    std::deque<std::function<void()>> m_queue;
    std::vector<Form*> m_forms;
    Form* m_active = nullptr;
    ErrorReporter m_reporter;
    HandlerObserver m_observer;
};

// Thrown by End to leave the running handler; caught by the dispatcher.
struct ProgramEnded {};

} // namespace forms
