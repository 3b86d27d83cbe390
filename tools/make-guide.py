#!/usr/bin/env python3
"""Makes Guide.html from docs/guide.html.in: the version, the cloud.ini
reference from the key table (distgen keys), the message list
(docs/messages.txt) and the pictures, embedded as base64 PNG.

  make-guide.py TEMPLATE VERSION KEYS-TSV MESSAGES SHOTS-DIR OUT
"""
import base64
import html
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import messages  # noqa: E402


def reference(keys_path):
    rows, section = [], None
    with open(keys_path, encoding="utf-8") as fh:
        for line in fh:
            sec, key, value, example, comment = line.rstrip("\n").split("\t")
            if sec != section:
                section = sec
                rows.append('<tr class="sec"><th colspan="3">[%s]</th></tr>' % html.escape(sec))
            shown = html.escape(value) if value else "<i>(empty)</i>"
            if example == "1":
                shown += " <i>(not set: an example in the starter file)</i>"
            rows.append('<tr><td class="key">%s</td><td><code>%s</code></td><td>%s</td></tr>'
                        % (html.escape(key), shown, html.escape(comment)))
    return ('<table class="ref"><tr><th>Key</th><th>Starts with</th><th>What it does</th></tr>\n'
            + "\n".join(rows) + "\n</table>")


def main(template, version, keys, msgs, shots, out):
    with open(template, encoding="utf-8") as fh:
        text = fh.read()
    text = text.replace("@VERSION@", html.escape(version))
    text = text.replace("@INI_REFERENCE@", reference(keys))
    text = text.replace("@MESSAGES@", messages.to_html(msgs))

    def picture(m):
        path = os.path.join(shots, m.group(1) + ".png")
        with open(path, "rb") as fh:
            data = base64.b64encode(fh.read()).decode("ascii")
        return '<img alt="%s" src="data:image/png;base64,%s">' % (html.escape(m.group(2)), data)

    text = re.sub(r"@SHOT:([a-z-]+):([^@]*)@", picture, text)
    left = re.findall(r"@[A-Z_:]+[^@\s]*@", text)
    if left:
        sys.exit("make-guide: placeholders left: %s" % ", ".join(left))
    with open(out, "w", encoding="utf-8", newline="\r\n") as fh:
        fh.write(text)


if __name__ == "__main__":
    if len(sys.argv) != 7:
        sys.exit(__doc__)
    main(*sys.argv[1:])
