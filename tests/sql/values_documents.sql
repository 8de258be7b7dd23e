-- A warehouse procedure's use of value lists: document numbers, heads and
-- amounts of one query are collected into lists, and the rows of another
-- query (payments) are tested against them. Every answer is compared with
-- what SQL itself computes over the same tables (EXISTS, COUNT, MIN, MAX,
-- GROUP BY). Document numbers are Cyrillic and Latin, some stored with
-- trailing blanks, which the lists cut just as SQL comparison ignores them.
CREATE TABLE DOC_HEAD (
  DH INTEGER NOT NULL PRIMARY KEY,
  NUM VARCHAR(40) NOT NULL,
  STORE_ID INTEGER NOT NULL,
  AMOUNT DOUBLE PRECISION NOT NULL);
CREATE TABLE PAYMENT (
  PID INTEGER NOT NULL PRIMARY KEY,
  DH INTEGER NOT NULL,
  DOC_NUM VARCHAR(40) NOT NULL,
  SUMMA DOUBLE PRECISION NOT NULL);
COMMIT;

SET TERM ^ ;

EXECUTE BLOCK AS
DECLARE i INTEGER = 1;
BEGIN
  WHILE (i <= 3000) DO
  BEGIN
    INSERT INTO DOC_HEAD (DH, NUM, STORE_ID, AMOUNT) VALUES (
      :i * 7,
      DECODE(MOD(:i, 3), 0, 'Накл-', 1, 'СЧЁТ-', 'order-') || :i || IIF(MOD(:i, 10) = 0, '  ', ''),
      MOD(:i, 4) + 1,
      MOD(:i * 37, 1000) / 8e0);
    i = i + 1;
  END
  i = 1;
  WHILE (i <= 2000) DO
  BEGIN
    -- Heads: every fifth one exists. Numbers: exact, upper-cased (which
    -- matches only where the number has no lower-case letters) or unknown.
    INSERT INTO PAYMENT (PID, DH, DOC_NUM, SUMMA) VALUES (
      :i,
      :i * 5,
      DECODE(MOD(:i, 3), 0, 'Накл-' || (:i * 2), 1, UPPER('order-' || :i), 'СЧЁТ-' || (:i + 1)),
      MOD(:i * 53, 1100) / 8e0);
    i = i + 1;
  END
END^
COMMIT^

-- Document numbers of store 1 in a string list; payments tested against it.
EXECUTE BLOCK RETURNS (RESULT VARCHAR(4), CHECK_NAME VARCHAR(200)) AS
DECLARE h INTEGER;
DECLARE r INTEGER;
DECLARE num VARCHAR(40);
DECLARE k INTEGER;
DECLARE hits INTEGER = 0;
DECLARE sql_hits INTEGER = 0;
DECLARE mismatches INTEGER = 0;
DECLARE answer INTEGER;
DECLARE expected INTEGER;
BEGIN
  h = ibListStrCreate('Номера склада');
  FOR SELECT NUM FROM DOC_HEAD WHERE STORE_ID = 1 ORDER BY DH INTO :num DO
    r = ibListStrAdd(h, num);
  RESULT = IIF(ibListStrCount(h) = (SELECT COUNT(*) FROM DOC_HEAD WHERE STORE_ID = 1), 'PASS', 'FAIL');
  CHECK_NAME = 'string list count equals COUNT(*) of the query';
  SUSPEND;
  RESULT = IIF(ibListStrIndex(h, (SELECT NUM FROM DOC_HEAD WHERE DH = 84)) = 2, 'PASS', 'FAIL');
  CHECK_NAME = 'before any test the list keeps the query order (the third document of store 1)';
  SUSPEND;

  FOR SELECT DOC_NUM FROM PAYMENT ORDER BY PID INTO :num DO
  BEGIN
    answer = ibListStrExists(h, num);
    expected = IIF(EXISTS(SELECT 1 FROM DOC_HEAD WHERE STORE_ID = 1 AND NUM = :num), 1, 0);
    hits = hits + answer;
    sql_hits = sql_hits + expected;
    IF (answer <> expected) THEN mismatches = mismatches + 1;
  END
  RESULT = IIF(mismatches = 0 AND hits = sql_hits AND hits > 0, 'PASS', 'FAIL');
  CHECK_NAME = 'ibListStrExists agrees with EXISTS for every payment (' || hits || ' of ' || sql_hits || ' found)';
  SUSPEND;

  -- The tests left the list sorted in byte order: it walks like ORDER BY
  -- under the database's binary WIN1251 collation.
  k = 0;
  mismatches = 0;
  FOR SELECT NUM FROM DOC_HEAD WHERE STORE_ID = 1 ORDER BY NUM INTO :num DO
  BEGIN
    IF (ibListStrGetItemByIndex(h, k) IS DISTINCT FROM TRIM(TRAILING FROM num)) THEN mismatches = mismatches + 1;
    k = k + 1;
  END
  RESULT = IIF(mismatches = 0 AND k = ibListStrCount(h), 'PASS', 'FAIL');
  CHECK_NAME = 'after ibListStrExists the list is in ORDER BY NUM order, numbers stored trimmed';
  SUSPEND;

  RESULT = IIF(ibListStrGetItemBySubStr(h, 'Накл-12') = (SELECT MIN(NUM) FROM DOC_HEAD WHERE STORE_ID = 1 AND POSITION('Накл-12' IN NUM) > 0), 'PASS', 'FAIL');
  CHECK_NAME = 'ibListStrGetItemBySubStr finds the first containing number of the sorted list';
  SUSPEND;
  RESULT = IIF(ibListStrExistsByPos(h, 'оплата по СЧЁТ-' || (SELECT MIN(DH) / 7 FROM DOC_HEAD WHERE STORE_ID = 1 AND NUM STARTING WITH 'СЧЁТ-') || ' от мая', 0) = 1
    AND ibListStrExistsByPos(h, 'оплата по счёт-1', 0) = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'ibListStrExistsByPos finds a number inside a payment text';
  SUSPEND;

  RESULT = IIF(ibListStrFree(h) = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'string list freed';
  SUSPEND;
END^

-- Heads of store 2 in an integer list: presence, positions and deletes.
EXECUTE BLOCK RETURNS (RESULT VARCHAR(4), CHECK_NAME VARCHAR(200)) AS
DECLARE h INTEGER;
DECLARE r INTEGER;
DECLARE dh INTEGER;
DECLARE mismatches INTEGER = 0;
DECLARE wrong_positions INTEGER = 0;
DECLARE hits INTEGER = 0;
BEGIN
  h = ibListIntCreate('Заголовки');
  FOR SELECT DH FROM DOC_HEAD WHERE STORE_ID = 2 ORDER BY AMOUNT, DH DESC INTO :dh DO
    r = ibListIntAdd(h, dh);
  RESULT = IIF(ibListIntCount(h) = (SELECT COUNT(*) FROM DOC_HEAD WHERE STORE_ID = 2), 'PASS', 'FAIL');
  CHECK_NAME = 'integer list count equals COUNT(*) of the query';
  SUSPEND;

  FOR SELECT DH FROM PAYMENT ORDER BY PID INTO :dh DO
  BEGIN
    IF (ibListIntExists(h, dh) <> IIF(EXISTS(SELECT 1 FROM DOC_HEAD WHERE STORE_ID = 2 AND DH = :dh), 1, 0)) THEN
      mismatches = mismatches + 1;
    IF (ibListIntIndexOf(h, dh) >= 0) THEN
    BEGIN
      hits = hits + 1;
      IF (ibListIntIndexOf(h, dh) <> (SELECT COUNT(*) FROM DOC_HEAD WHERE STORE_ID = 2 AND DH < :dh)) THEN
        wrong_positions = wrong_positions + 1;
    END
  END
  RESULT = IIF(mismatches = 0 AND hits > 0, 'PASS', 'FAIL');
  CHECK_NAME = 'ibListIntExists agrees with EXISTS for every payment (' || hits || ' found)';
  SUSPEND;
  RESULT = IIF(wrong_positions = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'ibListIntIndexOf is the position in ascending order (COUNT of smaller heads)';
  SUSPEND;
  RESULT = IIF(ibListIntGetItemByIndex(h, 0) = (SELECT MIN(DH) FROM DOC_HEAD WHERE STORE_ID = 2)
    AND ibListIntGetItemByIndex(h, ibListIntCount(h) - 1) = (SELECT MAX(DH) FROM DOC_HEAD WHERE STORE_ID = 2), 'PASS', 'FAIL');
  CHECK_NAME = 'the sorted list runs from MIN(DH) to MAX(DH)';
  SUSPEND;

  -- Paid documents leave the list; what stays are the unpaid ones.
  FOR SELECT DH FROM PAYMENT INTO :dh DO
    r = ibListIntDelete(h, dh);
  RESULT = IIF(ibListIntCount(h) = (SELECT COUNT(*) FROM DOC_HEAD d WHERE d.STORE_ID = 2
    AND NOT EXISTS(SELECT 1 FROM PAYMENT p WHERE p.DH = d.DH)), 'PASS', 'FAIL');
  CHECK_NAME = 'after deleting paid heads the count equals the unpaid documents of SQL';
  SUSPEND;

  RESULT = IIF(ibListIntFree(h) = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'integer list freed';
  SUSPEND;
END^

-- Amounts of store 3 in a double list: exact presence before and after sorting.
EXECUTE BLOCK RETURNS (RESULT VARCHAR(4), CHECK_NAME VARCHAR(200)) AS
DECLARE h INTEGER;
DECLARE r INTEGER;
DECLARE amount DOUBLE PRECISION;
DECLARE unsorted_hits INTEGER = 0;
DECLARE sorted_hits INTEGER = 0;
DECLARE sql_hits INTEGER = 0;
DECLARE first_before DOUBLE PRECISION;
BEGIN
  h = ibListDoubleCreate('Суммы');
  FOR SELECT AMOUNT FROM DOC_HEAD WHERE STORE_ID = 3 ORDER BY DH INTO :amount DO
    r = ibListDoubleAdd(h, amount);
  first_before = ibListDoubleGetItemByIndex(h, 0);
  FOR SELECT SUMMA FROM PAYMENT INTO :amount DO
  BEGIN
    unsorted_hits = unsorted_hits + ibListDoubleExists(h, amount);
    sql_hits = sql_hits + IIF(EXISTS(SELECT 1 FROM DOC_HEAD WHERE STORE_ID = 3 AND AMOUNT = :amount), 1, 0);
  END
  RESULT = IIF(unsorted_hits = sql_hits AND sql_hits > 0 AND sql_hits < 2000, 'PASS', 'FAIL');
  CHECK_NAME = 'ibListDoubleExists agrees with EXISTS on an unsorted list (' || unsorted_hits || ' found)';
  SUSPEND;
  RESULT = IIF(ibListDoubleGetItemByIndex(h, 0) = first_before
    AND first_before = (SELECT AMOUNT FROM DOC_HEAD WHERE DH = (SELECT MIN(DH) FROM DOC_HEAD WHERE STORE_ID = 3)), 'PASS', 'FAIL');
  CHECK_NAME = 'ibListDoubleExists never reorders the list';
  SUSPEND;

  r = ibListDoubleSort(h, 1);
  FOR SELECT SUMMA FROM PAYMENT INTO :amount DO
    sorted_hits = sorted_hits + ibListDoubleExists(h, amount);
  RESULT = IIF(sorted_hits = sql_hits, 'PASS', 'FAIL');
  CHECK_NAME = 'after ibListDoubleSort bisection gives the same answers';
  SUSPEND;
  RESULT = IIF(ibListDoubleGetItemByIndex(h, 0) = (SELECT MIN(AMOUNT) FROM DOC_HEAD WHERE STORE_ID = 3)
    AND ibListDoubleGetItemByIndex(h, ibListDoubleCount(h) - 1) = (SELECT MAX(AMOUNT) FROM DOC_HEAD WHERE STORE_ID = 3), 'PASS', 'FAIL');
  CHECK_NAME = 'the sorted double list runs from MIN(AMOUNT) to MAX(AMOUNT)';
  SUSPEND;
  RESULT = IIF(ibListDoubleIndexOf(h, (SELECT MAX(AMOUNT) FROM DOC_HEAD WHERE STORE_ID = 3)) >=
    (SELECT COUNT(*) FROM DOC_HEAD WHERE STORE_ID = 3 AND AMOUNT < (SELECT MAX(AMOUNT) FROM DOC_HEAD WHERE STORE_ID = 3)), 'PASS', 'FAIL');
  CHECK_NAME = 'ibListDoubleIndexOf of the largest amount lies after every smaller amount';
  SUSPEND;

  RESULT = IIF(ibListDoubleFree(h) = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'double list freed';
  SUSPEND;
END^

-- One list per store, reached by name in another letter case; counts
-- against GROUP BY.
EXECUTE BLOCK RETURNS (RESULT VARCHAR(4), CHECK_NAME VARCHAR(200)) AS
DECLARE store_id INTEGER;
DECLARE num VARCHAR(40);
DECLARE cnt INTEGER;
DECLARE r INTEGER;
DECLARE lists INTEGER = 0;
DECLARE wrong INTEGER = 0;
BEGIN
  FOR SELECT DISTINCT STORE_ID FROM DOC_HEAD INTO :store_id DO
  BEGIN
    r = ibListStrCreate('Склад ' || store_id);
    lists = lists + 1;
  END
  FOR SELECT STORE_ID, NUM FROM DOC_HEAD INTO :store_id, :num DO
    r = ibListStrAdd(ibListStrByName('СКЛАД ' || store_id), num);
  FOR SELECT STORE_ID, COUNT(*) FROM DOC_HEAD GROUP BY STORE_ID INTO :store_id, :cnt DO
    IF (ibListStrCount(ibListStrByName('склад ' || store_id)) <> cnt) THEN wrong = wrong + 1;
  RESULT = IIF(wrong = 0 AND lists = 4, 'PASS', 'FAIL');
  CHECK_NAME = 'per-store lists found by name in any letter case hold the GROUP BY counts';
  SUSPEND;
  RESULT = IIF(ibListStrByName('Склад 1') = 1 AND ibListStrByName('Склад 4') = 4, 'PASS', 'FAIL');
  CHECK_NAME = 'the lists took handles 1 to 4 (entries freed earlier on the thread are reused first)';
  SUSPEND;
  FOR SELECT DISTINCT STORE_ID FROM DOC_HEAD INTO :store_id DO
    r = ibListStrFree(ibListStrByName('Склад ' || store_id));
  RESULT = IIF(ibListStrByName('Склад 1') = 0 AND ibListStrCount(1) = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'all per-store lists freed';
  SUSPEND;
END^
