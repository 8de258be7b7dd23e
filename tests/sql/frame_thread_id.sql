-- ibGetCurrentThreadId: the kernel id of the server thread running the call.
-- One EXECUTE BLOCK runs on one thread from start to end, so two calls in one
-- block answer the same non-zero number, and a log line written in that block
-- carries it after "ThreadId=" (compared by the companion check script, which
-- finds the number in the message "thread id <n>").
SET TERM ^ ;

EXECUTE BLOCK RETURNS (RESULT VARCHAR(4), CHECK_NAME VARCHAR(200)) AS
  DECLARE first_id INTEGER;
  DECLARE second_id INTEGER;
  DECLARE null_arg_id INTEGER;
  DECLARE logged INTEGER;
BEGIN
  first_id = ibGetCurrentThreadId(0);
  second_id = ibGetCurrentThreadId(12345);
  null_arg_id = ibGetCurrentThreadId(NULL);

  RESULT = IIF(first_id <> 0, 'PASS', 'FAIL');
  CHECK_NAME = 'ibGetCurrentThreadId answers a non-zero id';
  SUSPEND;

  RESULT = IIF(second_id = first_id, 'PASS', 'FAIL');
  CHECK_NAME = 'ibGetCurrentThreadId answers the same id twice in one block (argument not read)';
  SUSPEND;

  RESULT = IIF(null_arg_id = first_id, 'PASS', 'FAIL');
  CHECK_NAME = 'ibGetCurrentThreadId with a NULL argument answers the same id';
  SUSPEND;

  logged = ibOrlixSetLog('@LOG@');
  logged = logged + ib_Log('thread id ' || first_id);
  RESULT = IIF(logged = 2, 'PASS', 'FAIL');
  CHECK_NAME = 'a log line carrying the id is written in the same block';
  SUSPEND;
END^

SET TERM ; ^
