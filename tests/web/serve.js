// A static web server for the site, as a school's would be: files from one folder, gzip
// where the browser takes it, a file's date for the browser to ask whether it changed.
//   node serve.js <folder>   prints the port it listens on, on 127.0.0.1
'use strict';
const fs = require('fs');
const http = require('http');
const path = require('path');
const zlib = require('zlib');

const types = {
    '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.wasm': 'application/wasm',
    '.webmanifest': 'application/manifest+json', '.png': 'image/png', '.bmp': 'image/bmp',
    '.wav': 'audio/wav', '.svg': 'image/svg+xml',
};

function serve(folder) {
    return http.createServer((request, response) => {
        let name = decodeURIComponent(new URL(request.url, 'http://x').pathname);
        if (name.endsWith('/'))
            name += 'index.html';
        const file = path.join(folder, path.normalize(name));
        if (!file.startsWith(folder) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
            response.writeHead(404).end();
            return;
        }
        const type = types[path.extname(file)] ?? 'application/octet-stream';
        const modified = fs.statSync(file).mtime;
        modified.setMilliseconds(0);
        const headers = { 'Content-Type': type, 'Cache-Control': 'no-cache', 'Last-Modified': modified.toUTCString() };
        const since = Date.parse(request.headers['if-modified-since'] ?? '');
        if (since >= modified.getTime()) {
            response.writeHead(304, headers).end();
            return;
        }
        let body = fs.readFileSync(file);
        if (/gzip/.test(request.headers['accept-encoding'] ?? '') && !/image\/png/.test(type)) {
            body = zlib.gzipSync(body, { level: 9 });
            headers['Content-Encoding'] = 'gzip';
        }
        response.writeHead(200, headers).end(body);
    });
}

module.exports = { serve };

if (require.main === module) {
    const server = serve(path.resolve(process.argv[2]));
    server.listen(0, '127.0.0.1', () => console.log(server.address().port));
}
