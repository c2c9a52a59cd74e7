// How fast the web page starts and how busy it keeps the browser, in the
// system's headless Chromium: a first visit over a 10 Mbit/s line with 40 ms
// of latency (a click at first paint to the intro's first picture), a ready
// page (a click to that picture, and how long the later run's short intro
// holds it), then the share of the page's main thread (its tasks' time,
// page.metrics().TaskDuration, over 3 s) on the idle game screen, hidden
// behind another tab, and online waiting for a friend through a mosquitto on
// loopback. Each figure is printed with its median, least and most over the
// samples. It measures; it asserts nothing.
// Usage: node bench/web_idle.mjs GAME_DIR [SAMPLES]
//   GAME_DIR: the page (build-web/game); puppeteer-core comes from
//   tests/web (npm ci there).
import { execFileSync, spawn } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import net from 'node:net';
import { createRequire } from 'node:module';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const puppeteer = createRequire(new URL('../tests/web/package.json', import.meta.url))('puppeteer-core');
const [gameDir, samplesArg] = process.argv.slice(2);
if (!gameDir) {
  console.error('usage: node bench/web_idle.mjs GAME_DIR [SAMPLES]');
  process.exit(2);
}
const SAMPLES = Math.max(3, Math.min(Number(samplesArg) || 5, 20));
const stopping = [];  // what the bench started, stopped at its end, the last first
// The browser's limits: 2 GB a file it writes (unless a lower cap is set
// already), and the whole bench ends after half an hour whatever it waits for.
try {
  execFileSync('prlimit', ['--pid', String(process.pid), '--fsize=2000000000:'], { stdio: 'ignore' });
} catch {
  // the hard limit is lower still
}
setTimeout(() => {
  console.error('web_idle: out of time');
  for (const stop of stopping.reverse()) stop();  // puppeteer ends the browser as the process exits
  process.exit(1);
}, 30 * 60_000).unref();
const BROKER_SH = path.join(path.dirname(fileURLToPath(import.meta.url)), '..', 'tests', 'broker.sh');
const PICTURES = '/ortelanka-data/data/';
const sleep = ms => new Promise(resolve => setTimeout(resolve, ms));

async function waitFor(what, seconds, check) {
  const end = Date.now() + seconds * 1000;
  for (;;) {
    try {
      const result = await check();
      if (result) return result;
    } catch {
      // a page between two documents
    }
    if (Date.now() > end) throw new Error(`${what}: not within ${seconds} s`);
    await sleep(50);
  }
}

function spread(name, unit, values) {
  const sorted = [...values].sort((a, b) => a - b);
  const median = sorted.length % 2 ? sorted[(sorted.length - 1) / 2]
    : (sorted[sorted.length / 2 - 1] + sorted[sorted.length / 2]) / 2;
  const digits = unit === '%' ? 2 : 0;
  const show = v => v.toFixed(digits);
  console.log(`web_idle: ${name}: median ${show(median)} ${unit}, least ${show(sorted[0])}, most ` +
              `${show(sorted[sorted.length - 1])} (${sorted.length} samples)`);
}

// The page's folder on 127.0.0.1, online.json naming the bench's broker.
function serve(dir, broker) {
  const types = { '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.json': 'application/json' };
  const server = http.createServer((request, response) => {
    let name = path.normalize(decodeURIComponent(new URL(request.url, 'http://x').pathname)).replace(/^\/+/, '');
    if (name === '' || name.endsWith('/')) name += 'index.html';
    if (name === 'online.json' && broker.url) {
      response.writeHead(200, { 'Content-Type': types['.json'] }).end(JSON.stringify({ broker: broker.url }));
      return;
    }
    fs.readFile(path.join(dir, name), (error, body) => {
      if (error) return response.writeHead(404).end();
      response.writeHead(200, { 'Content-Type': types[path.extname(name)] || 'application/octet-stream' }).end(body);
    });
  });
  return new Promise(resolve => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// Ports as the tests take theirs (tests/broker.sh), and a mosquitto with
// websockets on one (Debian's mosquitto 2.0 starts no websockets listener
// alone: a plain one goes beside it).
async function startBroker() {
  const holder = spawn('bash', ['-c', '. "$0" && take_port a && take_port b && echo "$a $b" && exec sleep infinity', BROKER_SH],
                       { stdio: ['ignore', 'pipe', 'inherit'] });
  stopping.push(() => holder.kill());
  const [plain, port] = await new Promise((resolve, reject) => {
    holder.stdout.once('data', data => resolve(String(data).trim().split(/\s+/).map(Number)));
    holder.once('exit', () => reject(new Error('no ports from tests/broker.sh')));
  });
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'ortelanka-bench-broker-'));
  stopping.push(() => fs.rmSync(dir, { recursive: true, force: true }));
  fs.writeFileSync(path.join(dir, 'mosquitto.conf'), `listener ${plain} 127.0.0.1\nlistener ${port} 127.0.0.1\n` +
                   'protocol websockets\nsocket_domain ipv4\nallow_anonymous true\n');
  const broker = spawn('mosquitto', ['-c', path.join(dir, 'mosquitto.conf')], { stdio: 'ignore' });
  stopping.push(() => broker.kill());
  await waitFor('the broker', 30, () => new Promise(resolve => {
    const socket = net.connect(port, '127.0.0.1', () => { socket.destroy(); resolve(true); });
    socket.on('error', () => resolve(false));
  }));
  return `ws://127.0.0.1:${port}`;
}

// A 24-bit BMP's rows as 5-6-5 pixels, top row first.
function decodeBmp(bytes) {
  const offset = bytes.readUInt32LE(10), width = bytes.readInt32LE(18), height = bytes.readInt32LE(22);
  const rows = Math.abs(height), stride = Math.ceil(width * 3 / 4) * 4, pixels = new Uint16Array(width * rows);
  for (let y = 0; y < rows; ++y) {
    const row = offset + stride * (height > 0 ? rows - 1 - y : y);
    for (let x = 0; x < width; ++x)
      pixels[y * width + x] = ((bytes[row + 3 * x + 2] >> 3) << 11) | ((bytes[row + 3 * x + 1] >> 2) << 5) | (bytes[row + 3 * x] >> 3);
  }
  return { width, pixels };
}
const readPicture = async (page, name) => decodeBmp(Buffer.from(await page.evaluate(name => {
  const bytes = FS.readFile(name);
  let text = '';
  for (let at = 0; at < bytes.length; at += 32768) text += String.fromCharCode.apply(null, bytes.subarray(at, at + 32768));
  return btoa(text);
}, PICTURES + name), 'base64'));

// In the page: when the start overlay was clicked, and when a picture band
// (rows y .. y + h, given as 5-6-5 pixels) was first and last seen on the
// canvas, looked at on every animation frame from the click until it is gone.
function probe(page, bands) {
  return page.evaluateOnNewDocument(bands => {
    const seen = window.benchSeen = { clicked: null, shown: null, gone: null, board: null };
    let scratch = null;
    const showing = ({ y, h, band }) => {
      const canvas = document.getElementById('canvas');
      if (!canvas || canvas.width !== 800 || canvas.height !== 600) return false;
      scratch ??= new OffscreenCanvas(800, 60).getContext('2d', { willReadFrequently: true });
      scratch.drawImage(canvas, 0, y, 800, h, 0, 0, 800, h);
      const data = scratch.getImageData(0, 0, 800, h).data;
      let wrong = 0, all = 0;
      for (let i = 0; i < 800 * h; i += 7, ++all) {
        const p = band[i];
        if (Math.abs((p >> 11) - (data[4 * i] >> 3)) > 2 || Math.abs((p >> 5 & 63) - (data[4 * i + 1] >> 2)) > 4 ||
            Math.abs((p & 31) - (data[4 * i + 2] >> 3)) > 2) ++wrong;
      }
      return wrong < all / 50;
    };
    const look = now => {
      if (!seen.shown) {
        if (showing(bands.intro)) seen.shown = now;
      } else if (!seen.gone) {
        if (!showing(bands.intro)) seen.gone = now;
      } else if (showing(bands.board)) {
        seen.board = now;
        return;
      }
      requestAnimationFrame(look);
    };
    addEventListener('click', event => {
      if (seen.clicked || !event.target.closest || !event.target.closest('#start')) return;
      seen.clicked = event.timeStamp;
      requestAnimationFrame(look);
    }, { capture: true });
  }, bands);
}

const busy = async (page, seconds = 3) => {
  const start = (await page.metrics()).TaskDuration;
  await sleep(seconds * 1000);
  return ((await page.metrics()).TaskDuration - start) / seconds * 100;
};

const broker = { url: null };
const server = await serve(gameDir, broker);
const url = `http://127.0.0.1:${server.address().port}/`;
const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'ortelanka-bench-web-'));
stopping.push(() => fs.rmSync(profile, { recursive: true, force: true }));
const browser = await puppeteer.launch({
  executablePath: '/usr/bin/chromium', headless: true, userDataDir: profile, protocolTimeout: 120_000,
  args: ['--no-sandbox', '--disable-gpu', '--enable-unsafe-swiftshader', '--disable-quic', '--no-first-run',
         '--disable-background-networking', '--disable-component-update', '--disable-sync',
         '--force-color-profile=srgb', '--autoplay-policy=user-gesture-required', '--js-flags=--max-old-space-size=512'],
});
stopping.push(() => browser.close());
const ready = page => waitFor('the overlay inviting the click', 120, () => page.evaluate(() =>
  document.getElementById('prompt').textContent === 'Klikněte pro start'));
const viewport = { width: 800, height: 644 };  // the picture at 800 x 600 screen pixels
try {
  // What the pictures look like, from a page of its own.
  const first = await browser.createBrowserContext();
  const warm = await first.newPage();
  await warm.setViewport(viewport);
  await warm.goto(url, { waitUntil: 'domcontentloaded' });
  await ready(warm);
  const intro = await readPicture(warm, 'intro/intro1.bmp'), board = await readPicture(warm, 'deskaempty.bmp');
  await first.close();
  const bands = {
    intro: { y: 80, h: 60, band: Array.from(intro.pixels.subarray(80 * 800, 140 * 800)) },
    board: { y: 15, h: 60, band: Array.from(board.pixels.subarray(15 * 800, 75 * 800)) },
  };

  // First visits, each in a fresh profile of its own.
  const firstVisit = [];
  for (let i = 0; i < SAMPLES; ++i) {
    const context = await browser.createBrowserContext();
    const page = await context.newPage();
    await page.setViewport(viewport);
    await probe(page, bands);
    await page.emulateNetworkConditions({ download: 10e6 / 8, upload: 10e6 / 8, latency: 40 });
    await page.goto(url, { waitUntil: 'domcontentloaded' });
    await page.click('#start');
    const seen = await waitFor('the first intro picture', 120, () => page.evaluate(() => benchSeen.shown && benchSeen));
    firstVisit.push(seen.shown - seen.clicked);
    await context.close();
  }
  spread('a first visit at 10 Mbit/s and 40 ms, the click at first paint to the first intro picture', 'ms', firstVisit);

  // A ready page, reloaded: the click to the first picture, and its hold.
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  await page.setViewport(viewport);
  await probe(page, bands);
  const toPicture = [], hold = [];
  for (let i = 0; i <= SAMPLES; ++i) {
    if (i) await page.reload({ waitUntil: 'domcontentloaded' });
    else await page.goto(url, { waitUntil: 'domcontentloaded' });
    await ready(page);
    await page.click('#start');
    const seen = await waitFor('the game screen', 120, () => page.evaluate(() => benchSeen.board && benchSeen));
    if (i) {  // the first run has the long intro
      toPicture.push(seen.shown - seen.clicked);
      hold.push(seen.gone - seen.shown);
    }
  }
  spread('a ready page, the click to the first intro picture', 'ms', toPicture);
  spread('a later run\'s intro, its first picture held', 'ms', hold);

  await sleep(1000);  // the last picture's curtain is over
  const idle = [];
  for (let i = 0; i < SAMPLES; ++i) idle.push(await busy(page));
  spread('the idle game screen, music playing, busy', '%', idle);

  const other = await context.newPage();
  await other.bringToFront();
  await waitFor('the page hidden', 30, () => page.evaluate(() => document.hidden));
  await sleep(1000);
  const hidden = [];
  for (let i = 0; i < SAMPLES; ++i) hidden.push(await busy(page));
  spread('the page hidden behind another tab, busy', '%', hidden);
  await page.bringToFront();
  await other.close();

  broker.url = await startBroker();
  await page.click('#friend');
  await waitFor('the link to send', 60, () => page.$eval('#friend-invite', e => !e.hidden));
  await sleep(3000);  // MQTT.js loaded and compiled, the code's note gone
  const waiting = [];
  for (let i = 0; i < SAMPLES; ++i) waiting.push(await busy(page));
  spread('online, waiting for the friend, busy', '%', waiting);
} finally {
  for (const stop of stopping.reverse()) await stop();
  server.close();
}
