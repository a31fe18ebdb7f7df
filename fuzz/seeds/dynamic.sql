DECLARE @x int
TRUNCATE TABLE dbo.Log
DROP VIEW v1, dbo.v2
EXEC sp_executesql N'SELECT @o = @a + 1', N'@a int, @o int OUTPUT', @a = 5, @o = @x OUTPUT
