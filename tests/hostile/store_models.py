#!/usr/bin/env python3
"""Stores the models of this folder in HOME/projects.db as another tool would: row by row,
past the rules the window and `vbgen-cli import` apply. A tool for looking at output by hand
(see check_outputs.sh), not a part of the tests. HOME must hold a model database already
(any vbgen-cli command with --home HOME makes one)."""
import json
import pathlib
import sqlite3
import sys

home = pathlib.Path(sys.argv[1])
db = sqlite3.connect(home / "projects.db")
for path in sorted(pathlib.Path(__file__).parent.glob("*.json")):
    model = json.loads(path.read_text(encoding="utf-8"))
    project = db.execute("insert into t_project(projectName) values (?)",
                         (model["projectName"],)).lastrowid
    for entry in model["classes"]:
        class_id = db.execute(
            "insert into t_class(projectId, className, friendName, frontShowFlag) values (?,?,?,?)",
            (project, entry["className"], entry["friendName"], entry["frontShowFlag"])).lastrowid
        for m in entry["members"]:
            columns = ["memberName", "memberType", "memberLength", "memberIsPri", "memberComment",
                       "memberIsMust", "memberIsInteger", "memberIsFloat", "queryFlag",
                       "memberIsDisplay", "memberQueryDisplay"]
            db.execute("insert into t_member(projectId, classId, %s) values (?,?,%s)"
                       % (", ".join(columns), ",".join("?" * len(columns))),
                       [project, class_id] + [m[c] for c in columns])
db.commit()
