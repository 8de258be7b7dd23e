// The library's failures: exceptions carrying the message text exactly as the
// log shows it. Only the export guard catches them.
#ifndef ORLIX_FRAME_FAILURE_H_
#define ORLIX_FRAME_FAILURE_H_

#include <stdexcept>
#include <string>

namespace orlix {

class EOrlixError : public std::runtime_error {
 public:
  explicit EOrlixError(const std::string& message) : std::runtime_error(message) {}
};

// Raised by a checked cast between the library's own classes.
class EInvalidCast final : public EOrlixError {
 public:
  EInvalidCast() : EOrlixError("Invalid type cast") {}
};

// Raised when the server passes a null pointer where a value must be read.
class ENullArgument final : public EOrlixError {
 public:
  ENullArgument() : EOrlixError("Null argument") {}
};

// Casts between the library's classes, failing the way the log expects.
template <class To, class From>
To& CheckedCast(From& from) {
  auto* to = dynamic_cast<To*>(&from);
  if (!to) throw EInvalidCast();
  return *to;
}

}  // namespace orlix

#endif  // ORLIX_FRAME_FAILURE_H_
