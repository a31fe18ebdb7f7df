-- transactions opened and ended across procedures, dynamic batches and the caller
CREATE TABLE n (a int)
EXEC ('CREATE PROCEDURE opens AS BEGIN TRAN INSERT INTO n VALUES (1)')
EXEC ('CREATE PROCEDURE rolls AS SAVE TRAN inner_one ROLLBACK TRAN inner_one ROLLBACK TRAN')
BEGIN TRAN outer_one
EXEC opens
EXEC ('BEGIN TRAN')
EXEC sp_executesql N'COMMIT TRAN'
EXEC rolls
ROLLBACK TRAN inner_name
SELECT @@TRANCOUNT
EXEC ('ROLLBACK')
COMMIT
SELECT @@TRANCOUNT, count(*) FROM n
