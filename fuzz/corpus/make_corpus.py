#!/usr/bin/env python3
"""Writes the seed corpus of each harness (fuzz/corpus/<harness>/): a few sound files and a few
broken ones, built from the sample data and the layouts the tests use. Run from anywhere."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
SAMPLE = open(os.path.join(ROOT, "resources", "start", "SampleQA.TXT"), "rb").read()


def sjis(text):
    return text.encode("cp932")


def write(harness, name, data):
    folder = os.path.join(HERE, harness)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def qa(lines, eol=b"\r\n"):
    return b"".join(line + eol for line in lines)


SMALL = [sjis("tTitle\t小テスト\t3\t3"), sjis("dBunrui\t分類A"), sjis("sBunrui\t分類B"),
         sjis("11\t問題1\t答え1\t参考1\t0"), sjis("12\t問題2\t答え2\t\t0"),
         sjis("// コメント"), sjis("21\tQ3\tA3\tR3\t0")]


def qa_seeds(harness):
    write(harness, "sample.txt", SAMPLE)
    write(harness, "small_crlf.txt", qa(SMALL))
    write(harness, "small_lf.txt", qa(SMALL, b"\n"))
    write(harness, "small_cr.txt", qa(SMALL, b"\r"))
    write(harness, "halfwidth_kana.txt", qa([b"tTitle\t\xb6\xc0\xb6\xc5\t3\t3", b"11\t\xb6\xde\xb7\t\xca\xdf\t\t0"]))
    write(harness, "no_title.txt", qa([b"11\tq\ta\tr\t0"]))
    write(harness, "bad_records.txt", qa([b"tTitle\tT\t3\t3", b"1\tq\ta\tr\t0", b"G1\tq\ta\tr\t1",
                                          b"11\tq\ta\tr\t0\textra", b"11\t" + b"x" * 310 + b"\ta\tr\t0",
                                          b"tTitle\t", b"11"]))
    write(harness, "sixteen_titles.txt",
          qa([b"tTitle\tT%d\t3\t3\n11\tq\ta\tr\t0" % t for t in range(16)]))
    write(harness, "nul_inside.txt", qa(SMALL[:3]) + b"\x00" + qa(SMALL[3:]))
    write(harness, "import_text.txt", qa([b"q1\ta1", b"q2\ta2\tr2", b"q3"]))


def pdb(lines, name=b"Fuzz"):
    """A database laid out as the writer does: 78-byte header, 8-byte entries, one record per line."""
    records = []
    for line in lines:
        pad = b" " if (len(line) + 1) % 2 == 1 and not line.startswith(b"//") else b""
        records.append(pad + line + b"\n")
    header = name + b"\x00"
    header = header.ljust(31, b" ") + b"\x00"
    header += struct.pack(">HHIIIIII", 0, 1, 0, 0, 0, 0, 0, 0) + b"DataRvk2" + struct.pack(">IIH", 0, 0, len(lines))
    offset = len(header) + 8 * len(lines)
    entries = b""
    for record in records:
        entries += struct.pack(">I", offset) + b"\x40\x00\x00\x00"
        offset += len(record)
    return header + entries + b"".join(records)


def pdb_seeds():
    sample_lines = SAMPLE.replace(b"\r\n", b"\n").split(b"\n")[:-1]
    whole = pdb(sample_lines, b"SampleQA")
    write("pdb", "sample.pdb", whole)
    write("pdb", "small.pdb", pdb(SMALL))
    write("pdb", "empty.pdb", pdb([]))
    write("pdb", "short_header.pdb", whole[:60])
    write("pdb", "cut_record_list.pdb", whole[:78 + 8 * 3 + 5])
    write("pdb", "cut_in_records.pdb", whole[:len(whole) // 2])
    small = bytearray(pdb(SMALL))
    struct.pack_into(">I", small, 78 + 8 * 2, 0xFFFFFF00)  # an offset past the end
    write("pdb", "offset_past_end.pdb", bytes(small))
    small = bytearray(pdb(SMALL))
    struct.pack_into(">I", small, 78 + 8 * 1, 80)  # overlapping records
    write("pdb", "overlap.pdb", bytes(small))
    write("pdb", "control_bytes.pdb", pdb([b"11\tq\x01\x7f\ta\x0b\tr\t0", b"\r", b"x\r"]))


def category_block(name, count):
    block = name[:16].ljust(16, b" ") + b"\xee\xee" + struct.pack("<H", count)
    return block.ljust(256, b"\xee")


def inverted(data):
    return bytes(b ^ 0x80 for b in data)


def question_block(text, choices):
    block = text[:116].ljust(116, b"\xa0")
    for choice in choices:
        block += choice[:28].ljust(28, b"\xa0")
    return inverted(block)


def five_tq(counts, names=None):
    data = b""
    for k in range(8):
        data += category_block(names[k] if names else b"Cat%d" % (k + 1), counts[k])
    for q in range(1, sum(counts) + 1):
        data += question_block(b"Q%d" % q, [b"C%d-%d" % (c, q) for c in range(1, 6)])
    return data


def five_choice_seeds():
    write("five_choice", "two_categories.5tq", five_tq([2, 1, 0, 0, 0, 0, 0, 0]))
    write("five_choice", "no_questions.5tq", five_tq([0] * 8))
    names = [sjis("歴史"), sjis("地理"), b"", b"\x00abc", b"Tab\there", b"x" * 20, b"", b""]
    jp = five_tq([0] * 8, names) + question_block(sjis("日本一高い山は？"),
                                                   [sjis("富士山"), sjis("北岳"), b"\t", b"", b"\r\n"])
    jp = bytearray(jp)
    struct.pack_into("<H", jp, 18, 1)
    write("five_choice", "shift_jis.5tq", bytes(jp))
    write("five_choice", "short_header.5tq", five_tq([1] + [0] * 7)[:1000])
    write("five_choice", "short_questions.5tq", five_tq([3] + [0] * 7)[:2048 + 256 + 100])
    write("five_choice", "huge_counts.5tq", b"".join(category_block(b"C", 0xFFFF) for _ in range(8)))


def user_record(uid, name, folder, flag=0):
    return (struct.pack("<H", uid) + b"\x01\x00" + bytes([len(name)]) + name + bytes([len(folder)]) + folder
            + bytes([flag]) + b"\x07" * 8 + b"\x80")


def users(records, count=None):
    return bytes([len(records) if count is None else count]) + b"\x00" * 12 + b"".join(records)


def users_seeds():
    three = [user_record(1, b"Taro", b"TaroY"), user_record(2, b"Hanako", b"HanakoS", 1),
             user_record(12, b"Jiro", b"JiroK")]
    write("users_dat", "three.dat", users(three))
    write("users_dat", "shift_jis.dat", users([user_record(300, sjis("山田花子"), sjis("山田"), 1)]))
    write("users_dat", "empty.dat", users([]))
    write("users_dat", "more_announced.dat", users(three, 9))
    whole = users(three)
    write("users_dat", "cut_in_record.dat", whole[:13 + len(three[0]) + 6])
    write("users_dat", "negative_count.dat", users(three, 0xF0))
    write("users_dat", "unsafe_folder.dat", users([user_record(5, b"Evil", b"../x"), user_record(6, b"Dot", b".")]))


CORE = b"[HKEY_CURRENT_USER\\Software\\U.S. Robotics\\Pilot Desktop\\Core]"
PREFS = b"[HKEY_CURRENT_USER\\Software\\U.S. Robotics\\Pilot Desktop\\Preferences]"
MANAGER = b"[HKEY_CURRENT_USER\\Software\\U.S. Robotics\\Pilot Desktop\\HotSync Manager]"


def registry_seeds():
    full = [b"REGEDIT4", b"", CORE, b'"HotSyncPath"="C:\\\\Palm\\\\hotsync.exe"', b'"Path"="C:\\\\Palm"', b"",
            PREFS, b'"LastUserName"="Hanako"', b"", MANAGER, b'"Install1"=dword:00000000', b"",
            b"[HKEY_LOCAL_MACHINE\\Software\\Other]", b'"Path"="elsewhere"']
    write("registry", "palm_desktop.reg", qa(full))
    write("registry", "palm_desktop_lf.reg", qa(full, b"\n"))
    write("registry", "no_manager.reg", qa(full[:9]))
    write("registry", "shift_jis.reg",
          qa([b"REGEDIT4", CORE, b'"Path"="C:\\\\' + sjis("ソフト") + b'\\\\x"', PREFS,
              b'"LastUserName"="' + sjis("山田") + b'"', MANAGER.lower()]))
    write("registry", "odd_values.reg",
          qa([CORE, b'"Path"=hex:01,02', b'"HotSyncPath"="unterminated', b"@=\"default\"", b"[-" + CORE[1:],
              MANAGER[:-1] + b"\\\\]", b'"Install7"=dword:123456789', b'"Install7"=-', b'"Install7"=dword:zz']))
    write("registry", "no_line_end.reg", MANAGER + b"\r\n\"Install7\"=dword:00000003")


def settings_seeds():
    write("settings", "typical.ini", b"3\t0\t0\t0\t1\t0\t2\r\n/home/user/a.txt\r\n/home/user/b.pdb\r\n")
    write("settings", "first_start.ini", b"\r\n\r\n")
    write("settings", "shift_jis.ini", b"0\t-1\r\n/home/\x95\x5c/a.txt\nlast")
    write("settings", "cr_only.ini", b"1\t0\r/a.txt\r/b.txt\r")
    write("settings", "twelve_lines.ini", b"".join(b"/f%d.txt\r\n" % i for i in range(12)))
    write("settings", "invalid_sjis.ini", b"\x81\r\n\xff\xfe\r\n\x80\xa0")


def record_line_seeds():
    lines = [sjis("11\t問題\t答え\t参考\t0"), b"FF\tq\ta\tr\t0", b"zz\tq", b"1", b"", b"11\tq\ta\tr with\ttab\t0",
             b"\x81\x40\tq\ta\tr\t0", b"0A\t\xb6\xde\t\t", b"123\tq\ta\tr\t0"]
    header = [sjis("tTitle\t編集\t3\t3")] + [sjis("dBunrui\t分類%d" % k) for k in range(1, 17)] + [
        sjis("sBunrui\t小分類")]
    for i, line in enumerate(lines):
        write("record_line", "line%d.txt" % i, qa(header + [line]))


def text_encoding_seeds():
    utf8 = SAMPLE.decode("cp932").encode("utf-8")
    write("text_encoding", "sample_utf8.txt", utf8)
    write("text_encoding", "sample_utf8_bom.txt", b"\xef\xbb\xbf" + utf8)
    write("text_encoding", "sample_cp932.txt", SAMPLE)
    write("text_encoding", "unmappable.txt", "tTitle\tT\t3\t3\r\n11\tq😀\tü\t한\t0\n〜−¥\r".encode("utf-8"))
    write("text_encoding", "halfwidth_kana.txt", "ｶﾅ\tｶﾞ\r\n".encode("utf-8"))
    write("text_encoding", "cp932_valid_utf8.txt", b"\xd0\xb1\t\xc3\xbd\r\n")
    write("text_encoding", "broken_utf8.txt", b"\xef\xbb\xbf\xe6\x97\r\n\xc0\x80\xed\xa0\x80\xf4\x90\x80\x80")
    write("text_encoding", "nul_inside.txt", "日本\x00😀".encode("utf-8"))
    write("text_encoding", "nec_ibm.txt", "①Ⅰ∵ⅰ¬～".encode("utf-8"))


def decks_seeds():
    write("csv", "quoted.csv", b'"a","b\r\nc",d\r\ne;f\tg\r\n"unclosed\n')
    write("csv", "header_bom.csv", "\ufeffquestion,answer,note,cat\n犬,dog,,動物\n".encode("utf-8"))
    write("csv", "cp932_tab.csv", "質問\t解答\n犬\tdog\n".encode("cp932"))
    write("html_text", "markup.html",
          b'<b>dog</b> &amp; &#x5B50;&nbsp;<br/><div>x</div>[sound:a.mp3]<img src="b.png">')
    write("html_text", "cloze.txt", "{{c1::東京::首都}}は{{c2::日本}}の{{c1::首都}}".encode("utf-8"))
    # The collections of the deck fixtures, taken out of their packages (the newer one unpacked).
    import subprocess
    import zipfile
    decks = os.path.join(ROOT, "tests", "fixtures", "decks")
    for name in ["older-two-decks", "anki21", "one-field", "no-notes-table", "not-collection"]:
        with zipfile.ZipFile(os.path.join(decks, name + ".apkg")) as z:
            member = [m for m in z.namelist() if m.startswith("collection.anki2")][0]
            write("anki_collection", name + ".sqlite", z.read(member))
    with zipfile.ZipFile(os.path.join(decks, "anki21b.apkg")) as z:
        newer = subprocess.run(["zstd", "-d", "-c"], input=z.read("collection.anki21b"), capture_output=True,
                               check=True).stdout
    write("anki_collection", "newer.sqlite", newer)


if __name__ == "__main__":
    qa_seeds("qa_text")
    qa_seeds("quiz")
    pdb_seeds()
    five_choice_seeds()
    users_seeds()
    registry_seeds()
    settings_seeds()
    record_line_seeds()
    text_encoding_seeds()
    decks_seeds()
