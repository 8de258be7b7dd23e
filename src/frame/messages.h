// Windows-1251 texts of the library frame, as byte escapes. Adjacent literals
// keep a hex escape from swallowing a following letter.
#ifndef ORLIX_FRAME_MESSAGES_H_
#define ORLIX_FRAME_MESSAGES_H_

namespace orlix::messages {

// "  замена": a list was replaced by a create under the same name.
inline constexpr const char* kReplaced = "  \xE7\xE0\xEC\xE5\xED\xE0";

// "внимание - неверный тип в ": warning, wrong type in <export name>.
inline constexpr const char* kWrongKind =
    "\xE2\xED\xE8\xEC\xE0\xED\xE8\xE5 - \xED\xE5\xE2\xE5\xF0\xED\xFB\xE9 \xF2\xE8\xEF \xE2 ";

}  // namespace orlix::messages

#endif  // ORLIX_FRAME_MESSAGES_H_
