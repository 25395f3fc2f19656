// Stages not built yet: each leaves the tables as they are and writes nothing.
#include "control/run.hpp"
#include "control/stages.hpp"

namespace tesk {

void readkq(Run&, const std::string&) {}
void readaim2tab(Run&, const std::string&) {}
void readplaton(Run&, const std::string&) {}
void localdef(Run&) {}
void finish_res_mopro(Run&) {}
void rescalepv(Run&) {}
void write_parameter_files(Run&) {}

}  // namespace tesk
