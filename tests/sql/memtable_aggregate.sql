-- Memory tables as a grouping engine, checked against the server's own
-- GROUP BY: 600 generated rows are folded through a memory table (an int key;
-- a string and int key pair) with sum, count, min and max of every type, and
-- every group is compared with SELECT ... GROUP BY of the same rows in the
-- same block. Then lookups by key and a walk over the rows no lookup read.
-- Each block is one road on one server thread and frees what it creates.

CREATE TABLE MT_SRC (
  ID INTEGER NOT NULL,
  GRP INTEGER,
  NAME VARCHAR(20),
  QTY DOUBLE PRECISION,
  N INTEGER,
  D DATE,
  WORD VARCHAR(10)
);
COMMIT;

-- Groups -18..18 (negatives first in key order), names in Latin and
-- Cyrillic, quantities in quarters (sums stay exact), dates over 400 days.
INSERT INTO MT_SRC (ID, GRP, NAME, QTY, N, D, WORD)
WITH RECURSIVE R (I) AS (SELECT 1 FROM RDB$DATABASE UNION ALL SELECT I + 1 FROM R WHERE I < 600)
SELECT I,
       MOD(I * 7, 37) - 18,
       IIF(MOD(I, 3) = 0, 'склад ', 'store ') || MOD(I * 13, 11),
       CAST(MOD(I * 31, 101) AS DOUBLE PRECISION) / 4 - 10,
       MOD(I * 17, 1000) - 500,
       DATE '2020-01-01' + MOD(I * 11, 400),
       'w' || LPAD(MOD(I * 29, 997), 3, '0')
FROM R;
COMMIT;

SET TERM ^ ;

-- One int key; every action of int, double and date fields.
EXECUTE BLOCK RETURNS (RESULT VARCHAR(4), CHECK_NAME VARCHAR(200)) AS
DECLARE t INTEGER;
DECLARE ok INTEGER = 0;
DECLARE fk INTEGER; DECLARE fq INTEGER; DECLARE fc INTEGER; DECLARE fnmin INTEGER;
DECLARE fnmax INTEGER; DECLARE fnsum INTEGER; DECLARE fdmin INTEGER; DECLARE fdmax INTEGER;
DECLARE fqc INTEGER; DECLARE fqmin INTEGER; DECLARE fqmax INTEGER; DECLARE fqlast INTEGER;
DECLARE grp INTEGER; DECLARE qty DOUBLE PRECISION; DECLARE n INTEGER; DECLARE d DATE;
DECLARE s_qty DOUBLE PRECISION; DECLARE s_cnt INTEGER; DECLARE s_nmin INTEGER; DECLARE s_nmax INTEGER;
DECLARE s_nsum BIGINT; DECLARE s_dmin DATE; DECLARE s_dmax DATE; DECLARE s_qmin DOUBLE PRECISION;
DECLARE s_qmax DOUBLE PRECISION; DECLARE s_qlast DOUBLE PRECISION;
DECLARE rows_in INTEGER = 0; DECLARE added INTEGER = 0; DECLARE folded INTEGER = 0;
DECLARE groups INTEGER = 0; DECLARE missing INTEGER = 0;
DECLARE bad_sum INTEGER = 0; DECLARE bad_cnt INTEGER = 0; DECLARE bad_min INTEGER = 0;
DECLARE bad_max INTEGER = 0; DECLARE bad_date INTEGER = 0; DECLARE bad_update INTEGER = 0;
DECLARE walked INTEGER = 0; DECLARE bad_order INTEGER = 0;
BEGIN
  t = ibMemTableCreate('by_grp');
  fk = ibMemTableAddField(t, 'grp', 'int', 1, 'miss');
  fq = ibMemTableAddField(t, 'qty', 'double', 0, 'sum');
  fc = ibMemTableAddField(t, 'cnt', 'int', 0, 'count');
  fnmin = ibMemTableAddField(t, 'nmin', 'int', 0, 'min');
  fnmax = ibMemTableAddField(t, 'nmax', 'int', 0, 'max');
  fnsum = ibMemTableAddField(t, 'nsum', 'int', 0, 'sum');
  fdmin = ibMemTableAddField(t, 'dmin', 'date', 0, 'min');
  fdmax = ibMemTableAddField(t, 'dmax', 'datetime', 0, 'max');
  fqc = ibMemTableAddField(t, 'qcnt', 'double', 0, 'count');
  fqmin = ibMemTableAddField(t, 'qmin', 'double', 0, 'min');
  fqmax = ibMemTableAddField(t, 'qmax', 'double', 0, 'max');
  fqlast = ibMemTableAddField(t, 'qlast', 'double', 0, 'update');
  RESULT = IIF(t > 0 AND fk = 0 AND fqlast = 11, 'PASS', 'FAIL');
  CHECK_NAME = 'a table with an int key and eleven folded fields is defined';
  SUSPEND;

  FOR SELECT GRP, QTY, N, D FROM MT_SRC ORDER BY ID INTO :grp, :qty, :n, :d DO
  BEGIN
    rows_in = rows_in + 1;
    ok = ok + ibMemTableRowClear(t);
    ok = ok + ibMemTableRowFieldSetInt(t, fk, grp);
    ok = ok + ibMemTableRowFieldSetDouble(t, fq, qty);
    ok = ok + ibMemTableRowFieldSetInt(t, fc, 1);
    ok = ok + ibMemTableRowFieldSetInt(t, fnmin, n);
    ok = ok + ibMemTableRowFieldSetInt(t, fnmax, n);
    ok = ok + ibMemTableRowFieldSetInt(t, fnsum, n);
    ok = ok + ibMemTableRowFieldSetDate(t, fdmin, d);
    ok = ok + ibMemTableRowFieldSetDate(t, fdmax, d);
    ok = ok + ibMemTableRowFieldSetDouble(t, fqc, 1);
    ok = ok + ibMemTableRowFieldSetDouble(t, fqmin, qty);
    ok = ok + ibMemTableRowFieldSetDouble(t, fqmax, qty);
    ok = ok + ibMemTableRowFieldSetDouble(t, fqlast, qty);
    IF (ibMemTableInsert(t) = -1) THEN added = added + 1; ELSE folded = folded + 1;
  END
  RESULT = IIF(rows_in = 600 AND ok = 13 * rows_in, 'PASS', 'FAIL');
  CHECK_NAME = 'every work-row call of 600 inserts answers 1';
  SUSPEND;
  RESULT = IIF(added = (SELECT COUNT(DISTINCT GRP) FROM MT_SRC) AND folded = rows_in - added, 'PASS', 'FAIL');
  CHECK_NAME = 'ibMemTableInsert answers -1 once per group and a row index for every fold';
  SUSPEND;

  FOR SELECT GRP, SUM(QTY), COUNT(*), MIN(N), MAX(N), SUM(N), MIN(D), MAX(D), MIN(QTY), MAX(QTY)
      FROM MT_SRC GROUP BY GRP
      INTO :grp, :s_qty, :s_cnt, :s_nmin, :s_nmax, :s_nsum, :s_dmin, :s_dmax, :s_qmin, :s_qmax DO
  BEGIN
    groups = groups + 1;
    SELECT FIRST 1 QTY FROM MT_SRC WHERE GRP = :grp ORDER BY ID DESC INTO :s_qlast;
    ok = ibMemTableRowClear(t);
    ok = ibMemTableRowFieldSetInt(t, fk, grp);
    IF (ibMemTableLocate(t) <> 1 OR ibMemTableFieldGetInt(t, fk) <> grp) THEN
      missing = missing + 1;
    ELSE
    BEGIN
      IF (ibMemTableFieldGetDouble(t, fq) <> s_qty OR ibMemTableFieldGetInt(t, fnsum) <> s_nsum) THEN
        bad_sum = bad_sum + 1;
      IF (ibMemTableFieldGetInt(t, fc) <> s_cnt OR ibMemTableFieldGetDouble(t, fqc) <> s_cnt) THEN
        bad_cnt = bad_cnt + 1;
      IF (ibMemTableFieldGetInt(t, fnmin) <> s_nmin OR ibMemTableFieldGetDouble(t, fqmin) <> s_qmin) THEN
        bad_min = bad_min + 1;
      IF (ibMemTableFieldGetInt(t, fnmax) <> s_nmax OR ibMemTableFieldGetDouble(t, fqmax) <> s_qmax) THEN
        bad_max = bad_max + 1;
      IF (ibMemTableFieldGetDate(t, fdmin) <> CAST(s_dmin AS TIMESTAMP)
          OR ibMemTableFieldGetDate(t, fdmax) <> CAST(s_dmax AS TIMESTAMP)) THEN
        bad_date = bad_date + 1;
      IF (ibMemTableFieldGetDouble(t, fqlast) <> s_qlast) THEN
        bad_update = bad_update + 1;
    END
  END
  RESULT = IIF(groups = 37 AND missing = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'ibMemTableLocate finds each of the 37 GROUP BY groups by its int key';
  SUSPEND;
  RESULT = IIF(bad_sum = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'double and int ''sum'' equal SUM() in every group';
  SUSPEND;
  RESULT = IIF(bad_cnt = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'int and double ''count'' (first value 1) equal COUNT(*) in every group';
  SUSPEND;
  RESULT = IIF(bad_min = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'int and double ''min'' equal MIN() in every group';
  SUSPEND;
  RESULT = IIF(bad_max = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'int and double ''max'' equal MAX() in every group';
  SUSPEND;
  RESULT = IIF(bad_date = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'date ''min'' and ''max'' equal MIN(D) and MAX(D) at midnight in every group';
  SUSPEND;
  RESULT = IIF(bad_update = 0, 'PASS', 'FAIL');
  CHECK_NAME = '''update'' keeps the value of the last row of each group';
  SUSPEND;

  -- The walk gives the groups in ascending key order, negatives first.
  ok = ibMemTableFirst(t);
  FOR SELECT DISTINCT GRP FROM MT_SRC ORDER BY GRP INTO :grp DO
  BEGIN
    IF (ibMemTableEOF(t) = 1 OR ibMemTableFieldGetInt(t, fk) <> grp) THEN bad_order = bad_order + 1;
    walked = walked + 1;
    ok = ibMemTableNext(t);
  END
  RESULT = IIF(walked = 37 AND bad_order = 0 AND ibMemTableEOF(t) = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'ibMemTableFirst/Next walk the rows in ORDER BY GRP order, then EOF';
  SUSPEND;

  RESULT = IIF(ibMemTableFree(t) = 1 AND ibMemTableByName('by_grp') = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'the table is freed';
  SUSPEND;
END^

-- Two keys, a Latin or Cyrillic string and an int; string min and max.
EXECUTE BLOCK RETURNS (RESULT VARCHAR(4), CHECK_NAME VARCHAR(200)) AS
DECLARE t INTEGER;
DECLARE ok INTEGER = 0;
DECLARE fname INTEGER; DECLARE fsign INTEGER; DECLARE fq INTEGER; DECLARE fc INTEGER;
DECLARE fwmin INTEGER; DECLARE fwmax INTEGER; DECLARE fwcnt INTEGER;
DECLARE name VARCHAR(20); DECLARE sgn INTEGER; DECLARE qty DOUBLE PRECISION; DECLARE word VARCHAR(10);
DECLARE s_qty DOUBLE PRECISION; DECLARE s_cnt INTEGER; DECLARE s_wmin VARCHAR(10); DECLARE s_wmax VARCHAR(10);
DECLARE s_wfirst VARCHAR(10);
DECLARE groups INTEGER = 0; DECLARE missing INTEGER = 0; DECLARE bad INTEGER = 0;
DECLARE bad_words INTEGER = 0; DECLARE rows_walked INTEGER = 0; DECLARE added INTEGER = 0;
BEGIN
  t = ibMemTableCreate('По имени');
  fname = ibMemTableAddField(t, 'name', 'string', 1, 'miss');
  fq = ibMemTableAddField(t, 'qty', 'double', 0, 'sum');
  fsign = ibMemTableAddField(t, 'sign', 'int', 1, 'miss');
  fc = ibMemTableAddField(t, 'cnt', 'int', 0, 'count');
  fwmin = ibMemTableAddField(t, 'wmin', 'string', 0, 'min');
  fwmax = ibMemTableAddField(t, 'wmax', 'string', 0, 'max');
  fwcnt = ibMemTableAddField(t, 'wfirst', 'string', 0, 'count');
  FOR SELECT NAME, SIGN(N), QTY, WORD FROM MT_SRC ORDER BY ID INTO :name, :sgn, :qty, :word DO
  BEGIN
    ok = ok + ibMemTableRowClear(t);
    ok = ok + ibMemTableRowFieldSetStr(t, fname, name);
    ok = ok + ibMemTableRowFieldSetInt(t, fsign, sgn);
    ok = ok + ibMemTableRowFieldSetDouble(t, fq, qty);
    ok = ok + ibMemTableRowFieldSetInt(t, fc, 1);
    ok = ok + ibMemTableRowFieldSetStr(t, fwmin, word);
    ok = ok + ibMemTableRowFieldSetStr(t, fwmax, word);
    ok = ok + ibMemTableRowFieldSetStr(t, fwcnt, word);
    IF (ibMemTableInsert(t) = -1) THEN added = added + 1;
  END
  RESULT = IIF(ok = 8 * 600, 'PASS', 'FAIL');
  CHECK_NAME = 'every work-row call of the two-key table answers 1';
  SUSPEND;
  FOR SELECT NAME, SIGN(N), SUM(QTY), COUNT(*), MIN(WORD), MAX(WORD) FROM MT_SRC GROUP BY 1, 2
      INTO :name, :sgn, :s_qty, :s_cnt, :s_wmin, :s_wmax DO
  BEGIN
    groups = groups + 1;
    SELECT FIRST 1 WORD FROM MT_SRC WHERE NAME = :name AND SIGN(N) = :sgn ORDER BY ID INTO :s_wfirst;
    ok = ibMemTableRowClear(t);
    ok = ibMemTableRowFieldSetStr(t, fname, name);
    ok = ibMemTableRowFieldSetInt(t, fsign, sgn);
    IF (ibMemTableLocate(t) <> 1 OR ibMemTableFieldGetStr(t, fname) <> name) THEN
      missing = missing + 1;
    ELSE
    BEGIN
      IF (ibMemTableFieldGetDouble(t, fq) <> s_qty OR ibMemTableFieldGetInt(t, fc) <> s_cnt) THEN
        bad = bad + 1;
      IF (ibMemTableFieldGetStr(t, fwmin) <> s_wmin OR ibMemTableFieldGetStr(t, fwmax) <> s_wmax
          OR ibMemTableFieldGetStr(t, fwcnt) <> s_wfirst) THEN
        bad_words = bad_words + 1;
    END
  END
  RESULT = IIF(groups = (SELECT COUNT(*) FROM (SELECT DISTINCT NAME, SIGN(N) AS SGN FROM MT_SRC)) AND groups > 40
               AND missing = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'ibMemTableLocate finds every (string, int) group, Cyrillic names included';
  SUSPEND;
  RESULT = IIF(bad = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'sum and count per (string, int) group equal SUM() and COUNT(*)';
  SUSPEND;
  RESULT = IIF(bad_words = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'string ''min''/''max'' equal MIN()/MAX(); string ''count'' keeps the first value';
  SUSPEND;
  ok = ibMemTableFirst(t);
  WHILE (ibMemTableEOF(t) = 0) DO
  BEGIN
    rows_walked = rows_walked + 1;
    ok = ibMemTableNext(t);
  END
  RESULT = IIF(rows_walked = groups AND added = groups, 'PASS', 'FAIL');
  CHECK_NAME = 'the table holds exactly one row per group';
  SUSPEND;
  RESULT = IIF(ibMemTableFree(t) = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'the two-key table is freed';
  SUSPEND;
END^

-- Lookups by key, then a walk over the rows that no lookup read.
EXECUTE BLOCK RETURNS (RESULT VARCHAR(4), CHECK_NAME VARCHAR(200)) AS
DECLARE t INTEGER;
DECLARE ok INTEGER;
DECLARE fk INTEGER; DECLARE fc INTEGER;
DECLARE grp INTEGER;
DECLARE looked INTEGER = 0; DECLARE found INTEGER = 0;
DECLARE walked INTEGER = 0; DECLARE walked_even INTEGER = 0; DECLARE walked_sum INTEGER = 0;
DECLARE kept INTEGER;
BEGIN
  t = ibMemTableCreate('unread');
  fk = ibMemTableAddField(t, 'grp', 'int', 1, 'miss');
  fc = ibMemTableAddField(t, 'cnt', 'int', 0, 'count');
  FOR SELECT GRP FROM MT_SRC INTO :grp DO
  BEGIN
    ok = ibMemTableRowClear(t);
    ok = ibMemTableRowFieldSetInt(t, fk, grp);
    ok = ibMemTableRowFieldSetInt(t, fc, 1);
    ok = ibMemTableInsert(t);
  END
  ok = ibMemTableSetNew(t);
  FOR SELECT DISTINCT GRP FROM MT_SRC WHERE MOD(GRP, 2) = 0 INTO :grp DO
  BEGIN
    looked = looked + 1;
    ok = ibMemTableRowClear(t);
    ok = ibMemTableRowFieldSetInt(t, fk, grp);
    IF (ibMemTableLocate(t) = 1 AND ibMemTableFieldGetInt(t, fc) > 0) THEN found = found + 1;
  END
  RESULT = IIF(looked = 19 AND found = looked, 'PASS', 'FAIL');
  CHECK_NAME = 'the 19 even groups are found and read by key';
  SUSPEND;

  kept = ibMemTableFieldGetInt(t, fk);
  ok = ibMemTableRowClear(t);
  ok = ibMemTableRowFieldSetInt(t, fk, 1000);
  RESULT = IIF(ibMemTableLocate(t) = 0 AND ibMemTableFieldGetInt(t, fk) = kept, 'PASS', 'FAIL');
  CHECK_NAME = 'ibMemTableLocate of an absent key answers 0 and keeps the cursor';
  SUSPEND;

  ok = ibMemTableFirstNew(t);
  WHILE (ibMemTableEOF(t) = 0) DO
  BEGIN
    grp = ibMemTableFieldGetInt(t, fk);
    walked = walked + 1;
    walked_sum = walked_sum + grp;
    IF (MOD(grp, 2) = 0) THEN walked_even = walked_even + 1;
    ok = ibMemTableNextNew(t);
  END
  RESULT = IIF(walked = (SELECT COUNT(DISTINCT GRP) FROM MT_SRC WHERE MOD(GRP, 2) <> 0) AND walked_even = 0
               AND walked_sum = (SELECT SUM(DISTINCT GRP) FROM MT_SRC WHERE MOD(GRP, 2) <> 0), 'PASS', 'FAIL');
  CHECK_NAME = 'ibMemTableFirstNew/NextNew walk exactly the odd groups no lookup read';
  SUSPEND;

  ok = ibMemTableFirstNew(t);
  RESULT = IIF(ibMemTableEOF(t) = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'after that walk read them, no row is left unread';
  SUSPEND;
  ok = ibMemTableSetNew(t);
  walked = 0;
  ok = ibMemTableFirstNew(t);
  WHILE (ibMemTableEOF(t) = 0) DO
  BEGIN
    walked = walked + 1;
    ok = ibMemTableNextNew(t);
  END
  RESULT = IIF(walked = 37, 'PASS', 'FAIL');
  CHECK_NAME = 'ibMemTableSetNew marks all 37 rows again';
  SUSPEND;
  RESULT = IIF(ibMemTableFree(t) = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'the lookup table is freed';
  SUSPEND;
END^

SET TERM ; ^
