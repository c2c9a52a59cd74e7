// The game's web page in the system's headless Chromium, played as people
// would: a first visit over a 10 Mbit/s line with a click at first paint, a
// whole two-player game of quick (0 ms) clicks and key taps, the idle and the
// hidden page, a reload (the short intro, the files kept), a phone in both
// orientations with taps through the loupe, online play with the desktop
// game, an offline reload, an update, a compressing host, and the end through
// the quit dialog. What it can count it asserts; how fast and how busy the
// page is, bench/web_idle.mjs measures.
// Usage: node game.test.mjs GAME_DIR [NATIVE_SCREEN.png [DATA_DIR [NATIVE_GAME_DIR]]]
//   NATIVE_SCREEN.png: the native game's screen after the first move; the web
//   screen must match it at the display's 16-bit precision.
//   DATA_DIR: the pictures and the music the page was made from, to compare
//   the page's re-encoded files with.
//   NATIVE_GAME_DIR: the desktop game, which plays the page online through a
//   mosquitto on loopback (Xvfb and mosquitto are started here).
import puppeteer from 'puppeteer-core';
import { execFileSync, spawn } from 'node:child_process';
import crypto from 'node:crypto';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';
import { fail, freePort, listening, serve, sleep, started, startXvfb, storedAsShown, waitFor, within } from './common.mjs';
import { flood, listing } from './open_games.mjs';

const [gameDir, nativeScreen, dataDir, nativeGameDir] = process.argv.slice(2);
const SAVE = '/home/web_user/ortelanka/';
const PICTURES = '/ortelanka-data/data/';
const BUDGET = 2_500_000;       // bytes a first visit may transfer from a plain host
const LOSSY_PSNR_LEAST = 32;    // dB at the display's 5-6-5 precision
const GAME_FILES = ['best.dat', 'ortelanka.conf', 'a.a', 'data/tahy.dat', 'data/poprve.dat'];  // what the game keeps
// The game's longest wait in the page (platform/browser/Waiting.cpp): an
// idle game waits for input in slices this long.
const SLICE_MS = 500;

// A mosquitto of the test's own on 127.0.0.1: plain MQTT for the desktop
// game, websockets for the page. Ports the system gave that something else
// took meanwhile make it try others.
async function startBroker() {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'ortelanka-broker-'));
  started.push(() => fs.rmSync(dir, { recursive: true, force: true }));
  for (let attempt = 1; ; ++attempt) {
    const plain = await freePort(), websockets = await freePort();
    fs.writeFileSync(path.join(dir, 'mosquitto.conf'), [
      `listener ${plain} 127.0.0.1`, `listener ${websockets} 127.0.0.1`, 'protocol websockets', 'socket_domain ipv4',
      'allow_anonymous true', 'set_tcp_nodelay true', ''].join('\n'));
    const broker = spawn('mosquitto', ['-c', path.join(dir, 'mosquitto.conf')], { stdio: ['ignore', 'pipe', 'pipe'] });
    let said = '';
    broker.stdout.on('data', data => { said += data; });
    broker.stderr.on('data', data => { said += data; });
    started.push(() => broker.kill());
    const up = await waitFor('mosquitto listening or ended', 30, async () =>
      broker.exitCode !== null ? 'ended' : await listening(plain) && await listening(websockets) && 'listening');
    if (up === 'listening') return { plain, websockets };
    if (attempt === 3 || !/Address already in use/.test(said)) fail(`mosquitto did not start: ${said.trim()}`);
  }
}

// Pictures as rows of 5-6-5 pixels, the display's own precision.
function rgb565(r, g, b) {
  return ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
}
function decodeBmp(bytes) {
  const b = Buffer.from(bytes);
  const offset = b.readUInt32LE(10), width = b.readInt32LE(18), height = b.readInt32LE(22);
  if (b.readUInt16LE(28) !== 24) fail('expected a 24-bit picture');
  const stride = Math.ceil(width * 3 / 4) * 4;
  const pixels = new Uint16Array(width * Math.abs(height));
  for (let y = 0; y < Math.abs(height); ++y) {
    const row = offset + stride * (height > 0 ? height - 1 - y : y);
    for (let x = 0; x < width; ++x)
      pixels[y * width + x] = rgb565(b[row + 3 * x + 2], b[row + 3 * x + 1], b[row + 3 * x]);
  }
  return { width, height: Math.abs(height), pixels };
}
function decodePng(png) {
  const width = png.readUInt32BE(16), height = png.readUInt32BE(20), type = png[25];
  if (png[24] !== 8 || (type !== 2 && type !== 6) || png[28] !== 0) fail('unexpected screenshot format');
  const idat = [];
  for (let at = 8; at < png.length;) {
    const length = png.readUInt32BE(at), kind = png.toString('latin1', at + 4, at + 8);
    if (kind === 'IDAT') idat.push(png.subarray(at + 8, at + 8 + length));
    at += 12 + length;
  }
  const raw = zlib.inflateSync(Buffer.concat(idat));
  const channels = type === 6 ? 4 : 3, stride = width * channels;
  const rows = Buffer.alloc(stride * height);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)], line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    for (let i = 0; i < stride; ++i) {
      const left = i >= channels ? rows[y * stride + i - channels] : 0;
      const up = y > 0 ? rows[(y - 1) * stride + i] : 0;
      const upLeft = y > 0 && i >= channels ? rows[(y - 1) * stride + i - channels] : 0;
      const p = left + up - upLeft, pa = Math.abs(p - left), pb = Math.abs(p - up), pc = Math.abs(p - upLeft);
      const predictor = filter === 1 ? left : filter === 2 ? up : filter === 3 ? (left + up) >> 1 :
        filter === 4 ? (pa <= pb && pa <= pc ? left : pb <= pc ? up : upLeft) : 0;
      rows[y * stride + i] = (line[i] + predictor) & 0xFF;
    }
  }
  const pixels = new Uint16Array(width * height);
  for (let i = 0; i < width * height; ++i)
    pixels[i] = rgb565(rows[i * channels], rows[i * channels + 1], rows[i * channels + 2]);
  return { width, height, pixels };
}
// Pixels of the box (x, y, w, h) that differ between two pictures; a
// picture sampled from a screen of another size may differ a little in each.
// A picture cut from a larger one says where it was cut (left, top).
function differing(a, b, x, y, w, h) {
  const pixel = (picture, i, j) => picture.pixels[(j - (picture.top || 0)) * picture.width + i - (picture.left || 0)];
  const near = (p, q) => Math.abs((p >> 11) - (q >> 11)) <= 2 && Math.abs(((p >> 5) & 63) - ((q >> 5) & 63)) <= 4 &&
                         Math.abs((p & 31) - (q & 31)) <= 2;
  let count = 0;
  for (let j = y; j < y + h; ++j)
    for (let i = x; i < x + w; ++i) {
      const p = pixel(a, i, j), q = pixel(b, i, j);
      if (a.sampled || b.sampled ? !near(p, q) : p !== q) ++count;
    }
  return count;
}
// Peak signal to noise of two 5-6-5 pictures, each channel on its 0..255 scale.
function psnr(a, b) {
  let sum = 0;
  for (let i = 0; i < a.pixels.length; ++i) {
    const p = a.pixels[i], q = b.pixels[i];
    const dr = ((p >> 11) - (q >> 11)) * 255 / 31, dg = (((p >> 5) & 63) - ((q >> 5) & 63)) * 255 / 63;
    const db = ((p & 31) - (q & 31)) * 255 / 31;
    sum += dr * dr + dg * dg + db * db;
  }
  return sum ? 10 * Math.log10(255 * 255 * 3 * a.pixels.length / sum) : Infinity;
}

const host = await serve(gameDir);
const url = `http://127.0.0.1:${host.server.address().port}/`;
const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'ortelanka-web-'));
const browser = await puppeteer.launch({
  executablePath: '/usr/bin/chromium',
  headless: true,
  userDataDir: profile,
  args: ['--no-sandbox', '--disable-gpu', '--enable-unsafe-swiftshader', '--disable-quic', '--no-first-run', '--disable-background-networking',
         '--disable-component-update', '--disable-sync', '--force-color-profile=srgb', '--autoplay-policy=user-gesture-required'],
});
try {
  const problems = [];
  const watch = page => {
    page.on('pageerror', error => problems.push(error.message));
    page.on('console', message => { if (message.type() === 'error') problems.push(message.text()); });
    return page;
  };
  const page = watch(await browser.newPage());
  // The bar below leaves the picture exactly 800 x 600: one screen pixel per picture pixel.
  await page.setViewport({ width: 800, height: 644 });

  const readFile = (name, from = page) => from.evaluate(name => {
    if (!FS.analyzePath(name).exists) return null;
    const bytes = FS.readFile(name);
    let text = '';
    for (let at = 0; at < bytes.length; at += 32768)
      text += String.fromCharCode.apply(null, bytes.subarray(at, at + 32768));
    return btoa(text);
  }, name).then(text => text === null ? null : Buffer.from(text, 'base64'));
  const pictures = {};
  const readPicture = async name => pictures[name] ??= decodeBmp(await readFile(PICTURES + name));
  // The picture the canvas shows, sampled at each picture pixel's centre
  // when the canvas is not shown at 800 x 600 screen pixels. Shown at that
  // size, only the box (x, y, w, h) is taken: a small one is taken quickly,
  // so that a picture shown for half a second is seen.
  const screen = async (from = page, x = 0, y = 0, w = 800, h = 600) => {
    const canvasElement = await from.$('#canvas');
    const box = await canvasElement.boundingBox();
    if (box.width === 800 && box.height === 600) {
      const clip = { x: box.x + x, y: box.y + y, width: w, height: h };
      const part = decodePng(Buffer.from(await from.screenshot({ type: 'png', clip, captureBeyondViewport: false })));
      if (part.width === w && part.height === h) return { ...part, left: x, top: y };
    }
    const shot = decodePng(Buffer.from(await canvasElement.screenshot({ type: 'png' })));
    if (shot.width === 800 && shot.height === 600) return shot;
    const pixels = new Uint16Array(800 * 600);
    for (let y = 0; y < 600; ++y)
      for (let x = 0; x < 800; ++x)
        pixels[y * 800 + x] = shot.pixels[Math.floor((y + 0.5) * shot.height / 600) * shot.width +
                                          Math.floor((x + 0.5) * shot.width / 800)];
    return { width: 800, height: 600, pixels, sampled: true };
  };
  // Exactly the picture's pixels; sampled, nine in ten of them close.
  const shows = (picture, x, y, w, h, from = page) => async () => {
    const shot = await screen(from, x, y, w, h);
    const wrong = differing(shot, picture, x, y, w, h);
    return shot.sampled ? wrong < 0.1 * w * h : wrong === 0;
  };
  const at = async (x, y, from = page) => {
    const box = await (await from.$('#canvas')).boundingBox();
    return { x: box.x + x * box.width / 800, y: box.y + y * box.height / 600 };
  };
  // A quick click: the press and its release in one go, as a touchpad's tap sends them.
  const click = async (x, y) => {
    const spot = await at(x, y);
    await page.mouse.click(spot.x, spot.y, { delay: 0 });
  };
  const moves = async (from = page) => (await readFile(SAVE + 'data/tahy.dat', from)) || Buffer.alloc(0);
  const cellAt = cell => ({ x: 14 + 22 * (cell % 26) + 10, y: 13 + 22 * Math.floor(cell / 26) + 10 });
  // The game's waits (Module.waitForPage), written down in the page: when
  // each began and how long it was asked to be, and how many waits for
  // input began. The game waits for input only once it has handled every
  // input that came before.
  const watchWaits = from => from.evaluate(() => {
    if (window.gameWaits) return;
    const waits = window.gameWaits = { log: [], forInput: 0 };
    const wait = Module.waitForPage;
    Module.waitForPage = (milliseconds, forInput) => {
      if (waits.log.length < 100000) waits.log.push([performance.now(), milliseconds]);
      waits.forInput += forInput ? 1 : 0;
      return wait(milliseconds, forInput);
    };
  });
  const gameReady = async from => {
    await from.waitForFunction(() =>
      document.getElementById('prompt').textContent === 'Klikněte pro start', { timeout: 30000 });
    await watchWaits(from);
  };
  // A click while the game animates is lost, as it always was: a player
  // waits for the game to wait for input again, and so does the test. That
  // is a wait for input begun after this call. (The game's dialogs take
  // clicks at every step of theirs and never wait: a dialog seen is ready.)
  const idle = async (from = page) => {
    await watchWaits(from);
    const before = await from.evaluate(() => gameWaits.forInput);
    await waitFor('the game waiting for input', 30, () => from.evaluate(before => gameWaits.forInput > before, before));
  };
  // The page at rest, counted on its own clock: over the span the game asked
  // for no wait shorter than its slice (a frame drawn, a timer ticking) and
  // for no more waits than the slices of the span.
  const rests = async (what, from = page, span = 3000) => {
    const start = await from.evaluate(() => performance.now());
    await waitFor(`${span} ms of the page's clock`, span / 1000 + 30, async () =>
      await from.evaluate(() => performance.now()) >= start + span);
    const waits = await from.evaluate((start, span) =>
      gameWaits.log.filter(([at]) => at >= start && at < start + span).map(([, milliseconds]) => milliseconds), start, span);
    const short = waits.filter(milliseconds => milliseconds < SLICE_MS);
    if (short.length || waits.length > span / SLICE_MS + 1)
      fail(`${what}: in ${span} ms the game asked for ${waits.length} waits, ${short.length} shorter than ${SLICE_MS} ms`);
    return waits.length;
  };
  // The game's files in the browser's storage as the page's file system holds
  // them: what a tab opened now would find.
  const stored = (from = page) => from.evaluate(storedAsShown, SAVE.slice(0, -1), GAME_FILES);
  const allStored = (from = page) => waitFor('the game\'s files in the browser\'s storage', 20, () => stored(from));
  // Clicks the start overlay and waits out the intro; tells how long the
  // first intro picture stayed (2 s on the first run, 0.5 s later).
  const playUntilBoard = async (clickStart = () => page.click('#start')) => {
    const intro = await readPicture('intro/intro1.bmp');
    const board = await readPicture('deskaempty.bmp');
    const clicked = Date.now();
    await clickStart();
    // The band with its title: quick to take, and unlike the next picture's.
    await waitFor('the first intro picture', 20, shows(intro, 0, 80, 800, 60));
    const shown = Date.now();
    await waitFor('the end of the first intro picture', 10, async () => !(await shows(intro, 0, 80, 800, 60)()));
    const held = Date.now() - shown;
    // The panel's title shows up on the empty board once the intro has ended.
    await waitFor('the game screen', 60, shows(board, 620, 15, 160, 80));
    await idle();  // entering its screen, the game lets a click go by, as a player soon learns
    return { board, firstPicture: shown - clicked, held, shown };
  };

  // A host that compresses, and sends the .gz files as Content-Encoding:
  // gzip: the browser unpacks them itself, and the page still starts. The
  // browser there has no WebGL and cannot decode the music: the game draws
  // through the 2D canvas, and the music's control says there is none.
  host.mode = 'compressing';
  const fresh = await browser.createBrowserContext();
  const elsewhere = watch(await fresh.newPage());
  await elsewhere.setViewport({ width: 800, height: 644 });
  await elsewhere.evaluateOnNewDocument(() => {
    const getContext = HTMLCanvasElement.prototype.getContext;
    HTMLCanvasElement.prototype.getContext = function (type, ...rest) {
      return /webgl/.test(type) ? null : getContext.call(this, type, ...rest);
    };
    BaseAudioContext.prototype.decodeAudioData = () => Promise.reject(new DOMException('no codec', 'EncodingError'));
  });
  const compressedBefore = host.bytes;
  await elsewhere.goto(url, { waitUntil: 'domcontentloaded' });
  await gameReady(elsewhere);
  await elsewhere.waitForFunction(() => navigator.serviceWorker.controller, { timeout: 30000 });
  console.log(`web: from a compressing host a first visit transferred ${host.bytes - compressedBefore} bytes`);
  // The pictures as this browser decodes them, for what the screens should show.
  for (const name of ['intro/intro1.bmp', 'deskaempty.bmp', 'vyhrahrac1.bmp', 'nejlepsi.bmp'])
    pictures[name] = decodeBmp(await readFile(PICTURES + name, elsewhere));
  await elsewhere.click('#start');
  await waitFor('the first intro picture from a compressing host', 20, shows(pictures['intro/intro1.bmp'], 0, 80, 800, 60, elsewhere));
  const poorBrowser = await elsewhere.evaluate(() => {
    const button = document.getElementById('music');
    return { webgl: typeof GLctx !== 'undefined' && !!GLctx, disabled: button.disabled, pressed: button.getAttribute('aria-pressed'),
             note: document.getElementById('music-note').hidden ? '' : document.getElementById('music-note').textContent };
  });
  if (poorBrowser.webgl || !poorBrowser.disabled || poorBrowser.pressed !== 'false' || !poorBrowser.note)
    fail(`without WebGL or the music's codec: ${JSON.stringify(poorBrowser)}`);
  console.log(`web: without WebGL the game draws through the 2D canvas; without the music's codec its control says "${poorBrowser.note}"`);
  // A browser too old for the game is told which one it needs.
  const tooOld = await fresh.newPage();
  await tooOld.evaluateOnNewDocument(() => { delete window.WebAssembly; });
  await tooOld.goto(url, { waitUntil: 'load' });
  const told = await tooOld.evaluate(() => document.getElementById('prompt').textContent);
  if (!/^Tato hra potřebuje novější prohlížeč: Safari 15/.test(told)) fail(`a browser without WebAssembly was told "${told}"`);
  await fresh.close();
  host.mode = 'plain';
  host.bytes = 0;
  host.asked = [];

  // A first visit over a 10 Mbit/s line with 40 ms of latency; the player
  // clicks the overlay at first paint. Every file is asked for at once, the
  // overlay shows the progress, and the files the service worker keeps are
  // the ones the page fetched: nothing is fetched twice.
  await page.emulateNetworkConditions({ download: 10e6 / 8, upload: 10e6 / 8, latency: 40 });
  await page.evaluateOnNewDocument(() => {
    window.persistAsked = 0;
    const persist = navigator.storage.persist.bind(navigator.storage);
    navigator.storage.persist = () => ++persistAsked && persist();
    window.progressSeen = [];
    document.addEventListener('DOMContentLoaded', () => {
      const bar = document.getElementById('progress');
      new MutationObserver(() => progressSeen.push(bar.value)).observe(bar, { attributes: true });
    });
  });
  await page.goto(url, { waitUntil: 'domcontentloaded' });
  if (await page.evaluate(() => document.getElementById('start').hidden)) fail('no overlay at first paint');
  const clickedAt = Date.now();
  await page.click('#start');
  const first = await playUntilBoard(async () => {});
  console.log(`web: click at first paint to the first intro picture ${first.shown - clickedAt} ms (10 Mbit/s, 40 ms)`);
  // The game's own timing is the subject here: the first run holds each intro
  // picture for 2 s, and only a fault (or a page starved for half a second)
  // shows it for less than 1.5 s.
  if (first.held < 1500) fail('the first run did not hold the intro pictures for 2 s');
  await page.emulateNetworkConditions(null);
  const seen = await page.evaluate(() => progressSeen);
  if (seen.filter(v => v > 0 && v < 1).length < 3 || seen.some((v, i) => i && v < seen[i - 1]))
    fail(`the overlay's progress did not rise by steps: ${seen.join(' ')}`);
  // At once: none of them waited for another's answer (each answer comes 40 ms
  // or more after its request on this line).
  const fetched = await page.evaluate(() => performance.getEntriesByType('resource')
    .filter(e => e.initiatorType === 'fetch').map(e => [e.name.replace(/.*\//, ''), e.startTime, e.responseEnd]));
  const starts = fetched.map(([, t]) => t), ends = fetched.map(([, , t]) => t);
  if (fetched.length < 5 || Math.max(...starts) >= Math.min(...ends))
    fail(`the page's files were not asked for at once: ${JSON.stringify(fetched)}`);
  // The offline copy is complete once the worker is active.
  await page.waitForFunction(() => navigator.serviceWorker.controller && navigator.serviceWorker.ready, { timeout: 30000 });
  // The page's own files; the browser asks for its icons by itself.
  const twice = host.asked.filter((name, i) => /\.(gz|webp|webm)$/.test(name) && host.asked.indexOf(name) !== i);
  console.log(`web: a first visit transferred ${host.bytes} bytes from a plain host (${host.asked.length} files)`);
  if (host.bytes > BUDGET) fail(`a first visit transferred more than ${BUDGET} bytes`);
  if (twice.length) fail(`fetched twice: ${twice.join(', ')}`);

  // The re-encoded pictures and music against the ones the page was made from.
  if (dataDir) {
    let least = Infinity;
    for (const file of fs.readdirSync(dataDir, { recursive: true })) {
      if (!file.endsWith('.bmp')) continue;
      const original = fs.readFileSync(path.join(dataDir, file)), made = await readFile(PICTURES + file);
      if (!made || made.length !== original.length || !made.subarray(0, 54).equals(original.subarray(0, 54)))
        fail(`${file}: not a BMP like the original`);
      if (made.equals(original)) continue;
      const quality = psnr(decodeBmp(original), decodeBmp(made));
      least = Math.min(least, quality);
      if (!/^(Ortelaky|nejlepsi|prohra|vyhra|vyhrahrac[12]|zapisjmeno|intro\/intro[1-4])\.bmp$/.test(file))
        fail(`${file} is drawn with a colour key but lost its exact pixels`);
      if (quality < LOSSY_PSNR_LEAST) fail(`${file}: only ${quality.toFixed(1)} dB`);
    }
    console.log(`web: pictures with a colour key are exact, the others at least ${least.toFixed(1)} dB at 5-6-5`);
    const original = fs.readFileSync(path.join(dataDir, 'sound/music.wav'));
    const made = await readFile(PICTURES + 'sound/music.wav');
    const samples = original.indexOf('data') + 8;
    if (!made || made.length !== original.length || !made.subarray(0, samples).equals(original.subarray(0, samples)))
      fail('music.wav: not a WAV like the original');
    const a = new Int16Array(original.buffer.slice(original.byteOffset + samples, original.byteOffset + original.length));
    const b = new Int16Array(made.buffer.slice(made.byteOffset + samples, made.byteOffset + made.length));
    // In step with the original (no sample early or late), close to it, and
    // the loop's seam no harder than the original's own.
    const correlation = lag => {
      let sum = 0;
      for (let i = 4096; i < a.length - 4096; i += 7) sum += a[i] * b[i + 2 * lag];
      return sum;
    };
    const lags = [-3, -2, -1, 0, 1, 2, 3].map(correlation);
    if (lags.indexOf(Math.max(...lags)) !== 3) fail(`the music is out of step: ${lags.join(' ')}`);
    let signal = 0, noise = 0;
    for (let i = 0; i < a.length; ++i) { signal += a[i] * a[i]; noise += (a[i] - b[i]) ** 2; }
    const snr = 10 * Math.log10(signal / noise);
    const seam = (s, c) => Math.abs(s[c] - s[s.length - 2 + c]);
    const seams = [seam(a, 0) + seam(a, 1), seam(b, 0) + seam(b, 1)];
    console.log(`web: the music is in step with the original, ${snr.toFixed(1)} dB signal to difference, ` +
                `loop seam ${seams[1]} (the original's ${seams[0]})`);
    if (snr < 12) fail('the music differs from the original too much');
    if (seams[1] > seams[0] + 3000) fail('the music clicks where it loops');
  }

  // The first move, compared with the native game's screen.
  const firstMove = 7 * 26 + 5;
  await click(cellAt(firstMove).x, cellAt(firstMove).y);
  await waitFor('the move and the reply in data/tahy.dat', 10, async () => (await moves()).length >= 8);
  const replies = await moves();
  if (replies.readInt32LE(0) !== firstMove) fail(`the click was recorded as cell ${replies.readInt32LE(0)}`);
  if (nativeScreen) {
    const native = decodePng(fs.readFileSync(nativeScreen));
    let wrong;
    await waitFor('the native game\'s screen', 5, async () => {
      wrong = differing(await screen(), native, 0, 0, 800, 600);
      return wrong === 0;
    }).catch(() => fail(`the web screen differs from the native one in ${wrong} pixels`));
    console.log('web: the screen matches the native game\'s at 16-bit precision');
  }

  // A whole two-player game of quick clicks, its first mark by a quick tap of
  // the keys: the button, the question (ANO), five circles in a row against
  // four crosses, the winner's picture, the table, and the board again.
  const answered = async (what, check) => waitFor(what, 10, check);
  await idle();
  await click(700, 315);
  await answered('the question', async () =>
    differing(await screen(), first.board, 180, 250, 200, 100) > 10000);
  await click(214, 319);
  await answered('the new game', async () => (await shows(first.board, 14, 13, 572, 572)()));
  const circles = [12 * 26 + 13, 12 * 26 + 14, 12 * 26 + 15, 12 * 26 + 16, 12 * 26 + 17];
  const crosses = [14 * 26 + 13, 14 * 26 + 14, 14 * 26 + 15, 14 * 26 + 16];
  const before = (await moves()).length;
  await idle();
  for (const key of ['ArrowRight', 'ArrowRight', 'Space']) {  // shows the cursor, moves it to (13, 12), places
    await page.keyboard.press(key);
    await idle();
  }
  for (let move = 0; move < 9; ++move) {
    if (move > 0) {
      await idle();
      const cell = move % 2 ? crosses[(move - 1) / 2] : circles[move / 2];
      await click(cellAt(cell).x, cellAt(cell).y);
    }
    const made = await answered(`move ${move + 1}`, async () => {
      const bytes = await moves();
      return bytes.length >= before + 4 * (move + 1) && bytes;
    });
    const expected = move % 2 ? crosses[(move - 1) / 2] : circles[move / 2];
    if (made.readInt32LE(before + 4 * move) !== expected) fail(`move ${move + 1} went to ${made.readInt32LE(before + 4 * move)}`);
  }
  const winner = await readPicture('vyhrahrac1.bmp');
  await answered('the winner\'s picture', shows(winner, 0, 100, 800, 400));
  await idle();
  await click(400, 300);
  const table = await readPicture('nejlepsi.bmp');
  await answered('the table', shows(table, 0, 100, 20, 400));
  await idle();
  await click(400, 300);
  await answered('the board again', shows(first.board, 14, 13, 572, 572));
  console.log('web: a whole two-player game of quick clicks and key taps');

  // Idle on the game screen, music and all, the page rests.
  await idle();
  console.log(`web: the idle game screen rests (${await rests('the idle game screen')} waits in 3 s)`);

  // A hidden page holds the music and the game's waits; shown, both go on.
  const music = () => page.evaluate(() => Module.SDL2 && Module.SDL2.audioContext && Module.SDL2.audioContext.state);
  if (await music() !== 'running') fail(`the music is ${await music()} before the page is hidden`);
  const other = await browser.newPage();
  await other.bringToFront();
  await page.waitForFunction(() => document.hidden);
  await waitFor('the music to stop', 5, async () => await music() === 'suspended');
  const hiddenWaits = await rests('the hidden page');
  await page.bringToFront();
  await waitFor('the music to go on', 5, async () => await music() === 'running');
  await other.close();
  const afterShow = (await moves()).length;
  await idle();
  await click(cellAt(0).x, cellAt(0).y);
  await answered('a move after the page is shown again', async () => (await moves()).length > afterShow);
  console.log(`web: hidden, the music stops and the page rests (${hiddenWaits} waits in 3 s); shown, both go on`);
  const best = await readFile(SAVE + 'best.dat');
  if (!best || best.length !== 240) fail('no 240-byte best.dat');
  await allStored();

  // A reload: the files are back from the browser's storage before the game
  // starts, the overlay invites the click only when the game can start at
  // once, and the intro is the short one.
  const kept = await moves();
  await page.reload({ waitUntil: 'domcontentloaded' });
  await gameReady(page);
  const loaded = await page.evaluate(() => FS.analyzePath('/ortelanka-data/data/deskaempty.bmp').exists &&
    FS.analyzePath('/home/web_user/ortelanka/data').exists);
  if (!loaded) fail('the overlay invited a click before the game could start');
  if (!(await readFile(SAVE + 'data/poprve.dat'))) fail('data/poprve.dat was not kept');
  if (!best.equals(await readFile(SAVE + 'best.dat') || Buffer.alloc(0))) fail('best.dat was not kept');
  if (!kept.equals(await moves())) fail('data/tahy.dat was not kept');
  const second = await playUntilBoard();
  console.log(`web: ready, a click shows the first intro picture in ${second.firstPicture} ms; ` +
              `the later intro's first picture stayed about ${second.held} ms`);
  if (second.held >= first.held) fail('a later run held the intro pictures as long as the first run');

  // Two tabs at once keep each other's files. Tab B waits on its game screen
  // while tab A beats the computer (which never seeds its generator, so a
  // fresh game answers these moves the same way every time), enters a name
  // and turns the music off; then B places a move. The browser's storage, as
  // a tab opened afterwards finds it, holds all of it.
  const tabB = watch(await browser.newPage());
  await tabB.setViewport({ width: 800, height: 644 });
  await tabB.goto(url, { waitUntil: 'domcontentloaded' });
  await gameReady(tabB);
  await tabB.click('#start');
  await waitFor('tab B\'s game screen', 60, shows(first.board, 620, 15, 160, 80, tabB));
  await page.bringToFront();
  // The browser is asked to keep the files for good once the table differs
  // from the one the game started with, not before.
  if (await page.evaluate(() => persistAsked)) fail('persistent storage asked for before the table changed');
  const beforeA = (await moves()).length;
  const winning = [[12, 12], [13, 11], [11, 11], [10, 10], [12, 11], [14, 11], [14, 12], [16, 12], [11, 7], [13, 12],
                   [15, 12]];
  for (const [i, [x, y]] of winning.entries()) {
    await idle();  // the computer's cross is recorded as it starts to appear
    await click(cellAt(y * 26 + x).x, cellAt(y * 26 + x).y);
    const recorded = beforeA + 4 * (i < winning.length - 1 ? 2 * (i + 1) : 2 * i + 1);
    await answered(`tab A's move ${i + 1}`, async () => (await moves()).length >= recorded);
  }
  await waitFor('the victory picture', 20, shows(await readPicture('vyhra.bmp'), 0, 20, 800, 560));
  await idle();
  await click(400, 300);
  await waitFor('the name entry', 20, shows(await readPicture('zapisjmeno.bmp'), 0, 0, 800, 600));
  await idle();
  await page.keyboard.type('TABA', { delay: 100 });
  await page.keyboard.press('Enter');
  await waitFor('the name in best.dat', 20, async () => ((await readFile(SAVE + 'best.dat')) || Buffer.alloc(0)).includes('TABA'));
  await waitFor('persistent storage asked for', 10, () => page.evaluate(() => persistAsked === 1));
  await page.keyboard.press('F9');
  await waitFor('the music off in the settings', 5, async () => /music=0/.test((await readFile(SAVE + 'ortelanka.conf')) || ''));
  const movesA = await moves();
  await tabB.bringToFront();
  await idle(tabB);
  const spotB = await at(cellAt(3).x, cellAt(3).y, tabB);
  await tabB.mouse.click(spotB.x, spotB.y, { delay: 0 });
  await waitFor('tab B\'s move and its reply', 10, async () => (await moves(tabB)).length >= movesA.length + 8);
  // A tab opened afterwards reads the browser's storage as it is then; the
  // tabs store their changes a moment after making them, so it is opened
  // again until everything is there or the deadline has passed, and then it
  // says what was missing.
  const tabC = watch(await browser.newPage());
  let missing;
  await waitFor('tab A\'s and tab B\'s work in the browser\'s storage', 30, async () => {
    await tabC.goto(url, { waitUntil: 'domcontentloaded' });
    await gameReady(tabC);
    const storedMoves = await moves(tabC);
    missing = [];
    if (!((await readFile(SAVE + 'best.dat', tabC)) || Buffer.alloc(0)).includes('TABA')) missing.push('tab A\'s row');
    if (!/music=0/.test((await readFile(SAVE + 'ortelanka.conf', tabC)) || '')) missing.push('tab A\'s music choice');
    if (storedMoves.length !== movesA.length + 8 || !storedMoves.subarray(0, movesA.length).equals(movesA) ||
        storedMoves.readInt32LE(movesA.length) !== 3)
      missing.push(`A's ${movesA.length / 4} moves and then B's two (${storedMoves.length / 4} records)`);
    return missing.length === 0;
  }).catch(() => fail(`lost to the other tab: ${missing.join(', ')}`));
  await tabC.close();
  // Without the browser's locks (Safari's Lockdown Mode) the tabs still take
  // turns at a file: B's turn comes only after A has let it go (A holds it
  // for half a second, time enough for a B that did not wait to take it).
  const withoutLocks = tab => tab.evaluate(() => {
    window.locksKept = Object.getOwnPropertyDescriptor(Navigator.prototype, 'locks');
    delete Navigator.prototype.locks;
  });
  await withoutLocks(page);
  await withoutLocks(tabB);
  const lease = SAVE + 'lease-test';
  if (!await page.evaluate(path => Module.lockFile(path), lease)) fail('tab A took no lease');
  await tabB.evaluate(path => { window.leaseTaken = Module.lockFile(path).then(taken => taken && Date.now()); }, lease);
  await sleep(500);
  const letGo = await page.evaluate(path => {
    const at = Date.now();
    return Module.unlockFile(path).then(() => at);
  }, lease);
  const takenByB = await tabB.evaluate(() => leaseTaken);
  if (!takenByB || takenByB < letGo) fail(`tab B took the file at ${takenByB}, tab A let it go at ${letGo}`);
  await tabB.evaluate(path => Module.unlockFile(path), lease);
  await page.evaluate(() => { Object.defineProperty(Navigator.prototype, 'locks', locksKept); });
  await tabB.close();
  await page.bringToFront();
  await page.keyboard.press('F9');  // the music on again for what follows
  console.log('web: two tabs keep each other\'s row, moves and settings in the browser\'s storage, and take turns without locks');

  // A phone, upright and on its side: the board as large as the screen
  // allows, the title and the bar whole and clear of it, the canvas drawn in
  // the screen's own pixels.
  const phone = { width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true };
  await page.setViewport(phone);
  await page.reload({ waitUntil: 'domcontentloaded' });
  await gameReady(page);
  const layout = () => page.evaluate(() => {
    const box = element => element.getBoundingClientRect().toJSON();
    const title = document.querySelector('#start h1');
    return {
      canvas: box(document.getElementById('canvas')), bar: box(document.getElementById('bar')),
      title: box(title), start: box(document.getElementById('start')), titleCut: title.scrollWidth > title.clientWidth,
      backing: [canvas.width, canvas.height], ratio: devicePixelRatio, width: innerWidth, height: innerHeight,
    };
  });
  const overlaps = (a, b) => a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
  const wrongWith = l => {
    if (l.titleCut || l.title.left < l.start.left || l.title.right > l.start.right) return 'the title is cut';
    if (overlaps(l.canvas, l.bar) || l.bar.bottom > l.height + 0.5 || l.bar.right > l.width + 0.5)
      return `the bar is in the way or cut: ${JSON.stringify(l.bar)}`;
    const fills = Math.max(l.canvas.width / l.width, l.canvas.height / l.height);
    if (fills < 0.98 && l.canvas.height < l.height - l.bar.height - 2) return 'the board is smaller than it can be';
    if (Math.abs(l.backing[0] - l.canvas.width * l.ratio) > 1) return 'the canvas is not drawn in device pixels';
    return null;
  };
  // The page lays itself out again after a change of size: the layout as it
  // is once it is right, or what was still wrong at the deadline.
  const checkLayout = async (viewport, name) => {
    await page.setViewport(viewport);
    let wrong;
    const l = await waitFor(`the layout ${name}`, 5, async () => {
      const l = await layout();
      wrong = l.width === viewport.width && wrongWith(l);
      return wrong === null && l;
    }).catch(() => fail(`${name}: ${wrong}`));
    return `${name} ${Math.round(l.canvas.width)} x ${Math.round(l.canvas.height)} CSS px (${l.backing.join(' x ')} device px)`;
  };
  const upright = await checkLayout(phone, 'upright');
  const onItsSide = await checkLayout({ ...phone, width: 844, height: 390 }, 'on its side');
  await checkLayout(phone, 'upright again');
  console.log(`web: a phone: ${upright}, ${onItsSide}`);

  // Taps through the loupe: the first shows the spot magnified and places
  // nothing, a tap on the loupe places the mark in the cell under the finger.
  await playUntilBoard(() => page.tap('#start'));
  const touchCell = 20 * 26 + 3;
  const finger = await at(cellAt(touchCell).x, cellAt(touchCell).y);
  const beforeTap = (await moves()).length;
  await page.touchscreen.tap(finger.x, finger.y);
  const loupe = await page.waitForSelector('#loupe:not([hidden])', { timeout: 5000 });
  await idle();
  if ((await moves()).length !== beforeTap) fail('the first tap placed a mark');
  // The loupe shows the board as the game draws it: its disc holds the
  // board's colour, not the black of a cleared canvas.
  const lensPixels = await page.evaluate(() => {
    const lensCanvas = document.getElementById('loupe');
    const { width, height } = lensCanvas;
    const data = lensCanvas.getContext('2d').getImageData(0, 0, width, height).data;
    let inDisc = 0, black = 0;
    for (let y = 0; y < height; ++y)
      for (let x = 0; x < width; ++x) {
        if (Math.hypot(x - width / 2, y - height / 2) > width / 2 - 4)
          continue;
        const i = 4 * (y * width + x);
        ++inDisc;
        if (data[i] + data[i + 1] + data[i + 2] < 48)
          ++black;
      }
    return { inDisc, black };
  });
  if (lensPixels.black > lensPixels.inDisc * 0.1)
    fail(`the loupe is ${Math.round(100 * lensPixels.black / lensPixels.inDisc)} % black`);
  const lens = await loupe.boundingBox();
  await page.touchscreen.tap(lens.x + lens.width / 2, lens.y + lens.height / 2);
  const tapped = await answered('the mark placed through the loupe', async () => {
    const bytes = await moves();
    return bytes.length > beforeTap && bytes;
  });
  if (tapped.readInt32LE(beforeTap) !== touchCell) fail(`the tap went to cell ${tapped.readInt32LE(beforeTap)}`);
  if (!(await page.$('#loupe[hidden]'))) fail('the loupe stayed after the mark');
  console.log('web: a tap shows the loupe, a tap on it places the mark');
  await allStored();
  await page.setViewport({ width: 800, height: 644 });  // a reload: a phone no more

  // Online play between the page and the desktop game. Nothing of it comes
  // with a first visit; the page's control starts a game and shows the link,
  // the page waits for the friend without working, and marks cross both ways.
  if (host.asked.some(name => name.startsWith('online/'))) fail('a first visit fetched what only online play needs');
  if (nativeGameDir) {
    const ports = await startBroker();
    host.rewrite = (name, body) => name === 'online.json'
      ? Buffer.from(JSON.stringify({ broker: `ws://127.0.0.1:${ports.websockets}` })) : body;
    await playUntilBoard();  // the phone's viewport given up, the page started again
    await page.click('#friend');
    await waitFor('the link to send', 20, () => page.$eval('#friend-invite', e => !e.hidden));
    const link = await page.$eval('#friend-link', e => e.href);
    if (!/#[0-9A-Z]{4}(-[0-9A-Z]{4}){3}$/.test(link)) fail(`odd link ${link}`);
    await idle();
    console.log(`web: online, waiting for the friend the page rests (${await rests('the page waiting for its friend')} waits in 3 s)`);

    const display = await startXvfb();
    const desk = fs.mkdtempSync(path.join(os.tmpdir(), 'ortelanka-desk-'));
    started.push(() => fs.rmSync(desk, { recursive: true, force: true }));
    // A copy of the game folder: the game writes its files beside itself.
    fs.cpSync(path.join(nativeGameDir, 'data'), path.join(desk, 'data'), { recursive: true });
    fs.copyFileSync(path.join(nativeGameDir, 'ortelanka'), path.join(desk, 'ortelanka'));
    fs.chmodSync(path.join(desk, 'ortelanka'), 0o755);
    fs.rmSync(path.join(desk, 'data', 'tahy.dat'), { force: true });
    fs.writeFileSync(path.join(desk, 'data', 'poprve.dat'), '');  // the short intro
    const env = { ...process.env, DISPLAY: display, SDL_AUDIODRIVER: 'dummy', ASAN_OPTIONS: 'detect_leaks=0' };
    delete env.SDL_VIDEODRIVER;
    const game = spawn(path.join(desk, 'ortelanka'), ['--join', link, '--broker', `mqtt://127.0.0.1:${ports.plain}`],
                       { cwd: desk, env, stdio: 'ignore' });
    started.push(() => game.exitCode !== null || new Promise(resolve => { game.once('exit', resolve); game.kill(); }));
    const deskMoves = () => { try { return fs.readFileSync(path.join(desk, 'data', 'tahy.dat')); } catch { return Buffer.alloc(0); } };
    await waitFor('the friend', 40, async () => await page.$eval('#friend-state', e => e.textContent) === 'Soupeř je ve hře');
    const before = (await moves()).length;
    const across = [[12 * 26 + 12, 'page'], [3 * 26 + 3, 'desk'], [12 * 26 + 13, 'page'], [3 * 26 + 4, 'desk']];
    for (const [i, [cell, who]] of across.entries()) {
      if (who === 'page') {
        await idle();
        await click(cellAt(cell).x, cellAt(cell).y);
      } else {
        // The desktop game's waits are not to be seen from here: a click it
        // lost to its intro or to an animation is made again until recorded.
        const { x, y } = cellAt(cell);
        await waitFor(`mark ${i + 1} on the desktop`, 60, async () => {
          execFileSync('xdotool', ['mousemove', String(x), String(y), 'click', '1'], { env });
          return (await within(2, () => deskMoves().length >= 4 * (i + 1)));
        });
      }
      await waitFor(`mark ${i + 1} on the page`, 10, async () => (await moves()).length >= before + 4 * (i + 1));
      await waitFor(`mark ${i + 1} on the desktop`, 10, async () => deskMoves().length >= 4 * (i + 1));
      const onPage = (await moves()).readInt32LE(before + 4 * i), onDesk = deskMoves().readInt32LE(4 * i);
      if (onPage !== cell || onDesk !== cell) fail(`mark ${i + 1} went to ${onPage} on the page, ${onDesk} on the desktop`);
    }
    console.log('web: the page and the desktop game play each other online, each mark on both sides');

    // A third device, a page of its own, opens the link: both seats are
    // held, so it watches the game from where it stands and records nothing.
    const watching = await browser.createBrowserContext();
    const watcher = watch(await watching.newPage());
    await watcher.setViewport({ width: 800, height: 644 });
    await watcher.goto(link, { waitUntil: 'domcontentloaded' });
    await gameReady(watcher);
    await watcher.click('#start');
    await waitFor('the watcher watching', 40, async () =>
      await watcher.$eval('#friend-state', e => e.textContent) === 'Sledujete hru dvou hráčů');
    const board = await readPicture('deskaempty.bmp');
    const marked = (cell, from) => async () => !(await shows(board, cellAt(cell).x - 8, cellAt(cell).y - 8, 16, 16, from)());
    for (const [cell] of across)
      await waitFor(`mark ${cell} on the watcher's board`, 60, marked(cell, watcher));
    const next = 12 * 26 + 14;
    await idle();
    await click(cellAt(next).x, cellAt(next).y);
    await waitFor('the next mark on the watcher\'s board', 20, marked(next, watcher));
    if ((await moves(watcher)).length) fail('the watcher recorded moves');
    if (await page.$eval('#friend-state', e => e.textContent) !== 'Soupeř je ve hře') fail('the watcher changed the players\' game');
    await watching.close();
    console.log('web: a page that opens the link of a full game watches it, mark by mark, and records nothing');

    // Anyone: the page and a desktop game press "Hrát s kýmkoli" at nearly
    // the same moment and end up in one game, listed as played; a third
    // device finds it in the list and watches it; when its host leaves, a
    // fresh reader's list has it no more within 10 s.
    await new Promise(resolve => { game.once('exit', resolve); game.kill(); });
    await waitFor('the friend gone', 20, () => page.$eval('#friendship', e => e.hidden));
    const brokerUrl = `mqtt://127.0.0.1:${ports.plain}`;
    const anyone = spawn(path.join(desk, 'ortelanka'), ['--broker', brokerUrl], { cwd: desk, env, stdio: 'ignore' });
    started.push(() => anyone.exitCode !== null || new Promise(resolve => { anyone.once('exit', resolve); anyone.kill(); }));
    const deskShell = command => execFileSync('bash', ['-c', `fail() { echo "$*" >&2; exit 1; }; . "$0"; ${command}`,
      path.join(path.dirname(new URL(import.meta.url).pathname), '..', 'screen.sh')],
      { env: { ...env, work: desk, pictures: path.join(nativeGameDir, 'data') } });
    const deskKey = key => execFileSync('xdotool', ['keydown', key, 'sleep', '0.15', 'keyup', key], { env });
    deskShell('input_taken');
    deskKey('F2');
    deskKey('k');
    await idle();
    await page.click('#anyone');
    await Promise.all([page.click('#anyone-quick'), new Promise(resolve => { deskKey('Return'); resolve(); })]);
    await waitFor('the page in a game with anyone', 40, async () =>
      await page.$eval('#friend-state', e => e.textContent) === 'Soupeř je ve hře');
    const listed = await waitFor('the game listed as played', 20, async () => {
      const entries = [...(await listing(brokerUrl)).entries()];
      return entries.length === 1 && entries[0][1][2] === 'playing' && entries[0];
    });
    const [anyCode, [, , , , , hostDevice]] = listed;
    const pageHosts = hostDevice === 'page';
    const firstCell = 20 * 26 + 20;
    const deskBefore = deskMoves().length, pageBefore = (await moves()).length;
    if (pageHosts) {
      await idle();
      await click(cellAt(firstCell).x, cellAt(firstCell).y);
    } else {
      const { x, y } = cellAt(firstCell);
      await waitFor('the desktop\'s first mark', 60, async () => {
        execFileSync('xdotool', ['mousemove', String(x), String(y), 'click', '1'], { env });
        return (await within(2, () => deskMoves().length > deskBefore));
      });
    }
    await waitFor('the first mark on both sides', 20, async () =>
      deskMoves().length > deskBefore && (await moves()).length > pageBefore);
    console.log(`web: the page and the desktop game pressed "Hrát s kýmkoli" at once and play one game (${hostDevice} hosts)`);

    // Another device, a page of its own, started and reading the list.
    const deviceWithList = async who => {
      const context = await browser.createBrowserContext();
      const other = watch(await context.newPage());
      await other.setViewport({ width: 800, height: 644 });
      await other.goto(url, { waitUntil: 'domcontentloaded' });
      await gameReady(other);
      await other.click('#start');
      await waitFor(`${who}'s game`, 60, async () => !(await other.$eval('#anyone', e => e.disabled)));
      await other.click('#anyone');
      await other.click('#anyone-list');
      return [context, other];
    };
    const [third, thirdPage] = await deviceWithList('the third device');
    const watchButton = `#open-games button[data-code="${anyCode}"]`;
    await waitFor('the game in the third device\'s list', 20, () => thirdPage.$(watchButton));
    if (await thirdPage.$eval(watchButton, e => e.textContent) !== 'Sledovat') fail('a played game is not offered to watch');
    await thirdPage.click(watchButton);
    await waitFor('the third device watching', 40, async () =>
      await thirdPage.$eval('#friend-state', e => e.textContent) === 'Sledujete hru dvou hráčů');
    await waitFor('the first mark on the watcher\'s board', 60, marked(firstCell, thirdPage));
    if ((await moves(thirdPage)).length) fail('the watcher from the list recorded moves');
    console.log('web: a third device found the game in the list and watches it');

    // The host leaves for a game of its own ("Hráč proti hráči", and Enter
    // to its question).
    const dialogShown = () => {
      try {
        return deskShell('! shows deskaempty.bmp 200x100+180+250'), true;
      } catch {
        return false;
      }
    };
    if (pageHosts) {
      await idle();
      await click(700, 312);
      await waitFor('the new game\'s question', 10, async () => !(await shows(board, 180, 250, 200, 100)()));
      await page.keyboard.press('Enter');
    } else {
      deskShell('input_taken');
      execFileSync('xdotool', ['mousemove', '700', '312', 'sleep', '0.1', 'mousedown', '1', 'sleep', '0.1', 'mouseup', '1'],
                   { env });
      await waitFor('the new game\'s question on the desktop', 10, dialogShown);
      deskKey('Return');
    }
    const left = Date.now();
    await waitFor('the entry gone from a fresh reader\'s list', 10, async () => !(await listing(brokerUrl)).has(anyCode));
    console.log(`web: the host left, and its entry was gone from a fresh reader's list after ${Date.now() - left} ms`);
    await waitFor('the page offline', 20, () => page.$eval('#friendship', e => e.hidden));

    // A hostile client floods the list while the page waits for anyone:
    // nothing of it is listed, the real game stays listed and joinable, and
    // the pages go on answering.
    await third.close();
    await idle();
    await page.click('#anyone');
    await page.click('#anyone-quick');
    const waiting = await waitFor('the page waiting for anyone', 20, async () =>
      [...(await listing(brokerUrl)).entries()].find(([, fields]) => fields[5] === 'page' && fields[2] === 'waiting'));
    await flood(brokerUrl, waiting[0]);
    const [joiner, joinerPage] = await deviceWithList('the joiner');
    const joinButton = `#open-games button[data-code="${waiting[0]}"]`;
    await waitFor('the real game in a flooded list', 20, () => joinerPage.$(joinButton));
    const shown = await joinerPage.$$eval('#open-games li', items => items.map(item => item.textContent));
    if (shown.length !== 1) fail(`the flooded list shows ${shown.join(' / ')}`);
    await joinerPage.click(joinButton);
    for (const [who, from] of [['the joiner', joinerPage], ['the waiting page', page]])
      await waitFor(`${who} playing`, 40, async () => await from.$eval('#friend-state', e => e.textContent) === 'Soupeř je ve hře');
    await idle();
    await click(cellAt(firstCell + 1).x, cellAt(firstCell + 1).y);
    await waitFor('a mark after the flood on the joiner\'s board', 30, marked(firstCell + 1, joinerPage));
    await joiner.close();
    console.log('web: 1,024 forged, oversized and malformed entries hid nothing: the real game was listed and joined');
    host.rewrite = (name, body) => body;
  }

  // Offline after the first visit: the page, the game and its files come
  // from the service worker's copy.
  host.mode = 'offline';
  await page.reload({ waitUntil: 'domcontentloaded' });
  await gameReady(page);
  await playUntilBoard();
  const offlineMoves = (await moves()).length;
  await click(cellAt(25).x, cellAt(25).y);
  await answered('a move offline', async () => (await moves()).length > offlineMoves);
  console.log('web: offline, the page loads and plays from its copy');

  // A new version deployed: the worker installs it beside the old one,
  // fetching only what changed, and the page, not yet started, takes it.
  host.mode = 'plain';
  const nextPage = Buffer.from(fs.readFileSync(path.join(gameDir, 'index.html')).toString()
    .replace('<head>', '<head>\n<meta name="ortelanka-version" content="next">'));
  const nextDigest = crypto.createHash('sha256').update(nextPage).digest('hex').slice(0, 16);
  host.rewrite = (name, body) => name === 'index.html' ? nextPage : name !== 'sw.js' ? body
    : Buffer.from(body.toString().replace(/const VERSION = "/, 'const VERSION = "next-')
      .replace(/\["\.\/","[0-9a-f]+"/, `["./","${nextDigest}"`));
  const bytesBefore = host.bytes;
  await page.reload({ waitUntil: 'domcontentloaded' });
  await waitFor('the new version', 30, () => page.evaluate(() =>
    !!document.querySelector('meta[name="ortelanka-version"]')).catch(() => false));
  await gameReady(page);
  console.log(`web: a new version took over, fetching ${host.bytes - bytesBefore} bytes`);
  if (host.bytes - bytesBefore > 200_000) fail('the update fetched files that had not changed');

  // The end button and Enter end the game as on the desktop: the board's
  // picture is written at the end, and the page offers a new game.
  await playUntilBoard();
  await click(700, 435);
  await waitFor('the quit dialog', 10, async () => !(await shows(first.board, 180, 250, 200, 100)()));
  await page.keyboard.press('Enter');
  await waitFor('the end of the game', 10, () => page.evaluate(() => !document.getElementById('start').hidden));
  const board = await readFile(SAVE + 'data/hra.dat');
  if (!board || board.length !== 810) fail('no 810-byte data/hra.dat at the end');
  const log = (await readFile(SAVE + 'Ortelanka.log')).toString('latin1');
  if (!/'Konec programu' :: ok\.\s*$/.test(log)) fail(`the log does not end with the end: ${log}`);


  if (problems.length) fail(`the page reported: ${problems.join('; ')}`);
  console.log('web: 1 passed, 0 failed');
} catch (error) {
  // What the page showed when it failed.
  const shot = path.join(os.tmpdir(), 'ortelanka-web-failure.png');
  const pages = await browser.pages();
  if (pages.length) await pages[pages.length - 1].screenshot({ path: shot }).then(() => console.error(`web: the page at the failure: ${shot}`), () => {});
  throw error;
} finally {
  await browser.close();
  host.server.close();
  for (const stop of started.reverse()) await stop();
  fs.rmSync(profile, { recursive: true, force: true });
}
