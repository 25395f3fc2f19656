// Reading numbers the way Fortran formatted input does, independent of locale.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tesk {

// Reads one whole word as a Fortran real (F edit, no implied decimals):
// optional sign, digits with an optional point, optional exponent introduced
// by E, D, or by a sign alone ("1.5-3"); also Infinity/Inf/NaN. An empty
// mantissa reads as zero ("-", "E5"); an exponent above 9999 is refused.
// Returns nothing when the word is not such a number. Leading and trailing
// blanks are allowed; an all-blank word reads as nothing.
std::optional<double> read_fortran_real(std::string_view word);

// Reads one free-format (list-directed) field as a real: the same forms, but
// the mantissa needs at least one digit ("-" and "E5" are errors here) and
// any exponent is taken.
std::optional<double> read_list_real(std::string_view word);

// True when a value read in double precision is finite and fits a
// single-precision real, the precision the tables keep.
bool fits_single(double v);

// Reads one whole word as a Fortran integer (optional sign, digits).
std::optional<long long> read_fortran_int(std::string_view word);

// The fields of a free-format (list-directed) record: words separated by
// blanks, commas or tabs (runs of separators count as one).
std::vector<std::string> free_fields(std::string_view line);

}  // namespace tesk
