-- Value lists and the diagnostic log: Create/Destroy lines, the replacement
-- line, the wrong-type warnings naming the calling function, and Print output.
-- values_log.check.sh reads the log back (Windows-1251) and compares it line
-- by line with what this block did.
SET TERM ^ ;

EXECUTE BLOCK RETURNS (RESULT VARCHAR(4), CHECK_NAME VARCHAR(200)) AS
DECLARE s INTEGER;
DECLARE i INTEGER;
DECLARE d INTEGER;
DECLARE r INTEGER;
BEGIN
  ibOrlixSetLog('@LOG@');

  -- A string list under a Cyrillic name, printed (its strings are not).
  s = ibListStrCreate('Список');
  r = ibListStrAdd(s, 'Накладная 1');
  RESULT = IIF(ibListStrPrint(s) = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'ibListStrPrint returns 1';
  SUSPEND;

  -- The same name in capitals is the same name: the string list is replaced
  -- by an integer list under the same handle.
  i = ibListIntCreate('СПИСОК');
  RESULT = IIF(i = s, 'PASS', 'FAIL');
  CHECK_NAME = 'a create under the name in capitals replaces the list under its handle';
  SUSPEND;

  -- The old handle now reaches an integer list: string functions warn.
  RESULT = IIF(ibListStrCount(s) = 0 AND ibListStrAdd(s, 'x') = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'string functions on an integer list answer 0';
  SUSPEND;

  r = ibListIntAdd(i, 1);
  r = ibListIntAdd(i, 2);
  RESULT = IIF(ibListIntPrint(i) = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'ibListIntPrint returns 1';
  SUSPEND;

  d = ibListDoubleCreate('суммы');
  r = ibListDoubleAdd(d, 2.5e0);
  r = ibListDoubleAdd(d, 0.1e0 + 0.2e0);
  r = ibListDoubleAdd(d, 1e0 / 3e0);
  r = ibListDoubleAdd(d, -1e20);
  RESULT = IIF(ibListDoublePrint(d) = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'ibListDoublePrint returns 1';
  SUSPEND;

  RESULT = IIF(ibListDoubleGetItemByIndex(i, 0) = -1000 AND ibListIntByName('Суммы') = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'a double read of an integer list and an integer lookup of a double list answer the failure values';
  SUSPEND;

  -- Freeing with the wrong family warns and frees; a second free warns again.
  RESULT = IIF(ibListStrFree(i) = 1 AND ibListIntFree(i) = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'freeing through the wrong family frees, freeing again still answers 1';
  SUSPEND;
  RESULT = IIF(ibListDoubleFree(d) = 1 AND ibListDoubleCount(d) = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'a freed handle answers 0';
  SUSPEND;

  ibOrlixSetLog('');
END^
