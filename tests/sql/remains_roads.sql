-- Roads through both remains engines from SQL: the quiet failures without an
-- engine, a second Create, flags read as one byte, the two-movement running
-- balance (days 10 and 12, LastDate 13), movements after and on LastDate,
-- Period 1, table and field numbers, the index failure for table 8, field
-- readers off and on a row, a span too long to spread, row numbering after
-- Clear, and the lone row of store remains. The companion script checks the
-- log lines these calls leave.
SET TERM ^ ;

-- No engine on the thread: failure values, nothing logged.
EXECUTE BLOCK RETURNS (RESULT VARCHAR(4), CHECK_NAME VARCHAR(200)) AS
BEGIN
  RESULT = IIF(ibOrlixSetLog('@LOG@') = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'the log is on for this test';
  SUSPEND;
  RESULT = IIF(ibOstatokFree(0) = 0 AND ibOstatokClear(0) = 0 AND ibOstatokPrint(0) = 0
               AND ibOstatokSetParams(2, CURRENT_DATE, CURRENT_DATE, CURRENT_DATE) = 0
               AND ibOstatokSetUseParams(1, 1, 1, 1, 1, 1, 1) = 0
               AND ibOstatokAppend(CURRENT_DATE, 1, 1, 1, 1, 1) = -1 AND ibOstatokExecute(0) = 0
               AND ibOstatokGetTableNumber('ostdaily') = -1 AND ibOstatokGetFieldNumber('pack') = -1
               AND ibOstatokGetQuantity(0, CURRENT_DATE, 1, 1, 1) = 0 AND ibOstatokGetResQuantity(0) = 0
               AND ibOstatokGetFieldDate(4, 0) = TIMESTAMP '1899-12-30 00:00:00'
               AND ibOstatokGetFieldInteger(0, 1) = 0 AND ibOstatokGetFieldDouble(0, 4) = 0
               AND ibOstatokFirstNew(0) = 0 AND ibOstatokNextNew(0) = 0 AND ibOstatokEOF(0) = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'without a remains engine all 17 functions answer their failure values';
  SUSPEND;
  RESULT = IIF(ibOstStoreFree(0) = 0 AND ibOstStoreClear(0) = 0 AND ibOstStorePrint(0) = 0
               AND ibOstStoreAppend(CURRENT_DATE, 1, 1, 1, 1) = -1 AND ibOstStoreExecute(0) = 0
               AND ibOstStoreGetFieldNumber('PACK') = -1 AND ibOstStoreGetQuantity(CURRENT_DATE, 1, 1, 1) = 0
               AND ibOstStoreGetFieldDate(0) = TIMESTAMP '1899-12-30 00:00:00'
               AND ibOstStoreGetFieldInteger(1) = 0 AND ibOstStoreGetFieldDouble(4) = 0
               AND ibOstStoreFirstNew(0) = 0 AND ibOstStoreNextNew(0) = 0 AND ibOstStoreEOF(0) = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'without a store remains engine all 13 functions answer their failure values';
  SUSPEND;
  RESULT = IIF(ib_Log('-- end of the quiet part') = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'marker line written after the quiet part';
  SUSPEND;
END^

EXECUTE BLOCK RETURNS (RESULT VARCHAR(4), CHECK_NAME VARCHAR(200)) AS
DECLARE days VARCHAR(200) = '';
DECLARE d DATE;
DECLARE n INTEGER;
BEGIN
  RESULT = IIF(ibOstatokCreate(0) = 1 AND ibOstatokCreate(0) = 0 AND ibVarExists('ostatok') = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'Create gives 1, a second Create 0 (logged), the engine exists';
  SUSPEND;
  -- Day 10 = 2024-03-10. 256 has a zero first byte: the pack flag stays off.
  RESULT = IIF(ibOstatokSetParams(2, DATE '2024-03-01', DATE '2024-03-13', DATE '2024-03-31') = 1
               AND ibOstatokSetUseParams(256, 0, 1, 1, 0, 0, 0) = 1
               AND ibOstatokAppend(DATE '2024-03-10', 1, 2, 5, 5, 0) = 0
               AND ibOstatokAppend(DATE '2024-03-12', 1, 2, 5, -2, 0.5) = 1
               AND ibOstatokAppend(DATE '2024-03-20', 1, 2, 5, 100, 0) = 2
               AND ibOstatokAppend(DATE '2024-03-13', 3, 4, 6, 7, 0) = 3
               AND ibOstatokExecute(0) = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'parameters, flags, four movements and Execute';
  SUSPEND;
  ibOstatokFirstNew(4);
  WHILE (ibOstatokEOF(4) = 0) DO
  BEGIN
    IF (ibOstatokGetFieldInteger(4, 3) = 5) THEN
      days = days || EXTRACT(DAY FROM ibOstatokGetFieldDate(4, 0)) || ':' || CAST(ibOstatokGetFieldDouble(4, 4)
             AS INTEGER) || '/' || CAST(ibOstatokGetFieldDouble(4, 5) * 10 AS INTEGER) || ' ';
    ibOstatokNextNew(4);
  END
  RESULT = IIF(days = '10:5/0 11:5/0 12:3/5 13:3/5 ', 'PASS', 'FAIL');
  CHECK_NAME = 'ostdaily for place 5 walks days 10-13 with 5, 5, 3, 3: ' || days;
  SUSPEND;
  RESULT = IIF(ibOstatokGetQuantity(0, CURRENT_DATE, 0, 0, 5) = 103
               AND ibOstatokGetQuantity(4, DATE '2024-03-13', 0, 0, 6) = 7
               AND ibOstatokGetQuantity(4, DATE '2024-03-12', 0, 0, 6) = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'day 20 (after LastDate) counts in ostatok_short only; day 13 (LastDate) on that day only';
  SUSPEND;
  ibOstatokFirstNew(1);
  RESULT = IIF(ibOstatokEOF(1) = 1 AND ibOstatokGetQuantity(3, CURRENT_DATE, 1, 2, 5) = 103, 'PASS', 'FAIL');
  CHECK_NAME = 'ostatok_pack is empty (flag 256 is off), ostatok_packrz is built';
  SUSPEND;
  RESULT = IIF(ibOstatokGetTableNumber('OSTDAILY') = 4 AND ibOstatokGetTableNumber('ostatokfull') = -1
               AND ibOstatokGetFieldNumber(' QUANTITY ') = 4 AND ibOstatokGetFieldNumber('qty') = -1, 'PASS', 'FAIL');
  CHECK_NAME = 'table and field numbers (capitals, blanks; unknown field logged)';
  SUSPEND;
  RESULT = IIF(ibOstatokGetQuantity(8, CURRENT_DATE, 0, 0, 5) = 0 AND ibOstatokEOF(-1) = 1
               AND ibOstatokFirstNew(8) = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'tables 8 and -1 answer the failure values (logged)';
  SUSPEND;
  ibOstatokFirstNew(4);
  RESULT = IIF(ibOstatokGetFieldDate(4, 1) = TIMESTAMP '1899-12-30 00:00:00'
               AND ibOstatokGetFieldInteger(4, 0) = 0 AND ibOstatokGetFieldDouble(4, 3) = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'wrong field numbers on a row answer 1899-12-30 and 0 (three lines logged)';
  SUSPEND;
  RESULT = IIF(ibOstatokGetQuantity(4, DATE '2024-03-11', 0, 0, 9) = 0 AND ibOstatokEOF(4) = 0
               AND ibOstatokGetFieldDate(4, 3) = TIMESTAMP '1899-12-30 00:00:00'
               AND ibOstatokGetResQuantity(4) = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'after a missed lookup: not at the end, the date field off a row is not checked';
  SUSPEND;
  RESULT = IIF(ibOstatokSetParams(1, DATE '2024-03-01', DATE '2024-03-31', DATE '2024-03-31') = 1
               AND ibOstatokExecute(0) = 1 AND ibOstatokGetQuantity(4, DATE '2024-03-13', 0, 0, 5) = 3
               AND ibOstatokGetQuantity(4, DATE '2024-03-14', 0, 0, 5) = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'Period 1: the daily tables keep what the last daily Execute built';
  SUSPEND;
  -- Three places dated 0001-01-01 spread to 9999-12-31: about 11 million rows.
  ibOstatokSetParams(2, DATE '0001-01-01', DATE '9999-12-31', DATE '9999-12-31');
  ibOstatokAppend(DATE '0001-01-01', 1, 1, 11, 1, 0);
  ibOstatokAppend(DATE '0001-01-01', 1, 1, 12, 1, 0);
  ibOstatokAppend(DATE '0001-01-01', 1, 1, 13, 1, 0);
  RESULT = IIF(ibOstatokExecute(0) = 0 AND ibOstatokGetQuantity(4, DATE '2024-03-13', 0, 0, 5) = 3
               AND ibOstatokGetQuantity(0, CURRENT_DATE, 0, 0, 12) = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'a plan beyond 2,000,000 rows is refused (logged) before any table changes';
  SUSPEND;
  ibOstatokClear(0);
  ibOstatokAppend(DATE '1990-01-01', 1, 1, 1, 2, 0);
  ibOstatokSetParams(2, DATE '1990-01-01', DATE '2026-12-31', DATE '2026-12-31');
  n = ibOstatokExecute(0);
  RESULT = IIF(n = 1 AND ibOstatokGetQuantity(4, DATE '2026-12-31', 0, 0, 1) = 2
               AND ibOstatokGetQuantity(4, DATE '2008-02-29', 7, 7, 1) = 2, 'PASS', 'FAIL');
  CHECK_NAME = 'after Clear: a movement of 1990 spreads to 2026 (13,514 days) in one Execute';
  SUSPEND;
  ibOstatokClear(0);
  RESULT = IIF(ibOstatokAppend(CURRENT_DATE, 1, 1, 1, 1, 0) = 0 AND ibOstatokPrint(0) = 1
               AND ibOstatokFree(0) = 1 AND ibOstatokFree(0) = 0 AND ibOstatokEOF(0) = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'numbering restarts after Clear; Print; Free gives 1, then 0; EOF without engine is 1';
  SUSPEND;
END^

-- Store remains: a lone row with quantity 0 survives Execute and is walked.
EXECUTE BLOCK RETURNS (RESULT VARCHAR(4), CHECK_NAME VARCHAR(200)) AS
BEGIN
  RESULT = IIF(ibOstStoreCreate(0) = 1 AND ibOstStoreCreate(0) = 0
               AND ibOstStoreAppend(DATE '2023-06-01', 2, 3, 4, 0) = 0 AND ibOstStoreExecute(0) = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'store remains: Create, second Create refused (logged), one row of quantity 0, Execute';
  SUSPEND;
  ibOstStoreFirstNew(0);
  RESULT = IIF(ibOstStoreEOF(0) = 0 AND ibOstStoreGetFieldInteger(3) = 4
               AND ibOstStoreGetFieldDate(0) = TIMESTAMP '2023-06-01 00:00:00', 'PASS', 'FAIL');
  CHECK_NAME = 'the lone row is kept and visited by FirstNew';
  SUSPEND;
  ibOstStoreNextNew(0);
  RESULT = IIF(ibOstStoreEOF(0) = 1 AND ibOstStoreGetQuantity(DATE '2023-06-01', 2, 3, 4) = 0
               AND ibOstStoreGetFieldInteger(2) = 3, 'PASS', 'FAIL');
  CHECK_NAME = 'the walk ends after it; GetQuantity finds it (cursor on it, asrt 3)';
  SUSPEND;
  ibOstStoreFirstNew(0);
  RESULT = IIF(ibOstStoreEOF(0) = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'once found by a lookup, the walk skips it';
  SUSPEND;
  RESULT = IIF(ibOstStoreGetFieldNumber('quantity') = 4 AND ibOstStoreGetFieldNumber(' QUANTITY') = -1
               AND ibOstStoreGetFieldDate(1) = TIMESTAMP '1899-12-30 00:00:00'
               AND ibOstStoreGetQuantity(DATE '2023-06-02', 2, 3, 4) = 0 AND ibOstStoreGetFieldInteger(3) = 0
               AND ibOstStoreGetFieldDouble(4) = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'store field numbers (no trimming, not logged), field 1 as a date (logged), missed lookup';
  SUSPEND;
  RESULT = IIF(ibOstStorePrint(0) = 1 AND ibOstStoreFree(0) = 1 AND ibOstStoreFree(0) = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'store remains printed and freed';
  SUSPEND;
END^

SET TERM ; ^
