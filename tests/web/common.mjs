// What the page's tests in every browser share: a host for the page, free
// ports, an X screen of their own, and waiting for a condition with a deadline.
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import net from 'node:net';
import path from 'node:path';
import zlib from 'node:zlib';

export function fail(message) {
  throw new Error(message);
}

// A static host for the page's folder: plain (every file as it is), or
// compressing as some hosts do (.gz files sent as Content-Encoding: gzip,
// text compressed on the fly), or offline (no answer at all). It counts the
// bytes it sends and the files asked for.
export function serve(dir) {
  const types = {
    '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.wasm': 'application/wasm', '.txt': 'text/plain',
    '.webp': 'image/webp', '.webm': 'audio/webm', '.png': 'image/png', '.svg': 'image/svg+xml',
    '.webmanifest': 'application/manifest+json',
  };
  const host = { mode: 'plain', bytes: 0, asked: [], rewrite: (name, body) => body };
  host.server = http.createServer((request, response) => {
    if (host.mode === 'offline') {
      request.socket.destroy();
      return;
    }
    const url = new URL(request.url, 'http://x');
    let name = path.normalize(decodeURIComponent(url.pathname)).replace(/^\/+/, '');
    if (name === '' || name.endsWith('/'))
      name += 'index.html';
    fs.readFile(path.join(dir, name), (error, body) => {
      if (error) {
        response.writeHead(404).end();
        return;
      }
      host.asked.push(name);
      body = host.rewrite(name, body);
      const headers = { 'Content-Type': types[path.extname(name)] || 'application/octet-stream' };
      if (host.mode === 'compressing') {
        if (name.endsWith('.gz')) {
          headers['Content-Encoding'] = 'gzip';
          headers['Content-Type'] = types[path.extname(name.slice(0, -3))] || 'application/octet-stream';
        } else if (/^text|javascript|json|svg/.test(headers['Content-Type'])) {
          headers['Content-Encoding'] = 'gzip';
          body = zlib.gzipSync(body);
        }
      }
      host.bytes += body.length;
      response.writeHead(200, headers).end(body);
    });
  });
  return new Promise(resolve => host.server.listen(0, '127.0.0.1', () => resolve(host)));
}

// A loopback port nobody listens on.
export function freePort() {
  return new Promise(resolve => {
    const probe = http.createServer().listen(0, '127.0.0.1', () => {
      const { port } = probe.address();
      probe.close(() => resolve(port));
    });
  });
}
export const started = [];  // what this test started, stopped at its end, the last first

export const listening = port => new Promise(resolve => {
  const socket = net.connect(port, '127.0.0.1', () => { socket.destroy(); resolve(true); });
  socket.on('error', () => resolve(false));
});

// An X screen of the test's own (800 x 600 unless told): its display's name.
export function startXvfb(size = '800x600') {
  const xvfb = spawn('Xvfb', ['-displayfd', '3', '-screen', '0', size + 'x24', '-nolisten', 'tcp', '-noreset'],
                     { stdio: ['ignore', 'ignore', 'ignore', 'pipe'] });
  started.push(() => xvfb.kill());
  return new Promise((resolve, reject) => {
    xvfb.stdio[3].on('data', data => resolve(':' + data.toString().trim()));
    xvfb.on('exit', () => reject(new Error('Xvfb did not start')));
  });
}

export const sleep = ms => new Promise(resolve => setTimeout(resolve, ms));
// The check's answer as soon as it has one, else false at the deadline.
export async function within(seconds, check) {
  const end = Date.now() + seconds * 1000;
  for (;;) {
    const result = await check();
    if (result) return result;
    if (Date.now() > end) return false;
    await sleep(50);
  }
}
export async function waitFor(what, seconds, check) {
  const result = await within(seconds, check);
  if (!result) fail(`${what}: not within ${seconds} s`);
  return result;
}

// Run in the page: whether the browser's storage holds the game's files (in
// `folder`) as the page's file system does, which is what a tab opened now
// would find.
export const storedAsShown = async (folder, names) => {
  const database = await new Promise((resolve, reject) => {
    const request = indexedDB.open(folder);
    request.onsuccess = () => resolve(request.result);
    request.onerror = () => reject(request.error);
  });
  try {
    for (const name of names) {
      const entry = await new Promise(resolve => {
        const request = database.transaction(['FILE_DATA']).objectStore('FILE_DATA').get(folder + '/' + name);
        request.onsuccess = () => resolve(request.result);
        request.onerror = () => resolve(null);
      });
      const here = FS.analyzePath(folder + '/' + name).exists ? FS.readFile(folder + '/' + name) : null;
      if (!here !== !entry || here && (here.length !== entry.contents.length || here.some((b, i) => b !== entry.contents[i])))
        return false;
    }
    return true;
  } finally {
    database.close();
  }
};
