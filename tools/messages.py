#!/usr/bin/env python3
"""The program's messages and the guide's list of them.

  messages.py extract SRC             every message the sources show: its title
                                      and the fixed texts at its call
  messages.py check SRC LIST          every message of the sources is in LIST
                                      (by title, each fixed text within one of
                                      its entries) and every entry of LIST is
                                      still shown by the program
  messages.py html LIST               the guide's message section (HTML)

A message is a call of ShowMsg(text, style, title), Ask(text, style, title),
Fatal(env, title, text) or MessageBoxA/W(window, text, title, flags). Its
title and text are the string literals of those arguments, a named constant
(kName) standing for the literals it is defined with.
"""
import html
import os
import re
import sys

CALLS = {"ShowMsg": (0, 2), "Ask": (0, 2), "Fatal": (2, 1), "MessageBoxA": (1, 2), "MessageBoxW": (1, 2)}
LITERAL = r'L?"(?:[^"\\]|\\.)*"'
DEFINITION = re.compile(r'\b(k[A-Z]\w*)(?:\[\])?\s*(?:=|\(|\{)\s*((?:' + LITERAL + r'\s*)+)')


def unquote(lit):
    body = lit[lit.index('"') + 1:-1]
    return re.sub(r'\\(.)', lambda m: {"n": "\n", "r": "\r", "t": "\t"}.get(m.group(1), m.group(1)), body)


def strip_comments(code):
    return re.sub(r'//[^\n]*|/\*.*?\*/', lambda m: " " * len(m.group(0)) if m.group(0).startswith("/*") else "",
                  code, flags=re.S)


def arguments(code, start):
    """The top-level arguments of the call whose "(" is at start."""
    depth, args, cur, i = 0, [], "", start
    while i < len(code):
        c = code[i]
        if c == '"':
            m = re.compile(LITERAL).match(code, i)
            cur += m.group(0)
            i = m.end()
            continue
        if c in "([{":
            depth += 1
            if depth == 1:
                i += 1
                continue
        elif c in ")]}":
            depth -= 1
            if depth == 0:
                args.append(cur)
                return args
        elif c == "," and depth == 1:
            args.append(cur)
            cur = ""
            i += 1
            continue
        cur += c
        i += 1
    return args


def texts(arg, local, common):
    """The fixed texts of an argument: its literals and its constants'."""
    out = [unquote(l) for l in re.findall(LITERAL, arg)]
    for name in re.findall(r'\bk[A-Z]\w*', arg):
        out += local.get(name, common.get(name, []))
    return [t for t in out if t.strip()]


def sources(src):
    for root, _, files in sorted(os.walk(src)):
        for f in sorted(files):
            if f.endswith((".cpp", ".h")):
                path = os.path.join(root, f)
                with open(path, encoding="utf-8", errors="replace") as fh:
                    yield path, strip_comments(fh.read())


def extract(src):
    files = list(sources(src))
    common, defs = {}, {}
    for path, code in files:
        defs[path] = {}
        for m in DEFINITION.finditer(code):
            value = [unquote(l) for l in re.findall(LITERAL, m.group(2))]
            defs[path][m.group(1)] = value
            common.setdefault(m.group(1), value)
    found = []
    for path, code in files:
        for m in re.finditer(r'\b(ShowMsg|Ask|Fatal|MessageBoxA|MessageBoxW)\s*\(', code):
            ti, ii = CALLS[m.group(1)]
            args = arguments(code, m.end() - 1)
            if len(args) <= max(ti, ii):
                continue
            titles = texts(args[ii], defs[path], common)
            if len(titles) != 1:
                continue  # a declaration or a wrapper passing its own title on
            line = code.count("\n", 0, m.start()) + 1
            found.append((titles[0], texts(args[ti], defs[path], common), "%s:%d" % (os.path.relpath(path, src), line)))
    return found


def read_list(path):
    entries, cur = [], {}
    with open(path, encoding="utf-8") as fh:
        for raw in fh.read().split("\n") + [""]:
            line = raw.rstrip()
            if line.startswith("#"):
                continue
            if not line:
                if cur:
                    entries.append(cur)
                cur = {}
                continue
            key, _, value = line.partition(":")
            if key in cur and key == "text":
                cur[key] += "\n" + value.strip()
            else:
                cur[key] = value.strip()
    return entries


def norm(s):
    return " ".join(s.split())


def check(src, list_path):
    entries = read_list(list_path)
    problems = []
    for e in entries:
        if not all(k in e for k in ("title", "cause", "action")):
            problems.append("guide entry without title, cause or action: %r" % e)
    shown = extract(src)
    titles = {}
    for title, fixed, where in shown:
        titles.setdefault(title, []).append(where)
        mine = [e for e in entries if e.get("title") == title]
        if not mine:
            problems.append('%s: the message "%s" is missing from the guide\'s list' % (where, title))
            continue
        for t in fixed:
            for piece in re.split(r"[\r\n]+", t):
                if norm(piece) and not any(norm(piece) in norm(e.get("text", "")) for e in mine):
                    problems.append('%s: the text "%s" of the message "%s" is missing from the guide\'s list'
                                    % (where, norm(piece), title))
    for e in entries:
        if e.get("title") not in titles:
            problems.append('the guide lists the message "%s", which the program no longer shows' % e.get("title"))
    for p in problems:
        print(p)
    print("%d messages in the sources, %d entries in the guide's list, %d problems"
          % (len(shown), len(entries), len(problems)))
    return 1 if problems else 0


def to_html(list_path):
    out = ['<table class="msgs">', "<tr><th>Title</th><th>Message</th><th>Cause</th><th>What to do</th></tr>"]
    for e in read_list(list_path):
        text = "<br>".join(html.escape(l) for l in e.get("text", "").split("\n"))
        out.append("<tr><td>%s</td><td>%s</td><td>%s</td><td>%s</td></tr>" % (
            html.escape(e["title"]) if e["title"] else "<i>(none)</i>", text,
            html.escape(e["cause"]), html.escape(e["action"])))
    out.append("</table>")
    return "\n".join(out)


if __name__ == "__main__":
    cmd = sys.argv[1] if len(sys.argv) > 1 else ""
    if cmd == "extract" and len(sys.argv) == 3:
        for title, fixed, where in extract(sys.argv[2]):
            print("%s\t%s\t%s" % (where, title, " | ".join(norm(t) for t in fixed)))
    elif cmd == "check" and len(sys.argv) == 4:
        sys.exit(check(sys.argv[2], sys.argv[3]))
    elif cmd == "html" and len(sys.argv) == 3:
        print(to_html(sys.argv[2]))
    else:
        sys.exit(__doc__)
