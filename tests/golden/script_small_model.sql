GO

CREATE TABLE [dbo].[admin](
	[adminUsername] [nvarchar](20) COLLATE Chinese_PRC_CI_AS NULL,
	[adminPassword] [nvarchar](20) COLLATE Chinese_PRC_CI_AS NULL,
	[ql_flag] [nvarchar](50) COLLATE Chinese_PRC_CI_AS NULL
) ON [PRIMARY]
GO
delete from admin 
insert into admin(adminUsername,adminPassword, ql_flag)
values('admin','kelvo','11111111')
GO

if exists (select * from dbo.sysobjects where id = object_id(N'[dbo].[Publisher]') and OBJECTPROPERTY(id, N'IsUserTable') = 1)
drop table [dbo].[Publisher]
GO

CREATE TABLE [dbo].[Publisher] (
	[pubCode] [varchar] (30) COLLATE Chinese_PRC_CI_AS NOT NULL PRIMARY KEY ,
	[pubName] [varchar] (40) COLLATE Chinese_PRC_CI_AS NULL ,
	[logo] [image] NULL 
) ON [PRIMARY]
GO



if exists (select * from dbo.sysobjects where id = object_id(N'[dbo].[Book]') and OBJECTPROPERTY(id, N'IsUserTable') = 1)
drop table [dbo].[Book]
GO

CREATE TABLE [dbo].[Book] (
	[bookId] [int] IDENTITY (1, 1) NOT NULL  PRIMARY KEY,
	[bookName] [varchar] (50) COLLATE Chinese_PRC_CI_AS NOT NULL ,
	[price] [float] NOT NULL ,
	[pages] [int] NOT NULL ,
	[publisher] [varchar] (30) COLLATE Chinese_PRC_CI_AS NOT NULL ,
	[author] int NOT NULL ,
	[pubDate] [datetime] NULL ,
) ON [PRIMARY]
GO



if exists (select * from dbo.sysobjects where id = object_id(N'[dbo].[Author]') and OBJECTPROPERTY(id, N'IsUserTable') = 1)
drop table [dbo].[Author]
GO

CREATE TABLE [dbo].[Author] (
	[authorId] [int] IDENTITY (1, 1) NOT NULL  PRIMARY KEY
) ON [PRIMARY]
GO



ALTER TABLE Book ADD FOREIGN KEY (publisher) REFERENCES Publisher(pubCode)
ALTER TABLE Book ADD FOREIGN KEY (author) REFERENCES Author(authorId)
