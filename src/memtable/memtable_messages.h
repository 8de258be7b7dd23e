// Windows-1251 texts of the memory-table family, as byte escapes. Adjacent
// literals keep a hex escape from swallowing a following letter or digit.
#ifndef ORLIX_MEMTABLE_MEMTABLE_MESSAGES_H_
#define ORLIX_MEMTABLE_MEMTABLE_MESSAGES_H_

namespace orlix::memtable_messages {

// "Таблица ": "Table " (the name or handle follows).
inline constexpr const char* kTablePrefix = "\xD2\xE0\xE1\xEB\xE8\xF6\xE0 ";

// " уже существует TTableList.CreateTable": " already exists ...".
inline constexpr const char* kTableExistsSuffix =
    " \xF3\xE6\xE5 \xF1\xF3\xF9\xE5\xF1\xF2\xE2\xF3\xE5\xF2 TTableList.CreateTable";

// " не существует TTableList.FreeTable": " does not exist ...".
inline constexpr const char* kTableMissingSuffix =
    " \xED\xE5 \xF1\xF3\xF9\xE5\xF1\xF2\xE2\xF3\xE5\xF2 TTableList.FreeTable";

}  // namespace orlix::memtable_messages

#endif  // ORLIX_MEMTABLE_MEMTABLE_MESSAGES_H_
