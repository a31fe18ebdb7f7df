Begin Transaction
SET IDENTITY_INSERT [dbo].[Tmp_T]  ON
Insert Into [dbo].[Tmp_T] ([Id], [a]) (Select [Id], Convert (varchar(20), [a]) From [dbo].[T])
SET IDENTITY_INSERT [dbo].[Tmp_T]  OFF
Commit Transaction