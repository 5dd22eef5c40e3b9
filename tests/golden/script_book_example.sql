GO

CREATE TABLE [dbo].[admin](
	[adminUsername] [nvarchar](20) COLLATE Chinese_PRC_CI_AS NULL,
	[adminPassword] [nvarchar](20) COLLATE Chinese_PRC_CI_AS NULL,
	[ql_flag] [nvarchar](50) COLLATE Chinese_PRC_CI_AS NULL
) ON [PRIMARY]
GO
delete from admin 
insert into admin(adminUsername,adminPassword, ql_flag)
values('admin','kelvo','1111')
GO

if exists (select * from dbo.sysobjects where id = object_id(N'[dbo].[Book]') and OBJECTPROPERTY(id, N'IsUserTable') = 1)
drop table [dbo].[Book]
GO

CREATE TABLE [dbo].[Book] (
	[bookId] [int] IDENTITY (1, 1) NOT NULL  PRIMARY KEY,
	[bookName] [varchar] (50) COLLATE Chinese_PRC_CI_AS NOT NULL ,
	[pubDate] [datetime] NULL ,
) ON [PRIMARY]
GO



