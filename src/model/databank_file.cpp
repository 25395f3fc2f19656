// The databank file in memory: raw lines, lazily split records and the index
// of entry headers by atomic number.
#include "model/databank_file.hpp"

#include <algorithm>
#include <cmath>

#include "core/line_reader.hpp"

namespace tesk {

namespace {

const std::string kBlankWord(8, ' ');

// The atomic number written as word 2 of a header line, or nothing when the
// word is missing or does not read as a free-format integer.
std::optional<int> header_atomic_number(const std::string& padded) {
  if (dnumline(padded) < 2) return std::nullopt;
  FreeReader reader(word_at(padded, 2));
  int z = 0;
  if (reader.integer(z) != FreeReader::Status::Ok) return std::nullopt;
  return z;
}

}  // namespace

const std::string& DbRecord::word(int i) const {
  if (i < 1 || i > static_cast<int>(kword.size())) return kBlankWord;
  return kword[static_cast<std::size_t>(i - 1)];
}

bool DbRecord::keyword_is(std::string_view k) const { return key == k; }

bool is_entry_header(std::string_view raw) { return raw.substr(0, 4) == "ATOM"; }

DbRecord split_record(std::string_view raw) {
  DbRecord rec;
  std::string line = upper(fixed_width(raw, kDbLineLength));
  LineExtract ex;
  readline(line, ex);
  for (int i = 1; i <= ex.nkey; ++i) rec.kword.push_back(ex.word(i));
  rec.key = trim_right(rec.word(1));
  rec.nnum = dnumline(line);

  FreeReader ints(line);
  for (int v = 0;;) {
    FreeReader::Status s = ints.integer(v);
    if (s != FreeReader::Status::Ok) { rec.ints_stop_bad = s == FreeReader::Status::Bad; break; }
    rec.ints.push_back(v);
  }
  FreeReader reals(line);
  for (float v = 0.0f;;) {
    FreeReader::Status s = reals.real(v);
    // NaN or an infinity is no parameter value: it ends the numbers like a malformed one.
    if (s == FreeReader::Status::Ok && !std::isfinite(v)) s = FreeReader::Status::Bad;
    if (s != FreeReader::Status::Ok) { rec.reals_stop_bad = s == FreeReader::Status::Bad; break; }
    rec.reals.push_back(v);
  }
  rec.numbers = std::move(line);
  return rec;
}

void Databank::load(std::vector<std::string> lines, std::string name) {
  path = std::move(name);
  raw.clear();
  headers.clear();
  bad_headers.clear();
  for (auto& l : lines) {
    if (l.size() > static_cast<std::size_t>(kDbLineLength)) l.resize(kDbLineLength);
    raw.push_back(std::move(l));
  }
  split_.assign(raw.size(), std::nullopt);

  next_noncomment_.assign(raw.size() + 1, raw.size());
  for (std::size_t i = raw.size(); i-- > 0;)
    next_noncomment_[i] = (!raw[i].empty() && raw[i][0] == '!') ? next_noncomment_[i + 1] : i;

  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (!is_entry_header(raw[i])) continue;
    if (auto z = header_atomic_number(padded(i)))
      headers[*z].push_back(i);
    else
      bad_headers.push_back(i);
  }
}

std::string Databank::padded(std::size_t line) const {
  return fixed_width(raw.at(line), kDbLineLength);
}

const DbRecord& Databank::record(std::size_t line) {
  auto& slot = split_.at(line);
  if (!slot) slot = split_record(raw[line]);
  return *slot;
}

std::optional<Databank::HeaderHit> Databank::next_header(int z, std::size_t from) const {
  std::optional<HeaderHit> best;
  auto first_from = [&](const std::vector<std::size_t>& list, bool readable) {
    auto it = std::lower_bound(list.begin(), list.end(), from);
    if (it != list.end() && (!best || *it < best->line)) best = HeaderHit{*it, readable};
  };
  if (auto it = headers.find(z); it != headers.end()) first_from(it->second, true);
  first_from(bad_headers, false);
  return best;
}

std::size_t Databank::next_noncomment(std::size_t from) const {
  if (from >= raw.size()) return raw.size();
  return next_noncomment_[from];
}

}  // namespace tesk
