#!/usr/bin/env python3
"""Writes the responses of a WARC file again, as a plain WARC 1.1 file, a
plain ARC file of version 1 and a gzipped ARC file of version 2 (a member a
record), following the published layouts of those formats. Prints, for each
record written, one JSON line: file, address, date (14 digits), offset and
length of the record (of its gzip member) in that file.

usage: rewrite_captures.py SOURCE.warc[.gz] OUTPUT-FOLDER
"""
import gzip
import json
import os
import sys


def read_warc(path):
    data = gzip.open(path).read() if path.endswith(".gz") else open(path, "rb").read()
    pos = 0
    while True:
        while data.startswith(b"\r\n", pos):
            pos += 2
        if pos >= len(data):
            return
        end = data.index(b"\r\n\r\n", pos)
        lines = data[pos:end].decode("latin-1").split("\r\n")
        fields = {}
        for line in lines[1:]:
            name, _, value = line.partition(":")
            fields[name.strip().lower()] = value.strip()
        length = int(fields["content-length"])
        block = data[end + 4:end + 4 + length]
        pos = end + 4 + length
        yield fields, block


def captures(path):
    for fields, block in read_warc(path):
        if fields.get("warc-type") != "response":
            continue
        address = fields["warc-target-uri"].strip("<>")
        date = "".join(c for c in fields["warc-date"] if c.isdigit())[:14]
        head = block.split(b"\r\n\r\n", 1)[0].decode("latin-1").split("\r\n")
        kind = "text/html"
        for line in head[1:]:
            name, _, value = line.partition(":")
            if name.strip().lower() == "content-type":
                kind = value.strip().split(";")[0]
        yield address, date, kind, block


def warc_record(address, date, block):
    stamp = "%s-%s-%sT%s:%s:%sZ" % (date[0:4], date[4:6], date[6:8], date[8:10], date[10:12], date[12:14])
    head = ("WARC/1.1\r\nWARC-Type: response\r\nWARC-Target-URI: %s\r\nWARC-Date: %s\r\n"
            "Content-Type: application/http; msgtype=response\r\nContent-Length: %d\r\n\r\n"
            % (address, stamp, len(block)))
    return head.encode("latin-1") + block + b"\r\n\r\n"


def arc_file(records, version, date):
    if version == 1:
        description = "1 0 Lumo tests\nURL IP-address Archive-date Content-type Archive-length\n"
    else:
        description = ("2 0 Lumo tests\nURL IP-address Archive-date Content-type Result-code "
                       "Checksum Location Offset Filename Archive-length\n")
    first = "filedesc://captures.arc 0.0.0.0 %s text/plain " % date
    if version == 2:
        first += "200 - - 0 captures.arc "
    yield None, (first + "%d\n" % len(description) + description + "\n").encode("latin-1")
    for address, date, kind, block in records:
        line = "%s 127.0.0.1 %s %s " % (address, date, kind)
        if version == 2:
            line += "200 - - 0 captures.arc "
        yield (address, date), (line + "%d\n" % len(block)).encode("latin-1") + block + b"\n"


def write(folder, name, pieces, compress):
    offset = 0
    with open(os.path.join(folder, name), "wb") as out:
        for key, piece in pieces:
            if compress:
                piece = gzip.compress(piece)
            out.write(piece)
            if key:
                print(json.dumps({"file": name, "address": key[0], "date": key[1],
                                  "offset": offset, "length": len(piece)}))
            offset += len(piece)


def main():
    source, folder = sys.argv[1], sys.argv[2]
    records = list(captures(source))
    write(folder, "captures.warc",
          (((a, d), warc_record(a, d, b)) for a, d, k, b in records), False)
    write(folder, "captures.arc", arc_file(records, 1, records[0][1]), False)
    write(folder, "captures.arc.gz", arc_file(records, 2, records[0][1]), True)


main()
