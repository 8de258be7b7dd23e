// Texts of the batch calculation family. The engine itself raises nothing of
// its own; these are the refusals of its boundary: a field read off the rows
// or by an unknown name, and arguments no calculation can use.
#ifndef ORLIX_CALCPART_CALCPART_MESSAGES_H_
#define ORLIX_CALCPART_CALCPART_MESSAGES_H_

namespace orlix::calcpart_messages {

// Field name, then list name.
inline constexpr const char* kNoField = "TCalcPart.GetFieldInteger: no field \"%s\" in %s";
// List name.
inline constexpr const char* kNoCurrentRow = "TCalcPart: no current row in %s";
// Argument name, then its value.
inline constexpr const char* kNotFinite = "TCalcPart: %s %s is not a finite number";
// The server day number.
inline constexpr const char* kDateOutOfRange = "TCalcPart: date (server day %d) is out of range";

}  // namespace orlix::calcpart_messages

#endif  // ORLIX_CALCPART_CALCPART_MESSAGES_H_
