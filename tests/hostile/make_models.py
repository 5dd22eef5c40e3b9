#!/usr/bin/env python3
"""Writes the hostile-name models of this folder (one JSON model file each, as `vbgen-cli
import` reads them). Run it again after changing a model here; the files are kept in git."""
import json
import pathlib

HERE = pathlib.Path(__file__).parent


def member(name, type_, key=False, display=False, length=None, query=1, comment=None):
    string = type_ == "字符串"
    return {
        "memberName": name, "memberType": type_,
        "memberLength": length if length is not None else (20 if string or (key and type_ != "整型") else 0),
        "memberIsPri": int(key), "memberComment": comment or name,
        "memberIsMust": 1, "memberIsInteger": int(type_ == "整型"),
        "memberIsFloat": int(type_ == "浮点型"), "queryFlag": query,
        "memberIsDisplay": int(display), "memberQueryDisplay": 1,
    }


def cls(name, members, key="id", key_type="整型", friend=None):
    return {"className": name, "friendName": friend or name + "表", "frontShowFlag": 1,
            "members": [member(key, key_type, key=True, display=True, query=0)] + members}


def wide(count):
    return [member("m%d" % i, "字符串", query=0) for i in range(count)]


MODELS = {
    # T-SQL words as classes and keys: bare in the plain queries and foreign keys.
    "order_user": [cls("Order", [member("total", "浮点型")], key="order"),
                   cls("User", [member("order", "Order"), member("date", "日期型")])],
    # VB6 words as classes: the menus of both main forms.
    "select_end_sub": [cls("Select", []), cls("End", []), cls("Sub", [])],
    "date_key": [cls("Book", [member("title", "字符串")], key="Date")],
    "end_key": [cls("Loan", [member("when", "日期型")], key="end", key_type="字符串")],
    "leading_digits": [cls("Book", [member("1st", "字符串"), member("2nd", "整型")])],
    "leading_underscores": [cls("Book", [member("_a", "字符串"), member("_b", "图片型")], key="_id")],
    "class_underscore": [cls("_Misc", [])],
    "class_digit": [cls("1Book", [])],
    "wide_140": [cls("Wide", wide(140))],
    "wide_124": [cls("Wide", wide(124))],
    "wide_125": [cls("Wide", wide(125))],
    "query_45": [cls("Query", [member("q%d" % i, "整型") for i in range(45)])],
    "photo_path": [cls("Person", [member("Photo", "图片型"), member("PhotoPath", "字符串")])],
    "reference_as": [cls("Press", []), cls("Book", [member("a", "Press")])],
    "number_labels": [cls("Book", [member("pages", "整型"), member("pagesOK", "字符串")])],
    # Words of both languages that stand only in field names and bracketed columns.
    "reserved_members": [cls("Book", [member("select", "字符串"), member("order", "整型"),
                                      member("end", "浮点型"), member("sub", "日期型"),
                                      member("loop", "字符串"), member("user", "字符串")])],
    "reserved_reference": [cls("Press", []), cls("Book", [member("order", "Press")])],
    "user_date_tables": [cls("User", [member("name", "字符串")], key="userId"),
                         cls("Date", [member("user", "User")], key="dateId")],
    "chinese_names": [cls("图书", [member("书名", "字符串"), member("出版社", "出版社")], key="编号"),
                      cls("出版社", [member("名称", "字符串")], key="社号")],
    "clean_library": [cls("Book", [member("title", "字符串", length=100), member("cover", "图片型"),
                                   member("press", "Press"), member("price", "浮点型")]),
                      cls("Press", [member("pressName", "字符串")])],
}

for name, classes in MODELS.items():
    text = json.dumps({"projectName": name, "classes": classes}, ensure_ascii=False, indent=2)
    (HERE / (name + ".json")).write_text(text + "\n", encoding="utf-8")
