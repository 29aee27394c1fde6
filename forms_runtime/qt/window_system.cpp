// The window system as Qt alone sees it, for platforms other than X11 (the
// tests' offscreen platform), and the waiting that every platform shares.

#include "window_system.h"

#include <algorithm>

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace forms::ws {

namespace {

bool g_inputHeld = false;

// Qt's frame geometry; requests are granted when they return.
class QtOnlyWindowSystem final : public WindowSystem {
public:
    bool hasWindowManager() const override { return true; }
    bool reportsFrames() const override { return true; }
    std::optional<PixelMargins> frameExtents(const QWidget* window) const override {
        if (!window->isVisible())
            return std::nullopt;
        return qtFrame(window);
    }
    bool maximisedByWindowManager(const QWidget*) const override { return false; }
    std::optional<PixelMargins> predictFrame(const QWidget*) override { return std::nullopt; }
    bool reportsAnswers() const override { return false; }
    ConfigureNotes configureNotes(const QWidget*) const override { return {}; }
    bool requestGeometry(QWidget* window, QRect client, QPoint) override {
        window->setGeometry(client);
        return false;
    }
    bool roundTrip(QWidget*, std::chrono::milliseconds) override { return true; }
    void setTitle(const QWidget*, const QString&) override {}
    void skipTaskbar(const QWidget*) override {}
    void flush() override {}
};

} // namespace

std::unique_ptr<WindowSystem> makeWindowSystem(std::function<void(quintptr)> frameChanged) {
    if (auto x11 = makeX11WindowSystem(std::move(frameChanged)))
        return x11;
    return std::make_unique<QtOnlyWindowSystem>();
}

PixelMargins qtFrame(const QWidget* window) {
    const QRect frame = window->frameGeometry();
    const QRect client = window->geometry();
    return {client.left() - frame.left(), client.top() - frame.top(),
            frame.right() - client.right(), frame.bottom() - client.bottom()};
}

void holdMinimumSize(QWidget* window, QSize client) {
    // On the platform window only: the widget's own minimum would make Qt
    // resize the window by itself, and it must not outlive the request.
    if (QWindow* handle = window->windowHandle())
        handle->setMinimumSize(client);
}

void releaseMinimumSize(QWidget* window) {
    if (QWindow* handle = window->windowHandle())
        handle->setMinimumSize(window->minimumSize());
}

bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    if (done())
        return true;
    QDeadlineTimer deadline(limit, Qt::PreciseTimer);
    // The timer only wakes the loop at the deadline; nothing polls. It may
    // fire a little before the deadline (a coarse timer does by design):
    // then it is started again for the rest, or the loop would sleep until
    // some unrelated event came.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    g_inputHeld = true;
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        if (!wake.isActive())
            wake.start(std::max<qint64>(1, deadline.remainingTime()));
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                        QEventLoop::WaitForMoreEvents);
    }
    return true;
}

void processEventsExceptInput() {
    g_inputHeld = true;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void releaseHeldInput() {
    if (!g_inputHeld)
        return;
    g_inputHeld = false;
    if (QAbstractEventDispatcher* dispatcher = QCoreApplication::eventDispatcher())
        dispatcher->wakeUp();
}

} // namespace forms::ws
