#pragma once
// Window procedures are called by the system's code, which an exception must
// not unwind through. One that escapes the forms layer is handed to the
// dispatcher instead, which reports it as it reports a handler's.

#include "runtime.h"
#include "win32_api.h"

#include <exception>

namespace forms::win32 {

template<typename Body> LRESULT guarded(Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        Runtime::get().raise([error = std::current_exception()] { std::rethrow_exception(error); });
        return 0;
    }
}

} // namespace forms::win32
