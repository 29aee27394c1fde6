#include "runtime.h"

#include "backend.h"
#include "form.h"
#include "scoped_count.h"

#include <algorithm>
#include <cfenv>

namespace forms {

Runtime& Runtime::get() {
    static Runtime runtime;
    return runtime;
}

void Runtime::raise(std::function<void()> handler) {
    if (m_ended)
        return;
    if (m_running) {
        m_queue.push_back(std::move(handler));
        return;
    }
    m_running = true;
    holdPainting(true);
    runGuarded(handler);
    commitGeometry();
    while (!m_ended && !m_queue.empty()) {
        const std::function<void()> next = std::move(m_queue.front());
        m_queue.pop_front();
        runGuarded(next);
        commitGeometry();
    }
    if (m_ended)
        m_queue.clear();
    m_running = false;
    holdPainting(false);
    platform().handlersDone();
}

// A handler may change a window several times (a preset sizes it twice and
// moves it); the user sees only the state it leaves, painted once.
void Runtime::holdPainting(bool hold) {
    for (Form* form : m_forms)
        form->holdPainting(hold);
}

// Each window gets one request for what the handler left; a window manager
// that answers with another size raises a Resize, which runs next, before
// anything is painted.
void Runtime::commitGeometry() {
    if (m_ended)
        return;
    runGuarded([this] {
        for (Form* form : m_forms)
            form->commitGeometry();
    });
}

void Runtime::runNested(const std::function<void()>& handler) {
    ScopedCount guard(m_depth);
    handler();
}

void Runtime::runGuarded(const std::function<void()>& handler) {
    try {
        ScopedCount guard(m_depth);
        std::feclearexcept(FE_ALL_EXCEPT); // each handler's arithmetic starts clean
        handler();
    } catch (const RuntimeError& error) {
        report(error);
    } catch (const ProgramEnded&) {
        // End was called; everything is already closed.
    } catch (const std::exception& other) {
        // Unwound through the platform's event loop it would end the
        // program without a word, or leave the dispatcher marked busy and
        // every later event queued.
        report(RuntimeError(ErrorCode::Internal,
                            standardText(ErrorCode::Internal) + ": " + other.what()));
    }
}

void Runtime::notifyHandler(const char* event) {
    if (m_observer)
        m_observer(event, m_depth);
}

void Runtime::report(const RuntimeError& error) {
    if (m_ended)
        return;
    m_ended = true; // no event runs while the user reads the report
    if (m_reporter)
        m_reporter(error);
    else
        platform().showError(error);
    m_ended = false;
    try {
        End(1);
    } catch (const ProgramEnded&) {
    }
}

void Runtime::End(int status) {
    if (!m_ended) {
        m_ended = true;
        m_exitStatus = status;
        m_queue.clear();
        for (Form* form : m_forms)
            form->closeForEnd();
        platform().quit(status);
    }
    throw ProgramEnded{};
}

void Runtime::registerForm(Form* form) {
    m_forms.push_back(form);
}

void Runtime::unregisterForm(Form* form) {
    std::erase(m_forms, form);
    if (m_active == form)
        m_active = nullptr;
}

Runtime::ModalScope::ModalScope()
    : m_wasRunning(Runtime::get().m_running)
    , m_depth(Runtime::get().m_depth) {
    Runtime& rt = Runtime::get();
    rt.m_running = false;
    rt.m_depth = 0;
    rt.holdPainting(false); // the modal window and its owner paint as usual
}

Runtime::ModalScope::~ModalScope() {
    Runtime& rt = Runtime::get();
    rt.m_running = m_wasRunning;
    rt.holdPainting(m_wasRunning);
    rt.m_depth = m_depth;
}

void Runtime::resetForTesting() {
    m_ended = false;
    m_exitStatus = 0;
    m_queue.clear();
    m_running = false;
    m_depth = 0;
}

} // namespace forms
