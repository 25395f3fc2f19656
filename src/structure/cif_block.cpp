// Values of a CIF data block, and the messages that name the block.
#include "structure/cif_block.hpp"

#include <cmath>
#include <limits>

#include "core/errors.hpp"
#include "format/number_reader.hpp"

namespace tesk {

namespace cif = gemmi::cif;

std::string CifBlock::where() const { return "File " + file + ", block data_" + block->name; }

void CifBlock::missing(const std::string& what) const { err("ReadCif", where() + ": " + what); }

void CifBlock::unreadable(const std::string& item, const std::string& what) const {
  input_error(file, "block data_" + block->name + ", " + item + ": " + what);
}

const std::string* CifBlock::value(const std::string& tag) const {
  cif::Column column = block->find_values(tag);
  if (!column || column.length() == 0 || cif::is_null(column[0])) return nullptr;
  return &column[0];
}

std::optional<double> CifBlock::number(const std::string& raw, const std::string& item) const {
  if (cif::is_null(raw)) return std::nullopt;
  std::string text = cif::as_string(raw);
  // 0.07407(13): the standard uncertainty in units of the last digit
  const std::size_t open = text.find('(');
  if (open != std::string::npos && open > 0 && text.back() == ')') text.erase(open);
  const auto v = read_fortran_real(text);
  if (!v || !std::isfinite(*v)) unreadable(item, "'" + cif::as_string(raw) + "' is not a number");
  // The tables hold single precision.
  if (std::fabs(*v) > std::numeric_limits<float>::max())
    unreadable(item, "'" + cif::as_string(raw) + "' is out of range");
  return v;
}

}  // namespace tesk
