-- ORLIX walkthrough, run by scripts/demo.sh in a scratch database into which
-- sql/orlix.sql has been run. @LOG@ is replaced by the demo's log file name.
--
-- Each step prints rows (STEP, ANSWER). State lives per server thread, so
-- each road (create, fill, read, free) stays inside one EXECUTE BLOCK.
-- To add a family's steps, append a section at the end of this file: a
-- header comment, SET TERM ^ ; your blocks, SET TERM ; ^ .

-- ---- Library frame: thread id, diagnostic log, engine presence -------------
SET TERM ^ ;

EXECUTE BLOCK RETURNS (STEP VARCHAR(40), ANSWER VARCHAR(50)) AS
  DECLARE tid INTEGER;
BEGIN
  STEP = 'ibOrlixSetLog(<log file>)';
  ANSWER = ibOrlixSetLog('@LOG@');
  SUSPEND;

  tid = ibGetCurrentThreadId(0);
  STEP = 'ibGetCurrentThreadId(0)';
  ANSWER = tid;
  SUSPEND;
  STEP = 'ibGetCurrentThreadId(0) again';
  ANSWER = ibGetCurrentThreadId(0) || ' (one statement runs on one thread)';
  SUSPEND;

  STEP = 'ib_Log(''Hello from thread '' || id)';
  ANSWER = ib_Log('Hello from thread ' || tid);
  SUSPEND;
  STEP = 'ibOrlixLog(''Привет, журнал'')';
  ANSWER = ibOrlixLog('Привет, журнал');
  SUSPEND;
  STEP = 'ib_Log('''')';
  ANSWER = ib_Log('');
  SUSPEND;

  STEP = 'ibVarExists(''CalcPart'')';
  ANSWER = ibVarExists('CalcPart') || ' (no engine created on this thread)';
  SUSPEND;
END^

SET TERM ; ^
