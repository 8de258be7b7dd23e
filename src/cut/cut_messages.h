// Texts of the write-off family: Windows-1251 bytes written as escapes, and
// the English texts of the refusals this library adds.
#ifndef ORLIX_CUT_CUT_MESSAGES_H_
#define ORLIX_CUT_CUT_MESSAGES_H_

namespace orlix::cut_messages {

// "Вариант ": variant (the start of "the variant ... is not provided for").
#define ORLIX_CUT_VARIANT "\xC2\xE0\xF0\xE8\xE0\xED\xF2 "
// ") не предусмотрен.": ") is not provided for."
#define ORLIX_CUT_NOT_PROVIDED ") \xED\xE5 \xEF\xF0\xE5\xE4\xF3\xF1\xEC\xEE\xF2\xF0\xE5\xED."

// "Вариант TCut.GetFieldNumber(" + name as passed + ") не предусмотрен."
inline constexpr const char* kFieldNumberHead = ORLIX_CUT_VARIANT "TCut.GetFieldNumber(";
inline constexpr const char* kFieldNumberTail = ORLIX_CUT_NOT_PROVIDED;
// "Вариант TCut.GetFieldInteger(<table>,<field>) не предусмотрен."
inline constexpr const char* kNoIntegerField = ORLIX_CUT_VARIANT "TCut.GetFieldInteger(%d,%d" ORLIX_CUT_NOT_PROVIDED;
// "Вариант TCut.GetFieldDouble(<table>,<field>) не предусмотрен."
inline constexpr const char* kNoDoubleField = ORLIX_CUT_VARIANT "TCut.GetFieldDouble(%d,%d" ORLIX_CUT_NOT_PROVIDED;

#undef ORLIX_CUT_NOT_PROVIDED
#undef ORLIX_CUT_VARIANT

// A field read while the table's cursor is before its first or past its
// last row: operation, table number, field number, table name.
inline constexpr const char* kNoCurrentRow = "TCut.%s(%d,%d): no current row in %s";
// A quantity or date that is NaN or infinite: operation, value name, value.
inline constexpr const char* kNotFinite = "TCut.%s: %s %s is not a finite number";

}  // namespace orlix::cut_messages

#endif  // ORLIX_CUT_CUT_MESSAGES_H_
