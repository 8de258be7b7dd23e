-- Many writers, one log file. This process writes 300 lines of varying length
-- into the log in one block; the companion frame_log_writers.check.sh then
-- starts several more isql processes at once (each loads its own copy of the
-- library) that write into the same file, and checks that every line of the
-- file is whole and well formed, and that none is missing or doubled.
-- Message: "writer=<k> seq=<i> tid=<thread id> len=<n> <n bytes of padding>|".
SET TERM ^ ;

EXECUTE BLOCK RETURNS (RESULT VARCHAR(4), CHECK_NAME VARCHAR(200)) AS
  DECLARE i INTEGER = 0;
  DECLARE written INTEGER = 0;
  DECLARE tid INTEGER;
  DECLARE pad_len INTEGER;
BEGIN
  tid = ibGetCurrentThreadId(0);
  written = ibOrlixSetLog('@LOG@') - 1;
  WHILE (i < 300) DO
  BEGIN
    pad_len = MOD(i * 37, 1500);
    written = written + ib_Log('writer=0 seq=' || i || ' tid=' || tid || ' len=' || pad_len || ' '
                               || RPAD('', pad_len, ASCII_CHAR(97 + MOD(i, 26))) || '|');
    i = i + 1;
  END
  RESULT = IIF(written = 300, 'PASS', 'FAIL');
  CHECK_NAME = 'one writer: 300 calls of ib_Log return 1';
  SUSPEND;
END^

SET TERM ; ^
