-- The write-off engine fed from document tables and checked against what
-- the server computes from the same rows. Each block is one road on one
-- server thread and frees its engine.
--
-- Road 1: 400 receipts, each shipped out by one outgoing document. The
-- chains are taken oldest receipt first, each giving the smaller of its two
-- quantities, until InQuantity is used up; SQL computes the same with a
-- running sum, so every party's cut, the total, and the DocSpec and DocHead
-- walks are compared with answers the engine had no part in.
--
-- Road 2: documents with moves, two shipments per move, returns whose goods
-- are shipped on, cycles (goods moved back to their receipt), payments
-- checked with VerPay. Every row's cut is read back into CUT_RESULT; the
-- DocSpec walk must equal SUM ... GROUP BY over it, the DocHead walk the
-- distinct documents, and the total what left through outgoing documents.

CREATE TABLE CUT_PARTY (
  ID INTEGER NOT NULL,
  DH INTEGER NOT NULL,
  MDH INTEGER NOT NULL,
  D DATE NOT NULL,
  OT INTEGER NOT NULL,
  DK INTEGER NOT NULL,
  Q DOUBLE PRECISION NOT NULL
);
CREATE TABLE CUT_RETURN (
  DH INTEGER NOT NULL,
  ODH INTEGER NOT NULL,
  MDH INTEGER NOT NULL,
  D DATE NOT NULL,
  Q DOUBLE PRECISION NOT NULL
);
CREATE TABLE CUT_PAYMENT (
  DH INTEGER NOT NULL,
  PH INTEGER NOT NULL,
  AH INTEGER NOT NULL,
  PD DATE NOT NULL,
  Q DOUBLE PRECISION NOT NULL
);
-- What the engine reports per row: KIND 2 party, 3 return, 4 payment (by
-- account document).
CREATE TABLE CUT_RESULT (
  KIND INTEGER NOT NULL,
  DH INTEGER NOT NULL,
  DK INTEGER,
  Q DOUBLE PRECISION NOT NULL,
  CQ DOUBLE PRECISION NOT NULL
);
COMMIT;

-- Road 1: receipt 1000 + i (quarters 1 to 12.5) on day MOD(i * 37, 90),
-- shipped by 5000 + i (quarters) a day later; every 23rd receipt is of
-- kind 11 and never written off.
INSERT INTO CUT_PARTY (ID, DH, MDH, D, OT, DK, Q)
WITH RECURSIVE R (I) AS (SELECT 1 FROM RDB$DATABASE UNION ALL SELECT I + 1 FROM R WHERE I < 400)
SELECT I, 1000 + I, -1, DATE '2024-01-01' + MOD(I * 37, 90), 0, IIF(MOD(I, 23) = 0, 11, 0),
       CAST(4 + MOD(I * 13, 47) AS DOUBLE PRECISION) / 4
FROM R;
INSERT INTO CUT_PARTY (ID, DH, MDH, D, OT, DK, Q)
SELECT ID + 400, DH + 4000, DH, D + 1, 0, 1, CAST(2 + MOD(ID * 7, 29) AS DOUBLE PRECISION) / 4 FROM CUT_PARTY;
COMMIT;

SET TERM ^ ;

EXECUTE BLOCK RETURNS (RESULT VARCHAR(4), CHECK_NAME VARCHAR(200)) AS
DECLARE in_q DOUBLE PRECISION = 1234.5;
DECLARE dh INTEGER; DECLARE mdh INTEGER; DECLARE d DATE; DECLARE ot INTEGER; DECLARE dk INTEGER;
DECLARE q DOUBLE PRECISION; DECLARE cq DOUBLE PRECISION; DECLARE expected DOUBLE PRECISION;
DECLARE total DOUBLE PRECISION; DECLARE n INTEGER; DECLARE bad INTEGER; DECLARE walked INTEGER;
DECLARE t INTEGER; DECLARE f_dh INTEGER; DECLARE f_q INTEGER; DECLARE f_cq INTEGER; DECLARE f_list INTEGER;
DECLARE code INTEGER;
BEGIN
  n = 0;
  IF (ibCutCreate(0) = 1 AND ibCutClear(0) = 1) THEN n = 1;
  FOR SELECT DH, MDH, D, OT, DK, Q FROM CUT_PARTY WHERE ID <= 800 ORDER BY ID INTO :dh, :mdh, :d, :ot, :dk, :q DO
    n = n + ibCutPartSpecAppend(dh, mdh, d, ot, dk, 0, 0, 0, q);
  code = ibCutSetParams(DATE '2024-12-31', in_q, 0, 0, 0, 0);
  code = ibCutExecute(0);
  RESULT = IIF(n = 801 AND code = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'road 1: engine created, 800 parties appended, Execute answers ' || code;
  SUSPEND;

  -- Each chain's cut: its smaller quantity, as far as InQuantity reaches
  -- in (date, receipt) order; receipts of kind 11 give nothing.
  SELECT SUM(CUT) FROM (
    SELECT IIF(BEFORE_ >= :in_q, 0, MINVALUE(M, :in_q - BEFORE_)) AS CUT FROM (
      SELECT M, SUM(M) OVER (ORDER BY D, DH) - M AS BEFORE_ FROM (
        SELECT R.D, R.DH, IIF(R.DK = 11, 0, MINVALUE(R.Q, S.Q)) AS M
        FROM CUT_PARTY R JOIN CUT_PARTY S ON S.MDH = R.DH WHERE R.MDH = -1 AND R.ID <= 800)))
    INTO :total;
  RESULT = IIF(ABS(ibCutGetCutQuantity(0) - total) < 1e-9 AND total = in_q, 'PASS', 'FAIL');
  CHECK_NAME = 'road 1: total cut ' || ibCutGetCutQuantity(0) || ' = ' || total || ' computed by SQL';
  SUSPEND;

  -- Every party row, receipt and shipment alike, gives its chain's cut.
  bad = 0; n = 0;
  FOR SELECT R.DH, S.DH, IIF(BEFORE_ >= :in_q, 0, MINVALUE(M, :in_q - BEFORE_)) FROM (
        SELECT R.DH AS RDH, M, SUM(M) OVER (ORDER BY R.D, R.DH) - M AS BEFORE_ FROM (
          SELECT R.D, R.DH, IIF(R.DK = 11, 0, MINVALUE(R.Q, S.Q)) AS M
          FROM CUT_PARTY R JOIN CUT_PARTY S ON S.MDH = R.DH WHERE R.MDH = -1) R) X
      JOIN CUT_PARTY R ON R.DH = X.RDH AND R.MDH = -1
      JOIN CUT_PARTY S ON S.MDH = R.DH
      INTO :dh, :mdh, :expected DO
  BEGIN
    IF (ABS(ibCutPartSpecCutQ(dh, -1) - expected) > 1e-9) THEN bad = bad + 1;
    IF (ABS(ibCutPartSpecCutQ(mdh, dh) - expected) > 1e-9) THEN bad = bad + 1;
    n = n + 1;
  END
  RESULT = IIF(n = 400 AND bad = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'road 1: ' || n || ' chains, ' || bad || ' party cuts differ from SQL';
  SUSPEND;

  -- DocSpec: one row per document with a cut, its quantity and cut.
  t = ibCutGetTableNumber('docspec');
  f_dh = ibCutGetFieldNumber('dochead'); f_q = ibCutGetFieldNumber('quantity');
  f_cq = ibCutGetFieldNumber('cutq'); f_list = ibCutGetFieldNumber('doclist');
  DELETE FROM CUT_RESULT;
  FOR SELECT R.DH, S.DH, R.Q, S.Q, IIF(BEFORE_ >= :in_q, 0, MINVALUE(M, :in_q - BEFORE_)) FROM (
        SELECT R.DH AS RDH, M, SUM(M) OVER (ORDER BY R.D, R.DH) - M AS BEFORE_ FROM (
          SELECT R.D, R.DH, IIF(R.DK = 11, 0, MINVALUE(R.Q, S.Q)) AS M
          FROM CUT_PARTY R JOIN CUT_PARTY S ON S.MDH = R.DH WHERE R.MDH = -1) R) X
      JOIN CUT_PARTY R ON R.DH = X.RDH AND R.MDH = -1
      JOIN CUT_PARTY S ON S.MDH = R.DH
      INTO :dh, :mdh, :q, :cq, :expected DO
    IF (expected > 1e-10) THEN
    BEGIN
      INSERT INTO CUT_RESULT (KIND, DH, Q, CQ) VALUES (2, :dh, :q, :expected);
      INSERT INTO CUT_RESULT (KIND, DH, Q, CQ) VALUES (2, :mdh, :cq, :expected);
    END
  bad = 0; walked = 0;
  ibCutFirstNew(t);
  WHILE (ibCutEOF(t) = 0) DO
  BEGIN
    dh = ibCutGetFieldInteger(t, f_dh);
    IF (NOT EXISTS (SELECT 1 FROM CUT_RESULT WHERE DH = :dh AND ABS(Q - ibCutGetFieldDouble(:t, :f_q)) < 1e-9
                    AND ABS(CQ - ibCutGetFieldDouble(:t, :f_cq)) < 1e-9)
        OR ibCutGetFieldInteger(t, f_list) <> 2) THEN bad = bad + 1;
    walked = walked + 1;
    ibCutNextNew(t);
  END
  SELECT COUNT(*) FROM CUT_RESULT INTO :n;
  RESULT = IIF(walked = n AND n > 100 AND bad = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'road 1: DocSpec walk of ' || walked || ' rows, SQL expects ' || n || ', ' || bad || ' differ';
  SUSPEND;

  t = ibCutGetTableNumber('DocHead');
  bad = 0; walked = 0;
  ibCutFirstNew(t);
  WHILE (ibCutEOF(t) = 0) DO
  BEGIN
    IF (NOT EXISTS (SELECT 1 FROM CUT_RESULT WHERE DH = ibCutGetFieldInteger(:t, :f_dh))) THEN bad = bad + 1;
    walked = walked + 1;
    ibCutNextNew(t);
  END
  RESULT = IIF(walked = n AND bad = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'road 1: DocHead walk of ' || walked || ' documents, ' || bad || ' not in SQL''s set';
  SUSPEND;

  RESULT = IIF(ibCutFree(0) = 1 AND ibVarExists('Cut') = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'road 1: engine freed';
  SUSPEND;
END^

SET TERM ; ^

-- Road 2, group g = 1..80 (document numbers 10000 + 10 g + k):
--   k=1 receipt (q 10 + g mod 5), k=2 move from it (q 8), k=3 shipment
--   from the move (q 3), k=4 second shipment from the move (q 4);
--   every third group: return k=5 of 1 from shipment k=4, shipped on by
--   k=6 (q 1); every seventh group: 1 moved from the move back to the
--   receipt (a cycle). Payments cover each shipment, short for every
--   fifth group, and return documents; every other payment names an
--   account document.
DELETE FROM CUT_PARTY;
DELETE FROM CUT_RESULT;
INSERT INTO CUT_PARTY (ID, DH, MDH, D, OT, DK, Q)
WITH RECURSIVE R (G) AS (SELECT 1 FROM RDB$DATABASE UNION ALL SELECT G + 1 FROM R WHERE G < 80)
SELECT 10 * G + 1, 10000 + 10 * G + 1, -1, DATE '2024-03-01' + MOD(G * 11, 40), 0, 0, 10 + MOD(G, 5) FROM R
UNION ALL SELECT 10 * G + 2, 10000 + 10 * G + 2, 10000 + 10 * G + 1, DATE '2024-03-01' + MOD(G * 11, 40) + 1, 0, 0, 8 FROM R
UNION ALL SELECT 10 * G + 3, 10000 + 10 * G + 3, 10000 + 10 * G + 2, DATE '2024-03-01' + MOD(G * 11, 40) + 2, 0, 1, 3 FROM R
UNION ALL SELECT 10 * G + 4, 10000 + 10 * G + 4, 10000 + 10 * G + 2, DATE '2024-03-01' + MOD(G * 11, 40) + 3, 0, 1, 4 FROM R
UNION ALL SELECT 10 * G + 6, 10000 + 10 * G + 6, 10000 + 10 * G + 5, DATE '2024-03-01' + MOD(G * 11, 40) + 5, 0, 1, 1
  FROM R WHERE MOD(G, 3) = 0
UNION ALL SELECT 10 * G + 7, 10000 + 10 * G + 1, 10000 + 10 * G + 2, DATE '2024-03-01' + MOD(G * 11, 40) + 2, 0, 0, 1
  FROM R WHERE MOD(G, 7) = 0;
INSERT INTO CUT_RETURN (DH, ODH, MDH, D, Q)
SELECT DH + 1, DH, MDH, D + 1, 1 FROM CUT_PARTY WHERE MOD(ID, 10) = 4 AND MOD(ID / 10, 3) = 0;
INSERT INTO CUT_PAYMENT (DH, PH, AH, PD, Q)
SELECT DH, 50000 + ID, IIF(MOD(ID, 2) = 0, 60000 + ID / 10, -1), D, IIF(MOD(ID / 10, 5) = 0, Q / 2, Q)
FROM CUT_PARTY WHERE DK = 1;
INSERT INTO CUT_PAYMENT (DH, PH, AH, PD, Q) SELECT DH, 70000 + DH, -1, D, 5 FROM CUT_RETURN;
COMMIT;

SET TERM ^ ;

EXECUTE BLOCK RETURNS (RESULT VARCHAR(4), CHECK_NAME VARCHAR(200)) AS
DECLARE in_q DOUBLE PRECISION = 300;
DECLARE dh INTEGER; DECLARE odh INTEGER; DECLARE mdh INTEGER; DECLARE d DATE; DECLARE ot INTEGER;
DECLARE dk INTEGER; DECLARE q DOUBLE PRECISION; DECLARE cq DOUBLE PRECISION; DECLARE total DOUBLE PRECISION;
DECLARE n INTEGER; DECLARE bad INTEGER; DECLARE walked INTEGER; DECLARE code INTEGER; DECLARE t INTEGER;
DECLARE f_dh INTEGER; DECLARE f_ph INTEGER; DECLARE f_ah INTEGER; DECLARE f_q INTEGER; DECLARE f_cq INTEGER;
BEGIN
  n = ibCutCreate(0);
  FOR SELECT DH, MDH, D, OT, DK, Q FROM CUT_PARTY ORDER BY DH, MDH INTO :dh, :mdh, :d, :ot, :dk, :q DO
    n = n + ibCutPartSpecAppend(dh, mdh, d, ot, dk, 7, 8, 9, q);
  FOR SELECT DH, ODH, MDH, D, Q FROM CUT_RETURN INTO :dh, :odh, :mdh, :d, :q DO
    n = n + ibCutRetSpecAppend(dh, odh, mdh, d, 0, 0, 0, q);
  FOR SELECT DH, PH, AH, PD, Q FROM CUT_PAYMENT INTO :dh, :odh, :mdh, :d, :q DO
    n = n + ibCutOutDocPayAppend(dh, odh, mdh, d, d, q);
  code = ibCutSetParams(DATE '2024-12-31', in_q, 0, 0, 0, 1);
  code = ibCutExecute(0);
  RESULT = IIF(code = 0 AND n = 1 + (SELECT COUNT(*) FROM CUT_PARTY) + (SELECT COUNT(*) FROM CUT_RETURN)
               + (SELECT COUNT(*) FROM CUT_PAYMENT), 'PASS', 'FAIL');
  CHECK_NAME = 'road 2: ' || n || ' calls appended the rows, Execute with VerPay answers ' || code;
  SUSPEND;

  -- Every row's cut, read back by key in date order (each found at once).
  FOR SELECT DH, MDH, DK, Q FROM CUT_PARTY ORDER BY D, DH, MDH INTO :dh, :mdh, :dk, :q DO
    INSERT INTO CUT_RESULT (KIND, DH, DK, Q, CQ) VALUES (2, :dh, :dk, :q, ibCutPartSpecCutQ(:dh, :mdh));
  FOR SELECT DH, ODH, MDH, Q FROM CUT_RETURN ORDER BY D, DH, ODH, MDH INTO :dh, :odh, :mdh, :q DO
    INSERT INTO CUT_RESULT (KIND, DH, Q, CQ) VALUES (3, :dh, :q, ibCutRetSpecCutQ(:dh, :odh, :mdh));
  t = ibCutGetTableNumber('outdocpay');
  f_dh = ibCutGetFieldNumber('dochead'); f_ph = ibCutGetFieldNumber('paydochead');
  f_ah = ibCutGetFieldNumber('acchead'); f_q = ibCutGetFieldNumber('quantity'); f_cq = ibCutGetFieldNumber('cutq');
  walked = 0; bad = 0;
  ibCutFirstNew(t);
  WHILE (ibCutEOF(t) = 0) DO
  BEGIN
    -- The walk visits the payments used; each is one of the table's rows.
    IF (NOT EXISTS (SELECT 1 FROM CUT_PAYMENT WHERE DH = ibCutGetFieldInteger(:t, :f_dh)
                    AND PH = ibCutGetFieldInteger(:t, :f_ph) AND Q = ibCutGetFieldDouble(:t, :f_q))
        OR ibCutGetFieldDouble(t, f_cq) > ibCutGetFieldDouble(t, f_q) + 1e-9) THEN bad = bad + 1;
    IF (ibCutGetFieldInteger(t, f_ah) > -1) THEN
      INSERT INTO CUT_RESULT (KIND, DH, Q, CQ)
        VALUES (4, ibCutGetFieldInteger(:t, :f_ah), ibCutGetFieldDouble(:t, :f_q), ibCutGetFieldDouble(:t, :f_cq));
    INSERT INTO CUT_RESULT (KIND, DH, Q, CQ) VALUES (5, ibCutGetFieldInteger(:t, :f_ph), 1, ibCutGetFieldDouble(:t, :f_cq));
    walked = walked + 1;
    ibCutNextNew(t);
  END
  RESULT = IIF(walked > 20 AND bad = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'road 2: ' || walked || ' payments used, ' || bad || ' unknown or over their amount';
  SUSPEND;

  SELECT COUNT(*) FROM CUT_RESULT WHERE KIND IN (2, 3) AND CQ > Q + 1e-9 INTO :bad;
  SELECT COUNT(*) FROM CUT_RESULT WHERE KIND = 2 AND CQ > 1e-10 AND DH < 10100 INTO :n;
  RESULT = IIF(bad = 0 AND n > 0, 'PASS', 'FAIL');
  CHECK_NAME = 'road 2: no party or return gives more than it holds (' || bad || ' do)';
  SUSPEND;

  -- What left: the outgoing parties' cut less what came back by returns.
  SELECT SUM(IIF(KIND = 2, CQ, -CQ)) FROM CUT_RESULT WHERE (KIND = 2 AND DK = 1) OR KIND = 3 INTO :total;
  RESULT = IIF(ABS(ibCutGetCutQuantity(0) - total) < 1e-9 AND total <= in_q AND total > 100, 'PASS', 'FAIL');
  CHECK_NAME = 'road 2: total cut ' || ibCutGetCutQuantity(0) || ' = ' || total
               || ' left through outgoing documents, at most ' || in_q;
  SUSPEND;

  -- DocSpec against SUM ... GROUP BY over the rows' own cuts.
  t = ibCutGetTableNumber('docspec');
  walked = 0; bad = 0;
  ibCutFirstNew(t);
  WHILE (ibCutEOF(t) = 0) DO
  BEGIN
    dh = ibCutGetFieldInteger(t, f_dh);
    SELECT SUM(Q), SUM(CQ) FROM CUT_RESULT WHERE KIND IN (2, 3, 4) AND CQ > 1e-10 AND DH = :dh INTO :q, :cq;
    IF (q IS NULL OR ABS(q - ibCutGetFieldDouble(t, f_q)) > 1e-9 OR ABS(cq - ibCutGetFieldDouble(t, f_cq)) > 1e-9)
      THEN bad = bad + 1;
    walked = walked + 1;
    ibCutNextNew(t);
  END
  SELECT COUNT(DISTINCT DH) FROM CUT_RESULT WHERE KIND IN (2, 3, 4) AND CQ > 1e-10 INTO :n;
  RESULT = IIF(walked = n AND n > 50 AND bad = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'road 2: DocSpec walk of ' || walked || ' documents, SQL groups ' || n || ', ' || bad || ' differ';
  SUSPEND;

  -- DocHead: the documents of DocSpec and the payment documents used.
  t = ibCutGetTableNumber('dochead');
  walked = 0; bad = 0;
  ibCutFirstNew(t);
  WHILE (ibCutEOF(t) = 0) DO
  BEGIN
    IF (NOT EXISTS (SELECT 1 FROM CUT_RESULT WHERE CQ > 1e-10 AND DH = ibCutGetFieldInteger(:t, :f_dh))) THEN
      bad = bad + 1;
    walked = walked + 1;
    ibCutNextNew(t);
  END
  SELECT COUNT(DISTINCT DH) FROM CUT_RESULT WHERE CQ > 1e-10 INTO :n;
  RESULT = IIF(walked = n AND bad = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'road 2: DocHead walk of ' || walked || ' documents, SQL counts ' || n || ', ' || bad || ' unknown';
  SUSPEND;

  -- Executing again gives the same documents, not twice their cuts.
  code = ibCutExecute(0);
  SELECT SUM(CQ) FROM CUT_RESULT WHERE KIND IN (2, 3, 4) INTO :total;
  cq = 0;
  ibCutFirstNew(t - 1);
  WHILE (ibCutEOF(t - 1) = 0) DO
  BEGIN
    cq = cq + ibCutGetFieldDouble(t - 1, f_cq);
    ibCutNextNew(t - 1);
  END
  RESULT = IIF(code = 0 AND ABS(cq - total) < 1e-9, 'PASS', 'FAIL');
  CHECK_NAME = 'road 2: a second Execute gives DocSpec cuts summing to ' || cq || ' again, not more';
  SUSPEND;

  RESULT = IIF(ibCutFree(0) = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'road 2: engine freed';
  SUSPEND;
END^

SET TERM ; ^
