// The per-atom loop: local axes, site symmetry, chemical equivalence and
// the databank transfer of every input atom.
#pragma once

#include <functional>
#include <string>

namespace tesk {

struct Run;

// `before_table` runs after tesk.ang is opened and before the ATOM table
// starts in kq_tesk.mas: a run from a KQ pair copies the previous master
// file's head there.
void localdef(Run& run, const std::function<void(Run&)>& before_table = {});

}  // namespace tesk
