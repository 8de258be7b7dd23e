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

-- ---- Value lists: which documents are paid ---------------------------------
SET TERM ^ ;

EXECUTE BLOCK RETURNS (STEP VARCHAR(40), ANSWER VARCHAR(50)) AS
  DECLARE h INTEGER;
  DECLARE r INTEGER;
BEGIN
  h = ibListStrCreate('Оплаченные');
  STEP = 'ibListStrCreate(''Оплаченные'')';
  ANSWER = h;
  SUSPEND;
  r = ibListStrAdd(h, 'Д-17');
  r = ibListStrAdd(h, 'Д-03  ');   -- trailing blanks are cut
  r = ibListStrAdd(h, 'Д-09');
  STEP = 'ibListStrCount after 3 adds';
  ANSWER = ibListStrCount(h);
  SUSPEND;
  STEP = 'ibListStrExists(h, ''Д-03'')';
  ANSWER = ibListStrExists(h, 'Д-03');
  SUSPEND;
  STEP = 'ibListStrExists(h, ''Д-04'')';
  ANSWER = ibListStrExists(h, 'Д-04');
  SUSPEND;
  STEP = 'ibListStrGetItemByIndex(h, 0)';
  ANSWER = ibListStrGetItemByIndex(h, 0) || ' (Exists sorted the list)';
  SUSPEND;
  STEP = 'ibListStrByName(''ОПЛАЧЕННЫЕ'')';
  ANSWER = ibListStrByName('ОПЛАЧЕННЫЕ') || ' (names ignore letter case)';
  SUSPEND;
  STEP = 'ibListIntCount(h)';
  ANSWER = ibListIntCount(h) || ' (wrong kind: warned in the log)';
  SUSPEND;
  STEP = 'ibListStrFree(h)';
  ANSWER = ibListStrFree(h);
  SUSPEND;
END^

-- ---- Memory tables: totals per store ---------------------------------------
EXECUTE BLOCK RETURNS (STEP VARCHAR(40), ANSWER VARCHAR(50)) AS
  DECLARE t INTEGER;
  DECLARE r INTEGER;
  DECLARE i INTEGER = 0;
BEGIN
  t = ibMemTableCreate('totals');
  r = ibMemTableAddField(t, 'store', 'int', 1, 'miss');
  r = ibMemTableAddField(t, 'qty', 'double', 0, 'sum');
  r = ibMemTableAddField(t, 'moves', 'int', 0, 'count');
  WHILE (i < 10) DO
  BEGIN
    r = ibMemTableRowClear(t);
    r = ibMemTableRowFieldSetInt(t, 0, MOD(i, 3));
    r = ibMemTableRowFieldSetDouble(t, 1, i * 1.5);
    r = ibMemTableRowFieldSetInt(t, 2, 1);
    r = ibMemTableInsert(t);
    i = i + 1;
  END
  r = ibMemTableFirst(t);
  WHILE (ibMemTableEOF(t) = 0) DO
  BEGIN
    STEP = 'store ' || ibMemTableFieldGetInt(t, 0);
    ANSWER = 'qty ' || ibMemTableFieldGetDouble(t, 1) || ', moves ' || ibMemTableFieldGetInt(t, 2);
    SUSPEND;
    r = ibMemTableNext(t);
  END
  r = ibMemTablePrint(t);
  STEP = 'ibMemTableFree(t)';
  ANSWER = ibMemTableFree(t);
  SUSPEND;
END^

-- ---- Remains: running balance of one place, day by day ----------------------
EXECUTE BLOCK RETURNS (STEP VARCHAR(40), ANSWER VARCHAR(50)) AS
  DECLARE t INTEGER;
  DECLARE r INTEGER;
BEGIN
  r = ibOstatokCreate(0);
  r = ibOstatokSetParams(2, DATE '2024-03-01', DATE '2024-03-13', DATE '2024-03-31');
  r = ibOstatokSetUseParams(0, 0, 0, 1, 0, 0, 0);
  r = ibOstatokAppend(DATE '2024-03-10', 1, 1, 5, 5, 0);
  r = ibOstatokAppend(DATE '2024-03-12', 1, 1, 5, -2, 0);
  r = ibOstatokExecute(0);
  STEP = 'ostatok_short, place 5';
  ANSWER = ibOstatokGetQuantity(0, DATE '2024-03-01', -1, -1, 5);
  SUSPEND;
  t = ibOstatokGetTableNumber('ostdaily');
  r = ibOstatokFirstNew(t);
  WHILE (ibOstatokEOF(t) = 0) DO
  BEGIN
    STEP = 'ostdaily ' || ibOstatokGetFieldDate(t, 0);
    ANSWER = ibOstatokGetFieldDouble(t, 4);
    SUSPEND;
    r = ibOstatokNextNew(t);
  END
  STEP = 'ibOstatokFree(0)';
  ANSWER = ibOstatokFree(0);
  SUSPEND;
END^

-- ---- Batch calculation: two parties, two sales, a return ------------------
EXECUTE BLOCK RETURNS (STEP VARCHAR(40), ANSWER VARCHAR(50)) AS
  DECLARE r INTEGER;
BEGIN
  r = ibCalcPartCreate(0);
  r = ibCalcPartClear(0);
  r = ibCalcPartRemainsAppend(100, -1, DATE '2024-03-01', 1, 0, 0, 5, 0);   -- party 100: 5 on the 1st
  r = ibCalcPartRemainsAppend(200, -1, DATE '2024-03-03', 1, 0, 0, 5, 0);   -- party 200: 5 on the 3rd
  r = ibCalcPartXPartAppend(1, -1, DATE '2024-03-05', 1, 0, 1, 7, 0, 0, 0); -- sale 1: 7 on the 5th
  r = ibCalcPartXPartAppend(2, -1, DATE '2024-03-08', 1, 0, 1, 4, 0, 0, 0); -- sale 2: 4 on the 8th
  r = ibCalcPartXRetAppend(50, -1, -1, DATE '2024-03-06', 1, 2, 0, 0);      -- return 50: 2 on the 6th
  STEP = 'ibCalcPartExecute(0)';
  ANSWER = ibCalcPartExecute(0);
  SUSPEND;
  r = ibCalcPartFirstNew('partspec');
  WHILE (ibCalcPartEOF('partspec') = 0) DO
  BEGIN
    STEP = 'sale ' || ibCalcPartGetFieldInteger('partspec', 'DocHead') || ' took party '
      || ibCalcPartGetFieldInteger('partspec', 'InDocHead') || '/' || ibCalcPartGetFieldInteger('partspec', 'MoveDocHead');
    ANSWER = ibCalcPartGetFieldDouble('partspec', 'q');
    SUSPEND;
    r = ibCalcPartNextNew('partspec');
  END
  STEP = 'return 50 of sale 1, party 100';
  ANSWER = ibCalcPartRetSpecGetQuantity(50, 1, 100, -1);
  SUSPEND;
  STEP = 'sale 2 still without a party';
  ANSWER = ibCalcPartXPartGetQuantity(2, -1);
  SUSPEND;
  STEP = 'ibCalcPartFree(0)';
  ANSWER = ibCalcPartFree(0);
  SUSPEND;
END^

SET TERM ; ^

-- ---- Write-off: goods that went round a cycle, cut along their chain --------
-- Receipt 10 moved to 20; 2 of it came back from 20 to 10 (a cycle); 20
-- shipped 1 out by 30. Writing off 10 cuts the one chain 10 -> 20 -> 30 by
-- 1 and the cycle's 2 with it; the log shows the engine's report.
SET TERM ^ ;

EXECUTE BLOCK RETURNS (STEP VARCHAR(40), ANSWER VARCHAR(50)) AS
  DECLARE t INTEGER;
  DECLARE r INTEGER;
BEGIN
  r = ibCutCreate(0);
  r = ibCutClear(0);
  r = ibCutPartSpecAppend(10, -1, DATE '2024-03-01', 0, 0, 0, 0, 0, 5);
  r = ibCutPartSpecAppend(20, 10, DATE '2024-03-01', 0, 0, 0, 0, 0, 4);
  r = ibCutPartSpecAppend(10, 20, DATE '2024-03-01', 0, 0, 0, 0, 0, 2);
  r = ibCutPartSpecAppend(30, 20, DATE '2024-03-01', 0, 1, 0, 0, 0, 1);
  r = ibCutSetParams(DATE '2024-03-31', 10, 0, 0, 0, 0);
  STEP = 'ibCutExecute(0)';
  ANSWER = ibCutExecute(0) || ' (0: done)';
  SUSPEND;
  STEP = 'ibCutGetCutQuantity(0)';
  ANSWER = ibCutGetCutQuantity(0) || ' (left by 30)';
  SUSPEND;
  STEP = 'ibCutPartSpecCutQ(20, 10)';
  ANSWER = ibCutPartSpecCutQ(20, 10) || ' (chain 1 + cycle 2)';
  SUSPEND;
  t = ibCutGetTableNumber('DocSpec');
  r = ibCutFirstNew(t);
  WHILE (ibCutEOF(t) = 0) DO
  BEGIN
    STEP = 'docspec ' || ibCutGetFieldInteger(t, ibCutGetFieldNumber('dochead'));
    ANSWER = CAST(ibCutGetFieldDouble(t, ibCutGetFieldNumber('cutq')) AS INTEGER) || ' of '
             || CAST(ibCutGetFieldDouble(t, ibCutGetFieldNumber('quantity')) AS INTEGER);
    SUSPEND;
    r = ibCutNextNew(t);
  END
  STEP = 'ibCutGetFieldInteger(t, 5)';
  ANSWER = ibCutGetFieldInteger(t, 5) || ' (no such field: logged)';
  SUSPEND;
  STEP = 'ibCutPrint(0)';
  ANSWER = ibCutPrint(0) || ' (the report is in the log)';
  SUSPEND;
  STEP = 'ibCutFree(0)';
  ANSWER = ibCutFree(0);
  SUSPEND;
END^

SET TERM ; ^
