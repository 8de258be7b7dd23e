/*
 * ORLIX: declarations of the library's external functions.
 *
 * Run this script once in every database whose procedures use the library:
 *   isql-fb -user SYSDBA -password <pwd> <database> -i orlix.sql
 * The server must be allowed to load ORLIX.so (UdfAccess in firebird.conf).
 *
 * Every argument is passed by reference. Strings are CSTRING in the
 * database's default character set; the library takes the bytes as they come
 * and writes its own texts in Windows-1251, so a WIN1251 (or NONE) default
 * character set gives the expected text.
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
	CSTRING(255)
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibVarExists' MODULE_NAME 'ORLIX';

/* ibOrlixSetLog: names the diagnostic log file for the whole server process;
 * an empty name switches the log off (it is off until first named). Lines are
 * appended; the file is created when missing. Returns 1 (0 on a failure). */
DECLARE EXTERNAL FUNCTION ibOrlixSetLog
	CSTRING(1024)
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibOrlixSetLog' MODULE_NAME 'ORLIX';

/* ib_Log: writes the message as one line to the diagnostic log (nothing when
 * the log is off). Returns 1 (0 on a failure). */
DECLARE EXTERNAL FUNCTION ib_Log
	CSTRING(32000)
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ib_Log' MODULE_NAME 'ORLIX';

/* ibOrlixLog: the same as ib_Log. */
DECLARE EXTERNAL FUNCTION ibOrlixLog
	CSTRING(32000)
	RETURNS INTEGER BY VALUE
	ENTRY_POINT 'ibOrlixLog' MODULE_NAME 'ORLIX';

/* == BEGIN values == */
/* == END values == */

/* == BEGIN memtable == */
/* == END memtable == */

/* == BEGIN remains == */
/* == END remains == */

COMMIT;
