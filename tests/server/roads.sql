-- One round of roads for the loopback server test: every family, each road in
-- one EXECUTE BLOCK (one server thread), its data derived from @SEED@, every
-- answer checked here and freed at the end. Terminator: ^.

-- Value lists of the three kinds.
EXECUTE BLOCK RETURNS (RESULT VARCHAR(4), CHECK_NAME VARCHAR(60)) AS
DECLARE s INTEGER = @SEED@;
DECLARE hs INTEGER; DECLARE hi INTEGER; DECLARE hd INTEGER;
DECLARE i INTEGER = 0; DECLARE r INTEGER;
BEGIN
  hs = ibListStrCreate('строки ' || s);
  hi = ibListIntCreate('ints ' || s);
  hd = ibListDoubleCreate('doubles ' || s);
  WHILE (i < 50) DO
  BEGIN
    r = ibListStrAdd(hs, 'doc-' || s || '-' || i);
    r = ibListIntAdd(hi, s * 100 + MOD(i * 7, 50));
    r = ibListDoubleAdd(hd, s + MOD(i * 3, 50) * 0.25);
    i = i + 1;
  END
  RESULT = IIF(ibListStrCount(hs) = 50 AND ibListStrByName('СТРОКИ ' || s) = hs
               AND ibListStrExists(hs, 'doc-' || s || '-17') = 1 AND ibListStrExists(hs, 'doc-' || s || '-50') = 0,
               'PASS', 'FAIL');
  CHECK_NAME = 'string list ' || s; SUSPEND;
  RESULT = IIF(ibListIntCount(hi) = 50 AND ibListIntIndexOf(hi, s * 100 + 33) = 33
               AND ibListIntGetItemByIndex(hi, 49) = s * 100 + 49, 'PASS', 'FAIL');
  CHECK_NAME = 'integer list ' || s; SUSPEND;
  r = ibListDoubleSort(hd, 1);
  RESULT = IIF(ibListDoubleExists(hd, s + 2.5) = 1 AND ibListDoubleGetItemByIndex(hd, 4) = s + 1
               AND ibListDoubleIndexOf(hd, s + 12.25) = 49, 'PASS', 'FAIL');
  CHECK_NAME = 'double list ' || s; SUSPEND;
  RESULT = IIF(ibListStrFree(hs) + ibListIntFree(hi) + ibListDoubleFree(hd) = 3, 'PASS', 'FAIL');
  CHECK_NAME = 'lists freed ' || s; SUSPEND;
END^

-- A memory table grouping 200 rows by MOD(i, 7): sum and count per key.
EXECUTE BLOCK RETURNS (RESULT VARCHAR(4), CHECK_NAME VARCHAR(60)) AS
DECLARE s INTEGER = @SEED@;
DECLARE t INTEGER; DECLARE r INTEGER; DECLARE i INTEGER = 0;
DECLARE k INTEGER; DECLARE n INTEGER; DECLARE bad INTEGER = 0; DECLARE groups INTEGER = 0;
BEGIN
  t = ibMemTableCreate('таблица ' || s);
  r = ibMemTableAddField(t, 'key', 'int', 1, 'miss');
  r = ibMemTableAddField(t, 'total', 'int', 0, 'sum');
  r = ibMemTableAddField(t, 'rows', 'int', 0, 'count');
  WHILE (i < 200) DO
  BEGIN
    r = ibMemTableRowClear(t);
    r = ibMemTableRowFieldSetInt(t, 0, MOD(i + s, 7));
    r = ibMemTableRowFieldSetInt(t, 1, i);
    r = ibMemTableRowFieldSetInt(t, 2, 1);
    r = ibMemTableInsert(t);
    i = i + 1;
  END
  r = ibMemTableFirst(t);
  WHILE (ibMemTableEOF(t) = 0) DO
  BEGIN
    -- Key k holds the i < 200 with MOD(i + s, 7) = k: i0, i0 + 7, ...
    k = ibMemTableFieldGetInt(t, 0);
    i = MOD(k - MOD(s, 7) + 7, 7);
    n = (199 - i) / 7 + 1;
    IF (k <> groups OR ibMemTableFieldGetInt(t, 2) <> n OR ibMemTableFieldGetInt(t, 1) <> n * i + 7 * n * (n - 1) / 2)
    THEN bad = bad + 1;
    groups = groups + 1;
    r = ibMemTableNext(t);
  END
  RESULT = IIF(bad = 0 AND groups = 7 AND ibMemTableByName('ТАБЛИЦА ' || s) = t, 'PASS', 'FAIL');
  CHECK_NAME = 'memory table groups ' || s; SUSPEND;
  RESULT = IIF(ibMemTableFree(t) = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'memory table freed ' || s; SUSPEND;
END^

-- Remains: three places, +q on day 1, -2 on day 3, balances up to day 5.
EXECUTE BLOCK RETURNS (RESULT VARCHAR(4), CHECK_NAME VARCHAR(60)) AS
DECLARE s INTEGER = @SEED@;
DECLARE d DATE = DATE '2024-03-01';
DECLARE q INTEGER; DECLARE p INTEGER = 1; DECLARE r INTEGER;
DECLARE rows_ INTEGER = 0; DECLARE total DOUBLE PRECISION = 0; DECLARE bad INTEGER = 0;
BEGIN
  q = 5 + MOD(s, 4);
  r = ibOstatokCreate(0);
  r = ibOstatokSetParams(2, d, d + 5, d + 5);
  r = ibOstatokSetUseParams(0, 0, 0, 1, 0, 0, 0);
  WHILE (p <= 3) DO
  BEGIN
    r = ibOstatokAppend(d + 1, 1, 1, p, q * p, 0);
    r = ibOstatokAppend(d + 3, 1, 1, p, -2, 0);
    p = p + 1;
  END
  r = ibOstatokExecute(0);
  p = 1;
  WHILE (p <= 3) DO
  BEGIN
    IF (ibOstatokGetQuantity(0, d, 1, 1, p) <> q * p - 2) THEN bad = bad + 1;
    p = p + 1;
  END
  r = ibOstatokFirstNew(4);
  WHILE (ibOstatokEOF(4) = 0) DO
  BEGIN
    rows_ = rows_ + 1;
    total = total + ibOstatokGetFieldDouble(4, ibOstatokGetFieldNumber('quantity'));
    r = ibOstatokNextNew(4);
  END
  -- Days 1 and 2 hold q * p, days 3 to 5 q * p - 2, for p = 1..3.
  RESULT = IIF(bad = 0 AND rows_ = 15 AND total = 2 * 6 * q + 3 * (6 * q - 6), 'PASS', 'FAIL');
  CHECK_NAME = 'remains totals and daily balances ' || s; SUSPEND;
  RESULT = IIF(ibOstatokFree(0) = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'remains freed ' || s; SUSPEND;
END^

-- Store remains: 24 rows on 12 keys, one looked up, 11 left unread.
EXECUTE BLOCK RETURNS (RESULT VARCHAR(4), CHECK_NAME VARCHAR(60)) AS
DECLARE s INTEGER = @SEED@;
DECLARE d DATE = DATE '2024-03-01';
DECLARE i INTEGER = 0; DECLARE r INTEGER; DECLARE unread INTEGER = 0;
BEGIN
  r = ibOstStoreCreate(0);
  WHILE (i < 24) DO
  BEGIN
    r = ibOstStoreAppend(d + MOD(i, 3), MOD(i, 2), s, 10 + MOD(i, 4), i + 1);
    i = i + 1;
  END
  r = ibOstStoreExecute(0);
  -- Key of i = 5 (and 17): day 2, pack 1, pallet 11; 6 + 18.
  RESULT = IIF(ibOstStoreGetQuantity(d + 2, 1, s, 11) = 24, 'PASS', 'FAIL');
  CHECK_NAME = 'store remains lookup ' || s; SUSPEND;
  r = ibOstStoreFirstNew(0);
  WHILE (ibOstStoreEOF(0) = 0) DO
  BEGIN
    IF (ibOstStoreGetFieldInteger(ibOstStoreGetFieldNumber('ASRT')) = s) THEN unread = unread + 1;
    r = ibOstStoreNextNew(0);
  END
  RESULT = IIF(unread = 11 AND ibOstStoreFree(0) = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'store remains unread rows, freed ' || s; SUSPEND;
END^

-- Batch calculation at place p: parties a (day 1) and b (day 3); sale s1 on
-- day 2 takes q1 of a only; sale s2 on day 5 the rest of a and one of b;
-- return r on day 4 gives one of a back from s1; move m on day 6 takes two
-- of b to place p + 10, where sale s3 takes one of them.
EXECUTE BLOCK RETURNS (RESULT VARCHAR(4), CHECK_NAME VARCHAR(60)) AS
DECLARE s INTEGER = @SEED@;
DECLARE d DATE = DATE '2024-03-01';
DECLARE p INTEGER; DECLARE a INTEGER; DECLARE r INTEGER; DECLARE ok INTEGER = 1;
DECLARE qa INTEGER; DECLARE qb INTEGER; DECLARE q1 INTEGER;
BEGIN
  p = 1 + MOD(s, 3); a = s * 10; qa = 3 + MOD(s, 4); qb = 5 + MOD(s, 3); q1 = 1 + MOD(s, 2);
  ok = BIN_AND(ibCalcPartCreate(0), ibCalcPartClear(0));
  ok = BIN_AND(ok, ibCalcPartRemainsAppend(a + 1, -1, d + 1, p, 0, 0, qa, 0));
  ok = BIN_AND(ok, ibCalcPartRemainsAppend(a + 2, -1, d + 3, p, 0, 0, qb, 0));
  ok = BIN_AND(ok, ibCalcPartXPartAppend(a + 3, -1, d + 2, p, 0, 1, q1, 0, 0, 20));
  ok = BIN_AND(ok, ibCalcPartXPartAppend(a + 4, -1, d + 5, p, 0, 1, qa - q1 + 1, 0, 0, 25));
  ok = BIN_AND(ok, ibCalcPartXPartAppend(a + 6, -1, d + 6, p, 0, 2, 2, 0, 0, p + 10));
  ok = BIN_AND(ok, ibCalcPartXPartAppend(a + 7, -1, d + 7, p + 10, 0, 1, 1, 0, 0, 20));
  ok = BIN_AND(ok, ibCalcPartXRetAppend(a + 5, -1, -1, d + 4, p, 1, 0, 20));
  ok = BIN_AND(ok, ibCalcPartExecute(0));
  RESULT = IIF(ok = 1 AND ibCalcPartPartSpecGetQuantity(a + 3, a + 1, -1) = q1
               AND ibCalcPartPartSpecGetQuantity(a + 4, a + 1, -1) = qa - q1
               AND ibCalcPartPartSpecGetQuantity(a + 4, a + 2, -1) = 1
               AND ibCalcPartPartSpecGetQuantity(a + 6, a + 2, -1) = 2
               AND ibCalcPartPartSpecGetQuantity(a + 7, a + 2, a + 6) = 1
               AND ibCalcPartRetSpecGetQuantity(a + 5, a + 3, a + 1, -1) = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'batch calculation splits ' || s; SUSPEND;
  r = 0;
  ok = ibCalcPartFirstNew('partspec');
  WHILE (ibCalcPartEOF('partspec') = 0) DO
  BEGIN
    r = r + 1;
    ok = ibCalcPartNextNew('partspec');
  END
  RESULT = IIF(r = 0 AND ibCalcPartCount('partspec') = 5 AND ibCalcPartCount('xpart') = 0
               AND ibCalcPartRemainsGetQuantity(a + 1, -1) = 0 AND ibCalcPartRemainsGetQuantity(a + 1, a + 5) = 1
               AND ibCalcPartRemainsGetQuantity(a + 2, -1) = qb - 3
               AND ibCalcPartRemainsGetQuantity(a + 2, a + 6) = 1 AND ibCalcPartFree(0) = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'batch calculation parties left, freed ' || s; SUSPEND;
END^

-- Write-off of t1's quantity and k more, oldest chain first: receipt r0
-- (kind 11) -> t0 gives nothing, r1 -> t1 all of t1, r2 -> t2 the k left.
EXECUTE BLOCK RETURNS (RESULT VARCHAR(4), CHECK_NAME VARCHAR(60)) AS
DECLARE s INTEGER = @SEED@;
DECLARE d DATE = DATE '2024-03-01';
DECLARE b INTEGER; DECLARE ok INTEGER; DECLARE t INTEGER; DECLARE dh INTEGER;
DECLARE qr1 INTEGER; DECLARE qt1 INTEGER; DECLARE qr2 INTEGER; DECLARE qt2 INTEGER; DECLARE k INTEGER;
DECLARE n INTEGER = 0; DECLARE bad INTEGER = 0; DECLARE q DOUBLE PRECISION; DECLARE cq DOUBLE PRECISION;
BEGIN
  b = s * 10; qr1 = 4 + MOD(s, 5); qt1 = 2 + MOD(s, 3); qr2 = 5 + MOD(s, 4); qt2 = 3 + MOD(s, 2); k = 1 + MOD(s, 2);
  ok = ibCutCreate(0) + ibCutClear(0) + ibCutPartSpecAppend(b + 1, -1, d, 0, 11, 0, 0, 0, 3)
       + ibCutPartSpecAppend(b + 2, b + 1, d + 1, 0, 1, 0, 0, 0, 2) + ibCutPartSpecAppend(b + 3, -1, d + 1, 0, 0, 0, 0, 0, qr1)
       + ibCutPartSpecAppend(b + 4, b + 3, d + 2, 0, 1, 0, 0, 0, qt1) + ibCutPartSpecAppend(b + 5, -1, d + 3, 0, 0, 0, 0, 0, qr2)
       + ibCutPartSpecAppend(b + 6, b + 5, d + 4, 0, 1, 0, 0, 0, qt2) + ibCutSetParams(d + 30, qt1 + k, 0, 0, 0, 0);
  RESULT = IIF(ok = 9 AND ibCutExecute(0) = 0 AND ibCutGetCutQuantity(0) = qt1 + k
               AND ibCutPartSpecCutQ(b + 1, -1) = 0 AND ibCutPartSpecCutQ(b + 2, b + 1) = 0
               AND ibCutPartSpecCutQ(b + 3, -1) = qt1 AND ibCutPartSpecCutQ(b + 4, b + 3) = qt1
               AND ibCutPartSpecCutQ(b + 5, -1) = k AND ibCutPartSpecCutQ(b + 6, b + 5) = k, 'PASS', 'FAIL');
  CHECK_NAME = 'write-off cuts ' || s; SUSPEND;
  t = ibCutGetTableNumber('docspec');
  ok = ibCutFirstNew(t);
  WHILE (ibCutEOF(t) = 0) DO
  BEGIN
    dh = ibCutGetFieldInteger(t, ibCutGetFieldNumber('dochead'));
    q = ibCutGetFieldDouble(t, ibCutGetFieldNumber('quantity'));
    cq = ibCutGetFieldDouble(t, ibCutGetFieldNumber('cutq'));
    IF (NOT ((dh = b + 3 AND q = qr1 AND cq = qt1) OR (dh = b + 4 AND q = qt1 AND cq = qt1)
             OR (dh = b + 5 AND q = qr2 AND cq = k) OR (dh = b + 6 AND q = qt2 AND cq = k))) THEN bad = bad + 1;
    n = n + 1;
    ok = ibCutNextNew(t);
  END
  RESULT = IIF(n = 4 AND bad = 0 AND ibCutFree(0) = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'write-off documents, freed ' || s; SUSPEND;
END^
