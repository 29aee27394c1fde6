#pragma once
// forms::String in QCOMPARE and QTest's messages, and the runtime error an
// action raises, for the tests on every platform.

#include "runtime_error.h"
#include "text.h"

#include <QString>
#include <QtGlobal>
#include <functional>

namespace forms {

inline char* toString(const String& text) {
    return qstrdup(text.c_str());
}

inline bool operator==(const String& text, const QString& other) {
    return QString::fromStdString(text.utf8()) == other;
}

// The number of the runtime error the action raised, 0 when it raised none.
inline int errorNumberOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const RuntimeError& error) {
        return error.number();
    }
    return 0;
}

} // namespace forms
