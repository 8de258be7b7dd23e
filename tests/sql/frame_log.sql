-- The diagnostic log from the server's side: ib_Log, ibOrlixLog, ibOrlixSetLog.
-- Each block below is one step of one isql process (one loaded library), in
-- order; the companion frame_log.check.sh reads the files byte for byte.
-- Messages that must never reach a file are built by concatenation, so that
-- their text appears in no file of the work folder unless the library wrote it.
SET TERM ^ ;

-- 1. The log is off until a procedure names a file: the calls still answer 1.
EXECUTE BLOCK RETURNS (RESULT VARCHAR(4), CHECK_NAME VARCHAR(200)) AS
BEGIN
  RESULT = IIF(ib_Log('never-' || 'written log off') = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'log off before any ibOrlixSetLog: ib_Log returns 1';
  SUSPEND;
  RESULT = IIF(ibOrlixLog('never-' || 'written log off') = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'log off before any ibOrlixSetLog: ibOrlixLog returns 1';
  SUSPEND;
END^

-- 2. Naming a file switches the log on; every call writes one line.
EXECUTE BLOCK RETURNS (RESULT VARCHAR(4), CHECK_NAME VARCHAR(200)) AS
BEGIN
  RESULT = IIF(ibOrlixSetLog('@LOG@') = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'ibOrlixSetLog with a new file name returns 1';
  SUSPEND;
  RESULT = IIF(ib_Log('alpha') = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'ib_Log returns 1 with the log on';
  SUSPEND;
  RESULT = IIF(ibOrlixLog('beta') = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'ibOrlixLog returns 1 with the log on';
  SUSPEND;
  RESULT = IIF(ib_Log('') = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'ib_Log with an empty message returns 1';
  SUSPEND;
  RESULT = IIF(ib_Log('Проверка журнала: ёЁ №') = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'ib_Log with a Cyrillic message returns 1';
  SUSPEND;
  RESULT = IIF(ibOrlixLog('long ' || RPAD('', 10000, 'x') || ' end') = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'ibOrlixLog with a 10009-byte message returns 1';
  SUSPEND;
END^

-- 3. An empty name switches the log off; a later name switches it on again,
--    and the existing file is appended to.
EXECUTE BLOCK RETURNS (RESULT VARCHAR(4), CHECK_NAME VARCHAR(200)) AS
BEGIN
  RESULT = IIF(ibOrlixSetLog('') = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'ibOrlixSetLog with an empty name returns 1';
  SUSPEND;
  RESULT = IIF(ib_Log('never-' || 'written switched off') = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'ib_Log returns 1 with the log switched off';
  SUSPEND;
  RESULT = IIF(ibOrlixSetLog('@LOG@') = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'ibOrlixSetLog with the name again returns 1';
  SUSPEND;
  RESULT = IIF(ib_Log('back on') = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'ib_Log returns 1 after the log is switched on again';
  SUSPEND;
END^

-- 4. A directory as log name: calls answer as usual, nothing is written,
--    the engine goes on. The same for a file in a folder that does not exist.
EXECUTE BLOCK RETURNS (RESULT VARCHAR(4), CHECK_NAME VARCHAR(200)) AS
BEGIN
  RESULT = IIF(ibOrlixSetLog('@WORKDIR@') = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'ibOrlixSetLog with a directory name returns 1';
  SUSPEND;
  RESULT = IIF(ib_Log('never-' || 'written directory') = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'ib_Log returns 1 with a directory as log';
  SUSPEND;
  RESULT = IIF(ibOrlixLog('never-' || 'written directory') = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'ibOrlixLog returns 1 with a directory as log';
  SUSPEND;
  RESULT = IIF(ibVarExists('CalcPart') = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'ibVarExists answers 0 as usual with a directory as log';
  SUSPEND;
  RESULT = IIF(ibGetCurrentThreadId(0) <> 0, 'PASS', 'FAIL');
  CHECK_NAME = 'ibGetCurrentThreadId answers as usual with a directory as log';
  SUSPEND;
  RESULT = IIF(ibOrlixSetLog('@WORKDIR@/no-such-folder/orlix.log') = 1
               AND ib_Log('never-' || 'written missing folder') = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'a log file in a missing folder: calls return 1';
  SUSPEND;
  RESULT = IIF(ibOrlixSetLog('@LOG@') = 1 AND ib_Log('after directory') = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'the log works again after a directory name';
  SUSPEND;
END^

-- 5. The name is taken exactly as passed, and so is the message: a trailing
--    blank stays part of the file name, line breaks stay inside the message.
EXECUTE BLOCK RETURNS (RESULT VARCHAR(4), CHECK_NAME VARCHAR(200)) AS
BEGIN
  RESULT = IIF(ibOrlixSetLog('@WORKDIR@/blank.log ') = 1 AND ib_Log('blank') = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'a log name with a trailing blank: calls return 1';
  SUSPEND;
  RESULT = IIF(ibOrlixSetLog('@WORKDIR@/breaks.log') = 1
               AND ib_Log('first' || ASCII_CHAR(10) || 'second' || ASCII_CHAR(13) || ASCII_CHAR(10) || 'third') = 1,
               'PASS', 'FAIL');
  CHECK_NAME = 'a message with line breaks: ib_Log returns 1';
  SUSPEND;
  RESULT = IIF(ibOrlixSetLog('') = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'the log is switched off at the end';
  SUSPEND;
END^

SET TERM ; ^
