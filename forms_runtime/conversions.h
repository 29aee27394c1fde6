#pragma once
// The three text conversions the handlers use.

#include "text.h"
#include "types.h"

namespace forms {

// A single-precision number as text: at most seven significant digits, no
// leading blank, no decimal point for whole numbers ("640", "0.3333333").
String Str(Single value);

// Upper-case hexadecimal without leading zeros; a negative value gives its
// two's-complement form ("FF", "8000000F").
String Hex(Long value);

// The rightmost n characters of text (all of it when shorter); a character
// is a whole UTF-8 sequence, never a part of one.
String Right(const String& text, Long n);

} // namespace forms
