#!/usr/bin/python3
"""Makes the one-file page: the site's index.html with its scripts and the
one-thread module (noisedemo-file.js, the WebAssembly inside it) inlined.

    web_file.py SITE_FOLDER OUTPUT.html

The file opens from disk (file://), as an e-mail attachment or from a
learning platform: it fetches nothing. The manifest and icon links are left
out (a file has no site to install), and the page, finding its module
already there, neither loads one nor registers a service worker.
"""
import os
import re
import sys


def inline(source, name):
    # "</script" would end the element early; none of our scripts or
    # emscripten's output has one, and a file that did is refused rather
    # than silently broken.
    if re.search(r"</script", source, re.IGNORECASE):
        sys.exit(f"web_file.py: {name} holds '</script', which cannot be inlined")
    return f"<script>/* {name} */\n{source}\n</script>"


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: web_file.py SITE_FOLDER OUTPUT.html")
    site, output = sys.argv[1:]

    def read(name):
        with open(os.path.join(site, name), encoding="utf-8") as f:
            return f.read()

    html = read("index.html")
    html, links = re.subn(r'<link rel="(manifest|icon)"[^>]*>\n?', "", html)
    scripts = re.findall(r'<script src="([^"]+)"></script>', html)
    if links != 2 or scripts != ["address.js", "page.js"]:
        sys.exit(f"web_file.py: index.html's links ({links}) or scripts ({scripts}) are not the expected ones")
    # The module first: page.js starts as soon as it runs.
    html = html.replace('<script src="address.js"></script>',
                        inline(read("noisedemo-file.js"), "noisedemo-file.js") + "\n"
                        + inline(read("address.js"), "address.js"))
    html = html.replace('<script src="page.js"></script>', inline(read("page.js"), "page.js"))
    # Written beside and renamed: a failed run leaves the last good file.
    partial = output + ".part"
    with open(partial, "w", encoding="utf-8") as f:
        f.write(html)
    os.replace(partial, output)


if __name__ == "__main__":
    main()
