-- procedures and dynamic batches that begin, commit and roll back transactions of their own
CREATE TABLE n (a int)
EXEC ('CREATE PROCEDURE opens AS BEGIN TRAN INSERT INTO n VALUES (1)')
EXEC ('CREATE PROCEDURE commits AS COMMIT TRAN')
EXEC ('CREATE PROCEDURE rolls AS SAVE TRAN inner_one INSERT INTO n VALUES (2) ROLLBACK TRAN inner_one ROLLBACK TRAN')
EXEC ('CREATE PROCEDURE nests AS BEGIN TRAN outer_one EXEC opens EXEC (''BEGIN TRAN INSERT INTO n VALUES (3) COMMIT'') EXEC rolls COMMIT')
EXEC nests
SELECT @@TRANCOUNT
EXEC opens
EXEC commits
EXEC commits
SELECT @@TRANCOUNT, count(*) FROM n
