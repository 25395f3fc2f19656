// Text-line reading shared by every reader: fixed-width blank-padded lines,
// the keyword scanner that separates keyword words from numbers, 1-based
// column helpers and free-format number reading.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace tesk {

constexpr int kLineLength = 255;  // every text input is read as lines of this width
constexpr int kMaxKeywords = 40;  // keyword words kept per scanned line

// The lines of one text file held in memory, read record by record with the
// Fortran moves a reader needs: step back one record, rewind. A trailing
// carriage return (files edited on Windows) is stripped from every record.
class TextInput {
 public:
  // Opens `path`; false when it cannot be read as a regular file.
  bool open(const std::string& path);
  void set_text(std::string_view text);  // for tests and in-memory input
  bool next(std::string& record);        // false at end of file
  void backspace() { if (pos_ > 0) --pos_; }
  void rewind() { pos_ = 0; }
  std::size_t position() const { return pos_; }
  void seek(std::size_t pos) { pos_ = pos; }
  std::size_t size() const { return lines_.size(); }
  const std::string& record(std::size_t i) const { return lines_[i]; }

 private:
  std::vector<std::string> lines_;
  std::size_t pos_ = 0;
};

// `raw` cut or blank-padded to `width` columns.
std::string fixed_width(std::string_view raw, int width = kLineLength);

// The keyword record of the last readline() scan.
struct LineExtract {
  int nkey = 0;
  std::array<int, kMaxKeywords> kstar{};
  std::array<std::string, kMaxKeywords> kword{};  // 8 characters, upper case, blank padded

  // The i-th keyword word (1-based), or 8 blanks beyond nkey.
  const std::string& word(int i) const { return kword.at(static_cast<std::size_t>(i - 1)); }
  bool starred(int i) const { return kstar.at(static_cast<std::size_t>(i - 1)) == 1; }
};

// Next logical line of the control file into `target` (255 columns): skips
// records starting with '!' and blank records, joins records ending in '\'.
// Returns 0 when a line was delivered, 1 at end of file.
int readinputline(TextInput& in, std::string& target);

// Scans `line` into `ex` and blanks the keyword words out of it, leaving the
// numbers in their columns. Keyword words beyond the 40th are blanked but
// not stored.
void readline(std::string& line, LineExtract& ex);

// Columns [start, end] (1-based) of the n-th word; err("ReadChar", ...) when
// the line has fewer words. A word ending in the last column does not count.
void readchar(std::string_view line, int n, int& start, int& end);
std::string word_at(std::string_view line, int n);  // readchar + substring

int dnumline(std::string_view line);  // words, as counted by readchar
int ils(std::string_view text);       // last non-blank column, full length if all blank
int lenstr(std::string_view text);    // last non-blank column, 0 if all blank
void upcase(std::string& text);
void locase(std::string& text);
std::string upper(std::string_view text);
std::string trim_right(std::string_view text);
void rmblanks(std::string& text);

// Reads records until one whose first 32 columns, upper-cased, begin with
// `key`. The rewind flag rewinds first and is cleared. eof = 1 at end of file.
void srchl(TextInput& in, std::string_view key, bool& rewind, std::string& line, int& eof);

// Sequential free-format (list-directed) reading of the fields of a line.
class FreeReader {
 public:
  enum class Status { Ok, End, Bad };
  explicit FreeReader(std::string_view line);
  Status real(double& out);
  Status real(float& out);
  Status integer(int& out);
  Status text(std::string& out);
  int remaining() const { return static_cast<int>(fields_.size() - pos_); }

 private:
  std::vector<std::string> fields_;
  std::size_t pos_ = 0;
};

}  // namespace tesk
