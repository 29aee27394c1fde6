#pragma once
// For the tests on the scripted platform: a fresh platform, window manager
// and dispatcher for every test, the errors that reached the user, and
// forms::String in QCOMPARE.

#include "form.h"
#include "forms_qtest.h"
#include "runtime.h"
#include "screen.h"
#include "scripted_controls.h"
#include "scripted_platform.h"
#include "scripted_window.h"

#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QtTest>

namespace forms {

inline char* toString(const PixelSize& size) {
    return qstrdup(QByteArray::number(size.width) + "x" + QByteArray::number(size.height));
}

inline char* toString(const PixelRect& r) {
    return qstrdup(QStringLiteral("%1x%2%3%4%5%6")
                       .arg(r.width)
                       .arg(r.height)
                       .arg(r.x < 0 ? "" : "+")
                       .arg(r.x)
                       .arg(r.y < 0 ? "" : "+")
                       .arg(r.y)
                       .toLatin1());
}

} // namespace forms

Q_DECLARE_METATYPE(forms::PixelSize)
Q_DECLARE_METATYPE(forms::PixelMargins)

namespace scripted_test {

using forms::scripted::scriptedPlatform;

// Starts every test from nothing: the screen, the window manager, the clock,
// the dispatcher. Errors that reach the user are collected instead of shown.
class Session {
public:
    Session() {
        scriptedPlatform().reset();
        forms::Runtime::get().resetForTesting();
        forms::Screen().fakeTwipsPerPixel(std::nullopt);
        forms::Runtime::get().setErrorReporter(
            [this](const forms::RuntimeError& e) { errors << e.number(); });
    }
    ~Session() {
        forms::Runtime::get().setErrorReporter({});
        forms::Runtime::get().setHandlerObserver({});
        forms::Runtime::get().resetForTesting();
        forms::Screen().fakeTwipsPerPixel(std::nullopt);
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Records each handler as it starts: "Event@depth".
    void observe() {
        events.clear();
        forms::Runtime::get().setHandlerObserver([this](const char* event, int depth) {
            events << QStringLiteral("%1@%2").arg(QLatin1String(event)).arg(depth);
        });
    }

    QList<int> errors;
    QStringList events;
};

inline forms::scripted::WindowManagerScript& wm() {
    return scriptedPlatform().script();
}

} // namespace scripted_test
