// Serves the browser edition's folder on 127.0.0.1 only and prints the address.
//   node serve.js FOLDER [PORT]   (port 0 or none: any free port)
// Required, it gives serveFolder(folder, port): the server, listening once its
// 'listening' event has come.
'use strict';
const http = require('http');
const fs = require('fs');
const path = require('path');

const types = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.wasm': 'application/wasm',
  '.data': 'application/octet-stream', '.ogg': 'audio/ogg', '.png': 'image/png',
};

function serveFolder(folder, port) {
  const root = path.resolve(folder);
  const server = http.createServer((request, response) => {
    let name;
    try {
      name = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    } catch {
      response.writeHead(400).end();
      return;
    }
    if (name.endsWith('/')) name += 'index.html';
    const file = path.join(root, path.normalize(name));
    // Nothing outside the folder, and only regular files.
    if (!file.startsWith(root + path.sep) || request.method !== 'GET') {
      response.writeHead(403).end();
      return;
    }
    fs.stat(file, (error, stat) => {
      if (error || !stat.isFile()) {
        response.writeHead(404).end();
        return;
      }
      response.writeHead(200, {
        'Content-Type': types[path.extname(file)] || 'application/octet-stream',
        'Content-Length': stat.size, 'Cache-Control': 'no-cache',
      });
      fs.createReadStream(file).pipe(response);
    });
  });
  return server.listen(port, '127.0.0.1');
}

if (require.main === module) {
  const server = serveFolder(process.argv[2] || '.', Number(process.argv[3] || 0));
  server.on('listening', () => {
    console.log('Serving ' + path.resolve(process.argv[2] || '.') + ' at http://127.0.0.1:' + server.address().port + '/');
  });
} else {
  module.exports = { serveFolder };
}
