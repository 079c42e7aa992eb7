#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Every English message the sources can emit has a Chinese text in po/zh_CN.po.

xgettext takes the message texts from the sources: the literals given to
Error, warn, addWarning and setStatus, and the English sentences of the
virtual board's window. Messages are put together at run time, so each
literal must be part of a msgid (Qt's "%1" counts as "%s"). The catalog's
own entries are checked too: every msgstr fills exactly the msgid's parts.
Usage: messages_test.py SOURCE_DIR
"""
import re
import subprocess
import sys
from pathlib import Path

root = Path(sys.argv[1])
CJK = re.compile(r"[\u3000-\u9fff\uff00-\uffef]")


def extract(files, keywords):
    args = ["xgettext", "-L", "C++", "--from-code=UTF-8", "-o", "-"]
    args += [f"--keyword={k}" for k in keywords] + [str(f) for f in files]
    pot = subprocess.run(args, check=True, capture_output=True, text=True).stdout
    return [(refs, text) for refs, text in read_po(pot)]


def unquote(lines):
    return "".join(bytes(l[1:-1], "utf-8").decode("unicode_escape").encode("latin-1").decode("utf-8")
                   for l in lines)


def read_po(text):
    """(references or msgstr, msgid) pairs of a .po/.pot text."""
    out = []
    for block in text.split("\n\n"):
        refs, ids, strs, cur = [], [], [], None
        for line in block.splitlines():
            if line.startswith("#:"):
                refs.append(line[3:])
            elif line.startswith("msgid "):
                cur = ids
                cur.append(line[6:])
            elif line.startswith("msgstr "):
                cur = strs
                cur.append(line[7:])
            elif line.startswith('"') and cur is not None:
                cur.append(line)
        if ids:
            out.append((" ".join(refs) if refs else unquote(strs), unquote(ids)))
    return out


def is_message(text):
    return re.search(r"[A-Za-z]{2}", text) and not CJK.search(text)


catalog = [(msgstr, msgid) for msgstr, msgid in read_po((root / "po/zh_CN.po").read_text("utf-8")) if msgid]
ids = [msgid for _, msgid in catalog]
failures = []

sources = [p for p in sorted((root / "src").rglob("*.cpp"))
           if "templates" not in p.parts and "gui" not in p.parts]
texts = extract(sources, ["Error", "warn", "addWarning", "setStatus"])
# The board window's statuses are Qt strings: its English sentences.
for refs, text in extract(sorted((root / "src/gui/board").glob("*.cpp")), ["QStringLiteral"]):
    # (not a date format such as "yyyy-MM-dd HH:mm:ss")
    if re.search(r"[A-Za-z]{2,} [A-Za-z]{2,}", text) and not re.search(r"[{#;]|\(in %|yyyy", text):
        texts.append((refs, text))

for refs, text in texts:
    if not is_message(text):
        continue
    wanted = re.sub(r"%[1-9]", "%s", text)
    if not any(wanted in re.sub(r"%[1-9]", "%s", i) for i in ids):
        failures.append(f"{refs}: no Chinese text for {text!r}")

for msgstr, msgid in catalog:
    holes = msgid.count("%s")
    plain = len(re.findall(r"%s", msgstr))
    numbered = [int(n) for n in re.findall(r"%([1-9])\$s", msgstr)]
    if numbered and plain:
        failures.append(f"po/zh_CN.po: {msgid!r}: mixes %s and %N$s")
    elif numbered and sorted(numbered) != list(range(1, holes + 1)):
        failures.append(f"po/zh_CN.po: {msgid!r}: msgstr fills parts {sorted(numbered)}, msgid has {holes}")
    elif not numbered and plain != holes:
        failures.append(f"po/zh_CN.po: {msgid!r}: msgstr has {plain} parts, msgid {holes}")
    if not CJK.search(msgstr) and not msgstr.startswith("%"):
        failures.append(f"po/zh_CN.po: {msgid!r}: no Chinese in msgstr")

for f in failures:
    print(f)
print(f"{len(texts)} message texts, {len(catalog)} catalog entries, {len(failures)} problems")
sys.exit(1 if failures else 0)
