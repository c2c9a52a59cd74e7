// The game's web page in the system's headless Chromium, played as a person
// would: the start overlay, the intro, a move and the computer's reply (in
// data/tahy.dat and on the screen), then a reload: the short intro, the files
// kept in the browser's storage, and the end through the quit dialog. Prints
// what it measured on the way.
// Usage: node game.test.mjs GAME_DIR [NATIVE_SCREEN.png]
//   NATIVE_SCREEN.png: the native game's screen after the same move; the web
//   screen must match it at the display's 16-bit precision.
import puppeteer from 'puppeteer-core';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';

const [gameDir, nativeScreen] = process.argv.slice(2);
const SAVE = '/home/web_user/ortelanka/';
const PICTURES = '/ortelanka-data/data/';
const CELL = { x: 5, y: 7 };  // clicked at (136, 180)

function fail(message) {
  throw new Error(message);
}

// A static server for the page's folder.
function serve(dir) {
  const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm', '.txt': 'text/plain' };
  const server = http.createServer((request, response) => {
    const file = path.join(dir, path.normalize(decodeURIComponent(new URL(request.url, 'http://x').pathname)));
    const name = file.endsWith('/') ? path.join(file, 'index.html') : file;
    fs.readFile(name, (error, body) => {
      if (error) {
        response.writeHead(404).end();
        return;
      }
      response.writeHead(200, { 'Content-Type': types[path.extname(name)] || 'application/octet-stream' }).end(body);
    });
  });
  return new Promise(resolve => server.listen(0, '127.0.0.1', () => resolve(server)));
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
      const predictor = [0, left, up, (left + up) >> 1, pa <= pb && pa <= pc ? left : pb <= pc ? up : upLeft][filter];
      rows[y * stride + i] = (line[i] + predictor) & 0xFF;
    }
  }
  const pixels = new Uint16Array(width * height);
  for (let i = 0; i < width * height; ++i)
    pixels[i] = rgb565(rows[i * channels], rows[i * channels + 1], rows[i * channels + 2]);
  return { width, height, pixels };
}
// Pixels of the box (x, y, w, h) that differ between two pictures.
function differing(a, b, x, y, w, h) {
  let count = 0;
  for (let j = y; j < y + h; ++j)
    for (let i = x; i < x + w; ++i)
      if (a.pixels[j * a.width + i] !== b.pixels[j * b.width + i]) ++count;
  return count;
}

const sleep = ms => new Promise(resolve => setTimeout(resolve, ms));
async function waitFor(what, seconds, check) {
  const end = Date.now() + seconds * 1000;
  for (;;) {
    const result = await check();
    if (result) return result;
    if (Date.now() > end) fail(`${what}: not within ${seconds} s`);
    await sleep(50);
  }
}

const server = await serve(gameDir);
const url = `http://127.0.0.1:${server.address().port}/`;
const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'ortelanka-web-'));
const browser = await puppeteer.launch({
  executablePath: '/usr/bin/chromium',
  headless: true,
  userDataDir: profile,
  args: ['--no-sandbox', '--disable-gpu', '--enable-unsafe-swiftshader', '--disable-quic', '--no-first-run', '--disable-background-networking',
         '--disable-component-update', '--disable-sync', '--force-color-profile=srgb', '--autoplay-policy=user-gesture-required'],
});
try {
  const page = await browser.newPage();
  const problems = [];
  page.on('pageerror', error => problems.push(error.message));
  page.on('console', message => { if (message.type() === 'error') problems.push(message.text()); });
  let transferred = 0;
  page.on('response', async response => {
    try { transferred += (await response.buffer()).length; } catch { /* a redirect has no body */ }
  });
  // The footer leaves the picture exactly 800 x 600: one screen pixel per picture pixel.
  await page.setViewport({ width: 800, height: 640 });

  const readFile = name => page.evaluate(name => {
    if (!FS.analyzePath(name).exists) return null;
    const bytes = FS.readFile(name);
    let text = '';
    for (let at = 0; at < bytes.length; at += 32768)
      text += String.fromCharCode.apply(null, bytes.subarray(at, at + 32768));
    return btoa(text);
  }, name).then(text => text === null ? null : Buffer.from(text, 'base64'));
  const pictures = {};
  const readPicture = async name => pictures[name] ??= decodeBmp(await readFile(PICTURES + name));
  const screen = async () => decodePng(Buffer.from(await (await page.$('#canvas')).screenshot({ type: 'png' })));
  const shows = (picture, x, y, w, h) => async () => differing(await screen(), picture, x, y, w, h) === 0;
  const press = async (x, y) => {  // held for a moment, as a person's press is
    const box = await (await page.$('#canvas')).boundingBox();
    await page.mouse.move(box.x + x, box.y + y);
    await page.mouse.down();
    await sleep(150);
    await page.mouse.up();
  };
  // Waits until the game can start, clicks the start overlay and waits out the
  // intro; tells how long the first intro picture stayed (2 s on the first run,
  // 0.5 s later).
  const playUntilBoard = async () => {
    const loading = Date.now();
    await page.waitForFunction(() => typeof FS !== 'undefined' && FS.analyzePath('/home/web_user/ortelanka/data').exists);
    const ready = Date.now() - loading;
    const board = await readPicture('deskaempty.bmp');
    const intro = await readPicture('intro/intro1.bmp');
    const clicked = Date.now();
    await page.click('#start');
    await waitFor('the first intro picture', 10, shows(intro, 0, 0, 800, 600));
    const shown = Date.now();
    await waitFor('the end of the first intro picture', 10, async () => !(await shows(intro, 0, 0, 800, 600)()));
    const held = Date.now() - shown;
    // The panel's title shows up on the empty board once the intro has ended.
    await waitFor('the game screen', 60, shows(board, 620, 15, 160, 80));
    return { board, ready, firstPicture: shown - clicked, held, intro: Date.now() - clicked };
  };

  // A fresh browser: the long intro.
  await page.goto(url, { waitUntil: 'domcontentloaded' });
  const first = await playUntilBoard();
  console.log(`web: page load to ready ${first.ready} ms, click to the first intro picture ${first.firstPicture} ms`);
  console.log(`web: transferred ${transferred} bytes`);
  console.log(`web: the first intro took ${first.intro} ms, its first picture stayed about ${first.held} ms`);
  if (first.held < 1500) fail('the first run did not hold the intro pictures for 2 s');

  await sleep(500);
  await press(136, 180);
  const moves = await waitFor('the move and the reply in data/tahy.dat', 10, async () => {
    const bytes = await readFile(SAVE + 'data/tahy.dat');
    return bytes && bytes.length >= 8 && bytes;
  });
  const human = moves.readInt32LE(0), computer = moves.readInt32LE(4);
  if (moves.length !== 8) fail(`data/tahy.dat holds ${moves.length} bytes`);
  if (human !== CELL.y * 26 + CELL.x) fail(`the click was recorded as cell ${human}`);
  if (computer < 0 || computer >= 676 || computer === human) fail(`odd reply ${computer}`);

  // Both marks on the screen, each over the board as the game's own pictures show it.
  const circle = await readPicture('kolecko.bmp');
  const cross = await readPicture('krizek.bmp');
  const expected = { width: 800, height: 600, pixels: first.board.pixels.slice() };
  for (const [mark, cell] of [[circle, human], [cross, computer]]) {
    const left = 14 + 22 * (cell % 26), top = 13 + 22 * Math.floor(cell / 26), key = mark.pixels[0];
    for (let y = 0; y < 21; ++y)
      for (let x = 0; x < 21; ++x)
        if (mark.pixels[y * mark.width + x] !== key)
          expected.pixels[(top + y) * 800 + left + x] = mark.pixels[y * mark.width + x];
  }
  const marksShown = async () => {
    const shot = await screen();
    return [human, computer].every(cell =>
      differing(shot, expected, 14 + 22 * (cell % 26), 13 + 22 * Math.floor(cell / 26), 21, 21) === 0);
  };
  await waitFor('the circle and the cross on the screen', 5, marksShown);
  if (nativeScreen) {
    // Once the score has settled, the whole screen is the native game's.
    const native = decodePng(fs.readFileSync(nativeScreen));
    let wrong;
    await waitFor('the native game\'s screen', 5, async () => {
      wrong = differing(await screen(), native, 0, 0, 800, 600);
      return wrong === 0;
    }).catch(() => fail(`the web screen differs from the native one in ${wrong} pixels`));
    console.log('web: the screen matches the native game\'s at 16-bit precision');
  }
  const best = await readFile(SAVE + 'best.dat');
  if (!best || best.length !== 240) fail('no 240-byte best.dat');
  await sleep(500);  // the last changes reach the browser's storage

  // A reload: the files are back from the browser's storage before the game
  // starts, and the intro is the short one.
  await page.reload({ waitUntil: 'domcontentloaded' });
  await page.waitForFunction(() => typeof FS !== 'undefined' && FS.analyzePath('/home/web_user/ortelanka/data').exists);
  if (!(await readFile(SAVE + 'data/poprve.dat'))) fail('data/poprve.dat was not kept');
  if (!best.equals(await readFile(SAVE + 'best.dat') || Buffer.alloc(0))) fail('best.dat was not kept');
  if (!moves.equals(await readFile(SAVE + 'data/tahy.dat') || Buffer.alloc(0))) fail('data/tahy.dat was not kept');
  const second = await playUntilBoard();
  console.log(`web: the later intro took ${second.intro} ms, its first picture stayed about ${second.held} ms`);
  if (second.held > 1200) fail('a later run held the intro pictures for more than 0.5 s');

  // Idle on the game screen: how busy the page keeps the browser.
  const cpu = async () => (await page.metrics()).TaskDuration;
  const before = await cpu();
  await sleep(3000);
  console.log(`web: idle game screen ${Math.round((await cpu() - before) / 3 * 100)} % of a core (renderer main thread)`);

  // The end button and Enter end the game as on the desktop: the board's
  // picture is written at the end, and the page offers a new game.
  await press(700, 435);
  await sleep(1000);
  await page.keyboard.down('Enter');
  await sleep(200);
  await page.keyboard.up('Enter');
  await waitFor('the end of the game', 10, () => page.evaluate(() => !document.getElementById('start').hidden));
  const board = await readFile(SAVE + 'data/hra.dat');
  if (!board || board.length !== 810) fail('no 810-byte data/hra.dat at the end');
  const log = (await readFile(SAVE + 'Ortelanka.log')).toString('latin1');
  if (!/'Konec programu' :: ok\.\s*$/.test(log)) fail(`the log does not end with the end: ${log}`);
  if (problems.length) fail(`the page reported: ${problems.join('; ')}`);
  console.log('web: 1 passed, 0 failed');
} finally {
  await browser.close();
  server.close();
  fs.rmSync(profile, { recursive: true, force: true });
}
