Create Procedure NomeProcedimento
@Par1 varchar(1)
AS
Declare @LocalVar varchar(1)
Return