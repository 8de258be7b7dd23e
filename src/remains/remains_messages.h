// Texts of the remains family (TOstatok and TOstStore), Windows-1251 bytes
// written as escapes. Adjacent literals keep a hex escape from swallowing the
// letter after it: in "сущeствует" the letter after "сущ" is the Latin "e".
#ifndef ORLIX_REMAINS_REMAINS_MESSAGES_H_
#define ORLIX_REMAINS_REMAINS_MESSAGES_H_

namespace orlix::remains_messages {

// "Поле %d не сущeствует в таблице ": field %d does not exist in table ...
#define ORLIX_REMAINS_NO_FIELD \
  "\xCF\xEE\xEB\xE5 %d \xED\xE5 \xF1\xF3\xF9" "e" "\xF1\xF2\xE2\xF3\xE5\xF2 \xE2 \xF2\xE0\xE1\xEB\xE8\xF6\xE5 "

// Remains engine: field number, then table number.
inline constexpr const char* kOstatokNoDateField = "TOstatok.GetFieldDate: " ORLIX_REMAINS_NO_FIELD "%d";
inline constexpr const char* kOstatokNoIntegerField = "TOstatok.GetFieldInteger: " ORLIX_REMAINS_NO_FIELD "%d";
inline constexpr const char* kOstatokNoDoubleField = "TOstatok.GetFieldDouble: " ORLIX_REMAINS_NO_FIELD "%d";

// "Остатков по палетам": of remains by pallets (the store engine's one table).
#define ORLIX_REMAINS_BY_PALLETS "\xCE\xF1\xF2\xE0\xF2\xEA\xEE\xE2 \xEF\xEE \xEF\xE0\xEB\xE5\xF2\xE0\xEC"

// Store remains engine: field number.
inline constexpr const char* kStoreNoDateField =
    "TOstStore.GetFieldDate: " ORLIX_REMAINS_NO_FIELD ORLIX_REMAINS_BY_PALLETS;
inline constexpr const char* kStoreNoIntegerField =
    "TOstStore.GetFieldInteger: " ORLIX_REMAINS_NO_FIELD ORLIX_REMAINS_BY_PALLETS;
inline constexpr const char* kStoreNoDoubleField =
    "TOstStore.GetFieldDouble: " ORLIX_REMAINS_NO_FIELD ORLIX_REMAINS_BY_PALLETS;

#undef ORLIX_REMAINS_BY_PALLETS
#undef ORLIX_REMAINS_NO_FIELD

// "Вариант TOstatok.GetFieldNumber(" + name + ") не предусмотрен.": the
// variant <name> is not provided for.
inline constexpr const char* kFieldNumberHead = "\xC2\xE0\xF0\xE8\xE0\xED\xF2 TOstatok.GetFieldNumber(";
inline constexpr const char* kFieldNumberTail = ") \xED\xE5 \xEF\xF0\xE5\xE4\xF3\xF1\xEC\xEE\xF2\xF0\xE5\xED.";

// Day spreading refuses spans that could not end or would not fit in memory.
inline constexpr const char* kLastDateOutOfRange = "TOstatok.Execute: LastDate %s is out of range";
inline constexpr const char* kTooManyDailyRows =
    "TOstatok.Execute: day spreading up to LastDate %s needs more than %d rows";

}  // namespace orlix::remains_messages

#endif  // ORLIX_REMAINS_REMAINS_MESSAGES_H_
