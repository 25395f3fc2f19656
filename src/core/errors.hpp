// The two ways a run ends early. err() is the system's fatal stop: the driver
// writes the error block to the log and the console and exits with status 1.
// input_error() is the input layer's read error (a malformed or missing
// number), exit status 2 with a one-line message. stop_run() ends a run whose
// message has already been written where the format wants it.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace tesk {

class FatalError : public std::runtime_error {
 public:
  enum class Kind { Err, Input, Stop };

  FatalError(Kind kind, std::string routine, std::string message)
      : std::runtime_error(join(routine, message)),
        kind_(kind),
        routine_(std::move(routine)),
        message_(std::move(message)) {}

  Kind kind() const { return kind_; }
  const std::string& routine() const { return routine_; }
  const std::string& message() const { return message_; }
  int exit_status() const { return kind_ == Kind::Input ? 2 : 1; }

 private:
  static std::string join(const std::string& routine, const std::string& message) {
    std::string text = routine;
    text.append(": ").append(message);
    return text;
  }
  Kind kind_;
  std::string routine_;
  std::string message_;
};

// Fatal stop with the routine's mixed-case name and the system's message text.
[[noreturn]] void err(std::string_view routine, std::string_view message);

// Read error of the input layer: `file` and what could not be read.
[[noreturn]] void input_error(std::string_view file, std::string_view what);

// Orderly stop after the caller has printed its own message.
[[noreturn]] void stop_run(std::string_view reason);

// The error block that err() leaves in the log and on the console:
// "(/' ERROR *** ',a,' *** ',a,/)" with the message trimmed.
std::string error_block(const FatalError& e);

}  // namespace tesk
