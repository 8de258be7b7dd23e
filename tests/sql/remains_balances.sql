-- Both remains engines fed from generated movement tables and checked
-- against what the server computes from the same rows: SUM ... GROUP BY for
-- the total tables and the store remains, running sums up to each day for
-- the daily tables. Each table is walked once whole (every row compared with
-- SQL, the row count compared with the number of non-empty groups), then
-- half its rows are read by key and the walk must visit exactly the others.
-- Each block is one road on one server thread and frees its engine.

CREATE TABLE REM_MOVES (
  ID INTEGER NOT NULL,
  D DATE NOT NULL,
  PACK INTEGER NOT NULL,
  RZ INTEGER NOT NULL,
  PLACE INTEGER NOT NULL,
  Q DOUBLE PRECISION NOT NULL,
  RQ DOUBLE PRECISION NOT NULL
);
CREATE INDEX REM_MOVES_PLACE ON REM_MOVES (PLACE, D);
COMMIT;

-- 600 movements over 36 keys: places 1-6, packs 0-2, sizes 0-1, about 17
-- dates each among 45 days from 2024-01-01
-- (LastDate below is day 39, so some lie after it), quantities in quarters
-- and whole resquantities, so every sum is exact.
INSERT INTO REM_MOVES (ID, D, PACK, RZ, PLACE, Q, RQ)
WITH RECURSIVE R (I) AS (SELECT 1 FROM RDB$DATABASE UNION ALL SELECT I + 1 FROM R WHERE I < 600)
SELECT I, DATE '2024-01-01' + MOD(I + I / 36 * 7, 45), MOD(I / 6, 3), MOD(I / 18, 2), 1 + MOD(I, 6),
       CAST(MOD(I * 31, 41) - 20 AS DOUBLE PRECISION) / 4, IIF(MOD(I, 5) = 0, MOD(I * 3, 7) - 3, 0)
FROM R;
-- Every ninth movement reversed on its own date: keys and days that net to
-- zero. Place 7 holds 5 from day 3 to day 9 only.
INSERT INTO REM_MOVES (ID, D, PACK, RZ, PLACE, Q, RQ)
SELECT ID + 1000, D, PACK, RZ, PLACE, -Q, -RQ FROM REM_MOVES WHERE MOD(ID, 9) = 0;
INSERT INTO REM_MOVES (ID, D, PACK, RZ, PLACE, Q, RQ) VALUES (2001, DATE '2024-01-04', 1, 1, 7, 5, 0);
INSERT INTO REM_MOVES (ID, D, PACK, RZ, PLACE, Q, RQ) VALUES (2002, DATE '2024-01-11', 1, 1, 7, -5, 0);
COMMIT;

CREATE TABLE REM_STORE (
  ID INTEGER NOT NULL,
  GOODDATE DATE NOT NULL,
  PACK INTEGER NOT NULL,
  ASRT INTEGER NOT NULL,
  PALET INTEGER NOT NULL,
  QTY DOUBLE PRECISION NOT NULL
);
COMMIT;

-- 500 store rows over 8 pallets, 4 assortments (-1 to 2), 2 packs and 5 goods dates,
-- with every seventh row reversed.
INSERT INTO REM_STORE (ID, GOODDATE, PACK, ASRT, PALET, QTY)
WITH RECURSIVE R (I) AS (SELECT 1 FROM RDB$DATABASE UNION ALL SELECT I + 1 FROM R WHERE I < 500)
SELECT I, DATE '2023-06-01' + MOD(I + I / 64, 5), MOD(I / 32, 2), MOD(I / 8, 4) - 1, MOD(I, 8),
       CAST(MOD(I * 29, 23) - 11 AS DOUBLE PRECISION) / 4
FROM R;
INSERT INTO REM_STORE (ID, GOODDATE, PACK, ASRT, PALET, QTY)
SELECT ID + 1000, GOODDATE, PACK, ASRT, PALET, -QTY FROM REM_STORE WHERE MOD(ID, 7) = 0;
COMMIT;

SET TERM ^ ;

-- Tables 0-3: totals per place, split by pack and/or size.
EXECUTE BLOCK RETURNS (RESULT VARCHAR(4), CHECK_NAME VARCHAR(200)) AS
DECLARE t INTEGER;
DECLARE tname VARCHAR(20);
DECLARE d DATE; DECLARE pk INTEGER; DECLARE r INTEGER; DECLARE pl INTEGER;
DECLARE q DOUBLE PRECISION; DECLARE rq DOUBLE PRECISION;
DECLARE eq DOUBLE PRECISION; DECLARE erq DOUBLE PRECISION;
DECLARE use_pack INTEGER; DECLARE use_rz INTEGER;
DECLARE expected INTEGER; DECLARE walked INTEGER; DECLARE bad INTEGER;
DECLARE looked INTEGER; DECLARE expected_odd INTEGER;
DECLARE f_date INTEGER; DECLARE f_pack INTEGER; DECLARE f_rz INTEGER; DECLARE f_place INTEGER;
DECLARE f_q INTEGER; DECLARE f_rq INTEGER;
BEGIN
  RESULT = IIF(ibOstatokCreate(0) = 1 AND ibOstatokSetParams(2, DATE '2024-01-01', DATE '2024-02-09',
               DATE '2024-02-14') = 1 AND ibOstatokSetUseParams(1, 1, 1, 0, 0, 0, 0) = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'remains engine created, parameters and flags set';
  SUSPEND;
  walked = 0;
  FOR SELECT D, PACK, RZ, PLACE, Q, RQ FROM REM_MOVES ORDER BY ID INTO :d, :pk, :r, :pl, :q, :rq DO
    IF (ibOstatokAppend(d, pk, r, pl, q, rq) = walked) THEN walked = walked + 1;
  RESULT = IIF(walked = (SELECT COUNT(*) FROM REM_MOVES) AND ibOstatokExecute(0) = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'every movement appended with its row number, Execute done';
  SUSPEND;
  f_date = ibOstatokGetFieldNumber('ostdate'); f_pack = ibOstatokGetFieldNumber('pack');
  f_rz = ibOstatokGetFieldNumber('rz'); f_place = ibOstatokGetFieldNumber('placeindex');
  f_q = ibOstatokGetFieldNumber('quantity'); f_rq = ibOstatokGetFieldNumber('resquantity');

  FOR SELECT N, U_PACK, U_RZ FROM (
        SELECT 'ostatok_short' AS N, 0 AS U_PACK, 0 AS U_RZ FROM RDB$DATABASE
        UNION ALL SELECT 'ostatok_pack', 1, 0 FROM RDB$DATABASE
        UNION ALL SELECT 'ostatok_rz', 0, 1 FROM RDB$DATABASE
        UNION ALL SELECT 'ostatok_packrz', 1, 1 FROM RDB$DATABASE)
      INTO :tname, :use_pack, :use_rz DO
  BEGIN
    t = ibOstatokGetTableNumber(tname);
    SELECT COUNT(*) FROM (
      SELECT PLACE, IIF(:use_pack = 1, PACK, -1) AS P, IIF(:use_rz = 1, RZ, -1) AS S FROM REM_MOVES
      GROUP BY 1, 2, 3 HAVING SUM(Q) <> 0 OR SUM(RQ) <> 0) INTO :expected;

    -- The whole walk: every row is a non-empty group and holds its sums.
    walked = 0; bad = 0;
    ibOstatokFirstNew(t);
    WHILE (ibOstatokEOF(t) = 0) DO
    BEGIN
      pk = ibOstatokGetFieldInteger(t, f_pack); r = ibOstatokGetFieldInteger(t, f_rz);
      pl = ibOstatokGetFieldInteger(t, f_place);
      SELECT COALESCE(SUM(Q), 0), COALESCE(SUM(RQ), 0) FROM REM_MOVES
        WHERE PLACE = :pl AND (:pk = -1 OR PACK = :pk) AND (:r = -1 OR RZ = :r) INTO :eq, :erq;
      IF (ibOstatokGetFieldDouble(t, f_q) <> eq OR ibOstatokGetFieldDouble(t, f_rq) <> erq
          OR ibOstatokGetFieldDate(t, f_date) <> TIMESTAMP '1899-12-30 00:00:00'
          OR (use_pack = 0 AND pk <> -1) OR (use_rz = 0 AND r <> -1) OR (eq = 0 AND erq = 0)) THEN bad = bad + 1;
      walked = walked + 1;
      ibOstatokNextNew(t);
    END
    RESULT = IIF(t >= 0 AND walked = expected AND bad = 0, 'PASS', 'FAIL');
    CHECK_NAME = tname || ': ' || walked || ' rows walked, ' || expected || ' non-empty groups in SQL, '
                 || bad || ' differ';
    SUSPEND;

    -- Read the groups of even places by key; the walk then visits the rest.
    looked = 0; bad = 0;
    FOR SELECT PLACE, IIF(:use_pack = 1, PACK, -1), IIF(:use_rz = 1, RZ, -1), SUM(Q), SUM(RQ) FROM REM_MOVES
        WHERE MOD(PLACE, 2) = 0 GROUP BY 1, 2, 3 HAVING SUM(Q) <> 0 OR SUM(RQ) <> 0
        INTO :pl, :pk, :r, :eq, :erq DO
    BEGIN
      -- The date passed is not kept by these tables: any date finds the row.
      IF (ibOstatokGetQuantity(t, DATE '2030-01-01', pk, r, pl) <> eq OR ibOstatokGetResQuantity(t) <> erq) THEN
        bad = bad + 1;
      looked = looked + 1;
    END
    SELECT COUNT(*) FROM (
      SELECT PLACE, IIF(:use_pack = 1, PACK, -1) AS P, IIF(:use_rz = 1, RZ, -1) AS S FROM REM_MOVES
      WHERE MOD(PLACE, 2) = 1 GROUP BY 1, 2, 3 HAVING SUM(Q) <> 0 OR SUM(RQ) <> 0) INTO :expected_odd;
    walked = 0;
    ibOstatokFirstNew(t);
    WHILE (ibOstatokEOF(t) = 0) DO
    BEGIN
      IF (MOD(ibOstatokGetFieldInteger(t, f_place), 2) = 0) THEN bad = bad + 1;
      walked = walked + 1;
      ibOstatokNextNew(t);
    END
    RESULT = IIF(looked > 0 AND bad = 0 AND walked = expected_odd AND looked + walked = expected, 'PASS', 'FAIL');
    CHECK_NAME = tname || ': ' || looked || ' groups read by key, the walk visits the other ' || walked;
    SUSPEND;
  END

  RESULT = IIF(ibOstatokGetQuantity(0, DATE '2024-01-01', -1, -1, 7) = 0 AND ibOstatokEOF(0) = 0
               AND ibOstatokGetResQuantity(0) = 0 AND ibOstatokGetFieldInteger(0, f_place) = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'place 7 nets to zero: no row; the missed lookup leaves no current row, not the end';
  SUSPEND;
  RESULT = IIF(ibOstatokFree(0) = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'remains engine freed';
  SUSPEND;
END^

-- Tables 4-7: running balances per day up to LastDate (2024-02-09).
EXECUTE BLOCK RETURNS (RESULT VARCHAR(4), CHECK_NAME VARCHAR(200)) AS
DECLARE last_date DATE = DATE '2024-02-09';
DECLARE t INTEGER;
DECLARE tname VARCHAR(20);
DECLARE d DATE; DECLARE first_d DATE; DECLARE pk INTEGER; DECLARE r INTEGER; DECLARE pl INTEGER;
DECLARE q DOUBLE PRECISION; DECLARE rq DOUBLE PRECISION;
DECLARE eq DOUBLE PRECISION; DECLARE erq DOUBLE PRECISION;
DECLARE use_pack INTEGER; DECLARE use_rz INTEGER;
DECLARE expected INTEGER; DECLARE expected_odd INTEGER; DECLARE walked INTEGER; DECLARE bad INTEGER;
DECLARE looked INTEGER; DECLARE n INTEGER = 0;
BEGIN
  ibOstatokCreate(0);
  ibOstatokSetParams(2, DATE '2024-01-01', last_date, last_date);
  ibOstatokSetUseParams(0, 0, 0, 1, 1, 1, 1);
  FOR SELECT D, PACK, RZ, PLACE, Q, RQ FROM REM_MOVES ORDER BY ID INTO :d, :pk, :r, :pl, :q, :rq DO
    n = n + 1 + ibOstatokAppend(d, pk, r, pl, q, rq);
  RESULT = IIF(n > 0 AND ibOstatokExecute(0) = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'movements appended, Execute with the four daily tables done';
  SUSPEND;

  FOR SELECT N, U_PACK, U_RZ FROM (
        SELECT 'ostdaily' AS N, 0 AS U_PACK, 0 AS U_RZ FROM RDB$DATABASE
        UNION ALL SELECT 'OSTDAILY_PACK', 1, 0 FROM RDB$DATABASE
        UNION ALL SELECT 'ostdaily_rz', 0, 1 FROM RDB$DATABASE
        UNION ALL SELECT 'Ostdaily_PackRz', 1, 1 FROM RDB$DATABASE)
      INTO :tname, :use_pack, :use_rz DO
  BEGIN
    t = ibOstatokGetTableNumber(tname);
    -- The whole walk: every row holds the running sums of its group on its
    -- day, up to LastDate.
    walked = 0; bad = 0;
    ibOstatokFirstNew(t);
    WHILE (ibOstatokEOF(t) = 0) DO
    BEGIN
      d = ibOstatokGetFieldDate(t, 0);
      pk = ibOstatokGetFieldInteger(t, 1); r = ibOstatokGetFieldInteger(t, 2);
      pl = ibOstatokGetFieldInteger(t, 3);
      SELECT COALESCE(SUM(Q), 0), COALESCE(SUM(RQ), 0) FROM REM_MOVES
        WHERE PLACE = :pl AND (:pk = -1 OR PACK = :pk) AND (:r = -1 OR RZ = :r) AND D <= :d INTO :eq, :erq;
      IF (ibOstatokGetFieldDouble(t, 4) <> eq OR ibOstatokGetFieldDouble(t, 5) <> erq OR d > last_date
          OR (use_pack = 0 AND pk <> -1) OR (use_rz = 0 AND r <> -1)) THEN bad = bad + 1;
      walked = walked + 1;
      ibOstatokNextNew(t);
    END

    -- Expected rows: for each group, each day from its first movement up to
    -- LastDate whose running sum is not zero in both quantities. Those of
    -- even days are read by key.
    expected = 0; expected_odd = 0; looked = 0;
    FOR SELECT PLACE, IIF(:use_pack = 1, PACK, -1), IIF(:use_rz = 1, RZ, -1), MIN(D) FROM REM_MOVES
        GROUP BY 1, 2, 3 INTO :pl, :pk, :r, :first_d DO
    BEGIN
      d = first_d;
      WHILE (d <= last_date) DO
      BEGIN
        SELECT COALESCE(SUM(Q), 0), COALESCE(SUM(RQ), 0) FROM REM_MOVES
          WHERE PLACE = :pl AND (:pk = -1 OR PACK = :pk) AND (:r = -1 OR RZ = :r) AND D <= :d INTO :eq, :erq;
        IF (eq <> 0 OR erq <> 0) THEN
        BEGIN
          expected = expected + 1;
          IF (MOD(EXTRACT(DAY FROM d), 2) = 1) THEN expected_odd = expected_odd + 1;
          ELSE
          BEGIN
            IF (ibOstatokGetQuantity(t, d, pk, r, pl) <> eq OR ibOstatokGetResQuantity(t) <> erq) THEN bad = bad + 1;
            looked = looked + 1;
          END
        END
        d = d + 1;
      END
    END
    RESULT = IIF(t >= 4 AND walked = expected AND bad = 0, 'PASS', 'FAIL');
    CHECK_NAME = tname || ': ' || walked || ' daily rows walked, ' || expected || ' non-zero running sums in SQL, '
                 || bad || ' differ';
    SUSPEND;

    -- After the even days were read by key, the walk visits exactly the odd ones.
    bad = 0;
    walked = 0;
    ibOstatokFirstNew(t);
    WHILE (ibOstatokEOF(t) = 0) DO
    BEGIN
      IF (MOD(EXTRACT(DAY FROM ibOstatokGetFieldDate(t, 0)), 2) = 0) THEN bad = bad + 1;
      walked = walked + 1;
      ibOstatokNextNew(t);
    END
    RESULT = IIF(looked > 0 AND bad = 0 AND walked = expected_odd AND looked + walked = expected, 'PASS', 'FAIL');
    CHECK_NAME = tname || ': ' || looked || ' day rows read by key, the walk visits the other ' || walked;
    SUSPEND;
  END

  RESULT = IIF(ibOstatokGetQuantity(4, DATE '2024-01-04', -1, -1, 7) = 5
               AND ibOstatokGetQuantity(4, DATE '2024-01-10', 0, 0, 7) = 5
               AND ibOstatokGetQuantity(4, DATE '2024-01-11', -1, -1, 7) = 0
               AND ibOstatokGetQuantity(0, DATE '2024-01-11', -1, -1, 7) = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'place 7 holds 5 from day 3 to day 9 in ostdaily and nothing from day 10 on';
  SUSPEND;
  RESULT = IIF(ibOstatokFree(0) = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'remains engine freed';
  SUSPEND;
END^

-- Store remains: sums per pallet, assortment, pack and goods date.
EXECUTE BLOCK RETURNS (RESULT VARCHAR(4), CHECK_NAME VARCHAR(200)) AS
DECLARE gd DATE; DECLARE pk INTEGER; DECLARE a INTEGER; DECLARE p INTEGER;
DECLARE q DOUBLE PRECISION; DECLARE eq DOUBLE PRECISION;
DECLARE prev_p INTEGER = -1000; DECLARE prev_a INTEGER = -1000; DECLARE prev_pk INTEGER = -1000;
DECLARE prev_gd DATE = DATE '1900-01-01';
DECLARE expected INTEGER; DECLARE expected_odd INTEGER;
DECLARE walked INTEGER = 0; DECLARE bad INTEGER = 0; DECLARE unordered INTEGER = 0; DECLARE looked INTEGER = 0;
DECLARE f_gd INTEGER; DECLARE f_pack INTEGER; DECLARE f_asrt INTEGER; DECLARE f_palet INTEGER;
DECLARE f_q INTEGER;
BEGIN
  ibOstStoreCreate(0);
  FOR SELECT GOODDATE, PACK, ASRT, PALET, QTY FROM REM_STORE ORDER BY ID INTO :gd, :pk, :a, :p, :q DO
    IF (ibOstStoreAppend(gd, pk, a, p, q) = walked) THEN walked = walked + 1;
  RESULT = IIF(walked = (SELECT COUNT(*) FROM REM_STORE) AND ibOstStoreExecute(0) = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'store remains: every row appended with its row number, Execute done';
  SUSPEND;
  f_gd = ibOstStoreGetFieldNumber('GoodDate'); f_pack = ibOstStoreGetFieldNumber('PACK');
  f_asrt = ibOstStoreGetFieldNumber('asrt'); f_palet = ibOstStoreGetFieldNumber('Palet');
  f_q = ibOstStoreGetFieldNumber('quantity');
  SELECT COUNT(*) FROM (SELECT PALET FROM REM_STORE GROUP BY PALET, ASRT, PACK, GOODDATE HAVING SUM(QTY) <> 0)
    INTO :expected;

  walked = 0;
  ibOstStoreFirstNew(0);
  WHILE (ibOstStoreEOF(0) = 0) DO
  BEGIN
    gd = ibOstStoreGetFieldDate(f_gd); pk = ibOstStoreGetFieldInteger(f_pack);
    a = ibOstStoreGetFieldInteger(f_asrt); p = ibOstStoreGetFieldInteger(f_palet);
    SELECT COALESCE(SUM(QTY), 0) FROM REM_STORE WHERE PALET = :p AND ASRT = :a AND PACK = :pk AND GOODDATE = :gd
      INTO :eq;
    IF (ibOstStoreGetFieldDouble(f_q) <> eq OR eq = 0) THEN bad = bad + 1;
    IF (p < prev_p OR (p = prev_p AND (a < prev_a OR (a = prev_a AND (pk < prev_pk
        OR (pk = prev_pk AND gd <= prev_gd)))))) THEN unordered = unordered + 1;
    prev_p = p; prev_a = a; prev_pk = pk; prev_gd = gd;
    walked = walked + 1;
    ibOstStoreNextNew(0);
  END
  RESULT = IIF(walked = expected AND bad = 0 AND unordered = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'store remains: ' || walked || ' rows walked in key order, ' || expected
               || ' non-zero groups in SQL, ' || bad || ' differ';
  SUSPEND;

  bad = 0;
  FOR SELECT GOODDATE, PACK, ASRT, PALET, SUM(QTY) FROM REM_STORE WHERE MOD(PALET, 2) = 0
      GROUP BY PALET, ASRT, PACK, GOODDATE HAVING SUM(QTY) <> 0 INTO :gd, :pk, :a, :p, :eq DO
  BEGIN
    IF (ibOstStoreGetQuantity(gd, pk, a, p) <> eq) THEN bad = bad + 1;
    looked = looked + 1;
  END
  SELECT COUNT(*) FROM (SELECT PALET FROM REM_STORE WHERE MOD(PALET, 2) = 1
    GROUP BY PALET, ASRT, PACK, GOODDATE HAVING SUM(QTY) <> 0) INTO :expected_odd;
  walked = 0;
  ibOstStoreFirstNew(0);
  WHILE (ibOstStoreEOF(0) = 0) DO
  BEGIN
    IF (MOD(ibOstStoreGetFieldInteger(f_palet), 2) = 0) THEN bad = bad + 1;
    walked = walked + 1;
    ibOstStoreNextNew(0);
  END
  RESULT = IIF(looked > 0 AND bad = 0 AND walked = expected_odd AND looked + walked = expected, 'PASS', 'FAIL');
  CHECK_NAME = 'store remains: ' || looked || ' rows read by key, the walk visits the other ' || walked;
  SUSPEND;
  RESULT = IIF(ibOstStoreFree(0) = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'store remains engine freed';
  SUSPEND;
END^

SET TERM ; ^
