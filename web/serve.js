// node web/serve.js DIR [PORT]: serves the game's site from DIR on
// localhost (PORT 0 or none: a free port) and prints its address. Only
// files inside DIR, read-only, with the types a browser needs for them,
// gzipped for a browser that takes it (all but the PNGs, which are).
'use strict';
const http = require('http');
const fs = require('fs');
const path = require('path');
const zlib = require('zlib');

const TYPES = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript; charset=utf-8', '.css': 'text/css; charset=utf-8',
  '.wasm': 'application/wasm', '.png': 'image/png', '.zip': 'application/zip',
  '.webmanifest': 'application/manifest+json',
};
const PACKED = new Set(['.png', '.zip']);

// HEADERS are added to every answer (a test's Content-Security-Policy).
function serve(dir, port, host, headers) {
  const root = path.resolve(dir);
  const server = http.createServer((req, res) => {
    let name;
    try {
      name = decodeURIComponent(new URL(req.url, 'http://localhost').pathname);
    } catch (e) {
      res.writeHead(400).end();
      return;
    }
    if (name.endsWith('/')) name += 'index.html';
    const file = path.resolve(root, '.' + name);
    if ((req.method != 'GET' && req.method != 'HEAD') || !file.startsWith(root + path.sep)) {
      res.writeHead(404).end();
      return;
    }
    fs.readFile(file, (err, data) => {
      if (err) {
        res.writeHead(404, {'Content-Type': 'text/plain'}).end('not found\n');
        return;
      }
      const ext = path.extname(file);
      const answer = {...headers, 'Content-Type': TYPES[ext] || 'application/octet-stream', 'Cache-Control': 'no-cache',
                       'Vary': 'Accept-Encoding'};
      if (!PACKED.has(ext) && /\bgzip\b/.test(req.headers['accept-encoding'] || '')) {
        data = zlib.gzipSync(data);
        answer['Content-Encoding'] = 'gzip';
      }
      answer['Content-Length'] = data.length;
      res.writeHead(200, answer);
      res.end(req.method == 'HEAD' ? undefined : data);
    });
  });
  return new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(port, host, () => resolve(server));
  });
}

module.exports = {serve};

if (require.main === module) {
  const dir = process.argv[2];
  const port = Number(process.argv[3] || 8000);
  if (!dir || !Number.isInteger(port) || port < 0 || port > 65535) {
    console.error('usage: node web/serve.js DIR [PORT]');
    process.exit(2);
  }
  serve(dir, port, '127.0.0.1').then((server) => {
    console.log('Serving the game at http://localhost:' + server.address().port + '/ (Ctrl+C stops)');
  }, (err) => {
    console.error('cannot serve on port ' + port + ': ' + err.message);
    process.exit(1);
  });
}
