-- the harness's ordinary login against a transaction the administrator holds
BEGIN TRAN
CREATE TABLE held (a int)
--connect fuzz_user fuzz_pw
SELECT * FROM held
DROP TABLE held
UPDATE syscolumns SET name = 'b'
SELECT * FROM INFORMATION_SCHEMA.TABLES
EXEC sp_executesql N'SELECT @@TRANCOUNT BEGIN TRAN'
