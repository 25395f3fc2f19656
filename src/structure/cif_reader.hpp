// Reader of crystal structures in CIF (read with gemmi): cell, wavelength,
// space group and atom sites of one data block fill the same tables as the
// SHELX reader, and the output headers hear the SHELX instructions that
// describe the same crystal.
#pragma once

#include <string>
#include <string_view>

#include "structure/shelx_reader.hpp"

namespace tesk {

struct Run;

// Reads data block `block` of `filename` (the name with or without "data_";
// blank: the first block with fractional atom coordinates). `headers` hears
// the CELL, LATT and SYMM cards equivalent to the block.
void readcif(Run& run, const std::string& filename, const std::string& block,
             const ShelxHeaderListener& headers);
// The same from the bytes of a CIF file already in memory; `filename` names
// it in messages.
void readcif_text(Run& run, std::string_view data, const std::string& filename,
                  const std::string& block, const ShelxHeaderListener& headers);

}  // namespace tesk
