-- 小书店的数据库: 中文的表名和列名, 订单明细以订单号和书号为主键, 一张没有主键的日志表。
CREATE DATABASE 书店
GO
USE 书店
GO
CREATE TABLE 出版社 (
  出版社编号 int IDENTITY(1,1) PRIMARY KEY,
  名称 nvarchar(50) NOT NULL,
  地址 nvarchar(100) NULL
)
GO
CREATE TABLE 图书 (
  书号 char(13) NOT NULL PRIMARY KEY,
  书名 nvarchar(100) NOT NULL,
  作者 nvarchar(50) NULL,
  出版社编号 int NULL REFERENCES 出版社(出版社编号),
  定价 numeric(10, 2) NOT NULL,
  库存 smallint NOT NULL DEFAULT 0,
  上架 bit NOT NULL DEFAULT 1,
  出版日期 datetime NULL
)
GO
CREATE TABLE 会员 (
  会员号 int NOT NULL PRIMARY KEY,
  姓名 nvarchar(20) NOT NULL,
  电话 varchar(20) NULL,
  余额 money NULL
)
GO
CREATE TABLE 订单 (
  订单号 int IDENTITY(1,1) PRIMARY KEY,
  会员号 int NOT NULL REFERENCES 会员(会员号),
  下单时间 datetime NOT NULL DEFAULT getdate(),
  发货时间 datetime NULL
)
GO
CREATE TABLE 订单明细 (
  订单号 int NOT NULL REFERENCES 订单(订单号),
  书号 char(13) NOT NULL REFERENCES 图书(书号),
  数量 int NOT NULL,
  单价 decimal(10, 2) NOT NULL,
  PRIMARY KEY (订单号, 书号)
)
GO
CREATE TABLE 操作日志 (
  时间 datetime NOT NULL,
  内容 nvarchar(200) NULL
)
GO
