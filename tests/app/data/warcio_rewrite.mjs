// Writes the captures of a web archive again with warcio: a warcinfo
// record, then each response and revisit record of SOURCE with its
// address, date, record ID, HTTP status line, headers and body, as
// gzipped WARC 1.1 records (a member a record).
//
// usage: node warcio_rewrite.mjs WARCIO-FOLDER SOURCE OUTPUT
import fs from "node:fs";
import path from "node:path";
import { pathToFileURL } from "node:url";

const [, , warcioFolder, source, output] = process.argv;
const { WARCParser, WARCRecord, WARCSerializer } = await import(
    pathToFileURL(path.join(warcioFolder, "dist/index.js")).href);

const kept = ["WARC-Record-ID", "WARC-Refers-To", "WARC-Refers-To-Target-URI",
              "WARC-Refers-To-Date", "WARC-Profile"];
const warcVersion = "WARC/1.1";
const out = fs.openSync(output, "w");
const info = await WARCRecord.createWARCInfo({ filename: path.basename(output), warcVersion },
                                             { software: "warcio.js" });
fs.writeSync(out, await WARCSerializer.serialize(info, { gzip: true }));

for await (const record of new WARCParser(fs.createReadStream(source))) {
    if (record.warcType !== "response" && record.warcType !== "revisit") continue;
    const warcHeaders = {};
    for (const name of kept) {
        const value = record.warcHeader(name);
        if (value) warcHeaders[name] = value;
    }
    const httpHeaders = {};
    for (const [name, value] of record.httpHeaders.headers) httpHeaders[name] = value;
    const body = await record.readFully(false);
    const copy = WARCRecord.create({
        url: record.warcTargetURI, date: record.warcDate, type: record.warcType, warcVersion,
        warcHeaders, httpHeaders, statusline: record.httpHeaders.statusline,
        keepHeadersCase: true }, [body]);
    fs.writeSync(out, await WARCSerializer.serialize(copy, { gzip: true }));
}
fs.closeSync(out);
