DECLARE @i int, @s varchar(10) = 'it''s'
WHILE @i < 10 BEGIN SET @i = @i + 1 IF @i = 5 BREAK ELSE CONTINUE END
/* nested /* comment */ */ EXEC @r = dbo.p 1, @x = @y OUTPUT, @z = DEFAULT
RAISERROR ('bad %s', 16, 1, 'x') WITH NOWAIT -- done