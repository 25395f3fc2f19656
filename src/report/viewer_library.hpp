// Where the run finds 3Dmol.js, the WebGL molecule viewer that tesk.html
// carries inline so that the page opens from disk without a network.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tesk {

constexpr const char* kViewerLibraryFile = "3Dmol-min.js";
constexpr const char* kViewerLibraryVariable = "TESK_3DMOL";

// The places looked at, in order: the file named by $TESK_3DMOL, then
// share/tesk/3Dmol-min.js beside the folder of the executable (an installed
// tesk in PREFIX/bin finds PREFIX/share/tesk; a test or benchmark program
// one folder down in the build tree finds the build tree's copy), then
// share/tesk/ in the executable's own folder (tesk in the build tree).
std::vector<std::string> viewer_library_candidates();

struct ViewerLibrary {
  std::optional<std::string> text;   // the library, when found
  std::vector<std::string> tried;    // every place looked at
};

ViewerLibrary load_viewer_library();

}  // namespace tesk
