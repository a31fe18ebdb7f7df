-- writes to system tables and views
CREATE TABLE t (a int IDENTITY, b varchar(10) NOT NULL, CONSTRAINT pk_t PRIMARY KEY (a))
CREATE INDEX ix_b ON t (b)
UPDATE sysobjects SET name = 'renamed' WHERE name = 't'
UPDATE syscolumns SET length = 1 WHERE id = OBJECT_ID('t')
DELETE FROM sysindexes WHERE name = 'ix_b'
INSERT INTO systypes (name, xtype) VALUES ('mine', 56)
UPDATE master.dbo.sysdatabases SET name = 'other' WHERE name = 'tempdb'
DELETE FROM INFORMATION_SCHEMA.TABLES
INSERT INTO INFORMATION_SCHEMA.COLUMNS (TABLE_NAME) VALUES ('t')
SELECT * FROM t
