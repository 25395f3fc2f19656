// The numeric and logical edit descriptors of Fortran output: each renders
// one value into a field of exactly w columns (w = 0: the minimal width),
// appended to `out` so that a record is built in one buffer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tesk::fmt {

// Iw.m (m < 0: no minimum digit count). `plus` is the SP sign mode.
void edit_int(std::string& out, std::int64_t v, int w, int m, bool plus);

// Fw.d: rounded from the exact binary value, ties to even.
void edit_fixed(std::string& out, double x, int w, int d, bool plus);

// Ew.d and Dw.d (`letter` E or D): the 0.ddddE+xx form.
void edit_expo(std::string& out, double x, int w, int d, char letter, bool plus);

// ESw.d: the d.dddE+xx form.
void edit_sci(std::string& out, double x, int w, int d, bool plus);

// Gw.d: F form followed by four blanks when the value's decimal exponent
// (after rounding to d digits) lies in 0..d, E form otherwise.
void edit_general(std::string& out, double x, int w, int d, bool plus);

// Lw: T or F right-aligned.
void edit_logical(std::string& out, bool b, int w);

// Aw (w < 0: the text unchanged): a shorter text is right-justified after
// w - len blanks, a longer one keeps its leftmost w characters.
void edit_text(std::string& out, std::string_view s, int w);

}  // namespace tesk::fmt
