// The numeric and logical edit descriptors of Fortran output: each renders
// one value into a field of exactly w columns (w = 0: the minimal width).
#pragma once

#include <cstdint>
#include <string>

namespace tesk::fmt {

// Iw.m (m < 0: no minimum digit count). `plus` is the SP sign mode.
std::string edit_int(std::int64_t v, int w, int m, bool plus);

// Fw.d: rounded from the exact binary value, ties to even.
std::string edit_fixed(double x, int w, int d, bool plus);

// Ew.d and Dw.d (`letter` E or D): the 0.ddddE+xx form.
std::string edit_expo(double x, int w, int d, char letter, bool plus);

// ESw.d: the d.dddE+xx form.
std::string edit_sci(double x, int w, int d, bool plus);

// Gw.d: F form followed by four blanks when the value's decimal exponent
// (after rounding to d digits) lies in 0..d, E form otherwise.
std::string edit_general(double x, int w, int d, bool plus);

// Lw: T or F right-aligned.
std::string edit_logical(bool b, int w);

// Aw (w < 0: the text unchanged): a shorter text is right-justified after
// w - len blanks, a longer one keeps its leftmost w characters.
std::string edit_text(const std::string& s, int w);

}  // namespace tesk::fmt
