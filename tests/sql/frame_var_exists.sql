-- ibVarExists: whether this thread has created the engine of that name.
-- The frame alone creates no engine, so every name answers 0: the call
-- creates the thread's object registry and finds nothing in it. With the log
-- on, a call that does not fail writes nothing (checked by the companion).
-- Nothing of the frame can be made to fail from SQL, so the failure line
-- ("ibVarExists.except=" + message + error part) is left to the unit tests.
SET TERM ^ ;

EXECUTE BLOCK RETURNS (RESULT VARCHAR(4), CHECK_NAME VARCHAR(200)) AS
BEGIN
  RESULT = IIF(ibOrlixSetLog('@LOG@') = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'the log is on for this test';
  SUSPEND;
  RESULT = IIF(ibVarExists('CalcPart') = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'ibVarExists(''CalcPart'') answers 0: no engine exists yet on the thread';
  SUSPEND;
  RESULT = IIF(ibVarExists('calcpart') = 0 AND ibVarExists('CALCPART') = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'ibVarExists answers 0 for the name in other letter case';
  SUSPEND;
  RESULT = IIF(ibVarExists('Cut') = 0 AND ibVarExists('Ostatok') = 0 AND ibVarExists('OstStore') = 0,
               'PASS', 'FAIL');
  CHECK_NAME = 'ibVarExists answers 0 for Cut, Ostatok and OstStore';
  SUSPEND;
  RESULT = IIF(ibVarExists('') = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'ibVarExists answers 0 for an empty name';
  SUSPEND;
  RESULT = IIF(ibVarExists(NULL) = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'ibVarExists answers 0 for a NULL name';
  SUSPEND;
  RESULT = IIF(ibVarExists('CalcPart ') = 0 AND ibVarExists('НетТакого') = 0
               AND ibVarExists(RPAD('', 255, 'z')) = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'ibVarExists answers 0 for unknown names (trailing blank, Cyrillic, 255 bytes)';
  SUSPEND;
END^

-- A later statement (possibly another worker thread) finds nothing either,
-- however often it asks.
EXECUTE BLOCK RETURNS (RESULT VARCHAR(4), CHECK_NAME VARCHAR(200)) AS
  DECLARE i INTEGER = 0;
  DECLARE answers INTEGER = 0;
BEGIN
  WHILE (i < 1000) DO
  BEGIN
    answers = answers + ibVarExists('CalcPart') + ibVarExists('Cut');
    i = i + 1;
  END
  RESULT = IIF(answers = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'ibVarExists answers 0 in 2000 calls of a later statement';
  SUSPEND;
END^

SET TERM ; ^
