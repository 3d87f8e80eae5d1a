#!/usr/bin/python3
"""Every table of the help page against the converter: what the page says a
spelling gives is what `vrayu-convert --unicode` gives."""
import html
import os
import re
import subprocess
import sys

CONVERT = os.environ["VRAYU_CONVERT"]
page = open(os.environ["HELP_PAGE"], encoding="utf-8").read()
failures = []


def convert(rit):
    return subprocess.run([CONVERT, "--unicode"], input=rit.encode("latin-1"),
                          capture_output=True, check=True).stdout.decode("utf-8")


def table(name):
    m = re.search(r'<table id="%s-table">(.*?)</table>' % name, page, re.S)
    if not m:
        failures.append("no table " + name)
        return []
    return [re.findall(r"<td[^>]*>(.*?)</td>", row, re.S) for row in re.findall(r"<tr>(.*?)</tr>", m.group(1), re.S)]


def codes(cell):
    return [html.unescape(c) for c in re.findall(r"<code>(.*?)</code>", cell)]


def text(cell):
    return html.unescape(re.sub(r"<[^>]+>", "", cell)).strip()


def expect(rit, telugu, where):
    got = convert(rit)
    if got != telugu:
        failures.append("%s: %r gives %r, the page says %r" % (where, rit, got, telugu))


checked = 0
for cells in table("vowels"):
    if len(cells) < 3:
        continue
    letters, spellings = text(cells[0]).split(), codes(cells[2])
    for i, rit in enumerate(spellings):  # "ఌ ౡ" / "~l, ~L": pairwise
        expect(rit, letters[i] if len(letters) == len(spellings) else letters[0], "vowels")
        checked += 1
for cells in table("consonants"):
    for cell in cells[1:]:
        letter = re.search(r'<span class="te">(.*?)</span>', cell)
        for rit in codes(cell):
            expect(rit + "a", letter.group(1), "consonants")  # shown with the vowel a
            checked += 1
for cells in table("signs"):
    if len(cells) >= 4:
        expect(codes(cells[2])[0], text(cells[3]), "signs")
        if text(cells[0]) not in text(cells[3]):
            failures.append("signs: the example of %s does not show it" % text(cells[0]))
        checked += 1
for cells in table("examples"):
    if len(cells) >= 2:
        expect(codes(cells[0])[0], text(cells[1]), "examples")
        checked += 1

if checked < 60:
    failures.append("only %d spellings checked" % checked)
for f in failures:
    print("FAIL:", f, file=sys.stderr)
sys.exit(1 if failures else 0)
