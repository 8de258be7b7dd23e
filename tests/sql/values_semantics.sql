-- Value lists from the server's side: trimming, the sorting side effects,
-- exact double equality, failure values, the caller's buffer of
-- ibListStrGetItemBySubStr at its declared length, the position rule of
-- ibListStrExistsByPos, handle reuse and case-insensitive Cyrillic names.
-- Each block is one road on one server thread and frees what it creates.
SET TERM ^ ;

-- String lists.
EXECUTE BLOCK RETURNS (RESULT VARCHAR(4), CHECK_NAME VARCHAR(200)) AS
DECLARE h INTEGER;
DECLARE r INTEGER;
DECLARE s VARCHAR(4096);
BEGIN
  h = ibListStrCreate('строки');
  r = ibListStrAdd(h, 'abc  ');
  RESULT = IIF(ibListStrGetItemByIndex(h, 0) = 'abc' AND CHAR_LENGTH(ibListStrGetItemByIndex(h, 0)) = 3, 'PASS', 'FAIL');
  CHECK_NAME = 'trailing blanks are cut before a value is stored';
  SUSPEND;
  RESULT = IIF(ibListStrExists(h, 'abc') = 1 AND ibListStrExists(h, 'abc ') = 1 AND ibListStrExists(h, 'ABC') = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'ibListStrExists: trimmed, letter case counts';
  SUSPEND;

  r = ibListStrClear(h);
  RESULT = IIF(ibListStrCount(h) = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'ibListStrClear empties the list, the handle stays valid';
  SUSPEND;
  r = ibListStrAdd(h, 'б');
  r = ibListStrAdd(h, 'а');
  r = ibListStrAdd(h, 'в');
  r = ibListStrAdd(h, 'а');
  RESULT = IIF(ibListStrIndex(h, 'а') = 1 AND ibListStrGetItemByIndex(h, 0) = 'б', 'PASS', 'FAIL');
  CHECK_NAME = 'unsorted: ibListStrIndex gives the first position, no reordering';
  SUSPEND;
  RESULT = IIF(ibListStrExists(h, 'я') = 0 AND ibListStrGetItemByIndex(h, 0) = 'а' AND ibListStrIndex(h, 'в') = 3, 'PASS', 'FAIL');
  CHECK_NAME = 'ibListStrExists sorts the list and leaves it sorted';
  SUSPEND;
  RESULT = IIF(ibListStrDelete(h, 'нет') = 1 AND ibListStrCount(h) = 4 AND ibListStrDelete(h, 'а') = 1 AND ibListStrCount(h) = 3, 'PASS', 'FAIL');
  CHECK_NAME = 'ibListStrDelete: 1 for an absent value, one occurrence removed';
  SUSPEND;
  RESULT = IIF(ibListStrGetItemByIndex(h, -1) = '' AND ibListStrGetItemByIndex(h, 3) = '' AND ibListStrGetItemByIndex(h, 2) = 'в', 'PASS', 'FAIL');
  CHECK_NAME = 'ibListStrGetItemByIndex: the empty string outside 0..Count-1';
  SUSPEND;
  r = ibListStrAdd(h, 'а');
  r = ibListStrSort(h, 0);
  RESULT = IIF(ibListStrGetItemByIndex(h, 3) = 'а' AND ibListStrIndex(h, 'в') = 2, 'PASS', 'FAIL');
  CHECK_NAME = 'ibListStrSort 0 keeps the order';
  SUSPEND;
  r = ibListStrSort(h, 5);
  RESULT = IIF(ibListStrGetItemByIndex(h, 1) = 'а' AND ibListStrGetItemByIndex(h, 3) = 'в', 'PASS', 'FAIL');
  CHECK_NAME = 'ibListStrSort with a non-zero flag sorts';
  SUSPEND;

  r = ibListStrClear(h);
  r = ibListStrAdd(h, 'foo');
  r = ibListStrAdd(h, 'bar');
  r = ibListStrAdd(h, 'baz');
  RESULT = IIF(ibListStrGetItemBySubStr(h, 'ar') = 'bar' AND ibListStrGetItemBySubStr(h, '') = '' AND ibListStrGetItemBySubStr(h, 'AR') = '', 'PASS', 'FAIL');
  CHECK_NAME = 'ibListStrGetItemBySubStr: first containing string, empty when none';
  SUSPEND;

  -- A value of the full declared length comes back whole through the
  -- caller's buffer and through a fresh string.
  s = RPAD('', 4092, 'ж') || 'ключ';
  r = ibListStrAdd(h, s);
  RESULT = IIF(ibListStrGetItemBySubStr(h, 'ключ') = s AND CHAR_LENGTH(ibListStrGetItemBySubStr(h, 'жключ')) = 4096, 'PASS', 'FAIL');
  CHECK_NAME = 'a 4096-byte value comes back whole into the 4096-byte sub argument';
  SUSPEND;
  RESULT = IIF(ibListStrGetItemByIndex(h, 3) = s AND ibListStrExists(h, s) = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'a 4096-byte value through ibListStrGetItemByIndex and ibListStrExists';
  SUSPEND;

  r = ibListStrClear(h);
  r = ibListStrAdd(h, 'ORDER');
  RESULT = IIF(ibListStrExistsByPos(h, 'ORDER-17', 0) = 1 AND ibListStrExistsByPos(h, 'X-ORDER', -1) = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'ibListStrExistsByPos with pos <= 0: anywhere in the text';
  SUSPEND;
  RESULT = IIF(ibListStrExistsByPos(h, 'ORDER-17', 1) = 1 AND ibListStrExistsByPos(h, 'X-ORDER', 1) = 0
    AND ibListStrExistsByPos(h, 'X-ORDER', 3) = 1 AND ibListStrExistsByPos(h, 'X-ORDER', 4) = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'ibListStrExistsByPos with pos > 0: only starting at that 1-based position';
  SUSPEND;
  r = ibListStrClear(h);
  r = ibListStrAdd(h, '');
  RESULT = IIF(ibListStrExistsByPos(h, 'ORDER-17', 0) = 0 AND ibListStrCount(h) = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'an empty list string occurs in nothing';
  SUSPEND;

  RESULT = IIF(ibListStrFree(h) = 1 AND ibListStrByName('строки') = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'ibListStrFree frees the list';
  SUSPEND;
END^

-- Integer and double lists.
EXECUTE BLOCK RETURNS (RESULT VARCHAR(4), CHECK_NAME VARCHAR(200)) AS
DECLARE i INTEGER;
DECLARE d INTEGER;
DECLARE r INTEGER;
BEGIN
  i = ibListIntCreate('целые');
  r = ibListIntAdd(i, 5);
  r = ibListIntAdd(i, 3);
  r = ibListIntAdd(i, 9);
  RESULT = IIF(ibListIntGetItemByIndex(i, 0) = 5, 'PASS', 'FAIL');
  CHECK_NAME = 'integer list keeps the order of adding';
  SUSPEND;
  RESULT = IIF(ibListIntIndexOf(i, 9) = 2 AND ibListIntGetItemByIndex(i, 0) = 3, 'PASS', 'FAIL');
  CHECK_NAME = 'ibListIntIndexOf sorts the list and leaves it sorted';
  SUSPEND;
  RESULT = IIF(ibListIntGetItemByIndex(i, 3) = -1000 AND ibListIntGetItemByIndex(i, -1) = -1000, 'PASS', 'FAIL');
  CHECK_NAME = 'ibListIntGetItemByIndex answers -1000 outside 0..Count-1';
  SUSPEND;
  r = ibListIntAdd(i, 2147483647);
  r = ibListIntAdd(i, -2147483648);
  RESULT = IIF(ibListIntExists(i, -2147483648) = 1 AND ibListIntExists(i, 2147483647) = 1
    AND ibListIntGetItemByIndex(i, 0) = -2147483648 AND ibListIntIndexOf(i, 2147483647) = 4, 'PASS', 'FAIL');
  CHECK_NAME = 'the smallest and the largest 32-bit values are found';
  SUSPEND;
  RESULT = IIF(ibListIntDelete(i, 3) = 1 AND ibListIntDelete(i, 3) = 1 AND ibListIntCount(i) = 4 AND ibListIntExists(i, 3) = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'ibListIntDelete: 1 also for an absent value';
  SUSPEND;

  d = ibListDoubleCreate('дробные');
  RESULT = IIF(d = i + 1, 'PASS', 'FAIL');
  CHECK_NAME = 'integer and double lists share one handle space';
  SUSPEND;
  r = ibListDoubleAdd(d, 5);
  r = ibListDoubleAdd(d, 3);
  r = ibListDoubleAdd(d, 9);
  RESULT = IIF(ibListDoubleIndexOf(d, 9) = 2 AND ibListDoubleExists(d, 3) = 1 AND ibListDoubleGetItemByIndex(d, 0) = 5, 'PASS', 'FAIL');
  CHECK_NAME = 'ibListDoubleIndexOf and ibListDoubleExists never reorder';
  SUSPEND;
  r = ibListDoubleSort(d, 1);
  RESULT = IIF(ibListDoubleIndexOf(d, 9) = 2 AND ibListDoubleGetItemByIndex(d, 0) = 3, 'PASS', 'FAIL');
  CHECK_NAME = 'ibListDoubleSort 1 sorts ascending';
  SUSPEND;
  r = ibListDoubleAdd(d, 0.3e0);
  RESULT = IIF(ibListDoubleExists(d, 0.1e0 + 0.2e0) = 0 AND ibListDoubleExists(d, 0.3e0) = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'double equality is exact: 0.1 + 0.2 does not find 0.3';
  SUSPEND;
  RESULT = IIF(ibListDoubleGetItemByIndex(d, 4) = -1000 AND ibListDoubleGetItemByIndex(d, 3) = 0.3e0, 'PASS', 'FAIL');
  CHECK_NAME = 'ibListDoubleGetItemByIndex answers -1000.0 outside 0..Count-1';
  SUSPEND;
  RESULT = IIF(ibListDoubleDelete(d, 5) = 1 AND ibListDoubleCount(d) = 3 AND ibListDoubleClear(d) = 1 AND ibListDoubleCount(d) = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'ibListDoubleDelete and ibListDoubleClear';
  SUSPEND;

  -- Handles: a freed entry is given to the next list, of any kind.
  r = ibListIntFree(i);
  r = ibListStrCreate('третий');
  RESULT = IIF(r = i AND ibListIntByName('целые') = 0 AND ibListStrByName('ТРЕТИЙ') = i, 'PASS', 'FAIL');
  CHECK_NAME = 'a freed handle is reused, the entry takes the new name (Cyrillic, any case)';
  SUSPEND;
  RESULT = IIF(ibListIntCount(0) = 0 AND ibListIntCount(-5) = 0 AND ibListIntCount(2147483647) = 0
    AND ibListIntFree(0) = 0 AND ibListIntFree(-2147483648) = 0, 'PASS', 'FAIL');
  CHECK_NAME = 'handles 0, negative and never given answer the failure value';
  SUSPEND;
  RESULT = IIF(ibListDoubleFree(d) = 1 AND ibListStrFree(r) = 1, 'PASS', 'FAIL');
  CHECK_NAME = 'everything created is freed';
  SUSPEND;
END^
