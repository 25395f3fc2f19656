// Finding and reading 3Dmol.js for the report page.
#include "report/viewer_library.hpp"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace tesk {

namespace fs = std::filesystem;

std::vector<std::string> viewer_library_candidates() {
  std::vector<std::string> list;
  if (const char* env = std::getenv(kViewerLibraryVariable); env != nullptr && *env != '\0')
    list.emplace_back(env);
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (!ec) {
    const fs::path dir = exe.parent_path();
    list.push_back((dir.parent_path() / "share" / "tesk" / kViewerLibraryFile).string());
    list.push_back((dir / "share" / "tesk" / kViewerLibraryFile).string());
  }
  return list;
}

ViewerLibrary load_viewer_library() {
  ViewerLibrary lib;
  for (const std::string& path : viewer_library_candidates()) {
    lib.tried.push_back(path);
    std::ifstream in(path, std::ios::binary);
    if (!in) continue;
    std::ostringstream text;
    text << in.rdbuf();
    lib.text = text.str();
    break;
  }
  return lib;
}

}  // namespace tesk
