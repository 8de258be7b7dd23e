-- Memory tables from the server's side: handles and names, the two phases of
-- a table, failure values (quiet ones and logged ones), key flags, dates,
-- borrowed strings and Print. The companion script checks the log lines.
-- Each block is one road on one server thread and frees what it creates.
SET TERM ^ ;

EXECUTE BLOCK RETURNS (RESULT VARCHAR(4), CHECK_NAME VARCHAR(200)) AS
DECLARE a INTEGER; DECLARE b INTEGER; DECLARE c INTEGER; DECLARE d INTEGER;
DECLARE e INTEGER; DECLARE f INTEGER;
BEGIN
  RESULT = IIF(ibOrlixSetLog('@LOG@') = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'the log is on for this test';
  SUSPEND;
  a = ibMemTableCreate('a');
  b = ibMemTableCreate('b');
  c = ibMemTableCreate('Склад');
  RESULT = IIF(a = 1 AND b = 2 AND c = 3, 'PASS', 'FAIL');
  CHECK_NAME = 'three tables get handles 1, 2, 3';
  SUSPEND;
  RESULT = IIF(ibMemTableByName('СКЛАД') = 3 AND ibMemTableByName('A') = 1 AND ibMemTableByName('x') = 0,
               'PASS', 'FAIL');
  CHECK_NAME = 'ibMemTableByName ignores letter case, Cyrillic too; 0 for no table';
  SUSPEND;
  RESULT = IIF(ibMemTableCreate('склад') = 0 AND ibMemTableByName('Склад') = 3, 'PASS', 'FAIL');
  CHECK_NAME = 'a name differing only in letter case is refused (0), the table stays';
  SUSPEND;
  RESULT = IIF(ibMemTableFree(b) = 1 AND ibMemTableByName('b') = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'ibMemTableFree answers 1 and the name is free at once';
  SUSPEND;
  d = ibMemTableCreate('d');
  RESULT = IIF(d = 2, 'PASS', 'FAIL');
  CHECK_NAME = 'the lowest free handle is reused';
  SUSPEND;
  RESULT = IIF(ibMemTableFree(c) = 1 AND ibMemTableCreate('e') = 3 AND ibMemTableCreate('f') = 4, 'PASS', 'FAIL');
  CHECK_NAME = 'freeing 3 gives 3 to the next table, then 4';
  SUSPEND;
  RESULT = IIF(ibMemTableFree(0) = 0 AND ibMemTableFree(c + 100) = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'ibMemTableFree answers 0 for handle 0 and for a handle of no table';
  SUSPEND;
  e = ibMemTableByName('e');
  f = ibMemTableByName('f');
  RESULT = IIF(ibMemTableFree(a) + ibMemTableFree(d) + ibMemTableFree(e) + ibMemTableFree(f) = 4, 'PASS', 'FAIL');
  CHECK_NAME = 'every table of the block is freed';
  SUSPEND;
END^

-- Two phases, failure values, key flags, dates, strings, Print.
EXECUTE BLOCK RETURNS (RESULT VARCHAR(4), CHECK_NAME VARCHAR(200)) AS
DECLARE t INTEGER;
DECLARE ok INTEGER;
DECLARE fk INTEGER; DECLARE fs INTEGER; DECLARE fd INTEGER; DECLARE fn INTEGER;
DECLARE s VARCHAR(100);
BEGIN
  t = ibMemTableCreate('phases');
  RESULT = IIF(ibMemTableInsert(t) = -1 AND ibMemTableRowClear(t) = 0 AND ibMemTableLocate(t) = -1,
               'PASS', 'FAIL');
  CHECK_NAME = 'without fields there is no work row: insert -1, row clear 0, locate -1 (logged)';
  SUSPEND;
  RESULT = IIF(ibMemTableAddField(t, 'k', 'Int', 1, 'miss') = -1 AND ibMemTableAddField(t, 'k', 'int', 1, 'avg') = -1
               AND ibMemTableAddField(t, 'k', 'float', 1, 'avg') = -1, 'PASS', 'FAIL');
  CHECK_NAME = 'unknown type or action names are refused (-1), letter case counts';
  SUSPEND;
  fk = ibMemTableAddField(t, 'k', 'int', 1, 'miss');
  fs = ibMemTableAddField(t, 's', 'string', 0, 'sum');
  fd = ibMemTableAddField(t, 'd', 'date', 0, 'max');
  fn = ibMemTableAddField(t, 'n', 'int', 256, 'sum');
  RESULT = IIF(fk = 0 AND fs = 1 AND fd = 2 AND fn = 3 AND ibMemTableFieldByName(t, 'd') = 2
               AND ibMemTableFieldByName(t, 'D') = -1, 'PASS', 'FAIL');
  CHECK_NAME = 'fields get indexes 0..3; ibMemTableFieldByName is exact';
  SUSPEND;

  ok = ibMemTableRowFieldSetInt(t, fk, 5);
  ok = ibMemTableRowFieldSetStr(t, fs, 'ab');
  ok = ibMemTableRowFieldSetDate(t, fd, DATE '2023-03-15');
  ok = ibMemTableRowFieldSetInt(t, fn, 1);
  RESULT = IIF(ibMemTableInsert(t) = -1, 'PASS', 'FAIL');
  CHECK_NAME = 'the first row is added (-1)';
  SUSPEND;
  RESULT = IIF(ibMemTableAddField(t, 'x', 'int', 0, 'sum') = -1, 'PASS', 'FAIL');
  CHECK_NAME = 'a field added after the first insert is refused (-1, logged with Size=100)';
  SUSPEND;
  ok = ibMemTableRowClear(t);
  ok = ibMemTableRowFieldSetInt(t, fk, 5);
  ok = ibMemTableRowFieldSetStr(t, fs, 'где');
  ok = ibMemTableRowFieldSetDate(t, fd, DATE '2021-01-01');
  ok = ibMemTableRowFieldSetInt(t, fn, 2);
  RESULT = IIF(ibMemTableInsert(t) = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'a row of equal key folds into row 0';
  SUSPEND;
  ok = ibMemTableRowClear(t);
  ok = ibMemTableRowFieldSetInt(t, fk, -7);
  ok = ibMemTableRowFieldSetInt(t, fn, 10);
  ok = ibMemTableInsert(t);
  RESULT = IIF(ibMemTableFirst(t) = 1 AND ibMemTableFieldGetInt(t, fk) = -7 AND ibMemTableNext(t) = 1
               AND ibMemTableFieldGetInt(t, fk) = 5, 'PASS', 'FAIL');
  CHECK_NAME = 'rows are kept in key order, the negative key first';
  SUSPEND;
  RESULT = IIF(ibMemTableFieldGetStr(t, fs) = 'abгде' AND ibMemTableFieldGetInt(t, fn) = 3, 'PASS', 'FAIL');
  CHECK_NAME = 'string ''sum'' concatenates in insertion order (Cyrillic bytes kept); key flag 256 is no key';
  SUSPEND;
  RESULT = IIF(ibMemTableFieldGetDate(t, fd) = TIMESTAMP '2023-03-15 00:00:00', 'PASS', 'FAIL');
  CHECK_NAME = 'a date comes back as the same day at midnight (''max'' kept the later)';
  SUSPEND;
  RESULT = IIF(ibMemTableFieldSetDate(t, fd, DATE '1899-12-30') = 1
               AND ibMemTableFieldGetDate(t, fd) = TIMESTAMP '1899-12-30 00:00:00'
               AND ibMemTableFieldSetDate(t, fd, DATE '0001-01-01') = 1
               AND ibMemTableFieldGetDate(t, fd) = TIMESTAMP '0001-01-01 00:00:00', 'PASS', 'FAIL');
  CHECK_NAME = 'dates at 1899-12-30 and at 0001-01-01 round-trip';
  SUSPEND;
  ok = ibMemTableFirst(t);
  RESULT = IIF(ibMemTableFieldGetStr(t, fs) = '' AND ibMemTableFieldGetDouble(t, fk) = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'an empty string reads as ''''; getters read their own slot only';
  SUSPEND;

  -- Quiet failures: no table, no such field, cursor off the rows.
  RESULT = IIF(ibMemTableFieldGetInt(t, -1) = 0 AND ibMemTableFieldGetInt(t, 4) = 0
               AND ibMemTableRowFieldSetInt(t, 2147483647, 1) = 0 AND ibMemTableFieldSetStr(t, -2147483648, 'x') = 0
               AND ibMemTableFieldGetStr(t, 99) = '', 'PASS', 'FAIL');
  CHECK_NAME = 'field indexes outside the fields answer the failure value';
  SUSPEND;
  ok = ibMemTableLast(t);
  ok = ibMemTableNext(t);
  RESULT = IIF(ibMemTableEOF(t) = 1 AND ibMemTableFieldGetInt(t, fk) = 0 AND ibMemTableFieldGetStr(t, fs) = ''
               AND ibMemTableFieldGetDate(t, fd) = TIMESTAMP '1899-12-30 00:00:00'
               AND ibMemTableFieldSetInt(t, fk, 1) = 0 AND ibMemTableNext(t) = 1 AND ibMemTableEOF(t) = 1,
               'PASS', 'FAIL');
  CHECK_NAME = 'past the last row reads and writes answer their failure values, Next stays at EOF';
  SUSPEND;
  RESULT = IIF(ibMemTableFirst(-1) = 0 AND ibMemTableEOF(12345) = 1 AND ibMemTableBOF(2147483647) = 1
               AND ibMemTableInsert(-2147483648) = -1 AND ibMemTableFieldGetStr(77, 0) = ''
               AND ibMemTableFieldGetDouble(77, 0) = 0 AND ibMemTableAddField(77, 'x', 'int', 1, 'miss') = -1
               AND ibMemTableFieldGetDate(0, 0) = TIMESTAMP '1899-12-30 00:00:00', 'PASS', 'FAIL');
  CHECK_NAME = 'handles of no table answer the failure values';
  SUSPEND;

  RESULT = IIF(ibMemTablePrint(t) = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'ibMemTablePrint answers 1';
  SUSPEND;
  RESULT = IIF(ibMemTableClear(t) = 1 AND ibMemTableAddField(t, 'y', 'int', 0, 'sum') = -1, 'PASS', 'FAIL');
  CHECK_NAME = 'after ibMemTableClear fields still cannot be added';
  SUSPEND;
  ok = ibMemTableFirst(t);
  RESULT = IIF(ibMemTableEOF(t) = 1 AND ibMemTableBOF(t) = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'a cleared table is at BOF and EOF';
  SUSPEND;
  RESULT = IIF(ibMemTableFree(t) = 1 AND ibMemTableFirst(t) = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'the table is freed; its handle then names nothing';
  SUSPEND;
END^

SET TERM ; ^
