#!/usr/bin/env python3
"""Reads an Anki package with Python's own zipfile and sqlite3, independently of the program, and
prints what the tests compare: the members, the collection's layout and every note with its deck.
Problems are printed as lines beginning with "problem:"."""
import hashlib
import json
import os
import sqlite3
import sys
import tempfile
import zipfile


def main(path):
    with zipfile.ZipFile(path) as z:
        print("members:", " ".join(z.namelist()))
        print("media:", z.read("media").decode("utf-8"))
        collection = z.read("collection.anki2")
    with tempfile.TemporaryDirectory() as folder:
        db_path = os.path.join(folder, "collection.anki2")
        with open(db_path, "wb") as f:
            f.write(collection)
        db = sqlite3.connect(db_path)
        try:
            report(db)
        finally:
            db.close()


def report(db):
    print("integrity:", db.execute("pragma integrity_check").fetchone()[0])
    tables = [r[0] for r in db.execute("select name from sqlite_master where type='table' order by name")]
    print("tables:", " ".join(tables))
    ver, models, decks, dconf, conf, tags = db.execute(
        "select ver, models, decks, dconf, conf, tags from col").fetchone()
    print("ver:", ver)
    models, decks = json.loads(models), json.loads(decks)
    json.loads(dconf), json.loads(conf)
    print("tags:", " ".join(sorted(json.loads(tags))))
    for mid, model in models.items():
        if str(model["id"]) != mid:
            print("problem: model key", mid)
        print("model:", model["name"], "fields:", ",".join(f["name"] for f in model["flds"]))
        for t in model["tmpls"]:
            print("template:", t["name"], "front:", t["qfmt"], "back has:",
                  ",".join(n for n in ("{{解答}}", "{{参考}}") if n in t["afmt"]))
    deck_names = {}
    for did, deck in decks.items():
        if str(deck["id"]) != did:
            print("problem: deck key", did)
        deck_names[deck["id"]] = deck["name"]
    print("decks:", " | ".join(deck_names[d] for d in sorted(deck_names)))
    ids = set()
    guids = set()
    for nid, guid, mid, flds, tags, sfld, csum in db.execute(
            "select id, guid, mid, flds, tags, sfld, csum from notes order by id"):
        if str(mid) not in models:
            print("problem: note", nid, "has no note type")
        plain = str(sfld)
        if csum != int(hashlib.sha1(plain.encode("utf-8")).hexdigest()[:8], 16):
            print("problem: note", nid, "checksum")
        if guid in guids or nid in ids:
            print("problem: note", nid, "not unique")
        guids.add(guid)
        ids.add(nid)
        cards = db.execute("select id, did, ord, type, queue from cards where nid = ?", (nid,)).fetchall()
        if len(cards) != 1 or cards[0][2:] != (0, 0, 0):
            print("problem: note", nid, "cards", cards)
            continue
        if cards[0][0] in ids or cards[0][1] not in deck_names:
            print("problem: card", cards[0][0])
        ids.add(cards[0][0])
        print("note:", deck_names[cards[0][1]], "\t" + flds.replace("\x1f", "\t") + "\t[" + tags + "]\t" + plain)
    orphans = db.execute("select count(*) from cards where nid not in (select id from notes)").fetchone()[0]
    if orphans:
        print("problem:", orphans, "cards without note")


if __name__ == "__main__":
    main(sys.argv[1])
