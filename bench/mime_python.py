#!/usr/bin/env python3
"""The same job as bench_mime's BM_MimeComponent, done with Python's standard
email package: parse, pick the HTML, write the images, rewrite cid: references.
Usage: mime_python.py MESSAGE.eml [ROUNDS]; prints the median in milliseconds."""
import email
import email.policy
import os
import re
import shutil
import statistics
import sys
import tempfile
import time
import urllib.parse


def convert(data, folder, images_name):
    message = email.message_from_bytes(data, policy=email.policy.default)
    body = message.get_body(preferencelist=("html", "plain"))
    html = body.get_content()
    images = os.path.join(folder, images_name)
    os.mkdir(images)
    by_cid = {}
    for part in message.walk():
        cid = part.get("Content-ID")
        if part.is_multipart() or part is body or not cid:
            continue
        name = os.path.basename(part.get_filename() or "image%d" % len(by_cid))
        with open(os.path.join(images, name), "xb") as out:
            out.write(part.get_payload(decode=True))
        by_cid[cid.strip().strip("<>")] = images_name + "/" + urllib.parse.quote(name)
    return re.sub(r"cid:([^\"' )]+)", lambda m: by_cid.get(m.group(1), m.group(0)), html)


def main():
    with open(sys.argv[1], "rb") as f:
        data = f.read()
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 15
    times = []
    with tempfile.TemporaryDirectory() as folder:
        for i in range(rounds):
            name = "p%d_files" % i
            start = time.perf_counter()
            page = convert(data, folder, name)
            times.append((time.perf_counter() - start) * 1000)
            assert "cid:" not in page
            shutil.rmtree(os.path.join(folder, name))
    print("median %.1f ms over %d rounds" % (statistics.median(times), rounds))


if __name__ == "__main__":
    main()
