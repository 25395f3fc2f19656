// The streaming JSON writer of the report: what it writes must read back as
// the value nlohmann/json holds for the same input, types included, since
// readers of tesk.json see only the parsed document.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include <nlohmann/json.hpp>

#include "report/json_writer.hpp"
#include "report/report_json.hpp"

namespace tesk {
namespace {

using nlohmann::json;

// The writer's text and nlohmann's value, compared after a parse, as dumps
// so that 1 and 1.0 count as different.
void expect_reads_back(const std::string& text, const json& expected, const std::string& what) {
  const json parsed = json::parse(text);
  EXPECT_EQ(parsed.dump(), expected.dump()) << what << ": " << text;
}

TEST(JsonWriter, NumbersReadBackAsTheSameDoubles) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  // Whole numbers must stay floating point; tiny and huge ones take an
  // exponent; -0.0 keeps its sign; NaN and infinities have no JSON number.
  const double rows[] = {0.0, -0.0, 1.0, -2.0, 1e6, 2.5, 0.02, -0.05, 1e-6, -1.2345e-7, 0.000123,
                         71.1348, 123456.789, 1e300, 5e-324, nan, inf, -inf};
  for (double v : rows) {
    JsonWriter w;
    w.number(v);
    expect_reads_back(w.text(), json(v), std::to_string(v));
  }
}

// decimal() writes the rounded value from its integer digits; it must read
// back as exactly the double rounded() gives, over the whole range of
// coordinates, populations and distances and at every precision used.
TEST(JsonWriter, DecimalsReadBackAsTheRoundedValue) {
  std::vector<float> values = {0.0f, -0.0f, 1.0f, -1.0f, 0.5f, 2.00005f, -1e-8f, 0.02f, 71.1348f,
                               147.11639f, 1e-4f, 99999.99f, 3.4e10f, -3.4e38f, 1e20f,
                               std::numeric_limits<float>::quiet_NaN(),
                               std::numeric_limits<float>::infinity()};
  std::mt19937 random(14);
  std::uniform_real_distribution<float> spread(-200.0f, 200.0f);
  for (int k = 0; k < 20000; ++k) values.push_back(spread(random) / static_cast<float>(1 << (k % 20)));
  for (float v : values)
    for (int d = 0; d <= 7; ++d) {
      JsonWriter w;
      w.decimal(v, d);
      expect_reads_back(w.text(), json(rounded(v, d)), std::to_string(v) + " to " + std::to_string(d));
    }
}

// Random strings of escapes, ASCII, UTF-8 and broken UTF-8 in every order:
// an escape before a byte beyond ASCII once wrote the string twice. Outside
// a script the text is nlohmann's own; inside, '<' is escaped as well.
TEST(JsonWriter, StringsMatchNlohmannInAnyMixOfEscapesAndUtf8) {
  // UTF-8 of two, three and four bytes; a Latin-1 byte; a sequence cut short.
  const std::string pieces[] = {"C", "(1)", " ", "\"", "\\", "\n", "\t\r\b\f", std::string(1, '\0'),
                                "\x1f\x7f", "<", "/", "\xc3\x85", "\xe2\x82\xac",
                                "\xf0\x9f\x98\x80", "\xe9", "\xe2\x82"};
  std::mt19937 random(20);
  std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1), length(0, 8);
  for (int k = 0; k < 5000; ++k) {
    std::string s;
    for (std::size_t n = length(random); n > 0; --n) s += pieces[pick(random)];
    const std::string one = json(s).dump(-1, ' ', false, json::error_handler_t::replace);
    const std::string expected = "[" + one + "," + one + "]";
    for (bool script : {false, true}) {
      JsonWriter w;
      if (script) w.escape_for_script();
      w.begin_array();
      w.string(s);
      w.string(s);
      w.end_array();
      if (!script) EXPECT_EQ(w.text(), expected) << s;
      if (script) expect_reads_back(w.text(), json::parse(expected), s);
      if (script) EXPECT_EQ(w.text().find('<'), std::string::npos) << w.text();
    }
  }
}

TEST(JsonWriter, CommasAndNesting) {
  JsonWriter w;
  w.begin_object();
  w.key("a");
  w.integer(-5);
  w.key("empty");
  w.begin_array();
  w.end_array();
  w.key("list");
  w.begin_array();
  w.boolean(true);
  w.null();
  w.begin_object();
  w.end_object();
  w.raw_value("[1,2]");
  w.string("x");
  w.end_array();
  w.key("last");
  w.number(1.5);
  w.end_object();
  EXPECT_EQ(w.text(), R"({"a":-5,"empty":[],"list":[true,null,{},[1,2],"x"],"last":1.5})");
}

}  // namespace
}  // namespace tesk
