// Field and table names of the remains engines: how a caller's name is
// normalised before it is compared exactly with the engine's own names.
#ifndef ORLIX_REMAINS_FIELD_NAMES_H_
#define ORLIX_REMAINS_FIELD_NAMES_H_

#include <span>
#include <string>
#include <string_view>

namespace orlix {

// ASCII letters to lower case, then bytes of code 0..32 cut from both ends.
std::string LowerTrimmed(std::string_view name);
// ASCII letters to upper case; nothing cut.
std::string UpperAscii(std::string_view name);
// Position of name in names (exact comparison), or -1.
int PositionOf(std::span<const std::string_view> names, std::string_view name);

}  // namespace orlix

#endif  // ORLIX_REMAINS_FIELD_NAMES_H_
