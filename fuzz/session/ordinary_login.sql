-- an ordinary login made by the input does what only an administrator may
EXEC sp_addlogin 'fuzz_other', 'secret'
CREATE TABLE owned (a int)
--connect fuzz_other secret
SELECT SUSER_SNAME(), USER_NAME(), DB_NAME()
UPDATE sysobjects SET name = 'mine' WHERE name = 'owned'
DELETE FROM master.dbo.sysdatabases
CREATE DATABASE private_db
DROP DATABASE master
EXEC sp_addlogin 'another', 'x'
EXEC sp_droplogin 'fuzz_other'
EXEC ('USE tempdb CREATE TABLE #mine (a int)')
BEGIN TRAN
INSERT INTO owned VALUES (1)
