-- Goods moving between three places and back, sales left open and returned,
-- and documents fixed to their parties (kind 1: only where received, kind 2:
-- following the party to its newest place). One EXECUTE BLOCK loads the
-- tables, runs Execute, walks the new rows (run 1), runs Execute again
-- without Clear and walks them again (run 2). SQL then checks, for both
-- runs, that every document is booked or left open in full and that the
-- goods of every place add up (SUM ... GROUP BY).
SET TERM ^ ;

CREATE TABLE PARTY (DH INTEGER, PI INTEGER, D DATE, Q DOUBLE PRECISION, OT INTEGER)^
CREATE TABLE DOC (DH INTEGER, PI INTEGER, D DATE, Q DOUBLE PRECISION, DK INTEGER, CI INTEGER)^
CREATE TABLE RET (DH INTEGER, PI INTEGER, D DATE, Q DOUBLE PRECISION)^
CREATE TABLE FIX (DH INTEGER, BDH INTEGER, K INTEGER)^
CREATE TABLE R_SPEC (RUN INTEGER, DH INTEGER, IDH INTEGER, MDH INTEGER, Q DOUBLE PRECISION)^
CREATE TABLE R_RETSPEC (RUN INTEGER, DH INTEGER, ODH INTEGER, IDH INTEGER, MDH INTEGER, Q DOUBLE PRECISION)^
CREATE TABLE R_REMAINS (RUN INTEGER, DH INTEGER, MDH INTEGER, Q DOUBLE PRECISION)^
CREATE TABLE R_XPART (RUN INTEGER, DH INTEGER, Q DOUBLE PRECISION)^
CREATE TABLE R_XRET (RUN INTEGER, DH INTEGER, Q DOUBLE PRECISION)^
COMMIT^

EXECUTE BLOCK AS
  DECLARE i INTEGER = 0;
BEGIN
  -- Parties at places 1 and 2 (place 3 gets goods only by moves).
  WHILE (i < 12) DO
  BEGIN
    INSERT INTO PARTY VALUES (1000 + :i, 1 + MOD(:i, 2), DATE '2024-01-01' + 2 * :i, 5 + MOD(:i * 7, 6),
                              IIF(MOD(:i, 5) = 4, 2, 0));
    i = i + 1;
  END
  -- Moves (dk 2, ci = destination): 1 -> 2 and back, 2 -> 3, 1 -> 3 -> 1,
  -- and one that finds no goods (from place 3 before anything arrived).
  INSERT INTO DOC VALUES (701, 1, DATE '2024-01-05', 6, 2, 2);
  INSERT INTO DOC VALUES (702, 2, DATE '2024-01-09', 4, 2, 1);
  INSERT INTO DOC VALUES (703, 2, DATE '2024-01-12', 5, 2, 3);
  INSERT INTO DOC VALUES (704, 1, DATE '2024-01-14', 3, 2, 3);
  INSERT INTO DOC VALUES (705, 3, DATE '2024-01-16', 3, 2, 1);
  INSERT INTO DOC VALUES (706, 3, DATE '2024-01-02', 2, 2, 2);
  -- Sales at every place through January and February.
  i = 1;
  WHILE (i <= 40) DO
  BEGIN
    INSERT INTO DOC VALUES (:i, 1 + MOD(:i, 3), DATE '2024-01-03' + MOD(:i * 5, 50), 1 + MOD(:i * 3, 4), 1, 0);
    i = i + 1;
  END
  -- Returns: some of sales that will be split, some of sales left open
  -- (place 3 before the moves), one of a document nobody sold.
  INSERT INTO RET SELECT 5000 + DH, PI, D + 2, 1 FROM DOC WHERE DK = 1 AND MOD(DH, 7) = 0;
  INSERT INTO RET VALUES (5999, 2, DATE '2024-02-25', 2);
  -- Fixed documents: sale 4 only from party 1001 where received (kind 1),
  -- sale 8 from party 1000 wherever it went (kind 2), sale 9 from 1003 with
  -- kind 2, move 703 from party 1001 (kind 2); sale 99 does not exist.
  INSERT INTO FIX VALUES (4, 1001, 1);
  INSERT INTO FIX VALUES (8, 1000, 2);
  INSERT INTO FIX VALUES (9, 1003, 2);
  INSERT INTO FIX VALUES (703, 1001, 2);
  INSERT INTO FIX VALUES (99, 1000, 2);
END^
COMMIT^

EXECUTE BLOCK RETURNS (RESULT VARCHAR(4), CHECK_NAME VARCHAR(200)) AS
  DECLARE dh INTEGER;
  DECLARE bdh INTEGER;
  DECLARE k INTEGER;
  DECLARE pi INTEGER;
  DECLARE d DATE;
  DECLARE q DOUBLE PRECISION;
  DECLARE dk INTEGER;
  DECLARE ci INTEGER;
  DECLARE ot INTEGER;
  DECLARE ok INTEGER = 1;
  DECLARE run INTEGER = 1;
BEGIN
  ok = ibCalcPartCreate(0);
  ok = ibCalcPartClear(0);
  FOR SELECT DH, BDH, K FROM FIX INTO :dh, :bdh, :k DO
    ok = BIN_AND(ok, ibCalcPartFixKindAppend(:dh, :bdh, :k));
  ok = BIN_AND(ok, ibCalcPartFixKindSort(0));
  FOR SELECT DH, PI, D, Q, OT FROM PARTY INTO :dh, :pi, :d, :q, :ot DO
    ok = BIN_AND(ok, ibCalcPartRemainsAppend(:dh, -1, :d, :pi, :ot, 0, :q, 0));
  FOR SELECT DH, PI, D, Q, DK, CI FROM DOC INTO :dh, :pi, :d, :q, :dk, :ci DO
    ok = BIN_AND(ok, ibCalcPartXPartAppend(:dh, -1, :d, :pi, 0, :dk, :q, 0, 0, :ci));
  FOR SELECT DH, PI, D, Q FROM RET INTO :dh, :pi, :d, :q DO
    ok = BIN_AND(ok, ibCalcPartXRetAppend(:dh, -1, -1, :d, :pi, :q, 0, 0));
  WHILE (run <= 2) DO
  BEGIN
    ok = BIN_AND(ok, ibCalcPartExecute(0));
    ok = ibCalcPartFirstNew('partspec');
    WHILE (ibCalcPartEOF('partspec') = 0) DO
    BEGIN
      INSERT INTO R_SPEC VALUES (:run, ibCalcPartGetFieldInteger('partspec', 'DocHead'),
        ibCalcPartGetFieldInteger('partspec', 'InDocHead'), ibCalcPartGetFieldInteger('partspec', 'MoveDocHead'),
        ibCalcPartGetFieldDouble('partspec', ''));
      ok = ibCalcPartNextNew('partspec');
    END
    ok = ibCalcPartFirstNew('retspec');
    WHILE (ibCalcPartEOF('retspec') = 0) DO
    BEGIN
      INSERT INTO R_RETSPEC VALUES (:run, ibCalcPartGetFieldInteger('retspec', 'DocHead'),
        ibCalcPartGetFieldInteger('retspec', 'OutDocHead'), ibCalcPartGetFieldInteger('retspec', 'InDocHead'),
        ibCalcPartGetFieldInteger('retspec', 'MoveDocHead'), ibCalcPartGetFieldDouble('retspec', ''));
      ok = ibCalcPartNextNew('retspec');
    END
    ok = ibCalcPartFirstNew('remains');
    WHILE (ibCalcPartEOF('remains') = 0) DO
    BEGIN
      INSERT INTO R_REMAINS VALUES (:run, ibCalcPartGetFieldInteger('remains', 'DocHead'),
        ibCalcPartGetFieldInteger('remains', 'MoveDocHead'), ibCalcPartGetFieldDouble('remains', ''));
      ok = ibCalcPartNextNew('remains');
    END
    ok = ibCalcPartFirstNew('xpart');
    WHILE (ibCalcPartEOF('xpart') = 0) DO
    BEGIN
      INSERT INTO R_XPART VALUES (:run, ibCalcPartGetFieldInteger('xpart', 'DocHead'),
        ibCalcPartGetFieldDouble('xpart', ''));
      ok = ibCalcPartNextNew('xpart');
    END
    ok = ibCalcPartFirstNew('xret');
    WHILE (ibCalcPartEOF('xret') = 0) DO
    BEGIN
      INSERT INTO R_XRET VALUES (:run, ibCalcPartGetFieldInteger('xret', 'DocHead'),
        ibCalcPartGetFieldDouble('xret', ''));
      ok = ibCalcPartNextNew('xret');
    END
    run = run + 1;
  END
  RESULT = IIF(ok = 1 AND ibCalcPartFree(0) = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'loading, two Executes without Clear and Free answer 1';
  SUSPEND;
END^

EXECUTE BLOCK RETURNS (RESULT VARCHAR(4), CHECK_NAME VARCHAR(200)) AS
  DECLARE run INTEGER = 1;
  DECLARE bad INTEGER;
BEGIN
  WHILE (run <= 2) DO
  BEGIN
    SELECT COUNT(*) FROM DOC s
      LEFT JOIN (SELECT DH, SUM(Q) AS Q FROM R_SPEC WHERE RUN = :run GROUP BY DH) b ON b.DH = s.DH
      LEFT JOIN (SELECT DH, SUM(Q) AS Q FROM R_XPART WHERE RUN = :run GROUP BY DH) o ON o.DH = s.DH
      WHERE ABS(s.Q - COALESCE(b.Q, 0) - COALESCE(o.Q, 0)) > 1e-9 INTO :bad;
    RESULT = IIF(bad = 0, 'PASS', 'FAIL');
    CHECK_NAME = 'run ' || run || ': every sale and move = booked by party + left open';
    SUSPEND;

    SELECT COUNT(*) FROM RET r
      LEFT JOIN (SELECT DH, SUM(Q) AS Q FROM R_RETSPEC WHERE RUN = :run GROUP BY DH) b ON b.DH = r.DH
      LEFT JOIN (SELECT DH, SUM(Q) AS Q FROM R_XRET WHERE RUN = :run GROUP BY DH) o ON o.DH = r.DH
      WHERE ABS(r.Q - COALESCE(b.Q, 0) - COALESCE(o.Q, 0)) > 1e-9 INTO :bad;
    RESULT = IIF(bad = 0, 'PASS', 'FAIL');
    CHECK_NAME = 'run ' || run || ': every return = booked by party + left open';
    SUSPEND;

    -- All goods: parties + returned - booked out + moved in (a move's goods
    -- leave one place and arrive at another) = parties left.
    SELECT COUNT(*) FROM RDB$DATABASE WHERE ABS(
        (SELECT SUM(Q) FROM PARTY)
      + (SELECT COALESCE(SUM(Q), 0) FROM R_RETSPEC WHERE RUN = :run)
      - (SELECT COALESCE(SUM(b.Q), 0) FROM R_SPEC b JOIN DOC s ON s.DH = b.DH WHERE b.RUN = :run AND s.DK = 1)
      - (SELECT COALESCE(SUM(Q), 0) FROM R_REMAINS WHERE RUN = :run)) > 1e-9 INTO :bad;
    RESULT = IIF(bad = 0, 'PASS', 'FAIL');
    CHECK_NAME = 'run ' || run || ': parties + returned - sold = parties left';
    SUSPEND;

    -- Per place: what arrives by moves counts at the destination.
    SELECT COUNT(*) FROM (
      SELECT pl.PI,
        (SELECT COALESCE(SUM(Q), 0) FROM PARTY WHERE PI = pl.PI)
        + (SELECT COALESCE(SUM(rs.Q), 0) FROM R_RETSPEC rs JOIN RET r ON r.DH = rs.DH WHERE rs.RUN = :run AND r.PI = pl.PI)
        + (SELECT COALESCE(SUM(b.Q), 0) FROM R_SPEC b JOIN DOC s ON s.DH = b.DH
             WHERE b.RUN = :run AND s.DK = 2 AND s.CI = pl.PI)
        - (SELECT COALESCE(SUM(b.Q), 0) FROM R_SPEC b JOIN DOC s ON s.DH = b.DH WHERE b.RUN = :run AND s.PI = pl.PI)
        AS EXPECTED,
        (SELECT COALESCE(SUM(x.Q), 0) FROM R_REMAINS x
           WHERE x.RUN = :run AND COALESCE((SELECT PI FROM PARTY WHERE DH = x.DH AND x.MDH = -1),
                          (SELECT PI FROM RET WHERE DH = x.MDH),
                          (SELECT CI FROM DOC WHERE DH = x.MDH AND DK = 2)) = pl.PI) AS LEFT_THERE
      FROM (SELECT 1 AS PI FROM RDB$DATABASE UNION SELECT 2 FROM RDB$DATABASE UNION SELECT 3 FROM RDB$DATABASE) pl) t
      WHERE ABS(t.EXPECTED - t.LEFT_THERE) > 1e-9 INTO :bad;
    RESULT = IIF(bad = 0, 'PASS', 'FAIL');
    CHECK_NAME = 'run ' || run || ': goods per place add up, moves counted where they arrive';
    SUSPEND;

    SELECT COUNT(*) FROM R_SPEC b JOIN FIX f ON f.DH = b.DH AND f.BDH = b.IDH
      WHERE b.RUN = :run AND f.K = 1 AND b.MDH <> -1 INTO :bad;
    SELECT :bad + COUNT(*) FROM R_SPEC b WHERE b.RUN = :run AND b.DH IN (SELECT DH FROM FIX)
      AND NOT EXISTS (SELECT * FROM FIX f WHERE f.DH = b.DH AND f.BDH = b.IDH) INTO :bad;
    RESULT = IIF(bad = 0, 'PASS', 'FAIL');
    CHECK_NAME = 'run ' || run || ': fixed documents took only their parties, kind 1 only where received';
    SUSPEND;
    run = run + 1;
  END

  SELECT COUNT(*) FROM R_SPEC WHERE RUN = 1 AND MDH IN (SELECT DH FROM DOC WHERE DK = 2) INTO :bad;
  RESULT = IIF(bad > 0, 'PASS', 'FAIL');
  CHECK_NAME = 'some goods were taken after a move carried them';
  SUSPEND;
  RESULT = IIF((SELECT SUM(Q) FROM R_SPEC WHERE RUN = 1) = (SELECT SUM(Q) FROM R_SPEC WHERE RUN = 2)
               AND (SELECT SUM(Q) FROM R_REMAINS WHERE RUN = 1) = (SELECT SUM(Q) FROM R_REMAINS WHERE RUN = 2),
               'PASS', 'FAIL');
  CHECK_NAME = 'the second Execute found nothing more to book';
  SUSPEND;
END^
