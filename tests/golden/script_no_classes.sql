GO

CREATE TABLE [dbo].[admin](
	[adminUsername] [nvarchar](20) COLLATE Chinese_PRC_CI_AS NULL,
	[adminPassword] [nvarchar](20) COLLATE Chinese_PRC_CI_AS NULL,
	[ql_flag] [nvarchar](50) COLLATE Chinese_PRC_CI_AS NULL
) ON [PRIMARY]
GO
delete from admin 
insert into admin(adminUsername,adminPassword, ql_flag)
values('admin','kelvo','11')
GO

