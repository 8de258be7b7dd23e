-- A warehouse month through the batch engine, as a stored procedure runs it:
-- parties, sales, returns and moves are loaded from tables inside one
-- EXECUTE BLOCK, Execute runs there, and the new rows are walked into result
-- tables. SQL then computes what must hold: every sale and return is booked
-- or left open in full (SUM ... GROUP BY), the goods of every place add up,
-- and parties went oldest first (ordering by date).
SET TERM ^ ;

CREATE TABLE PARTY (DH INTEGER, PI INTEGER, D DATE, Q DOUBLE PRECISION)^
CREATE TABLE SALE (DH INTEGER, PI INTEGER, D DATE, Q DOUBLE PRECISION, DK INTEGER, CI INTEGER)^
CREATE TABLE RET (DH INTEGER, PI INTEGER, D DATE, Q DOUBLE PRECISION, CI INTEGER)^
CREATE TABLE R_SPEC (DH INTEGER, IDH INTEGER, MDH INTEGER, Q DOUBLE PRECISION)^
CREATE TABLE R_RETSPEC (DH INTEGER, ODH INTEGER, IDH INTEGER, MDH INTEGER, Q DOUBLE PRECISION)^
CREATE TABLE R_REMAINS (DH INTEGER, MDH INTEGER, Q DOUBLE PRECISION)^
CREATE TABLE R_XPART (DH INTEGER, MDH INTEGER, Q DOUBLE PRECISION)^
CREATE TABLE R_XRET (DH INTEGER, ODH INTEGER, MDH INTEGER, Q DOUBLE PRECISION)^
CREATE TABLE R_STATE (NAME VARCHAR(40), V DOUBLE PRECISION)^
COMMIT^

-- 5 places; 60 parties in January; 300 sales (2 to 7 each) from 10 January
-- on, counterparts 0-2; 6 moves to the next place; 20 returns three days
-- after a sale, same place and counterpart, one of them of a document no
-- sale matches (counterpart 9).
EXECUTE BLOCK AS
  DECLARE i INTEGER = 0;
BEGIN
  WHILE (i < 60) DO
  BEGIN
    INSERT INTO PARTY VALUES (1000 + :i, MOD(:i, 5) + 1, DATE '2024-01-01' + MOD(:i * 7, 30), 10 + MOD(:i * 13, 20));
    i = i + 1;
  END
  i = 1;
  WHILE (i <= 300) DO
  BEGIN
    INSERT INTO SALE VALUES (:i, MOD(:i * 3, 5) + 1, DATE '2024-01-10' + MOD(:i * 11, 60), 2 + MOD(:i * 7, 6), 1,
                             MOD(:i, 3));
    i = i + 1;
  END
  i = 1;
  WHILE (i <= 6) DO
  BEGIN
    INSERT INTO SALE VALUES (7000 + :i, :i - 1 - 5 * (:i / 6) + 1, DATE '2024-01-05' + :i, 4, 2,
                             MOD(:i, 5) + 1);
    i = i + 1;
  END
  i = 1;
  WHILE (i <= 19) DO
  BEGIN
    INSERT INTO RET SELECT 5000 + :i, PI, D + 3, 1 + MOD(:i, 2), CI FROM SALE WHERE DH = :i * 15;
    i = i + 1;
  END
  INSERT INTO RET VALUES (5020, 2, DATE '2024-02-20', 3, 9);
END^
COMMIT^

-- The road: create, load, execute, walk the new rows, execute again, free.
EXECUTE BLOCK RETURNS (RESULT VARCHAR(4), CHECK_NAME VARCHAR(200)) AS
  DECLARE dh INTEGER;
  DECLARE pi INTEGER;
  DECLARE d DATE;
  DECLARE q DOUBLE PRECISION;
  DECLARE dk INTEGER;
  DECLARE ci INTEGER;
  DECLARE ok INTEGER = 1;
  DECLARE total1 DOUBLE PRECISION;
  DECLARE total2 DOUBLE PRECISION;
BEGIN
  ok = ibOrlixSetLog('@LOG@');
  RESULT = IIF(ibCalcPartCreate(0) = 1 AND ibVarExists('CalcPart') = 1 AND ibVarExists('CALCPART') = 1,
               'PASS', 'FAIL');
  CHECK_NAME = 'the engine is created and registered as CalcPart (any letter case)';
  SUSPEND;
  RESULT = IIF(ibCalcPartCreate(0) = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'a second engine on the thread is refused';
  SUSPEND;
  ok = ibCalcPartClear(0);
  FOR SELECT DH, PI, D, Q FROM PARTY INTO :dh, :pi, :d, :q DO
    ok = BIN_AND(ok, ibCalcPartRemainsAppend(:dh, -1, :d, :pi, 0, 0, :q, 0));
  FOR SELECT DH, PI, D, Q, DK, CI FROM SALE INTO :dh, :pi, :d, :q, :dk, :ci DO
    ok = BIN_AND(ok, ibCalcPartXPartAppend(:dh, -1, :d, :pi, 0, :dk, :q, 0, 0, :ci));
  FOR SELECT DH, PI, D, Q, CI FROM RET INTO :dh, :pi, :d, :q, :ci DO
  BEGIN
    ok = BIN_AND(ok, ibCalcPartXRetAppend(:dh, -1, -1, :d, :pi, :q, 0, :ci));
    ok = BIN_AND(ok, ibCalcPartXRetUpdate(0, 0, -1));
  END
  ok = BIN_AND(ok, ibCalcPartExecute(0));
  RESULT = IIF(ok = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'every append and the calculation answer 1';
  SUSPEND;

  ok = ibCalcPartFirstNew('partspec');
  WHILE (ibCalcPartEOF('partspec') = 0) DO
  BEGIN
    INSERT INTO R_SPEC VALUES (ibCalcPartGetFieldInteger('partspec', 'DocHead'),
      ibCalcPartGetFieldInteger('partspec', 'InDocHead'), ibCalcPartGetFieldInteger('partspec', 'MoveDocHead'),
      ibCalcPartGetFieldDouble('partspec', 'q'));
    ok = ibCalcPartNextNew('partspec');
  END
  ok = ibCalcPartFirstNew('RetSpec');
  WHILE (ibCalcPartEOF('RetSpec') = 0) DO
  BEGIN
    INSERT INTO R_RETSPEC VALUES (ibCalcPartGetFieldInteger('retspec', 'DocHead'),
      ibCalcPartGetFieldInteger('retspec', 'OutDocHead'), ibCalcPartGetFieldInteger('retspec', 'InDocHead'),
      ibCalcPartGetFieldInteger('retspec', 'MoveDocHead'), ibCalcPartGetFieldDouble('retspec', ''));
    ok = ibCalcPartNextNew('RetSpec');
  END
  ok = ibCalcPartFirstNew('remains');
  WHILE (ibCalcPartEOF('remains') = 0) DO
  BEGIN
    INSERT INTO R_REMAINS VALUES (ibCalcPartGetFieldInteger('remains', 'DocHead'),
      ibCalcPartGetFieldInteger('remains', 'MoveDocHead'), ibCalcPartGetFieldDouble('remains', ''));
    ok = ibCalcPartNextNew('remains');
  END
  ok = ibCalcPartFirstNew('xpart');
  WHILE (ibCalcPartEOF('xpart') = 0) DO
  BEGIN
    INSERT INTO R_XPART VALUES (ibCalcPartGetFieldInteger('xpart', 'DocHead'),
      ibCalcPartGetFieldInteger('xpart', 'MoveDocHead'), ibCalcPartGetFieldDouble('xpart', ''));
    ok = ibCalcPartNextNew('xpart');
  END
  ok = ibCalcPartFirstNew('xret');
  WHILE (ibCalcPartEOF('xret') = 0) DO
  BEGIN
    INSERT INTO R_XRET VALUES (ibCalcPartGetFieldInteger('xret', 'DocHead'),
      ibCalcPartGetFieldInteger('xret', 'OutDocHead'), ibCalcPartGetFieldInteger('xret', 'MoveDocHead'),
      ibCalcPartGetFieldDouble('xret', ''));
    ok = ibCalcPartNextNew('xret');
  END
  RESULT = IIF(ibCalcPartCount('partspec') = (SELECT COUNT(*) FROM R_SPEC)
               AND ibCalcPartCount('retspec') = (SELECT COUNT(*) FROM R_RETSPEC)
               AND ibCalcPartCount('remains') = (SELECT COUNT(*) FROM R_REMAINS), 'PASS', 'FAIL');
  CHECK_NAME = 'every result row was new and is walked once';
  SUSPEND;
  RESULT = IIF(ibCalcPartXRetGetQuantity(5020, -1, -1) = 3, 'PASS', 'FAIL');
  CHECK_NAME = 'the return no sale matches stays whole in XRet';
  SUSPEND;

  -- A second Execute without Clear works on what the first left: nothing
  -- is left that could be split, so every table keeps its totals.
  SELECT SUM(Q) FROM R_SPEC INTO :total1;
  ok = ibCalcPartExecute(0);
  total2 = 0;
  ok = ibCalcPartFirstNew('partspec');
  WHILE (ibCalcPartEOF('partspec') = 0) DO
  BEGIN
    total2 = total2 + ibCalcPartGetFieldDouble('partspec', '');
    ok = ibCalcPartNextNew('partspec');
  END
  RESULT = IIF(ok = 1 AND ABS(total1 - total2) < 1e-6
               AND ibCalcPartCount('remains') = (SELECT COUNT(*) FROM R_REMAINS), 'PASS', 'FAIL');
  CHECK_NAME = 'a second Execute without Clear books nothing twice';
  SUSPEND;
  RESULT = IIF(ibCalcPartFree(0) = 1 AND ibVarExists('CalcPart') = 0 AND ibCalcPartCount('xpart') = -1,
               'PASS', 'FAIL');
  CHECK_NAME = 'Free removes the engine; its functions then answer their failure values';
  SUSPEND;
  ok = ibOrlixSetLog('');
END^

-- What SQL computes from the inputs and the walked rows.
EXECUTE BLOCK RETURNS (RESULT VARCHAR(4), CHECK_NAME VARCHAR(200)) AS
  DECLARE bad INTEGER;
BEGIN
  SELECT COUNT(*) FROM SALE s
    LEFT JOIN (SELECT DH, SUM(Q) AS Q FROM R_SPEC GROUP BY DH) b ON b.DH = s.DH
    LEFT JOIN (SELECT DH, SUM(Q) AS Q FROM R_XPART GROUP BY DH) o ON o.DH = s.DH
    WHERE ABS(s.Q - COALESCE(b.Q, 0) - COALESCE(o.Q, 0)) > 1e-9 INTO :bad;
  RESULT = IIF(bad = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'every sale and move: quantity = booked by party + left open';
  SUSPEND;

  SELECT COUNT(*) FROM RET r
    LEFT JOIN (SELECT DH, SUM(Q) AS Q FROM R_RETSPEC GROUP BY DH) b ON b.DH = r.DH
    LEFT JOIN (SELECT DH, SUM(Q) AS Q FROM R_XRET GROUP BY DH) o ON o.DH = r.DH
    WHERE ABS(r.Q - COALESCE(b.Q, 0) - COALESCE(o.Q, 0)) > 1e-9 INTO :bad;
  RESULT = IIF(bad = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'every return: quantity = booked by party + left open';
  SUSPEND;

  SELECT COUNT(*) FROM R_RETSPEC rs JOIN RET r ON r.DH = rs.DH JOIN SALE s ON s.DH = rs.ODH
    WHERE s.PI <> r.PI OR s.CI <> r.CI OR s.D > r.D INTO :bad;
  RESULT = IIF(bad = 0 AND EXISTS (SELECT * FROM R_RETSPEC), 'PASS', 'FAIL');
  CHECK_NAME = 'returns were booked against earlier sales of their place and counterpart';
  SUSPEND;

  -- Goods per place: parties + returns booked there + moves arriving there
  -- - everything booked out of there = parties left there. A party left is
  -- at the place of its receipt, of the return or of the move that made it.
  SELECT COUNT(*) FROM (
    SELECT pl.PI,
      (SELECT COALESCE(SUM(Q), 0) FROM PARTY WHERE PI = pl.PI)
      + (SELECT COALESCE(SUM(rs.Q), 0) FROM R_RETSPEC rs JOIN RET r ON r.DH = rs.DH WHERE r.PI = pl.PI)
      + (SELECT COALESCE(SUM(b.Q), 0) FROM R_SPEC b JOIN SALE s ON s.DH = b.DH WHERE s.DK = 2 AND s.CI = pl.PI)
      - (SELECT COALESCE(SUM(b.Q), 0) FROM R_SPEC b JOIN SALE s ON s.DH = b.DH WHERE s.PI = pl.PI) AS EXPECTED,
      (SELECT COALESCE(SUM(x.Q), 0) FROM R_REMAINS x
         WHERE COALESCE((SELECT PI FROM PARTY WHERE DH = x.DH AND x.MDH = -1),
                        (SELECT PI FROM RET WHERE DH = x.MDH),
                        (SELECT CI FROM SALE WHERE DH = x.MDH AND DK = 2)) = pl.PI) AS LEFT_THERE
    FROM (SELECT DISTINCT PI FROM PARTY) pl) t
    WHERE ABS(t.EXPECTED - t.LEFT_THERE) > 1e-9 INTO :bad;
  RESULT = IIF(bad = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'goods per place: loaded + returned + moved in - booked out = left';
  SUSPEND;

  SELECT COUNT(*) FROM R_REMAINS x WHERE x.MDH <> -1 AND NOT EXISTS (SELECT * FROM RET WHERE DH = x.MDH)
    AND NOT EXISTS (SELECT * FROM SALE WHERE DH = x.MDH AND DK = 2) INTO :bad;
  RESULT = IIF(bad = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'every new party comes from a return or a move';
  SUSPEND;

  -- Oldest first: a party with goods left means no sale dated on or after it
  -- at its place is still open.
  SELECT COUNT(*) FROM R_REMAINS x JOIN PARTY p ON p.DH = x.DH AND x.MDH = -1
    JOIN SALE s ON s.PI = p.PI AND s.D >= p.D JOIN R_XPART o ON o.DH = s.DH INTO :bad;
  RESULT = IIF(bad = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'no party has goods left while a later sale at its place is open';
  SUSPEND;

  -- And a sale that took a party took every older party it could reach
  -- (ordered by date, then document) until it was used up.
  SELECT COUNT(*) FROM R_SPEC b JOIN SALE s ON s.DH = b.DH JOIN PARTY p2 ON p2.DH = b.IDH AND b.MDH = -1
    JOIN PARTY p1 ON p1.PI = p2.PI AND (p1.D < p2.D OR (p1.D = p2.D AND p1.DH < p2.DH)) AND p1.D <= s.D
    JOIN R_REMAINS x ON x.DH = p1.DH AND x.MDH = -1 INTO :bad;
  RESULT = IIF(bad = 0 AND (SELECT COUNT(DISTINCT IDH) FROM R_SPEC) > 20, 'PASS', 'FAIL');
  CHECK_NAME = 'parties were taken in date order: no older reachable party kept goods';
  SUSPEND;

  SELECT COUNT(*) FROM R_SPEC b JOIN SALE s ON s.DH = b.DH JOIN PARTY p ON p.DH = b.IDH AND b.MDH = -1
    WHERE p.D > s.D OR p.PI <> s.PI INTO :bad;
  RESULT = IIF(bad = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'no sale took a party of another place or dated after it';
  SUSPEND;

  SELECT COUNT(*) FROM R_SPEC WHERE Q <= 1e-10 INTO :bad;
  RESULT = IIF(bad = 0 AND NOT EXISTS (SELECT * FROM R_REMAINS WHERE Q <= 1e-10), 'PASS', 'FAIL');
  CHECK_NAME = 'no result row is empty';
  SUSPEND;
END^

-- Without an engine on the thread every function answers its failure value.
EXECUTE BLOCK RETURNS (RESULT VARCHAR(4), CHECK_NAME VARCHAR(200)) AS
BEGIN
  RESULT = IIF(ibCalcPartExecute(0) = 0 AND ibCalcPartEOF('xpart') = 1 AND ibCalcPartXMoveCycle(0) = -1
               AND ibCalcPartRemainsGetQuantity(1, -1) = -1 AND ibCalcPartGetFieldInteger('xpart', 'DocHead') = -1,
               'PASS', 'FAIL');
  CHECK_NAME = 'without an engine the functions answer 0, 1, -1 and -1.0 as declared';
  SUSPEND;
END^
