-- writes to system tables inside a transaction and dynamic batches
BEGIN TRAN
DELETE FROM sysobjects WHERE xtype = 'U'
UPDATE sysdatabases SET dbid = 1
ROLLBACK
SELECT name FROM sysobjects WHERE xtype = 'S'
EXEC ('UPDATE sysobjects SET xtype = ''P''')
EXEC sp_executesql N'DELETE FROM master..sysobjects WHERE id = @i', N'@i int', 1
SELECT OBJECT_ID('master..sysobjects'), OBJECT_ID('INFORMATION_SCHEMA.TABLES')
