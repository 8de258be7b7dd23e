/*
 * ORLIX: declarations of the library's external functions.
 *
 * Run this script once in every database whose procedures use the library:
 *   isql-fb -user SYSDBA -password <pwd> <database> -i orlix.sql
 * The server must be allowed to load ORLIX.so (UdfAccess in firebird.conf).
 *
 * Every argument is passed by reference. Every string argument and result
 * is declared CSTRING(n) CHARACTER SET WIN1251: the library works in
 * Windows-1251 (case folding of Cyrillic names, the order of string keys,
 * its own texts), and the engine converts from and to the database's
 * character set, UTF8 included. A character that Windows-1251 cannot hold
 * (a Chinese letter, an emoji) makes the engine refuse the call with its
 * transliteration error ("Cannot transliterate character between character
 * sets") before the library is reached. When you add a declaration, give
 * each string the same clause.
 *
 * State lives per server thread: one EXECUTE BLOCK or one procedure call runs
 * on one thread from start to end, so create, fill, read and free what you
 * use inside one statement.
 *
 * Failures never reach the server: each function answers its failure value
 * (listed below) and, with the log on, writes one line to the diagnostic log.
 */

/*****************************************
 *
 *	L i b r a r y   a n d   l o g
 *
 *****************************************/

/* ibGetCurrentThreadId: the kernel id of the server thread running the call,
 * the number that log lines of that thread carry. The argument is not read.
 * Returns 0 on a failure. */
DECLARE EXTERNAL FUNCTION ibGetCurrentThreadId
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibGetCurrentThreadId' MODULE_NAME 'ORLIX';

/* ibVarExists: 1 when this thread has created the engine of that name
 * ('CalcPart', 'Cut', 'Ostatok', 'OstStore'; letter case ignored) and not
 * freed it, else 0. -1 on a failure (logged). */
DECLARE EXTERNAL FUNCTION ibVarExists
	CSTRING(255) CHARACTER SET WIN1251
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibVarExists' MODULE_NAME 'ORLIX';

/* ibOrlixSetLog: names the diagnostic log file for the whole server process;
 * an empty name switches the log off (it is off until first named). Lines are
 * appended; the file is created when missing. Returns 1 (0 on a failure). */
DECLARE EXTERNAL FUNCTION ibOrlixSetLog
	CSTRING(1024) CHARACTER SET WIN1251
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibOrlixSetLog' MODULE_NAME 'ORLIX';

/* ib_Log: writes the message as one line to the diagnostic log (nothing when
 * the log is off). Returns 1 (0 on a failure). */
DECLARE EXTERNAL FUNCTION ib_Log
	CSTRING(32000) CHARACTER SET WIN1251
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ib_Log' MODULE_NAME 'ORLIX';

/* ibOrlixLog: the same as ib_Log. */
DECLARE EXTERNAL FUNCTION ibOrlixLog
	CSTRING(32000) CHARACTER SET WIN1251
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibOrlixLog' MODULE_NAME 'ORLIX';

/* == BEGIN values == */

/*****************************************
 *
 *	V a l u e   l i s t s
 *
 *****************************************
 *
 * Named lists of strings, integers and doubles kept on the server thread and
 * reached by a handle (1, 2, ...; 0 means no list). The three kinds share one
 * name space and one handle space per thread: creating a list under a name
 * that exists (letter case ignored, Cyrillic too) replaces that list, of
 * whatever kind, under the same handle and logs the replacement line; a
 * freed handle may be given to the next list created. A handle of another
 * kind, or a freed one, answers the failure value and logs the wrong-type
 * warning followed by the function's name (both texts are Russian, in
 * Windows-1251). Create, fill, read and free a list inside one EXECUTE
 * BLOCK or procedure call.
 *
 * String values: at most 4096 bytes. Trailing characters of code 0 to 32
 * (blanks, tabs, line breaks) are cut from values and search strings;
 * leading ones stay. Values compare byte by byte, letter case counts.
 * Failure values: 0 for flags, handles and counts, -1 for positions, -1000
 * and -1000.0 for numeric item reads, the empty string for string reads; a
 * failure inside a function also writes "<function>.except=<message>" to
 * the log.
 *
 *****************************************/

/* ibListStrCreate: creates an empty string list under the name (taken as
 * passed) and returns its handle; 0 on a failure. */
DECLARE EXTERNAL FUNCTION ibListStrCreate
	CSTRING(255) CHARACTER SET WIN1251
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibListStrCreate' MODULE_NAME 'ORLIX';

/* ibListStrFree: frees the list; returns 1, or 0 when the handle is 0 or
 * was never given. A handle of another kind is warned about and freed. */
DECLARE EXTERNAL FUNCTION ibListStrFree
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibListStrFree' MODULE_NAME 'ORLIX';

/* ibListStrPrint: writes an empty line, "ListStr: count=<n>" and an empty
 * line to the log (the strings themselves are not written). Returns 1; 0
 * for an unknown handle. */
DECLARE EXTERNAL FUNCTION ibListStrPrint
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibListStrPrint' MODULE_NAME 'ORLIX';

/* ibListStrByName: the handle of the string list of that name (letter case
 * ignored); 0 when there is none. */
DECLARE EXTERNAL FUNCTION ibListStrByName
	CSTRING(255) CHARACTER SET WIN1251
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibListStrByName' MODULE_NAME 'ORLIX';

/* ibListStrClear: empties the list; the handle stays valid. Returns 1; 0
 * for an unknown handle. */
DECLARE EXTERNAL FUNCTION ibListStrClear
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibListStrClear' MODULE_NAME 'ORLIX';

/* ibListStrAdd: appends the value (a value already present is added again)
 * and marks the list unsorted. Returns 1; 0 for an unknown handle. */
DECLARE EXTERNAL FUNCTION ibListStrAdd
	INTEGER, CSTRING(4096) CHARACTER SET WIN1251
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibListStrAdd' MODULE_NAME 'ORLIX';

/* ibListStrDelete: removes one occurrence of the value. Returns 1, also when
 * the value was absent; 0 for an unknown handle. */
DECLARE EXTERNAL FUNCTION ibListStrDelete
	INTEGER, CSTRING(4096) CHARACTER SET WIN1251
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibListStrDelete' MODULE_NAME 'ORLIX';

/* ibListStrCount: the number of strings; 0 for an unknown handle. */
DECLARE EXTERNAL FUNCTION ibListStrCount
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibListStrCount' MODULE_NAME 'ORLIX';

/* ibListStrExists: 1 when the value is in the list, else 0. Sorts the list
 * first and leaves it sorted (later tests then search by bisection), so
 * positions change. */
DECLARE EXTERNAL FUNCTION ibListStrExists
	INTEGER, CSTRING(4096) CHARACTER SET WIN1251
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibListStrExists' MODULE_NAME 'ORLIX';

/* ibListStrExistsByPos: 1 when a (non-empty) list string occurs in text,
 * else 0. With pos <= 0 it may occur anywhere in text; with pos > 0 it must
 * start exactly at that 1-based position of text (pos 1: text begins with
 * it). Does not reorder the list. */
DECLARE EXTERNAL FUNCTION ibListStrExistsByPos
	INTEGER, CSTRING(4096) CHARACTER SET WIN1251, INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibListStrExistsByPos' MODULE_NAME 'ORLIX';

/* ibListStrSort: a non-zero flag sorts the list (byte order) and keeps it
 * marked sorted; 0 only marks it unsorted. Returns 1; 0 for an unknown
 * handle. */
DECLARE EXTERNAL FUNCTION ibListStrSort
	INTEGER, INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibListStrSort' MODULE_NAME 'ORLIX';

/* ibListStrIndex: the 0-based position of the value in the list's current
 * order (never sorts); -1 when absent or for an unknown handle. */
DECLARE EXTERNAL FUNCTION ibListStrIndex
	INTEGER, CSTRING(4096) CHARACTER SET WIN1251
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibListStrIndex' MODULE_NAME 'ORLIX';

/* ibListStrGetItemByIndex: the string at the 0-based index; the empty string
 * for an index out of range or an unknown handle. */
DECLARE EXTERNAL FUNCTION ibListStrGetItemByIndex
	INTEGER, INTEGER
	RETURNS CSTRING(4096) CHARACTER SET WIN1251 FREE_IT
	ENTRY_POINT 'ibListStrGetItemByIndex' MODULE_NAME 'ORLIX';

/* ibListStrGetItemBySubStr: the first list string that contains sub (letter
 * case counts); the empty string when none does or sub is empty. The result
 * is written into sub's own buffer, so sub is declared as long as the
 * longest value (4096 bytes): the library never writes more than 4096 bytes
 * and the terminator there. Keep this length equal to ibListStrAdd's. */
DECLARE EXTERNAL FUNCTION ibListStrGetItemBySubStr
	INTEGER, CSTRING(4096) CHARACTER SET WIN1251
	RETURNS CSTRING(4096) CHARACTER SET WIN1251
	ENTRY_POINT 'ibListStrGetItemBySubStr' MODULE_NAME 'ORLIX';

/* ibListIntCreate: creates an empty integer list under the name and returns
 * its handle; 0 on a failure. */
DECLARE EXTERNAL FUNCTION ibListIntCreate
	CSTRING(255) CHARACTER SET WIN1251
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibListIntCreate' MODULE_NAME 'ORLIX';

/* ibListIntFree: frees the list; returns 1, or 0 when the handle is 0 or was
 * never given. A handle of another kind is warned about and freed. */
DECLARE EXTERNAL FUNCTION ibListIntFree
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibListIntFree' MODULE_NAME 'ORLIX';

/* ibListIntPrint: writes an empty line, "ListInt: count=<n>", one line per
 * value and an empty line to the log. Returns 1; 0 for an unknown handle. */
DECLARE EXTERNAL FUNCTION ibListIntPrint
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibListIntPrint' MODULE_NAME 'ORLIX';

/* ibListIntByName: the handle of the integer list of that name; 0 when
 * there is none. */
DECLARE EXTERNAL FUNCTION ibListIntByName
	CSTRING(255) CHARACTER SET WIN1251
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibListIntByName' MODULE_NAME 'ORLIX';

/* ibListIntClear: empties the list. Returns 1; 0 for an unknown handle. */
DECLARE EXTERNAL FUNCTION ibListIntClear
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibListIntClear' MODULE_NAME 'ORLIX';

/* ibListIntAdd: appends the value and marks the list unsorted. Returns 1;
 * 0 for an unknown handle. */
DECLARE EXTERNAL FUNCTION ibListIntAdd
	INTEGER, INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibListIntAdd' MODULE_NAME 'ORLIX';

/* ibListIntDelete: removes one occurrence of the value. Returns 1, also when
 * the value was absent; 0 for an unknown handle. */
DECLARE EXTERNAL FUNCTION ibListIntDelete
	INTEGER, INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibListIntDelete' MODULE_NAME 'ORLIX';

/* ibListIntCount: the number of values; 0 for an unknown handle. */
DECLARE EXTERNAL FUNCTION ibListIntCount
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibListIntCount' MODULE_NAME 'ORLIX';

/* ibListIntExists: 1 when the value is in the list, else 0. Sorts the list
 * ascending first and leaves it sorted. */
DECLARE EXTERNAL FUNCTION ibListIntExists
	INTEGER, INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibListIntExists' MODULE_NAME 'ORLIX';

/* ibListIntIndexOf: the 0-based position of the value after sorting the
 * list ascending (it stays sorted); -1 when absent or for an unknown
 * handle. */
DECLARE EXTERNAL FUNCTION ibListIntIndexOf
	INTEGER, INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibListIntIndexOf' MODULE_NAME 'ORLIX';

/* ibListIntGetItemByIndex: the value at the 0-based index; -1000 for an
 * index out of range or an unknown handle (indistinguishable from a stored
 * -1000: compare the index with ibListIntCount first). */
DECLARE EXTERNAL FUNCTION ibListIntGetItemByIndex
	INTEGER, INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibListIntGetItemByIndex' MODULE_NAME 'ORLIX';

/* ibListDoubleCreate: creates an empty double list under the name and
 * returns its handle; 0 on a failure. */
DECLARE EXTERNAL FUNCTION ibListDoubleCreate
	CSTRING(255) CHARACTER SET WIN1251
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibListDoubleCreate' MODULE_NAME 'ORLIX';

/* ibListDoubleFree: frees the list; returns 1, or 0 when the handle is 0 or
 * was never given. A handle of another kind is warned about and freed. */
DECLARE EXTERNAL FUNCTION ibListDoubleFree
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibListDoubleFree' MODULE_NAME 'ORLIX';

/* ibListDoublePrint: writes an empty line, "ListDouble: count=<n>", one line
 * per value (up to 15 significant digits, "." as separator) and an empty
 * line to the log. Returns 1; 0 for an unknown handle. */
DECLARE EXTERNAL FUNCTION ibListDoublePrint
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibListDoublePrint' MODULE_NAME 'ORLIX';

/* ibListDoubleByName: the handle of the double list of that name; 0 when
 * there is none. */
DECLARE EXTERNAL FUNCTION ibListDoubleByName
	CSTRING(255) CHARACTER SET WIN1251
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibListDoubleByName' MODULE_NAME 'ORLIX';

/* ibListDoubleClear: empties the list. Returns 1; 0 for an unknown handle. */
DECLARE EXTERNAL FUNCTION ibListDoubleClear
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibListDoubleClear' MODULE_NAME 'ORLIX';

/* ibListDoubleAdd: appends the value and marks the list unsorted. Returns 1;
 * 0 for an unknown handle. */
DECLARE EXTERNAL FUNCTION ibListDoubleAdd
	INTEGER, DOUBLE PRECISION
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibListDoubleAdd' MODULE_NAME 'ORLIX';

/* ibListDoubleDelete: removes one occurrence of the value (exact equality).
 * Returns 1, also when the value was absent; 0 for an unknown handle. */
DECLARE EXTERNAL FUNCTION ibListDoubleDelete
	INTEGER, DOUBLE PRECISION
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibListDoubleDelete' MODULE_NAME 'ORLIX';

/* ibListDoubleCount: the number of values; 0 for an unknown handle. */
DECLARE EXTERNAL FUNCTION ibListDoubleCount
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibListDoubleCount' MODULE_NAME 'ORLIX';

/* ibListDoubleExists: 1 when a value exactly equal is in the list, else 0
 * (0.1 + 0.2 does not find 0.3). Never reorders the list. */
DECLARE EXTERNAL FUNCTION ibListDoubleExists
	INTEGER, DOUBLE PRECISION
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibListDoubleExists' MODULE_NAME 'ORLIX';

/* ibListDoubleIndexOf: the 0-based position of an exactly equal value in
 * the list's current order (never reorders); -1 when absent or for an
 * unknown handle. */
DECLARE EXTERNAL FUNCTION ibListDoubleIndexOf
	INTEGER, DOUBLE PRECISION
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibListDoubleIndexOf' MODULE_NAME 'ORLIX';

/* ibListDoubleGetItemByIndex: the value at the 0-based index; -1000.0 for
 * an index out of range or an unknown handle. */
DECLARE EXTERNAL FUNCTION ibListDoubleGetItemByIndex
	INTEGER, INTEGER
	RETURNS DOUBLE PRECISION BY VALUE
	ENTRY_POINT 'ibListDoubleGetItemByIndex' MODULE_NAME 'ORLIX';

/* ibListDoubleSort: a non-zero flag sorts the list ascending and keeps it
 * marked sorted (searches then use bisection); 0 only marks it unsorted.
 * The only function that reorders a double list. Returns 1; 0 for an
 * unknown handle. */
DECLARE EXTERNAL FUNCTION ibListDoubleSort
	INTEGER, INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibListDoubleSort' MODULE_NAME 'ORLIX';

/* == END values == */

/* == BEGIN memtable == */

/*****************************************
 *
 *	M e m o r y   t a b l e s
 *
 *****************************************
 *
 * Named tables kept on the server thread and reached by a handle (1, 2, ...;
 * 0 means no table). A table is defined field by field (ibMemTableAddField:
 * type 'string', 'int', 'double', 'datetime'/'date'/'time'; a key flag;
 * merge action 'miss', 'update', 'sum', 'min', 'max', 'count'; names exact,
 * letter case counts), then filled through its work row: clear it, set its
 * fields, insert it. Rows stay in ascending key order, one row per key: a
 * row whose key exists is folded into it field by field by the actions
 * (integer sums and counts wrap around in 32 bits; a string 'sum'
 * concatenates; string keys, 'min' and 'max' follow the alphabetical order
 * of the locale, letter case deciding only between otherwise equal strings;
 * a table without key fields folds every row into one). Once the first row
 * is inserted the fields are fixed for the table's life, even after
 * ibMemTableClear. The table then answers lookups by key (set the key fields
 * of the work row, ibMemTableLocate) and walks by cursor. A walk over the
 * rows that no lookup has read: ibMemTableSetNew before the lookups, then
 * ibMemTableFirstNew / ibMemTableNextNew; reading any field of a row clears
 * its mark. Table names are unique per thread, letter case ignored.
 * Create, fill, read and free a table inside one EXECUTE BLOCK or
 * procedure call.
 *
 * Setters write the value slot of their own kind whatever the field's type;
 * only the slot of the declared type takes part in keys, folding and
 * printing. Dates go in and come back as whole days (time of day 0).
 * Double keys compare exactly; NaN keys sort after all numbers and equal
 * each other.
 *
 * Failure values are given with each function. A handle of no table, a
 * field index outside the table's fields, and a cursor off the rows answer
 * the failure value at once and write nothing to the log; a failure inside
 * a function (unknown type or action, a field added too late, a duplicate
 * table name, freeing a handle of no table, a table without fields) writes
 * "<function>.except=<message>" to the log. Since ibMemTableInsert answers
 * -1 both for an added row and for a failure, only the log tells them apart.
 *
 * String values: at most 32000 bytes through these declarations.
 *
 *****************************************/

/* ibMemTableCreate: creates an empty table under the name (taken as passed;
 * logs "TMemTable.CreateTable=<name>") and returns its handle, the lowest
 * free one. 0 on a failure, such as a name already used on this thread. */
DECLARE EXTERNAL FUNCTION ibMemTableCreate
	CSTRING(255) CHARACTER SET WIN1251
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibMemTableCreate' MODULE_NAME 'ORLIX';

/* ibMemTableFree: destroys the table; its handle and name become free.
 * Returns 1; 0 for handle 0, and 0 with a log line for a handle of no
 * table. */
DECLARE EXTERNAL FUNCTION ibMemTableFree
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibMemTableFree' MODULE_NAME 'ORLIX';

/* ibMemTablePrint: writes the table to the log: date and time, "MemTable",
 * "Row" and the work row, "Count=..  Size=..  Capacity=..", then one line
 * per row ("new=<0|1>   f0=<value>   f1=<value> ..."). Returns 1; 0 on a
 * failure. */
DECLARE EXTERNAL FUNCTION ibMemTablePrint
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibMemTablePrint' MODULE_NAME 'ORLIX';

/* ibMemTableByName: the handle of the table of that name (letter case
 * ignored); 0 when there is none. */
DECLARE EXTERNAL FUNCTION ibMemTableByName
	CSTRING(255) CHARACTER SET WIN1251
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibMemTableByName' MODULE_NAME 'ORLIX';

/* ibMemTableClear: removes every row; the fields stay, and numbering starts
 * again. Returns 1; 0 on a failure. */
DECLARE EXTERNAL FUNCTION ibMemTableClear
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibMemTableClear' MODULE_NAME 'ORLIX';

/* ibMemTableAddField: appends a field (handle, name, type name, key flag,
 * action name) and returns its index (0, 1, ...). Only the key flag's
 * low-order byte counts: any non-zero byte makes a key field (256 does
 * not). Adding a field clears the work row. -1 on a failure: unknown type
 * or action name, or the table already has rows (or had them). */
DECLARE EXTERNAL FUNCTION ibMemTableAddField
	INTEGER, CSTRING(255) CHARACTER SET WIN1251, CSTRING(255) CHARACTER SET WIN1251, INTEGER, CSTRING(255) CHARACTER SET WIN1251
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibMemTableAddField' MODULE_NAME 'ORLIX';

/* ibMemTableFieldByName: the index of the first field of that name (letter
 * case counts); -1 when there is none or on a failure. */
DECLARE EXTERNAL FUNCTION ibMemTableFieldByName
	INTEGER, CSTRING(255) CHARACTER SET WIN1251
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibMemTableFieldByName' MODULE_NAME 'ORLIX';

/* ibMemTableRowClear: empties every field of the work row. After an insert
 * that added a row, the work row holds whatever values its record last
 * had: clear it, or set every field, before the next insert. Returns 1; 0
 * on a failure (a table without fields). */
DECLARE EXTERNAL FUNCTION ibMemTableRowClear
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibMemTableRowClear' MODULE_NAME 'ORLIX';

/* ibMemTableRowFieldSetStr: stores the string (taken as passed) in the work
 * row's field (handle, field index, value). Returns 1; 0 on a failure. */
DECLARE EXTERNAL FUNCTION ibMemTableRowFieldSetStr
	INTEGER, INTEGER, CSTRING(32000) CHARACTER SET WIN1251
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibMemTableRowFieldSetStr' MODULE_NAME 'ORLIX';

/* ibMemTableRowFieldSetInt: the same for an integer. */
DECLARE EXTERNAL FUNCTION ibMemTableRowFieldSetInt
	INTEGER, INTEGER, INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibMemTableRowFieldSetInt' MODULE_NAME 'ORLIX';

/* ibMemTableRowFieldSetDouble: the same for a double. */
DECLARE EXTERNAL FUNCTION ibMemTableRowFieldSetDouble
	INTEGER, INTEGER, DOUBLE PRECISION
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibMemTableRowFieldSetDouble' MODULE_NAME 'ORLIX';

/* ibMemTableRowFieldSetDate: the same for a date (a whole day). */
DECLARE EXTERNAL FUNCTION ibMemTableRowFieldSetDate
	INTEGER, INTEGER, DATE
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibMemTableRowFieldSetDate' MODULE_NAME 'ORLIX';

/* ibMemTableInsert: inserts the work row. Returns -1 when it was added as a
 * new row, else the index of the row of equal key it was folded into.
 * Also -1 on a failure (logged). */
DECLARE EXTERNAL FUNCTION ibMemTableInsert
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibMemTableInsert' MODULE_NAME 'ORLIX';

/* ibMemTableSetNew: marks every row as not read yet, for ibMemTableFirstNew
 * and ibMemTableNextNew. Returns 1; 0 on a failure. */
DECLARE EXTERNAL FUNCTION ibMemTableSetNew
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibMemTableSetNew' MODULE_NAME 'ORLIX';

/* ibMemTableLocate: looks up the row whose key equals the work row's key
 * fields. Returns 1 with the cursor on it, or 0 with the cursor where it
 * was; -1 on a failure. */
DECLARE EXTERNAL FUNCTION ibMemTableLocate
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibMemTableLocate' MODULE_NAME 'ORLIX';

/* ibMemTableFieldSetStr: stores the string in the current row's field
 * (handle, field index, value). The row keeps its place (even when a key
 * field changes) and its mark. Returns 1; 0 on a failure or when the
 * cursor is off the rows. */
DECLARE EXTERNAL FUNCTION ibMemTableFieldSetStr
	INTEGER, INTEGER, CSTRING(32000) CHARACTER SET WIN1251
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibMemTableFieldSetStr' MODULE_NAME 'ORLIX';

/* ibMemTableFieldSetInt: the same for an integer. */
DECLARE EXTERNAL FUNCTION ibMemTableFieldSetInt
	INTEGER, INTEGER, INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibMemTableFieldSetInt' MODULE_NAME 'ORLIX';

/* ibMemTableFieldSetDouble: the same for a double. */
DECLARE EXTERNAL FUNCTION ibMemTableFieldSetDouble
	INTEGER, INTEGER, DOUBLE PRECISION
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibMemTableFieldSetDouble' MODULE_NAME 'ORLIX';

/* ibMemTableFieldSetDate: the same for a date (a whole day). */
DECLARE EXTERNAL FUNCTION ibMemTableFieldSetDate
	INTEGER, INTEGER, DATE
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibMemTableFieldSetDate' MODULE_NAME 'ORLIX';

/* ibMemTableFieldGetStr: the string of the current row's field (handle,
 * field index) and clears the row's mark. The text is the table's own
 * (not freed by the server). The empty string when the cursor is off the
 * rows or the handle or index names nothing; 'Error' after a failure
 * (logged). */
DECLARE EXTERNAL FUNCTION ibMemTableFieldGetStr
	INTEGER, INTEGER
	RETURNS CSTRING(32000) CHARACTER SET WIN1251
	ENTRY_POINT 'ibMemTableFieldGetStr' MODULE_NAME 'ORLIX';

/* ibMemTableFieldGetInt: the integer of the current row's field; clears the
 * row's mark. 0 on a failure. */
DECLARE EXTERNAL FUNCTION ibMemTableFieldGetInt
	INTEGER, INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibMemTableFieldGetInt' MODULE_NAME 'ORLIX';

/* ibMemTableFieldGetDouble: the double of the current row's field; clears
 * the row's mark. 0 on a failure. */
DECLARE EXTERNAL FUNCTION ibMemTableFieldGetDouble
	INTEGER, INTEGER
	RETURNS DOUBLE PRECISION BY VALUE
	ENTRY_POINT 'ibMemTableFieldGetDouble' MODULE_NAME 'ORLIX';

/* ibMemTableFieldGetDate: the date of the current row's field at midnight;
 * clears the row's mark. 1899-12-30 00:00 on a failure. */
DECLARE EXTERNAL FUNCTION ibMemTableFieldGetDate
	INTEGER, INTEGER
	RETURNS TIMESTAMP FREE_IT
	ENTRY_POINT 'ibMemTableFieldGetDate' MODULE_NAME 'ORLIX';

/* ibMemTableBOF: 1 when the cursor is before the first row or the table is
 * empty, else 0. 1 on a failure. */
DECLARE EXTERNAL FUNCTION ibMemTableBOF
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibMemTableBOF' MODULE_NAME 'ORLIX';

/* ibMemTableEOF: 1 when the cursor is past the last row, else 0. 1 on a
 * failure, so a walk over an unknown handle ends at once. */
DECLARE EXTERNAL FUNCTION ibMemTableEOF
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibMemTableEOF' MODULE_NAME 'ORLIX';

/* ibMemTableFirst: the cursor to the first row. Returns 1; 0 on a failure. */
DECLARE EXTERNAL FUNCTION ibMemTableFirst
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibMemTableFirst' MODULE_NAME 'ORLIX';

/* ibMemTableLast: the cursor to the last row. Returns 1; 0 on a failure. */
DECLARE EXTERNAL FUNCTION ibMemTableLast
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibMemTableLast' MODULE_NAME 'ORLIX';

/* ibMemTableNext: the cursor one row on (not past the end). Returns 1; 0
 * on a failure. */
DECLARE EXTERNAL FUNCTION ibMemTableNext
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibMemTableNext' MODULE_NAME 'ORLIX';

/* ibMemTablePrior: the cursor one row back (not before the start). Returns
 * 1; 0 on a failure. */
DECLARE EXTERNAL FUNCTION ibMemTablePrior
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibMemTablePrior' MODULE_NAME 'ORLIX';

/* ibMemTableFirstNew: the cursor to the first row not read since
 * ibMemTableSetNew (EOF when none). Returns 1; 0 on a failure. */
DECLARE EXTERNAL FUNCTION ibMemTableFirstNew
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibMemTableFirstNew' MODULE_NAME 'ORLIX';

/* ibMemTableNextNew: the cursor to the next such row (EOF when none).
 * Returns 1; 0 on a failure. */
DECLARE EXTERNAL FUNCTION ibMemTableNextNew
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibMemTableNextNew' MODULE_NAME 'ORLIX';

/* == END memtable == */

/* == BEGIN calcpart == */

/*****************************************
 *
 *	B a t c h   c a l c u l a t i o n
 *
 *****************************************
 *
 * The party (lot) engine, one per server thread: splits consumptions and
 * returns by party, in date order. Use it inside ONE EXECUTE BLOCK or
 * procedure call: ibCalcPartCreate; ibCalcPartClear(0); fix kinds and
 * priorities first (they are looked up when later rows are appended),
 * optionally ibCalcPartFixKindSort; then parties, open consumptions, open
 * returns and stored splits, each Append optionally followed by its Update;
 * ibCalcPartExecute; read by key (the GetQuantity functions, which also take
 * the row out of the new rows) and walk the rest (ibCalcPartFirstNew, then
 * while ibCalcPartEOF answers 0: field reads and ibCalcPartNextNew);
 * ibCalcPartFree.
 *
 * Tables (letter case ignored): 'remains' (parties left, including parties
 * made from returned and moved goods), 'xpart' (consumption no party was
 * found for), 'xret' (returns no consumption was found for), 'partspec'
 * (consumption dh took q of party idh as moved by mdh), 'retspec' (return
 * dh of consumption odh gave back q of party idh/mdh). Any other name
 * answers the failure value without a log line.
 *
 * Codes the engine gives meaning to: dk 1 a consumption that returns can
 * take back, dk 2 a move to place ci; ot 2 on a party lets consumptions
 * dated before it take it, ot 1 on a dk-1 consumption limits it to parties
 * of its own ci; fix kind 1 takes the base party only where it was received,
 * fix kind 2 follows it to its newest place; a fixed document takes only the
 * parties it has fix kinds against.
 *
 * A function called on a thread without the engine answers its failure
 * value and logs nothing. A failure inside writes "<function>: except=
 * <message>" to the log and answers the failure value: quantities and money
 * values must be finite numbers, dates between 0001-01-01 and 9999-12-31,
 * field names exact, and the Update and field-read functions need a current
 * row. Arguments noted "not read" may be anything.
 *
 * Choices of this implementation: a stored split (a row loaded with
 * ibCalcPartPartSpecUpdate2 or ibCalcPartRetSpecUpdate2) counts as stored
 * for any cp other than 0, and is then never offered as new; the engine
 * does not look at the value itself or the order in which the stored
 * splits were loaded. A null argument pointer (which the server never
 * passes) fails the call with "Null argument".
 *
 *****************************************/

/* ibCalcPartCreate: creates this thread's engine. Returns 1; 0 when the
 * thread has one already (logged; the existing engine is untouched). The
 * argument is not read. */
DECLARE EXTERNAL FUNCTION ibCalcPartCreate
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibCalcPartCreate' MODULE_NAME 'ORLIX';

/* ibCalcPartFree: frees the engine. Returns 1; 0 when there is none. */
DECLARE EXTERNAL FUNCTION ibCalcPartFree
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibCalcPartFree' MODULE_NAME 'ORLIX';

/* ibCalcPartClear: empties parties, consumptions, returns and splits; with
 * a mode below 1 the fix kinds too (priorities always stay). Returns 1; 0
 * on a failure. */
DECLARE EXTERNAL FUNCTION ibCalcPartClear
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibCalcPartClear' MODULE_NAME 'ORLIX';

/* ibCalcPartPrint: writes "CalcPart" and every list (FixKind, Remains,
 * XPart, XRet, PartSpec, RetSpec, tmpXRet), one line a row, to the log.
 * Returns 1; 0 on a failure. */
DECLARE EXTERNAL FUNCTION ibCalcPartPrint
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibCalcPartPrint' MODULE_NAME 'ORLIX';

/* ibCalcPartFixKindSort: sorts the fix kinds (and folds repeated pairs) so
 * that the calculation looks them up by bisection. Returns 1; 0 on a
 * failure. */
DECLARE EXTERNAL FUNCTION ibCalcPartFixKindSort
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibCalcPartFixKindSort' MODULE_NAME 'ORLIX';

/* ibCalcPartExecute: the calculation. Returns matched to consumptions (the
 * latest consumption before the return, same place and counterpart, first
 * of the same money values); parties handed out oldest first (then by
 * priority, document, move) to consumptions in date order, fixed ones first,
 * a party reaching a consumption through another one whose goods came back
 * or through a move out and back where it can; returned goods and the goods
 * of moves arrive as new parties and are handed out in turn; then split
 * parties are sent around cycles of moves, returned goods of open
 * consumptions pass through later splits, and open consumptions take the
 * party of a fixed kind-2 split that takes a moved party instead (which
 * starts another round when new parties arrive); at most two passes over
 * the returns. Afterwards every table is in key order, rows with nothing
 * left are gone, and every row is new except stored splits. For the
 * engine's own rows: each consumption's quantity = its PartSpec rows + what
 * stays in XPart; each return's quantity = its RetSpec rows + what stays in
 * XRet; goods are neither made nor lost. Returns 1; 0 on a failure (logged;
 * the tables are then as the failure left them).
 *
 * Bounds: the immediate allocation of arriving goods nests at most 1000
 * deep per party; a return is rerouted at most 1001 times; the rounds of
 * one pass stop after 1000; the search for cycles of moves examines at most
 * 2,000,000 links per round (the cycles of many moves are exponentially
 * many) and then keeps what it applied.
 *
 * Choices of this implementation where the design leaves them open: the
 * first link of a cycle path is marked like the others, so a move to its own
 * place is no cycle of its own; a move is never paired with itself as its
 * own way back; cycles of moves are linked without a date test (a move
 * feeds the moves that leave from where it arrives); the returns of a
 * consumption that takes a fixed split's party are booked against the
 * moved party the split takes instead; a party that arrives during that
 * swap is looked up with its place, so it adds to an existing row of the
 * same party and place; a move does not take the goods it brought to its
 * own place, and takes from a party row at most what the row held when the
 * move came to it (goods a cycle of moves brings back to that row meanwhile
 * wait there), so goods never go round and round one party quantity at a
 * time. */
DECLARE EXTERNAL FUNCTION ibCalcPartExecute
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibCalcPartExecute' MODULE_NAME 'ORLIX';

/* ibCalcPartXMoveCycle: does nothing. Returns 1 when the engine exists,
 * -1 otherwise. */
DECLARE EXTERNAL FUNCTION ibCalcPartXMoveCycle
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibCalcPartXMoveCycle' MODULE_NAME 'ORLIX';

/* ibCalcPartPriorityInAppend(dk, ot, p, pfm): the priority p (and pfm) of
 * parties of document kind dk and operation type ot; parties appended later
 * take it (-1 when none is given). Returns 1; 0 on a failure. */
DECLARE EXTERNAL FUNCTION ibCalcPartPriorityInAppend
	INTEGER, INTEGER, INTEGER, INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibCalcPartPriorityInAppend' MODULE_NAME 'ORLIX';

/* ibCalcPartFixKindAppend(dh, bdh, k): document dh may take party bdh with
 * fix kind k; dh becomes a fixed document for rows appended later. Returns
 * 1; 0 on a failure. */
DECLARE EXTERNAL FUNCTION ibCalcPartFixKindAppend
	INTEGER, INTEGER, INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibCalcPartFixKindAppend' MODULE_NAME 'ORLIX';

/* ibCalcPartRemainsAppend(dh, mdh, d, pi, ot, dk, q, ci): a party on hand:
 * receipt document dh, brought to place pi by document mdh (-1: not moved),
 * dated d, quantity q, counterpart ci. Returns 1; 0 on a failure. */
DECLARE EXTERNAL FUNCTION ibCalcPartRemainsAppend
	INTEGER, INTEGER, DATE, INTEGER, INTEGER, INTEGER, DOUBLE PRECISION, INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibCalcPartRemainsAppend' MODULE_NAME 'ORLIX';

/* ibCalcPartXPartAppend(dh, mdh, d, pi, ot, dk, q, fix, p, ci): a
 * consumption line still to be split (dk 2: a move to place ci). fix is
 * read but not used: a document is fixed when it has fix kinds. Returns 1;
 * 0 on a failure. */
DECLARE EXTERNAL FUNCTION ibCalcPartXPartAppend
	INTEGER, INTEGER, DATE, INTEGER, INTEGER, INTEGER, DOUBLE PRECISION, INTEGER, INTEGER, INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibCalcPartXPartAppend' MODULE_NAME 'ORLIX';

/* ibCalcPartXPartUpdate(rub, cur, th): money values of the consumption line
 * just appended (appends set 0, 0, -1); copied onto every split of it.
 * Returns 1; 0 on a failure. */
DECLARE EXTERNAL FUNCTION ibCalcPartXPartUpdate
	DOUBLE PRECISION, DOUBLE PRECISION, INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibCalcPartXPartUpdate' MODULE_NAME 'ORLIX';

/* ibCalcPartXRetAppend(dh, odh, mdh, d, pi, q, fix, ci): a return line still
 * to be split. odh and mdh are replaced by -1: a return is matched by place,
 * counterpart, date and money values, and the lines of one return document
 * are merged. fix is read but not used. Returns 1; 0 on a failure. */
DECLARE EXTERNAL FUNCTION ibCalcPartXRetAppend
	INTEGER, INTEGER, INTEGER, DATE, INTEGER, DOUBLE PRECISION, INTEGER, INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibCalcPartXRetAppend' MODULE_NAME 'ORLIX';

/* ibCalcPartXRetUpdate(rub, cur, th): money values of the return line just
 * appended. Returns 1; 0 on a failure. */
DECLARE EXTERNAL FUNCTION ibCalcPartXRetUpdate
	DOUBLE PRECISION, DOUBLE PRECISION, INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibCalcPartXRetUpdate' MODULE_NAME 'ORLIX';

/* ibCalcPartPartSpecAppend(dh, idh, mdh, d, pi, ot, dk, q, fix, ci): a
 * stored split (consumption dh took q of party idh/mdh), with party
 * counterpart -1, party date 30.12.1899 and party ot -1 until an Update.
 * Returns 1; 0 on a failure. */
DECLARE EXTERNAL FUNCTION ibCalcPartPartSpecAppend
	INTEGER, INTEGER, INTEGER, DATE, INTEGER, INTEGER, INTEGER, DOUBLE PRECISION, INTEGER, INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibCalcPartPartSpecAppend' MODULE_NAME 'ORLIX';

/* ibCalcPartPartSpecUpdate(rub, cur, th, pci, bd, bot): money values, party
 * counterpart, party date and party ot of the split just appended. Returns
 * 1; 0 on a failure. */
DECLARE EXTERNAL FUNCTION ibCalcPartPartSpecUpdate
	DOUBLE PRECISION, DOUBLE PRECISION, INTEGER, INTEGER, DATE, INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibCalcPartPartSpecUpdate' MODULE_NAME 'ORLIX';

/* ibCalcPartPartSpecUpdate2(rub, cur, th, pci, bd, bot, cp): the same, and
 * cp; a row with cp other than 0 is stored and never offered as new.
 * Returns 1; 0 on a failure. */
DECLARE EXTERNAL FUNCTION ibCalcPartPartSpecUpdate2
	DOUBLE PRECISION, DOUBLE PRECISION, INTEGER, INTEGER, DATE, INTEGER, INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibCalcPartPartSpecUpdate2' MODULE_NAME 'ORLIX';

/* ibCalcPartRetSpecAppend(dh, odh, idh, mdh, d, pi, q, fix, ci): a stored
 * return split. Returns 1; 0 on a failure. */
DECLARE EXTERNAL FUNCTION ibCalcPartRetSpecAppend
	INTEGER, INTEGER, INTEGER, INTEGER, DATE, INTEGER, DOUBLE PRECISION, INTEGER, INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibCalcPartRetSpecAppend' MODULE_NAME 'ORLIX';

/* ibCalcPartRetSpecUpdate(rub, cur, th): money values of the return split
 * just appended. Returns 1; 0 on a failure. */
DECLARE EXTERNAL FUNCTION ibCalcPartRetSpecUpdate
	DOUBLE PRECISION, DOUBLE PRECISION, INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibCalcPartRetSpecUpdate' MODULE_NAME 'ORLIX';

/* ibCalcPartRetSpecUpdate2(rub, cur, th, cp): the same, and cp. Returns 1;
 * 0 on a failure. */
DECLARE EXTERNAL FUNCTION ibCalcPartRetSpecUpdate2
	DOUBLE PRECISION, DOUBLE PRECISION, INTEGER, INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibCalcPartRetSpecUpdate2' MODULE_NAME 'ORLIX';

/* ibCalcPartRemainsGetQuantity(dh, mdh): the quantity of party dh/mdh (0
 * when there is none); the row is no longer new. -1 on a failure. */
DECLARE EXTERNAL FUNCTION ibCalcPartRemainsGetQuantity
	INTEGER, INTEGER
	RETURNS DOUBLE PRECISION BY VALUE
	ENTRY_POINT 'ibCalcPartRemainsGetQuantity' MODULE_NAME 'ORLIX';

/* ibCalcPartPartSpecGetQuantity(dh, idh, mdh): what consumption dh took of
 * party idh/mdh (0 when nothing); the row is no longer new. -1 on a
 * failure. */
DECLARE EXTERNAL FUNCTION ibCalcPartPartSpecGetQuantity
	INTEGER, INTEGER, INTEGER
	RETURNS DOUBLE PRECISION BY VALUE
	ENTRY_POINT 'ibCalcPartPartSpecGetQuantity' MODULE_NAME 'ORLIX';

/* ibCalcPartRetSpecGetQuantity(dh, odh, idh, mdh): what return dh of
 * consumption odh gave back of party idh/mdh (0 when nothing); the row is
 * no longer new. -1 on a failure. */
DECLARE EXTERNAL FUNCTION ibCalcPartRetSpecGetQuantity
	INTEGER, INTEGER, INTEGER, INTEGER
	RETURNS DOUBLE PRECISION BY VALUE
	ENTRY_POINT 'ibCalcPartRetSpecGetQuantity' MODULE_NAME 'ORLIX';

/* ibCalcPartXPartGetQuantity(dh, mdh): the consumption still without a
 * party (0 when none). -1 on a failure. */
DECLARE EXTERNAL FUNCTION ibCalcPartXPartGetQuantity
	INTEGER, INTEGER
	RETURNS DOUBLE PRECISION BY VALUE
	ENTRY_POINT 'ibCalcPartXPartGetQuantity' MODULE_NAME 'ORLIX';

/* ibCalcPartXRetGetQuantity(dh, odh, mdh): the return still without a
 * consumption (0 when none; after Execute odh and mdh are -1 for a return
 * no consumption was found for). -1 on a failure. */
DECLARE EXTERNAL FUNCTION ibCalcPartXRetGetQuantity
	INTEGER, INTEGER, INTEGER
	RETURNS DOUBLE PRECISION BY VALUE
	ENTRY_POINT 'ibCalcPartXRetGetQuantity' MODULE_NAME 'ORLIX';

/* ibCalcPartCount(table): the number of rows of the table; -1 for an
 * unknown table or on a failure. */
DECLARE EXTERNAL FUNCTION ibCalcPartCount
	CSTRING(31)
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibCalcPartCount' MODULE_NAME 'ORLIX';

/* ibCalcPartFirstNew(table): the table's cursor to its first new row (to
 * its end when none). Returns 1; 0 on a failure. */
DECLARE EXTERNAL FUNCTION ibCalcPartFirstNew
	CSTRING(31)
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibCalcPartFirstNew' MODULE_NAME 'ORLIX';

/* ibCalcPartNextNew(table): the cursor to the next new row. Returns 1; 0 on
 * a failure. */
DECLARE EXTERNAL FUNCTION ibCalcPartNextNew
	CSTRING(31)
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibCalcPartNextNew' MODULE_NAME 'ORLIX';

/* ibCalcPartEOF(table): 0 while the cursor is on a row, 1 at the end and on
 * a failure. */
DECLARE EXTERNAL FUNCTION ibCalcPartEOF
	CSTRING(31)
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibCalcPartEOF' MODULE_NAME 'ORLIX';

/* ibCalcPartGetFieldInteger(table, field): a field of the current row, by
 * its exact name: 'DocHead' (every table), 'MoveDocHead' (every table),
 * 'OutDocHead' (xret, retspec), 'InDocHead' (partspec, retspec). -1 for
 * another name or no current row (logged) and on a failure. */
DECLARE EXTERNAL FUNCTION ibCalcPartGetFieldInteger
	CSTRING(31), CSTRING(31)
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibCalcPartGetFieldInteger' MODULE_NAME 'ORLIX';

/* ibCalcPartGetFieldDouble(table, field): the quantity of the current row;
 * the field name is not looked at. -1 with no current row (logged) and on
 * a failure. */
DECLARE EXTERNAL FUNCTION ibCalcPartGetFieldDouble
	CSTRING(31), CSTRING(31)
	RETURNS DOUBLE PRECISION BY VALUE
	ENTRY_POINT 'ibCalcPartGetFieldDouble' MODULE_NAME 'ORLIX';

/* == END calcpart == */

/* == BEGIN cut == */

/*****************************************
 *
 *	W r i t e - o f f
 *
 *****************************************
 *
 * The write-off engine (ibCut...), one per server thread. It writes a
 * quantity off against the goods a set of documents holds, following each
 * party from a receipt from outside (source document -1) through the
 * documents it was moved into, to an outgoing document (kind 1) that took
 * it for good: oldest goods first (by date), along one chain the smallest
 * quantity still available on it. Goods that come back to a document
 * already on their chain form a cycle; cycles are found first, set aside,
 * and written off whole with the first chain through them. Returns send
 * goods of a shipment back into the chain through the return document.
 * With VerPay an outgoing document gives only what its payments still
 * cover and is charged against them, oldest payment first; with IsPay the
 * quantity is split: PayQuantity for chains ending in an ordinary party,
 * RetQuantity for chains ending in a party with operation type 1. Parties
 * dated after ToDate, and of kind 11, are not written off.
 *
 * Use it inside ONE EXECUTE BLOCK or procedure call: Create, Clear, append
 * the rows, SetParams, Execute, read (GetCutQuantity, PartSpecCutQ,
 * RetSpecCutQ, or walk a table: FirstNew, then while EOF answers 0 the
 * field reads and NextNew), then Free. A function called on a thread
 * without the engine answers its failure value and logs nothing; a failure
 * inside writes "<function>: except=<message>" to the log
 * ("<function>(<number>): except=..." for GetFieldInteger and
 * GetFieldDouble, with the field number, and FirstNew, with the table).
 *
 * Tables (GetTableNumber; letter case and surrounding blanks ignored):
 *   0 chain      the chains a walk finds now (walkable, no fields)
 *   1 anypart    working portions of the parties (no fields)
 *   2 partspec   parties:  dochead, movedochead; quantity, cutq
 *   3 retspec    returns:  dochead, outdochead, movedochead; quantity, cutq
 *   4 outdocpay  payments: dochead, payhead, acchead; quantity, cutq
 *   5 docspec    per document: dochead, doclist; quantity, cutq
 *   6 dochead    every document touched: dochead
 *   7 cycle      cycles found (no fields)
 * Field numbers (GetFieldNumber): dochead 0, outdochead 1, movedochead 2,
 * payhead/paydochead 3, acchead/accountdochead 4, quantity 5,
 * cutq/cutquantity 6, doclist 7 (the source of a docspec row: 2 parties,
 * 3 returns, 4 payments, the last ones by account document).
 *
 * Execute's result codes: 0 done; 1 nothing to do (no party, or nothing
 * could be written off); 4 a chain closes a cycle; 8 a return is larger
 * than what is left of its party; 16 a return of goods to the very
 * document they came through has no partner portion; 32 / 64 (VerPay) the
 * payments of an outgoing / a return document do not cover the amount of a
 * cycle or return written off with a chain; 129-133 cycle search failures
 * (130: cycles through one row take more than it holds); 256 the chain
 * search passed its limits (documents branching into more paths, or cycles
 * holding more rows, than anything real); 2 no engine or a failure. On a
 * code other than 0 what was written off so far stays.
 *
 * Quantities and dates must be numbers: an append or SetParams given NaN
 * or infinity fails (logged) and changes nothing. Reading a field while
 * the table's cursor is off its rows fails (logged). Each Execute
 * recomputes every result, DocSpec and DocHead included.
 */

/* ibCutCreate: creates this thread's write-off engine. Returns 1; 0 on a
 * failure, also when the thread has one already (logged; the existing
 * engine is untouched). The argument is not read. */
DECLARE EXTERNAL FUNCTION ibCutCreate
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibCutCreate' MODULE_NAME 'ORLIX';

/* ibCutFree: frees the engine. Returns 1; 0 when there is none. */
DECLARE EXTERNAL FUNCTION ibCutFree
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibCutFree' MODULE_NAME 'ORLIX';

/* ibCutClear: empties every row and result, sets the quantities to 0 and
 * the switches off (ToDate stays); row numbering restarts. Returns 1; 0
 * on a failure. */
DECLARE EXTERNAL FUNCTION ibCutClear
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibCutClear' MODULE_NAME 'ORLIX';

/* ibCutPrint: writes the parameters, every row list, the chains a walk
 * finds now, the cycles and the results to the log. Returns 1; 0 on a
 * failure. */
DECLARE EXTERNAL FUNCTION ibCutPrint
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibCutPrint' MODULE_NAME 'ORLIX';

/* ibCutExecute: runs the write-off. Returns its result code (above); 2
 * when there is no engine or a failure was caught. */
DECLARE EXTERNAL FUNCTION ibCutExecute
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibCutExecute' MODULE_NAME 'ORLIX';

/* ibCutSetParams: ToDate, InQuantity (to write off), PayQuantity and
 * RetQuantity (used with IsPay), IsPay, VerPay (each switch on when 1).
 * Returns 1; 0 on a failure (NaN or infinite quantity, logged). */
DECLARE EXTERNAL FUNCTION ibCutSetParams
	DATE, DOUBLE PRECISION, DOUBLE PRECISION, DOUBLE PRECISION, INTEGER, INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibCutSetParams' MODULE_NAME 'ORLIX';

/* ibCutPartSpecAppend: appends a party: document, source document (-1 for
 * a receipt from outside), date, operation type (1: chains ending here
 * draw on RetQuantity), document kind (1 outgoing, 2 first of its date,
 * 11 never written off), three carried attributes (pi, ci, cp), quantity.
 * The party table's cursor stands on it. Returns 1; 0 on a failure. */
DECLARE EXTERNAL FUNCTION ibCutPartSpecAppend
	INTEGER, INTEGER, DATE, INTEGER, INTEGER, INTEGER, INTEGER, INTEGER, DOUBLE PRECISION
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibCutPartSpecAppend' MODULE_NAME 'ORLIX';

/* ibCutPartSpecCutQ: what Execute wrote off from the party (document,
 * source document); 0 when there is none. Asked in date order (the order
 * Execute leaves), each party is found at once. 0 on a failure. */
DECLARE EXTERNAL FUNCTION ibCutPartSpecCutQ
	INTEGER, INTEGER
	RETURNS DOUBLE PRECISION BY VALUE
	ENTRY_POINT 'ibCutPartSpecCutQ' MODULE_NAME 'ORLIX';

/* ibCutRetSpecAppend: appends a return: return document, shipment it
 * returns, source document of the returned party, date, pi, ci, cp,
 * quantity. Returns 1; 0 on a failure. */
DECLARE EXTERNAL FUNCTION ibCutRetSpecAppend
	INTEGER, INTEGER, INTEGER, DATE, INTEGER, INTEGER, INTEGER, DOUBLE PRECISION
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibCutRetSpecAppend' MODULE_NAME 'ORLIX';

/* ibCutRetSpecCutQ: what Execute wrote off from the return (return
 * document, shipment, source document); 0 when there is none. */
DECLARE EXTERNAL FUNCTION ibCutRetSpecCutQ
	INTEGER, INTEGER, INTEGER
	RETURNS DOUBLE PRECISION BY VALUE
	ENTRY_POINT 'ibCutRetSpecCutQ' MODULE_NAME 'ORLIX';

/* ibCutOutDocPayAppend: appends a payment of an outgoing document:
 * document, payment document, account document (-1 none), payment date,
 * account date, amount. Returns 1; 0 on a failure. */
DECLARE EXTERNAL FUNCTION ibCutOutDocPayAppend
	INTEGER, INTEGER, INTEGER, DATE, DATE, DOUBLE PRECISION
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibCutOutDocPayAppend' MODULE_NAME 'ORLIX';

/* ibCutGetTableNumber: the number (0-7) of a table name; -1 for any other
 * name. */
DECLARE EXTERNAL FUNCTION ibCutGetTableNumber
	CSTRING(255)
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibCutGetTableNumber' MODULE_NAME 'ORLIX';

/* ibCutGetFieldNumber: the number of a field name (above); any other name:
 * -1 (logged). */
DECLARE EXTERNAL FUNCTION ibCutGetFieldNumber
	CSTRING(255)
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibCutGetFieldNumber' MODULE_NAME 'ORLIX';

/* ibCutGetFieldInteger: an integer field (table, field) of the row under
 * the table's cursor. -1 on a failure (logged): a field the table does not
 * have, a table outside 0-7, no row under the cursor. */
DECLARE EXTERNAL FUNCTION ibCutGetFieldInteger
	INTEGER, INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibCutGetFieldInteger' MODULE_NAME 'ORLIX';

/* ibCutGetFieldDouble: quantity (5) or cutq (6) of the row under the
 * cursor of partspec, retspec, outdocpay or docspec. 0 on a failure
 * (logged, as for ibCutGetFieldInteger). */
DECLARE EXTERNAL FUNCTION ibCutGetFieldDouble
	INTEGER, INTEGER
	RETURNS DOUBLE PRECISION BY VALUE
	ENTRY_POINT 'ibCutGetFieldDouble' MODULE_NAME 'ORLIX';

/* ibCutFirstNew: moves the table's cursor to its first row to read:
 * docspec rows with a cut, payments used that name a payment document,
 * every row of the other tables (on chain: the first chain of a new walk).
 * Returns 1; 0 on a failure. */
DECLARE EXTERNAL FUNCTION ibCutFirstNew
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibCutFirstNew' MODULE_NAME 'ORLIX';

/* ibCutNextNew: moves the table's cursor to its next row to read (on
 * chain: the next chain). Returns 1; 0 on a failure. */
DECLARE EXTERNAL FUNCTION ibCutNextNew
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibCutNextNew' MODULE_NAME 'ORLIX';

/* ibCutEOF: 1 when the table's cursor is past its last row (on chain: the
 * walk is over), else 0. 1 on a failure, so a reading loop ends. */
DECLARE EXTERNAL FUNCTION ibCutEOF
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibCutEOF' MODULE_NAME 'ORLIX';

/* ibCutGetCutQuantity: the total Execute wrote off (what left through
 * outgoing documents; cycles and returns written off with a chain are in
 * the rows' cutq only). 0 on a failure. */
DECLARE EXTERNAL FUNCTION ibCutGetCutQuantity
	INTEGER
	RETURNS DOUBLE PRECISION BY VALUE
	ENTRY_POINT 'ibCutGetCutQuantity' MODULE_NAME 'ORLIX';

/* ibCutGetCutRetQuantity: the part of the total whose chains ended in a
 * party with operation type 1. 0 on a failure. */
DECLARE EXTERNAL FUNCTION ibCutGetCutRetQuantity
	INTEGER
	RETURNS DOUBLE PRECISION BY VALUE
	ENTRY_POINT 'ibCutGetCutRetQuantity' MODULE_NAME 'ORLIX';

/* == END cut == */

/* == BEGIN remains == */

/*****************************************
 *
 *	R e m a i n s
 *
 *****************************************
 *
 * Two engines that turn stock movement rows into balances, one of each per
 * server thread. Use one the same way every time, inside ONE EXECUTE BLOCK
 * or procedure call: Create, set parameters, Append each row, Execute, read
 * by key (GetQuantity) or walk the rows no lookup has found (FirstNew, then
 * while EOF answers 0: field reads and NextNew), then Free. A function
 * called on a thread without the engine answers its failure value and logs
 * nothing; a failure inside a function answers the failure value and writes
 * "<function>: except=<message>" to the log.
 *
 * Dates go in as whole days and come back as timestamps at midnight.
 * Field-read failures are logged with Russian texts in Windows-1251, e.g.
 * "TOstatok.GetFieldDate: Поле <field> не сущeствует в таблице <table>"
 * (a Latin "e" after "сущ").
 *
 *****************************************/

/*
 * Remains engine (ibOstatok...)
 *
 * Movements (date, pack, size, place, quantity, resquantity) are summed by
 * key into eight tables, numbered 0 to 7:
 *   0 ostatok_short    per place               (always built)
 *   1 ostatok_pack     per place and pack      (flag 1 of SetUseParams)
 *   2 ostatok_rz       per place and size      (flag 2)
 *   3 ostatok_packrz   per place, pack, size   (flag 3)
 *   4 ostdaily         per place and day       (flag 4)
 *   5 ostdaily_pack    per place, pack, day    (flag 5)
 *   6 ostdaily_rz      per place, size, day    (flag 6)
 *   7 ostdaily_packrz  per place, pack, size, day (flag 7)
 * Tables 0-3 hold the totals over all dates; a table whose flag is off is
 * left empty. Tables 4-7 are built only when Period is 2 or more and one of
 * flags 4-7 is set (otherwise they keep what they held): for each key, a
 * row per day from its first movement up to LastDate holding the running
 * balance, skipping days on which both quantities net to zero; movements
 * after LastDate count in tables 0-3 only. A key that a table does not
 * split by reads as 0 for dates and -1 for pack and size; lookups ignore
 * the parts a table does not keep.
 *
 * Execute merges the appended rows but does not spread them, so a second
 * Execute (for instance after more Appends) sees every movement once.
 * The daily part is planned before any table changes and refused (logged,
 * Execute answers 0, every table keeps what it held) for a LastDate beyond
 * 3,000,000,000 days, or when it would build more than 2,000,000 rows in
 * all: the running balances of every key and day, plus, for each daily
 * table asked for, one row per table key and day from its first movement
 * to LastDate. At the bound one Execute takes about 175 MB and 1.5 s
 * (measured); it holds for instance 2,700 keys over a year with all four
 * daily tables, or 5,400 with one. Reading that many rows back takes a
 * procedure far longer than building them.
 */

/* ibOstatokCreate: creates this thread's remains engine. Returns 1; 0 on a
 * failure, also when the thread has one already (logged; the existing
 * engine is untouched). The argument is not read. */
DECLARE EXTERNAL FUNCTION ibOstatokCreate
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibOstatokCreate' MODULE_NAME 'ORLIX';

/* ibOstatokFree: frees the engine. Returns 1; 0 when there is none. */
DECLARE EXTERNAL FUNCTION ibOstatokFree
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibOstatokFree' MODULE_NAME 'ORLIX';

/* ibOstatokClear: empties the movements and all tables; parameters and
 * flags stay, row numbering restarts at 0. Returns 1; 0 on a failure. */
DECLARE EXTERNAL FUNCTION ibOstatokClear
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibOstatokClear' MODULE_NAME 'ORLIX';

/* ibOstatokPrint: writes the parameters, the merged movements and each
 * table whose flag is set to the log. Returns 1; 0 on a failure. */
DECLARE EXTERNAL FUNCTION ibOstatokPrint
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibOstatokPrint' MODULE_NAME 'ORLIX';

/* ibOstatokSetParams: stores Period, FirstDate, LastDate and MaxDate (only
 * Period and LastDate take part in the calculation). Returns 1; 0 on a
 * failure. */
DECLARE EXTERNAL FUNCTION ibOstatokSetParams
	INTEGER, DATE, DATE, DATE
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibOstatokSetParams' MODULE_NAME 'ORLIX';

/* ibOstatokSetUseParams: stores the seven table flags (tables 1 to 7, in
 * order). Only the first byte of each counts: 256 is off. Returns 1; 0 on
 * a failure. */
DECLARE EXTERNAL FUNCTION ibOstatokSetUseParams
	INTEGER, INTEGER, INTEGER, INTEGER, INTEGER, INTEGER, INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibOstatokSetUseParams' MODULE_NAME 'ORLIX';

/* ibOstatokAppend: appends a movement (date, pack, size, place, quantity,
 * resquantity). Returns its row number (0, 1, ...); -1 on a failure. */
DECLARE EXTERNAL FUNCTION ibOstatokAppend
	DATE, INTEGER, INTEGER, INTEGER, DOUBLE PRECISION, DOUBLE PRECISION
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibOstatokAppend' MODULE_NAME 'ORLIX';

/* ibOstatokExecute: builds the tables and marks all their rows unread.
 * Returns 1; 0 on a failure. */
DECLARE EXTERNAL FUNCTION ibOstatokExecute
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibOstatokExecute' MODULE_NAME 'ORLIX';

/* ibOstatokGetTableNumber: the number (0-7) of a table name, letter case
 * and trailing spaces ignored (as SQL compares CHAR values), leading blanks
 * not (' ostdaily' is no table); -1 for any other name. */
DECLARE EXTERNAL FUNCTION ibOstatokGetTableNumber
	CSTRING(255) CHARACTER SET WIN1251
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibOstatokGetTableNumber' MODULE_NAME 'ORLIX';

/* ibOstatokGetFieldNumber: the number of a field name, letter case and
 * surrounding blanks ignored: ostdate 0, pack 1, rz 2, placeindex 3,
 * quantity 4, resquantity 5. Any other name: -1 (logged). */
DECLARE EXTERNAL FUNCTION ibOstatokGetFieldNumber
	CSTRING(255) CHARACTER SET WIN1251
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibOstatokGetFieldNumber' MODULE_NAME 'ORLIX';

/* ibOstatokGetQuantity: quantity of the row of table <1> with key (date,
 * pack, size, place); 0 when there is none. The row found becomes the
 * table's current row and counts as read (FirstNew/NextNew skip it); after
 * a miss there is no current row. 0 on a failure (e.g. table 8, logged). */
DECLARE EXTERNAL FUNCTION ibOstatokGetQuantity
	INTEGER, DATE, INTEGER, INTEGER, INTEGER
	RETURNS DOUBLE PRECISION BY VALUE
	ENTRY_POINT 'ibOstatokGetQuantity' MODULE_NAME 'ORLIX';

/* ibOstatokGetResQuantity: resquantity of the table's current row; 0 when
 * there is none or on a failure. */
DECLARE EXTERNAL FUNCTION ibOstatokGetResQuantity
	INTEGER
	RETURNS DOUBLE PRECISION BY VALUE
	ENTRY_POINT 'ibOstatokGetResQuantity' MODULE_NAME 'ORLIX';

/* ibOstatokGetFieldDate: field 0 (ostdate) of the table's current row;
 * 1899-12-30 when there is no current row, and on a failure (any other
 * field on a row, logged). */
DECLARE EXTERNAL FUNCTION ibOstatokGetFieldDate
	INTEGER, INTEGER
	RETURNS TIMESTAMP FREE_IT
	ENTRY_POINT 'ibOstatokGetFieldDate' MODULE_NAME 'ORLIX';

/* ibOstatokGetFieldInteger: field 1 (pack), 2 (rz) or 3 (placeindex) of the
 * table's current row; 0 when there is none. Another field: 0 (logged). */
DECLARE EXTERNAL FUNCTION ibOstatokGetFieldInteger
	INTEGER, INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibOstatokGetFieldInteger' MODULE_NAME 'ORLIX';

/* ibOstatokGetFieldDouble: field 4 (quantity) or 5 (resquantity) of the
 * table's current row; 0 when there is none. Another field: 0 (logged). */
DECLARE EXTERNAL FUNCTION ibOstatokGetFieldDouble
	INTEGER, INTEGER
	RETURNS DOUBLE PRECISION BY VALUE
	ENTRY_POINT 'ibOstatokGetFieldDouble' MODULE_NAME 'ORLIX';

/* ibOstatokFirstNew: moves the table's cursor to its first unread row (at
 * the end when none). Returns 1; 0 on a failure. */
DECLARE EXTERNAL FUNCTION ibOstatokFirstNew
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibOstatokFirstNew' MODULE_NAME 'ORLIX';

/* ibOstatokNextNew: moves the table's cursor to its next unread row.
 * Returns 1; 0 on a failure. */
DECLARE EXTERNAL FUNCTION ibOstatokNextNew
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibOstatokNextNew' MODULE_NAME 'ORLIX';

/* ibOstatokEOF: 1 when the table's cursor is past its last row, else 0
 * (also 0 after a missed lookup). 1 on a failure, so a reading loop ends. */
DECLARE EXTERNAL FUNCTION ibOstatokEOF
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibOstatokEOF' MODULE_NAME 'ORLIX';

/*
 * Store remains engine (ibOstStore...)
 *
 * Rows (goods date, pack, assortment, pallet, quantity) are summed per key
 * (pallet, assortment, pack, goods date; rows in that order) into one table;
 * keys that net to zero disappear. With a single appended row Execute keeps
 * it as it is, even with quantity 0, and still marks it unread, so
 * FirstNew visits it: after Execute the walk always sees every row that no
 * lookup has found.
 */

/* ibOstStoreCreate: creates this thread's store remains engine. Returns 1;
 * 0 on a failure, also when the thread has one already (logged). */
DECLARE EXTERNAL FUNCTION ibOstStoreCreate
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibOstStoreCreate' MODULE_NAME 'ORLIX';

/* ibOstStoreFree: frees the engine. Returns 1; 0 when there is none. */
DECLARE EXTERNAL FUNCTION ibOstStoreFree
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibOstStoreFree' MODULE_NAME 'ORLIX';

/* ibOstStoreClear: empties the table; row numbering restarts at 0. Returns
 * 1; 0 on a failure. */
DECLARE EXTERNAL FUNCTION ibOstStoreClear
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibOstStoreClear' MODULE_NAME 'ORLIX';

/* ibOstStorePrint: writes the table to the log. Returns 1; 0 on a failure. */
DECLARE EXTERNAL FUNCTION ibOstStorePrint
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibOstStorePrint' MODULE_NAME 'ORLIX';

/* ibOstStoreAppend: appends a row (goods date, pack, assortment, pallet,
 * quantity). Returns its row number; -1 on a failure. */
DECLARE EXTERNAL FUNCTION ibOstStoreAppend
	DATE, INTEGER, INTEGER, INTEGER, DOUBLE PRECISION
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibOstStoreAppend' MODULE_NAME 'ORLIX';

/* ibOstStoreExecute: sums rows of equal key, drops those that net to zero,
 * marks every row unread. Returns 1; 0 on a failure. */
DECLARE EXTERNAL FUNCTION ibOstStoreExecute
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibOstStoreExecute' MODULE_NAME 'ORLIX';

/* ibOstStoreGetFieldNumber: GOODDATE 0, PACK 1, ASRT 2, PALET 3,
 * QUANTITY 4, letter case ignored, blanks not; -1 for any other name (not
 * logged). */
DECLARE EXTERNAL FUNCTION ibOstStoreGetFieldNumber
	CSTRING(255) CHARACTER SET WIN1251
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibOstStoreGetFieldNumber' MODULE_NAME 'ORLIX';

/* ibOstStoreGetQuantity: quantity of the row with key (goods date, pack,
 * assortment, pallet); 0 when there is none. The row found becomes the
 * current row and counts as read; after a miss there is no current row. */
DECLARE EXTERNAL FUNCTION ibOstStoreGetQuantity
	DATE, INTEGER, INTEGER, INTEGER
	RETURNS DOUBLE PRECISION BY VALUE
	ENTRY_POINT 'ibOstStoreGetQuantity' MODULE_NAME 'ORLIX';

/* ibOstStoreGetFieldDate: field 0 (GOODDATE) of the current row;
 * 1899-12-30 when there is none, and on a failure (another field, logged). */
DECLARE EXTERNAL FUNCTION ibOstStoreGetFieldDate
	INTEGER
	RETURNS TIMESTAMP FREE_IT
	ENTRY_POINT 'ibOstStoreGetFieldDate' MODULE_NAME 'ORLIX';

/* ibOstStoreGetFieldInteger: field 1 (PACK), 2 (ASRT) or 3 (PALET) of the
 * current row; 0 when there is none. Another field: 0 (logged). */
DECLARE EXTERNAL FUNCTION ibOstStoreGetFieldInteger
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibOstStoreGetFieldInteger' MODULE_NAME 'ORLIX';

/* ibOstStoreGetFieldDouble: field 4 (QUANTITY) of the current row; 0 when
 * there is none. Another field: 0 (logged). */
DECLARE EXTERNAL FUNCTION ibOstStoreGetFieldDouble
	INTEGER
	RETURNS DOUBLE PRECISION BY VALUE
	ENTRY_POINT 'ibOstStoreGetFieldDouble' MODULE_NAME 'ORLIX';

/* ibOstStoreFirstNew: moves the cursor to the first unread row (at the end
 * when none). Returns 1; 0 on a failure. */
DECLARE EXTERNAL FUNCTION ibOstStoreFirstNew
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibOstStoreFirstNew' MODULE_NAME 'ORLIX';

/* ibOstStoreNextNew: moves the cursor to the next unread row. Returns 1; 0
 * on a failure. */
DECLARE EXTERNAL FUNCTION ibOstStoreNextNew
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibOstStoreNextNew' MODULE_NAME 'ORLIX';

/* ibOstStoreEOF: 1 when the cursor is past the last row, else 0. 1 on a
 * failure. */
DECLARE EXTERNAL FUNCTION ibOstStoreEOF
	INTEGER
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibOstStoreEOF' MODULE_NAME 'ORLIX';

/* == END remains == */

COMMIT;
