// Writing tesk.json and tesk.html. The atoms are written to tesk.json as
// they come, each also handing the page what it draws.
#include "report/report.hpp"

#include <fstream>
#include <string>
#include <vector>

#include "core/errors.hpp"
#include "format/fortran_format.hpp"
#include "model/run.hpp"
#include "report/json_writer.hpp"
#include "report/report_atoms.hpp"
#include "report/report_json.hpp"
#include "report/report_page.hpp"
#include "report/viewer_library.hpp"

namespace tesk {

namespace {

constexpr const char* kJsonFile = "tesk.json";
constexpr const char* kPageFile = "tesk.html";

void open_file(std::ofstream& out, const char* name, std::vector<char>& buffer) {
  buffer.resize(1 << 20);
  out.rdbuf()->pubsetbuf(buffer.data(), static_cast<std::streamsize>(buffer.size()));
  out.open(name, std::ios::binary | std::ios::trunc);
  if (!out) err("Report", std::string("Unable to open output file ") + name);
}

std::string missing_library_note(const ViewerLibrary& lib) {
  std::string places;
  for (const std::string& p : lib.tried) places += (places.empty() ? "" : ", ") + p;
  return std::string("3Dmol.js was not found (looked for ") + (places.empty() ? "it nowhere" : places) +
         "): the page has the table but no 3-D view. Install TESK with cmake --install, or set " +
         kViewerLibraryVariable + " to the file " + kViewerLibraryFile + ".";
}

}  // namespace

void write_report(Run& run, const FatalError* error) {
  const Json head = report_head(run, error);
  std::vector<char> buffer;
  std::ofstream json;
  open_file(json, kJsonFile, buffer);
  // The head is an object: its closing brace makes way for the atom list.
  std::string text = head.dump(-1, ' ', false, Json::error_handler_t::replace);
  text.pop_back();
  JsonWriter out(json);
  out.raw(text);
  out.raw(",\"atoms\":");
  out.begin_array();
  ReportPage page;
  AtomReporter reporter(run, page);
  for (int i = 1; i <= run.cryst.nall; ++i) reporter.write(i, out);
  out.end_array();
  out.raw("}\n");
  out.flush();
  json.close();
  if (!json) err("Report", std::string("Unable to write output file ") + kJsonFile);

  const ViewerLibrary lib = load_viewer_library();
  std::string missing;
  if (!lib.text) {
    missing = missing_library_note(lib);
    run.both_console_first(ffmt("(/' REPORT: ',a)", {missing}));
  }
  std::vector<char> page_buffer;
  std::ofstream html;
  open_file(html, kPageFile, page_buffer);
  page.write(html, head, lib.text, missing);
  html.close();
  if (!html) err("Report", std::string("Unable to write output file ") + kPageFile);
}

}  // namespace tesk
