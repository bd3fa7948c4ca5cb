#!/usr/bin/env python3
"""Writes a WARC file of about SIZE megabytes from generated period pages
(../shared/pages/gen.py: text pages of 20 KB and table pages of 20 rows) and
GIF pictures (bench/lib/gif.py), each page with a request record and a
response record, as crawlers write them.

usage: make_warc.py OUT.warc SIZE-MB
"""
import os
import sys

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "lib"))
import gif  # noqa: E402

sys.path.insert(0, os.path.join(here, "..", "..", "..", "shared", "pages"))
import gen  # noqa: E402


def record(kind, uri, date, block, content_type):
    head = ("WARC/1.0\r\nWARC-Type: %s\r\nWARC-Target-URI: %s\r\nWARC-Date: %s\r\n"
            "Content-Type: %s\r\nContent-Length: %d\r\n\r\n"
            % (kind, uri, date, content_type, len(block)))
    return head.encode() + block + b"\r\n\r\n"


def response(uri, date, kind, body):
    head = ("HTTP/1.0 200 OK\r\nContent-Type: %s\r\nContent-Length: %d\r\n\r\n"
            % (kind, len(body)))
    return (record("request", uri, date, ("GET %s HTTP/1.0\r\n\r\n" % uri).encode(),
                   "application/http; msgtype=request") +
            record("response", uri, date, head.encode() + body,
                   "application/http; msgtype=response"))


def main():
    out, size = sys.argv[1], int(sys.argv[2]) * 1000 * 1000
    pages = [gen.gen_text(gen.parse_size("20K"), n).encode("latin-1") for n in range(1, 51)]
    pages += [gen.gen_tables(20, 3, n).encode("latin-1") for n in range(1, 51)]
    pictures = [gif.gif(n * 5 % 256, n * 11 % 256, n * 17 % 256, side=64) for n in range(50)]
    written, n = 0, 0
    with open(out, "wb") as f:
        while written < size:
            date = "2001-%02d-%02dT%02d:%02d:00Z" % (n % 12 + 1, n % 28 + 1, n % 24, n % 60)
            site = "http://site%d.example.com" % (n % 997)
            chunk = response("%s/page%d.htm" % (site, n), date, "text/html", pages[n % len(pages)])
            chunk += response("%s/pic%d.gif" % (site, n), date, "image/gif",
                              pictures[n % len(pictures)])
            f.write(chunk)
            written += len(chunk)
            n += 1


main()
