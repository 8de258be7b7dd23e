-- Strings cross the boundary as Windows-1251 whatever the database's default
-- character set (the runner runs this file in a WIN1251 and in a UTF8
-- database): byte positions count characters, Cyrillic names fold case,
-- string keys sort alphabetically, results come back as the same text, and
-- a character Windows-1251 cannot hold is refused by the engine before the
-- library sees it. The companion frame_charset.check.sh reads the log bytes.
SET TERM ^ ;

-- Bytes: 'Привет' arrives as six bytes, so 'вет' starts at position 4.
EXECUTE BLOCK RETURNS (RESULT VARCHAR(4), CHECK_NAME VARCHAR(200)) AS
DECLARE h INTEGER;
DECLARE r INTEGER;
BEGIN
  h = ibListStrCreate('charset bytes');
  r = ibListStrAdd(h, 'вет');
  RESULT = IIF(ibListStrExistsByPos(h, 'Привет', 4) = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'a Cyrillic argument arrives one byte a character (@CHARSET@)';
  SUSPEND;
  RESULT = IIF(ibListStrGetItemByIndex(h, 0) = 'вет', 'PASS', 'FAIL');
  CHECK_NAME = 'a Cyrillic result comes back as the same text (@CHARSET@)';
  SUSPEND;
  r = ibListStrFree(h);
END^

-- Names: Cyrillic letters, Ё/ё included, fold case.
EXECUTE BLOCK RETURNS (RESULT VARCHAR(4), CHECK_NAME VARCHAR(200)) AS
DECLARE h INTEGER;
DECLARE t INTEGER;
DECLARE r INTEGER;
BEGIN
  h = ibListIntCreate('Ёлки Оплаты');
  RESULT = IIF(h > 0 AND ibListIntByName('ёЛКИ оПЛАТЫ') = h, 'PASS', 'FAIL');
  CHECK_NAME = 'a list name in Cyrillic is found in another letter case (@CHARSET@)';
  SUSPEND;
  r = ibListIntFree(h);
  t = ibMemTableCreate('Остатки');
  RESULT = IIF(t > 0 AND ibMemTableByName('ОСТАТКИ') = t, 'PASS', 'FAIL');
  CHECK_NAME = 'a table name in Cyrillic is found in another letter case (@CHARSET@)';
  SUSPEND;
  r = ibMemTableFree(t);
END^

-- Order: string keys sort alphabetically (digits, Latin, Cyrillic; case only
-- as a tiebreak), not by bytes: in either encoding 'Б' has a lower byte than
-- 'а'.
EXECUTE BLOCK RETURNS (RESULT VARCHAR(4), CHECK_NAME VARCHAR(200)) AS
DECLARE t INTEGER;
DECLARE r INTEGER;
DECLARE walk VARCHAR(200) = '';
BEGIN
  t = ibMemTableCreate('order');
  r = ibMemTableAddField(t, 'name', 'string', 1, 'miss');
  r = ibMemTableRowClear(t); r = ibMemTableRowFieldSetStr(t, 0, 'вол'); r = ibMemTableInsert(t);
  r = ibMemTableRowClear(t); r = ibMemTableRowFieldSetStr(t, 0, 'Бор'); r = ibMemTableInsert(t);
  r = ibMemTableRowClear(t); r = ibMemTableRowFieldSetStr(t, 0, 'ёж'); r = ibMemTableInsert(t);
  r = ibMemTableRowClear(t); r = ibMemTableRowFieldSetStr(t, 0, 'ель'); r = ibMemTableInsert(t);
  r = ibMemTableRowClear(t); r = ibMemTableRowFieldSetStr(t, 0, 'аист'); r = ibMemTableInsert(t);
  r = ibMemTableRowClear(t); r = ibMemTableRowFieldSetStr(t, 0, 'zebra'); r = ibMemTableInsert(t);
  r = ibMemTableRowClear(t); r = ibMemTableRowFieldSetStr(t, 0, '7'); r = ibMemTableInsert(t);
  r = ibMemTableFirst(t);
  WHILE (ibMemTableEOF(t) = 0) DO
  BEGIN
    walk = walk || ibMemTableFieldGetStr(t, 0) || ',';
    r = ibMemTableNext(t);
  END
  r = ibMemTableFree(t);
  RESULT = IIF(walk = '7,zebra,аист,Бор,вол,ель,ёж,', 'PASS', 'FAIL');
  CHECK_NAME = 'string keys in alphabetical order: ' || walk || ' (@CHARSET@)';
  SUSPEND;
END^

-- A character outside Windows-1251: the engine refuses the call with its
-- transliteration error (SQLSTATE 22018) and the library is never called.
EXECUTE BLOCK RETURNS (RESULT VARCHAR(4), CHECK_NAME VARCHAR(200)) AS
DECLARE h INTEGER;
DECLARE r INTEGER = -1;
DECLARE state CHAR(5) = '';
BEGIN
  h = ibListStrCreate('outside');
  BEGIN
    r = ibListStrAdd(h, _UTF8 'кот ' || _UTF8 '猫');
    WHEN ANY DO state = SQLSTATE;
  END
  RESULT = IIF(state = '22018' AND r = -1, 'PASS', 'FAIL');
  CHECK_NAME = 'an argument Windows-1251 cannot hold is refused with state 22018, got ' || state || ' (@CHARSET@)';
  SUSPEND;
  RESULT = IIF(ibListStrCount(h) = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'the refused call did not reach the list (@CHARSET@)';
  SUSPEND;
  r = ibListStrFree(h);
END^

-- Log lines are written in Windows-1251 (checked by the companion).
EXECUTE BLOCK RETURNS (RESULT VARCHAR(4), CHECK_NAME VARCHAR(200)) AS
BEGIN
  RESULT = IIF(ibOrlixSetLog('@LOG@') = 1 AND ib_Log('Журнал: ёЁ №') = 1 AND ibOrlixSetLog('') = 1,
               'PASS', 'FAIL');
  CHECK_NAME = 'a Cyrillic message is logged (@CHARSET@)';
  SUSPEND;
END^

SET TERM ; ^
