// The game's web page in the other engines players have: Firefox ESR (on a
// machine without a GPU, so its WebGL draws in software and the page takes
// the 2D canvas) and WebKitGTK (the engine of every iPhone's browser, through
// WebGL), each on an X screen of the test's own
// and not at the picture's own size. A first visit, the first run's intro
// with its 2 s holds, a move and the computer's reply, the music decoded or
// its control honestly off, a reload that keeps the files, and an offline
// start. In Firefox the reload is that of a browser from before 2023 (no
// OffscreenCanvas, DecompressionStream or Web Locks), which takes the page's
// fallbacks.
// Usage: node engines.test.mjs firefox|webkit GAME_DIR
import puppeteer from 'puppeteer-core';
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { fail, freePort, listening, serve, started, startXvfb, storedAsShown, waitFor } from './common.mjs';

const [engine, gameDir] = process.argv.slice(2);
if (!['firefox', 'webkit'].includes(engine) || !gameDir) fail('usage: node engines.test.mjs firefox|webkit GAME_DIR');
const SAVE = '/home/web_user/ortelanka';
const GAME_FILES = ['best.dat', 'ortelanka.conf', 'data/tahy.dat', 'data/poprve.dat'];
const MINIBROWSER = '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';
const problems = [];  // what the page reported, told when the test fails

// Firefox through puppeteer-core over WebDriver BiDi, in a window of its own.
async function firefox(display, profile) {
  const browser = await puppeteer.launch({
    browser: 'firefox', executablePath: '/usr/bin/firefox-esr', headless: false, userDataDir: profile,
    env: { ...process.env, DISPLAY: display, MOZ_HEADLESS: '' }, args: ['--width=1100', '--height=900'],
    extraPrefsFirefox: { 'browser.shell.checkDefaultBrowser': false, 'datareporting.policy.dataSubmissionEnabled': false },
  });
  started.push(() => browser.close());
  const page = (await browser.pages())[0] || await browser.newPage();
  page.on('pageerror', error => problems.push(error.message));
  page.on('console', message => { if (/error|warn/.test(message.type())) problems.push(message.text()); });
  return {
    goto: url => page.goto(url, { waitUntil: 'domcontentloaded' }),
    reload: () => page.reload({ waitUntil: 'domcontentloaded' }),
    run: (fn, ...args) => page.evaluate(fn, ...args),
    click: selector => page.click(selector),
    beforeEachLoad: fn => page.evaluateOnNewDocument(fn),
    forget: script => page.removeScriptToEvaluateOnNewDocument(script.identifier),
  };
}

// MiniBrowser through WebKitWebDriver, spoken to in WebDriver's own JSON.
async function webkit(display, profile) {
  const port = await freePort();
  const home = { HOME: profile, XDG_DATA_HOME: path.join(profile, 'data'), XDG_CACHE_HOME: path.join(profile, 'cache') };
  const driver = spawn('WebKitWebDriver', [`--port=${port}`, '--host=127.0.0.1'],
                       { env: { ...process.env, DISPLAY: display, ...home }, stdio: 'ignore' });
  started.push(() => driver.kill());
  await waitFor('WebKitWebDriver listening', 30, () => driver.exitCode === null && listening(port));
  const call = async (method, route, body) => {
    const response = await fetch(`http://127.0.0.1:${port}${route}`, {
      method, headers: { 'Content-Type': 'application/json' }, body: body && JSON.stringify(body) });
    const answer = await response.json();
    if (!response.ok) fail(`WebDriver ${method} ${route}: ${JSON.stringify(answer.value)}`);
    return answer.value;
  };
  const { sessionId } = await call('POST', '/session', { capabilities: { alwaysMatch: {
    'webkitgtk:browserOptions': { binary: MINIBROWSER, args: ['--automation'] } } } });
  const session = `/session/${sessionId}`;
  started.push(() => call('DELETE', session).catch(() => {}));
  await call('POST', session + '/timeouts', { script: 60000, pageLoad: 60000 });
  return {
    goto: url => call('POST', session + '/url', { url }),
    reload: () => call('POST', session + '/refresh', {}),
    run: async (fn, ...args) => {
      const result = await call('POST', session + '/execute/async', { args, script: `
        const done = arguments[arguments.length - 1];
        Promise.resolve().then(() => (${fn})(...Array.prototype.slice.call(arguments, 0, -1)))
          .then(value => done({ value }), error => done({ error: String(error && error.message || error) }));` });
      if (result.error) fail(result.error);
      return result.value;
    },
    click: async selector => {
      const element = await call('POST', session + '/element', { using: 'css selector', value: selector });
      await call('POST', `${session}/element/${Object.values(element)[0]}/click`, {});
    },
  };
}

// Run in the page once the game can start: counts the game's waits for input
// (which begin only once the intro has ended), and watches at every frame
// the browser shows whether the canvas shows the first intro picture: when
// it came and when it went.
const watchTheGame = () => {
  const waitForPage = Module.waitForPage;
  window.waitsForInput = 0;
  Module.waitForPage = (milliseconds, forInput) => {
    waitsForInput += forInput ? 1 : 0;
    return waitForPage(milliseconds, forInput);
  };
  // Spots of the picture that are not dark, where the canvas must show its
  // colours: a band a quarter of the way down, which the curtain that
  // follows the hold (from the top and the bottom) covers half-way through,
  // well after the hold and well before a hold that passed unseen would end.
  const bmp = FS.readFile('/ortelanka-data/data/intro/intro1.bmp');
  const view = new DataView(bmp.buffer, bmp.byteOffset, bmp.byteLength);
  const offset = view.getUint32(10, true), width = view.getInt32(18, true), height = view.getInt32(22, true);
  const stride = Math.ceil(width * 3 / 4) * 4, spots = [];
  for (let y = 130; y <= 170 && spots.length < 64; y += 10)
    for (let x = 20; x < 800 && spots.length < 64; x += 24) {
      const at = offset + stride * (height > 0 ? height - 1 - y : y) + 3 * x;
      if (bmp[at] + bmp[at + 1] + bmp[at + 2] > 150) spots.push([x, y, bmp[at + 2], bmp[at + 1], bmp[at]]);
    }
  const canvas = document.getElementById('canvas');
  const probe = document.createElement('canvas');
  probe.width = spots.length;
  probe.height = 1;
  const context = probe.getContext('2d', { willReadFrequently: true });
  context.imageSmoothingEnabled = false;
  window.intro = { came: null, went: null };
  const look = now => {
    spots.forEach(([x, y], k) =>
      context.drawImage(canvas, (x + 0.5) * canvas.width / 800, (y + 0.5) * canvas.height / 600, 1, 1, k, 0, 1, 1));
    const seen = context.getImageData(0, 0, spots.length, 1).data;
    const alike = spots.filter(([, , r, g, b], k) => Math.abs(seen[4 * k] - r) <= 24 &&
      Math.abs(seen[4 * k + 1] - g) <= 24 && Math.abs(seen[4 * k + 2] - b) <= 24).length;
    const shown = alike >= spots.length - 1;
    if (shown && intro.came === null) intro.came = now;
    if (!shown && intro.came !== null) intro.went = now;
    if (intro.went === null) requestAnimationFrame(look);
  };
  requestAnimationFrame(look);
};
// Run in the page: a quick click of a board cell, as the game's mouse sees it.
const clickCell = cell => {
  const canvas = document.getElementById('canvas'), box = canvas.getBoundingClientRect();
  const x = 14 + 22 * (cell % 26) + 10, y = 13 + 22 * Math.floor(cell / 26) + 10;
  for (const type of ['mousemove', 'mousedown', 'mouseup'])
    canvas.dispatchEvent(new MouseEvent(type, { clientX: box.left + x * box.width / 800, clientY: box.top + y * box.height / 600,
      button: 0, buttons: type === 'mousedown' ? 1 : 0, bubbles: true, cancelable: true }));
};
const movesStored = () => FS.analyzePath('/home/web_user/ortelanka/data/tahy.dat').exists
  ? Array.from(FS.readFile('/home/web_user/ortelanka/data/tahy.dat')) : [];
const ready = () => document.getElementById('prompt').textContent === 'Klikněte pro start';

const host = await serve(gameDir);
const url = `http://127.0.0.1:${host.server.address().port}/`;
const profile = fs.mkdtempSync(path.join(os.tmpdir(), `ortelanka-${engine}-`));
started.push(() => fs.rmSync(profile, { recursive: true, force: true }));
started.push(() => host.server.close());
try {
  const display = await startXvfb('1280x1024');
  const browser = await (engine === 'firefox' ? firefox : webkit)(display, profile);
  const invited = () => waitFor('the invitation to click', 60, () => browser.run(ready)).catch(async error =>
    fail(`${error.message}; the page says "${await browser.run(() => document.getElementById('prompt').textContent)}"`));
  const startGame = async () => {
    await invited();
    await browser.run(watchTheGame);
    await browser.click('#start');
  };
  // A move of the player's: a click the game takes once it waits for input
  // (a click during a mark's animation is lost, as it always was), and the
  // computer's reply, both read from the move file.
  const move = async cell => {
    const before = (await browser.run(movesStored)).length;
    await waitFor('the game waiting for input', 60, () => browser.run(() => waitsForInput > 0));
    await waitFor(`cell ${cell} taken`, 30, async () => {
      await browser.run(clickCell, cell);
      return waitFor(`cell ${cell} in data/tahy.dat`, 3, async () => (await browser.run(movesStored)).length > before)
        .catch(() => false);
    });
    await waitFor('the computer\'s reply in data/tahy.dat', 30, async () => (await browser.run(movesStored)).length >= before + 8);
    return browser.run(movesStored);
  };

  await browser.goto(url);
  console.log(`${engine}: ${await browser.run(() => navigator.userAgent)}`);
  await startGame();
  // The game's own timing is the subject: the first run holds its first
  // picture for 2 s from the moment it is on the screen.
  await waitFor('the first intro picture', 60, () => browser.run(() => intro.came !== null));
  await waitFor('the end of the first intro picture', 30, () => browser.run(() => intro.went !== null));
  const held = await browser.run(() => intro.went - intro.came);
  const drawing = await browser.run(() => {
    const gl = document.createElement('canvas').getContext('webgl');
    const named = gl && gl.getExtension('WEBGL_debug_renderer_info');
    return { webgl: typeof GLctx !== 'undefined' && !!GLctx, renderer: gl ? gl.getParameter(named ? named.UNMASKED_RENDERER_WEBGL : gl.RENDERER) : 'none' };
  });
  console.log(`${engine}: the game draws ${drawing.webgl ? 'through WebGL' : 'through the 2D canvas'} (WebGL renderer: ${drawing.renderer})`);
  console.log(`${engine}: the first intro picture stayed ${Math.round(held)} ms on the screen`);
  if (held < 1900) fail('the first run did not show its first intro picture for 2 s');

  const firstMoves = await move(7 * 26 + 5);
  if (firstMoves[0] !== 7 * 26 + 5) fail(`the click was recorded as cell ${firstMoves[0]}`);
  const music = await browser.run(() => {
    const button = document.getElementById('music');
    return { decoded: FS.analyzePath('/ortelanka-data/data/sound/music.wav').exists, off: button.disabled &&
      button.getAttribute('aria-pressed') === 'false' && !document.getElementById('music-note').hidden };
  });
  if (music.decoded === music.off) fail(`the music decoded: ${music.decoded}, its control off and disabled: ${music.off}`);
  console.log(`${engine}: a move and the computer's reply; the music ${music.decoded ? 'decoded' : 'off and its control disabled'}`);
  await waitFor('the game\'s files in the browser\'s storage', 30, () => browser.run(storedAsShown, SAVE, GAME_FILES));
  await waitFor('the offline copy', 60, () => browser.run(() => !!navigator.serviceWorker.controller));

  // A reload keeps the files; in Firefox as a browser from before 2023.
  const old = browser.beforeEachLoad && await browser.beforeEachLoad(() => {
    delete window.OffscreenCanvas;
    delete window.DecompressionStream;
    delete Navigator.prototype.locks;
  });
  await browser.reload();
  await invited();
  if ((await browser.run(movesStored)).join() !== firstMoves.join()) fail('data/tahy.dat was not kept');
  await startGame();
  const again = await move(8 * 26 + 5);
  if (old) {
    const fallbacks = await browser.run(async () => ({
      inflater: performance.getEntriesByType('resource').some(entry => /pako_inflate/.test(entry.name)),
      leases: (await indexedDB.databases()).some(database => database.name === 'ortelanka-leases'),
    }));
    if (!fallbacks.inflater || !fallbacks.leases) fail(`the old browser's ways not taken: ${JSON.stringify(fallbacks)}`);
    await browser.forget(old);
    console.log(`${engine}: as a browser from before 2023, the page unpacked with pako and took turns through leases`);
  }
  await waitFor('the game\'s files in the browser\'s storage', 30, () => browser.run(storedAsShown, SAVE, GAME_FILES));
  console.log(`${engine}: a reload kept the files (${again.length / 4} records)`);

  // Offline: the page and the game from the offline copy.
  host.mode = 'offline';
  await browser.reload();
  await startGame();
  await waitFor('the game offline waiting for input', 60, () => browser.run(() => waitsForInput > 0));
  console.log(`${engine}: an offline start`);
  console.log(`${engine}: 1 passed, 0 failed`);
} catch (error) {
  if (problems.length) console.error(`${engine}: the page reported: ${problems.join('; ')}`);
  throw error;
} finally {
  for (const stop of started.reverse()) await stop();
}
