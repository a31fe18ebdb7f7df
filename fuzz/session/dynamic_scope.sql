-- what a dynamic batch leaves behind: database, RETURN, BREAK, #tables, identities, @@ROWCOUNT
CREATE DATABASE Archive
CREATE TABLE p (id int IDENTITY, v int)
EXEC ('USE Archive CREATE TABLE p (id int IDENTITY(5, 5), v int)')
EXEC sp_executesql N'USE tempdb'
EXEC ('RETURN')
EXEC ('IF 1 = 1 BREAK')
EXEC sp_executesql N'CONTINUE'
EXEC ('CREATE TABLE #t (a int) INSERT INTO #t VALUES (1) SELECT OBJECT_ID(''tempdb..#t'')')
EXEC ('CREATE TABLE ##g (a int)')
INSERT INTO p (v) VALUES (1)
EXEC ('INSERT INTO Archive..p (v) VALUES (2) SELECT SCOPE_IDENTITY(), @@IDENTITY')
SELECT SCOPE_IDENTITY(), @@IDENTITY, DB_NAME(), OBJECT_ID('tempdb..#t'), OBJECT_ID('tempdb..##g')
IF @@ROWCOUNT = 1 SELECT @@ROWCOUNT
IF OBJECT_ID('tempdb..#t') IS NOT NULL DROP TABLE #t
CREATE TABLE #t (b int)
DROP TABLE ##g
