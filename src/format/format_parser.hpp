// Parsed form of a Fortran format text: a tree of edit descriptors and
// repeated groups, built once per distinct text and then only walked.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tesk::fmt {

enum class Op {
  Int,      // Iw, Iw.m
  Fixed,    // Fw.d
  Expo,     // Ew.d, Dw.d (letter in `letter`)
  Sci,      // ESw.d
  General,  // Gw.d
  Text,     // A, Aw (w < 0: the text unchanged)
  Logical,  // Lw
  Right,    // nX, TRn: move right n columns
  Left,     // TLn: move left n columns
  Tab,      // Tn: go to column n
  Literal,  // '...', "...", nH...
  Slash,    // '/': end the record
  Colon,    // ':': stop when no item is left
  Dollar,   // '$' or '\': records from here on end without a newline
  SignPlus, SignDefault,  // SP; SS and S
  Group,    // n(...)
};

struct Node {
  Op op = Op::Literal;
  int repeat = 1;  // repeat count of a data descriptor, '/' or group
  int w = 0;       // field width, or the column count of X/T/TL/TR
  int d = 0;       // digits after the point (F, E, ES, G)
  int m = -1;      // minimum digits of Iw.m (-1: none)
  char letter = 'E';
  std::string text;         // literal text
  std::vector<Node> items;  // children of a group
  bool has_data = false;    // the node (or the group) consumes items

  bool is_data() const {
    return op == Op::Int || op == Op::Fixed || op == Op::Expo || op == Op::Sci ||
           op == Op::General || op == Op::Text || op == Op::Logical;
  }
};

struct Format {
  std::vector<Node> items;   // the outer parenthesis' contents
  std::size_t reversion = 0;       // index where format reversion restarts
  bool reversion_has_data = false;  // the items from there on consume data
};

// Parses `text` (with its enclosing parentheses). Blanks outside quoted
// strings are ignored and descriptors are case-insensitive. Throws
// std::logic_error naming the text when it is not a valid format.
Format parse_format(std::string_view text);

}  // namespace tesk::fmt
