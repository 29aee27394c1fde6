#pragma once
// The three text conversions the handlers use.

#include "types.h"

#include <QString>

namespace forms {

// A single-precision number as text: at most seven significant digits, no
// leading blank, no decimal point for whole numbers ("640", "0.3333333").
QString Str(Single value);

// Upper-case hexadecimal without leading zeros; a negative value gives its
// two's-complement form ("FF", "8000000F").
QString Hex(Long value);

// The rightmost n characters of text (all of it when shorter).
QString Right(const QString& text, Long n);

} // namespace forms
