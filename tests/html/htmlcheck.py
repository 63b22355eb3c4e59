#!/usr/bin/env python3
"""Checks exported HTML pages against their documents.

For every RTF file under the given folders, quorin-batch writes the document's
text (.txt), the document as Quorin writes it (.rtf, for its code page) and the
web page (.html). The checker then reports

  * words of the document's text that the page's text lacks (tags stripped,
    entities decoded, compared case-blind as multisets of words); words that
    hold hidden text ("\\v") of the document are counted apart, since the
    page leaves hidden text out; and
  * tags that do not balance: a closing tag with no matching opening tag, a
    closing tag that crosses another open tag, and tags left open at the end.

Usage:
  htmlcheck.py [--batch PATH] [--direct] [--verbose] [--jobs N] FOLDER_OR_FILE...
  htmlcheck.py --page PAGE.html     only the tag check of one page

Exit status 0 when no file loses words and every page balances, 1 otherwise.
The files it converts are read in place; nothing is copied anywhere but a
temporary folder.
"""

import argparse
import collections
import concurrent.futures
import html
import os
import re
import subprocess
import sys
import tempfile

# Tags that come in pairs. <P>, <BR> and <HR> stand alone in these pages.
PAIRED = {"FONT", "B", "I", "U", "S", "SUB", "SUP", "TABLE", "TR", "TD", "UL", "OL", "LI",
          "A", "CENTER", "DIV", "HTML", "HEAD", "TITLE", "BODY"}
TAG = re.compile(r"<(/?)([A-Za-z][A-Za-z0-9]*)[^>]*>")
WORD = re.compile(r"\w+", re.UNICODE)


def tag_problems(page):
    """Unbalanced tags of a page, as a list of short descriptions."""
    problems = []
    stack = []
    for m in TAG.finditer(page):
        closing, name = m.group(1) == "/", m.group(2).upper()
        if name not in PAIRED:
            continue
        if not closing:
            stack.append((name, m.start()))
            continue
        if stack and stack[-1][0] == name:
            stack.pop()
            continue
        names = [n for n, _ in stack]
        if name not in names:
            problems.append("orphan </%s> at %d" % (name, m.start()))
            continue
        # Crossing: the close matches a tag further down; the ones above it
        # are closed implicitly (and reported).
        while stack[-1][0] != name:
            inner, at = stack.pop()
            problems.append("</%s> at %d crosses <%s> from %d" % (name, m.start(), inner, at))
        stack.pop()
    for name, at in stack:
        problems.append("unclosed <%s> from %d" % (name, at))
    return problems


def page_text(raw, codec):
    """The visible text of a page: tags out, entities decoded."""
    text = raw.decode(codec, errors="replace")
    start = text.find("<BODY")
    body = text[text.find(">", start) + 1:] if start >= 0 else text
    body = body.rsplit("</BODY>", 1)[0]
    # Block tags separate words, inline tags do not.
    body = re.sub(r"<(?:BR|P|HR|/?TD|/?TR|/?TABLE|/?LI|/?UL|/?CENTER|/?DIV)\b[^>]*>", " ", body, flags=re.I)
    body = re.sub(r"<[^>]*>", "", body)
    return html.unescape(body)


def words(text):
    return collections.Counter(w.casefold() for w in WORD.findall(text))


def hidden_words(rtf):
    """Words of the text that an RTF document marks hidden ("\\v")."""
    out = []
    stack = []
    hidden = False
    i, n = 0, len(rtf)
    while i < n:
        ch = rtf[i]
        if ch == "{":
            stack.append(hidden)
            if rtf.startswith("{\\*", i):
                depth = 0
                while i < n:  # an ignorable destination shows nothing
                    if rtf[i] == "\\":
                        i += 2
                        continue
                    depth += {"{": 1, "}": -1}.get(rtf[i], 0)
                    i += 1
                    if depth == 0:
                        break
                hidden = stack.pop()
                continue
        elif ch == "}":
            hidden = stack.pop() if stack else False
            out.append(" ")
        elif ch == "\\":
            m = re.match(r"\\([a-z]+)(-?\d*) ?", rtf[i:])
            if m:
                word = m.group(1) + m.group(2)
                if word == "v":
                    hidden = True
                elif word in ("v0", "plain"):
                    hidden = False
                out.append(" ")  # runs of hidden text are words apart
                i += len(m.group(0))
                continue
            if rtf.startswith("\\'", i):
                if hidden:
                    out.append(bytes.fromhex(rtf[i + 2:i + 4]).decode("cp1252", errors="replace"))
                i += 4
                continue
            i += 2
            continue
        elif hidden and ch not in "\r\n":
            out.append(ch)
        i += 1
    return set(words("".join(out)))


def codec_of(rtf_bytes):
    m = re.search(rb"\\ansicpg(\d+)", rtf_bytes[:4096])
    codec = "cp" + m.group(1).decode() if m else "cp1252"
    try:
        "".encode(codec)
    except LookupError:
        codec = "cp1252"
    return codec


def run(batch, args, timeout=120):
    r = subprocess.run([batch, "convert"] + args, capture_output=True, timeout=timeout)
    return r.returncode, r.stderr.decode(errors="replace").strip()


def check_file(batch, path, direct, workdir):
    base = os.path.join(workdir, "%d" % (abs(hash(path))))
    result = {"path": path, "error": None, "lost": collections.Counter(), "hidden": collections.Counter(),
              "tags": [], "words": 0}
    try:
        rc, err = run(batch, [path, base + ".txt"])
        if rc != 0:
            result["error"] = "txt: " + err
            return result
        rc, err = run(batch, [path, base + ".rtf"])
        codec = "cp1252"
        rtf = b""
        if rc == 0:
            with open(base + ".rtf", "rb") as f:
                rtf = f.read()
        if direct:
            with open(path, "rb") as f:
                rtf = f.read()
        codec = codec_of(rtf)
        hidden = hidden_words(rtf.decode("latin-1"))
        rc, err = run(batch, (["--direct"] if direct else []) + [path, base + ".html"])
        if rc != 0 and not os.path.exists(base + ".html"):
            result["error"] = "html: " + err
            return result
    except subprocess.TimeoutExpired:
        result["error"] = "timeout"
        return result
    with open(base + ".txt", "rb") as f:
        doc = words(f.read().decode("utf-8", errors="replace"))
    with open(base + ".html", "rb") as f:
        raw = f.read()
    page = words(page_text(raw, codec))
    result["words"] = sum(doc.values())
    lost = doc - page
    for word in list(lost):
        if any(h in word for h in hidden):
            result["hidden"][word] = lost.pop(word)
    result["lost"] = lost
    result["tags"] = tag_problems(raw.decode("latin-1"))
    for ext in (".txt", ".rtf", ".html"):
        if os.path.exists(base + ext):
            os.remove(base + ext)
    return result


def rtf_files(roots):
    for root in roots:
        if os.path.isfile(root):
            yield root
            continue
        for folder, _, names in sorted(os.walk(root)):
            for name in sorted(names):
                if name.lower().endswith(".rtf"):
                    yield os.path.join(folder, name)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    default_batch = os.path.join(here, "..", "..", "build", "src", "cli", "quorin-batch")
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("roots", nargs="*")
    ap.add_argument("--batch", default=default_batch)
    ap.add_argument("--direct", action="store_true", help="convert the RTF bytes as they are")
    ap.add_argument("--verbose", action="store_true", help="list the lost words and tag problems")
    ap.add_argument("--jobs", type=int, default=2)
    ap.add_argument("--page", help="only check the tags of this page")
    a = ap.parse_args()

    if a.page:
        with open(a.page, "rb") as f:
            problems = tag_problems(f.read().decode("latin-1"))
        for p in problems:
            print(p)
        print("%d passed, %d failed" % (0 if problems else 1, 1 if problems else 0))
        return 1 if problems else 0

    files = list(rtf_files(a.roots))
    losing = unbalanced = failed = 0
    lost_total = words_total = hidden_total = 0
    with tempfile.TemporaryDirectory() as workdir, \
            concurrent.futures.ThreadPoolExecutor(max_workers=a.jobs) as pool:
        for r in pool.map(lambda p: check_file(a.batch, p, a.direct, workdir), files):
            name = os.path.relpath(r["path"])
            if r["error"]:
                failed += 1
                print("FAIL  %s: %s" % (name, r["error"]))
                continue
            lost = sum(r["lost"].values())
            lost_total += lost
            words_total += r["words"]
            hidden_total += sum(r["hidden"].values())
            if lost:
                losing += 1
            if r["tags"]:
                unbalanced += 1
            if lost or r["tags"]:
                print("%-5s %s: %d of %d words lost, %d tag problems"
                      % ("LOSS" if lost else "TAGS", name, lost, r["words"], len(r["tags"])))
                if a.verbose:
                    if lost:
                        print("      lost:", " ".join(sorted(r["lost"].elements()))[:400])
                    for p in r["tags"][:8]:
                        print("      tags:", p)
    print("files %d, losing words %d (%d of %d words; %d more in hidden text), unbalanced %d, failed %d"
          % (len(files), losing, lost_total, words_total, hidden_total, unbalanced, failed))
    bad = losing + unbalanced + failed
    print("%d passed, %d failed" % (len(files) - bad, bad))
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
