// Line reading, keyword scanning and column helpers shared by every reader.
#include "core/line_reader.hpp"

#include <cctype>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

#include "core/errors.hpp"
#include "format/number_reader.hpp"

namespace tesk {

bool TextInput::open(const std::string& path) {
  struct stat st{};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  std::ifstream f(path, std::ios::binary);
  if (!f) return false;
  std::stringstream ss;
  ss << f.rdbuf();
  set_text(ss.str());
  return true;
}

void TextInput::set_text(std::string_view text) {
  lines_.clear();
  pos_ = 0;
  // A UTF-8 byte-order mark (editors on Windows write one) is no text.
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  // Records end in LF, CR LF, or a lone CR (files from the classic Mac OS).
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t nl = text.find_first_of("\r\n", start);
    std::size_t end = nl == std::string_view::npos ? text.size() : nl;
    lines_.emplace_back(text.substr(start, end - start));
    if (nl == std::string_view::npos) break;
    start = nl + 1;
    if (text[nl] == '\r' && start < text.size() && text[start] == '\n') ++start;
  }
}

bool TextInput::next(std::string& record) {
  if (pos_ >= lines_.size()) return false;
  record = lines_[pos_++];
  return true;
}

std::string fixed_width(std::string_view raw, int width) {
  std::string s(raw.substr(0, static_cast<std::size_t>(width)));
  s.resize(static_cast<std::size_t>(width), ' ');
  return s;
}

int ils(std::string_view text) {
  int n = lenstr(text);
  return n == 0 ? static_cast<int>(text.size()) : n;
}

int lenstr(std::string_view text) {
  for (int i = static_cast<int>(text.size()); i >= 1; --i)
    if (text[static_cast<std::size_t>(i - 1)] != ' ') return i;
  return 0;
}

void upcase(std::string& text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
}

void locase(std::string& text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
}

std::string upper(std::string_view text) {
  std::string s(text);
  upcase(s);
  return s;
}

std::string trim_right(std::string_view text) {
  return std::string(text.substr(0, static_cast<std::size_t>(lenstr(text))));
}

void rmblanks(std::string& text) {
  if (text.size() > 256) err("RmBlanks", "len(op).gt.len(line)");
  std::string kept;
  for (char c : text)
    if (c != ' ') kept += c;
  kept.resize(text.size(), ' ');
  text = kept;
}

int readinputline(TextInput& in, std::string& target) {
  target.assign(kLineLength, ' ');
  std::size_t p = 1;  // insertion column
  std::string raw;
  while (true) {
    if (!in.next(raw)) return 1;
    std::string rec = fixed_width(raw);
    if (rec[0] == '!' || lenstr(rec) == 0) continue;
    int last = ils(rec);
    std::string_view piece(rec.data(), static_cast<std::size_t>(last));
    if (rec[static_cast<std::size_t>(last - 1)] == '\\') {
      if (p + static_cast<std::size_t>(last) > static_cast<std::size_t>(kLineLength))
        err("ReadInputLine", "Line exceeds limit of 255 characters");
      target.replace(p - 1, piece.size(), piece);
      p = static_cast<std::size_t>(ils(target)) + 2;
      continue;
    }
    std::size_t room = static_cast<std::size_t>(kLineLength) - (p - 1);
    std::string_view cut = piece.substr(0, std::min(room, piece.size()));
    target.replace(p - 1, cut.size(), cut);
    return 0;
  }
}

int dnumline(std::string_view line) {
  int n = 0;
  for (std::size_t i = 0; i + 1 < line.size(); ++i)
    if (line[i] != ' ' && line[i + 1] == ' ') ++n;
  return n;
}

void readchar(std::string_view line, int n, int& start, int& end) {
  int count = 0;
  for (std::size_t j = 0; j + 1 < line.size(); ++j) {
    if (line[j] != ' ' && line[j + 1] == ' ') {
      if (++count == n) {
        std::size_t s = j;
        while (s > 0 && line[s - 1] != ' ') --s;
        start = static_cast<int>(s) + 1;
        end = static_cast<int>(j) + 1;
        return;
      }
    }
  }
  err("ReadChar", "Unexpected STOP in ReadChar...");
}

std::string word_at(std::string_view line, int n) {
  int s = 0, e = 0;
  readchar(line, n, s, e);
  return std::string(line.substr(static_cast<std::size_t>(s - 1), static_cast<std::size_t>(e - s + 1)));
}

void readline(std::string& line, LineExtract& ex) {
  ex.nkey = 0;
  ex.kstar.fill(0);
  ex.kword.fill(std::string(8, ' '));
  int n = dnumline(line);
  std::vector<std::pair<int, int>> spans;
  int s = 0, e = 0;
  for (int w = 1; w <= n; ++w) {
    readchar(line, w, s, e);
    std::string_view word(line.data() + s - 1, static_cast<std::size_t>(e - s + 1));
    if (read_fortran_real(word)) continue;
    // A line with more keyword words than the record holds keeps the first
    // 40; the rest are ignored: blanked like the others, but not stored.
    spans.emplace_back(s, e);
    if (ex.nkey >= kMaxKeywords) continue;
    std::size_t k = static_cast<std::size_t>(ex.nkey++);
    std::string_view text = word;
    if (word[0] == '*') {
      ex.kstar[k] = 1;
      text.remove_prefix(1);
    }
    std::string kw(text.substr(0, 8));
    kw.resize(8, ' ');
    upcase(kw);
    ex.kword[k] = kw;
  }
  for (auto [a, b] : spans)
    for (int c = a; c <= b; ++c) line[static_cast<std::size_t>(c - 1)] = ' ';
}

void srchl(TextInput& in, std::string_view key, bool& rewind, std::string& line, int& eof) {
  std::string k = upper(key.substr(0, 32));
  if (rewind) in.rewind();
  rewind = false;
  eof = 0;
  const int width = line.empty() ? kLineLength : static_cast<int>(line.size());
  std::string raw;
  while (in.next(raw)) {
    // The record is blank-padded to the caller's width before it is compared,
    // so a key with trailing blanks also finds a shorter record.
    std::string rec = fixed_width(raw, width);
    std::string head = upper(fixed_width(rec, 32));
    if (head.compare(0, k.size(), k) == 0) {
      line = rec;
      return;
    }
  }
  eof = 1;
}

FreeReader::FreeReader(std::string_view line) : fields_(free_fields(line)) {}

FreeReader::Status FreeReader::real(double& out) {
  if (pos_ >= fields_.size()) return Status::End;
  auto v = read_list_real(fields_[pos_++]);
  if (!v) return Status::Bad;
  out = *v;
  return Status::Ok;
}

FreeReader::Status FreeReader::real(float& out) {
  double d = 0.0;
  Status s = real(d);
  if (s == Status::Ok) out = static_cast<float>(d);
  return s;
}

FreeReader::Status FreeReader::integer(int& out) {
  if (pos_ >= fields_.size()) return Status::End;
  auto v = read_fortran_int(fields_[pos_++]);
  if (!v || *v > 2147483647LL || *v < -2147483648LL) return Status::Bad;
  out = static_cast<int>(*v);
  return Status::Ok;
}

FreeReader::Status FreeReader::text(std::string& out) {
  if (pos_ >= fields_.size()) return Status::End;
  out = fields_[pos_++];
  return Status::Ok;
}

}  // namespace tesk
