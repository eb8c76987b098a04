// node web/site.js PAGE_DIR ICON_DIR PROGRAM_DIR SITE_DIR: puts the game's
// site together. The page's files from PAGE_DIR; the icons from ICON_DIR,
// deflated again at the best level (the icon tool stores them
// uncompressed); zultmirax.js and .wasm from PROGRAM_DIR, with the .wasm
// also as zultmirax-wasm.js for a page opened from disk, where a browser
// fetches nothing; and the service worker, given this build's version (a
// hash of what it caches) and its list of files.
'use strict';
const crypto = require('crypto');
const fs = require('fs');
const path = require('path');
const zlib = require('zlib');

const PAGE = ['index.html', 'style.css', 'page.js', 'manifest.webmanifest'];
const ICONS = ['icon-32.png', 'icon-192.png', 'icon-512.png'];
const PROGRAM = ['zultmirax.js', 'zultmirax.wasm'];

const CRC_TABLE = Array.from({length: 256}, (_, n) => {
  let c = n;
  for (let k = 0; k < 8; k++) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
  return c >>> 0;
});
function crc32(buf) {
  let c = 0xffffffff;
  for (const b of buf) c = CRC_TABLE[(c ^ b) & 0xff] ^ (c >>> 8);
  return (c ^ 0xffffffff) >>> 0;
}
function chunk(type, data) {
  const head = Buffer.alloc(8);
  head.writeUInt32BE(data.length, 0);
  head.write(type, 4, 'latin1');
  const crc = Buffer.alloc(4);
  crc.writeUInt32BE(crc32(Buffer.concat([head.subarray(4), data])), 0);
  return Buffer.concat([head, data, crc]);
}

// The same picture, its IDAT chunks as one stream deflated at level 9.
function repackPng(png) {
  const out = [png.subarray(0, 8)];
  const idat = [];
  for (let at = 8; at < png.length;) {
    const len = png.readUInt32BE(at);
    const type = png.toString('latin1', at + 4, at + 8);
    const data = png.subarray(at + 8, at + 8 + len);
    at += 12 + len;
    if (type == 'IDAT') {
      idat.push(data);
      continue;
    }
    if (type == 'IEND') out.push(chunk('IDAT', zlib.deflateSync(zlib.inflateSync(Buffer.concat(idat)), {level: 9})));
    out.push(chunk(type, data));
  }
  return Buffer.concat(out);
}

const [pageDir, iconDir, programDir, site] = process.argv.slice(2);
if (!site) {
  console.error('usage: node web/site.js PAGE_DIR ICON_DIR PROGRAM_DIR SITE_DIR');
  process.exit(2);
}
fs.mkdirSync(site, {recursive: true});
const files = {};
for (const f of PAGE) files[f] = fs.readFileSync(path.join(pageDir, f));
for (const f of ICONS) files[f] = repackPng(fs.readFileSync(path.join(iconDir, f)));
for (const f of PROGRAM) files[f] = fs.readFileSync(path.join(programDir, f));

const cached = Object.keys(files).sort();
const hash = crypto.createHash('sha256');
for (const f of cached) hash.update(f + '\0').update(files[f]);
const worker = fs.readFileSync(path.join(pageDir, 'sw.js'), 'utf8')
                   .replace("'@VERSION@'", JSON.stringify(hash.digest('hex').slice(0, 16)))
                   .replace("'@FILES@'", JSON.stringify(['./'].concat(cached)));
files['sw.js'] = Buffer.from(worker);
files['zultmirax-wasm.js'] = Buffer.from('window.zmWasmBase64 = "' + files['zultmirax.wasm'].toString('base64') + '";\n');
for (const f of Object.keys(files)) fs.writeFileSync(path.join(site, f), files[f]);
