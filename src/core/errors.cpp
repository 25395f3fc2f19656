// Fatal stops: thrown here, reported once by the driver.
#include "core/errors.hpp"

#include "format/fortran_format.hpp"

namespace tesk {

void err(std::string_view routine, std::string_view message) {
  throw FatalError(FatalError::Kind::Err, std::string(routine), std::string(message));
}

void input_error(std::string_view file, std::string_view what) {
  throw FatalError(FatalError::Kind::Input, std::string(file), std::string(what));
}

void stop_run(std::string_view reason) {
  throw FatalError(FatalError::Kind::Stop, "", std::string(reason));
}

std::string error_block(const FatalError& e) {
  std::string msg = e.message();
  while (!msg.empty() && msg.back() == ' ') msg.pop_back();
  return ffmt("(/' ERROR *** ',a,' *** ',a,/)", {e.routine(), msg});
}

}  // namespace tesk
