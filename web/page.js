'use strict';
// The page around the game: it loads every file at once with its progress on
// the start overlay, turns the WebP pictures and the Opus music (in WebM)
// back into the BMPs and the WAV the game reads, shows the 800 x 600 picture
// as large as fits in the screen's own pixels, offers a loupe for fingers,
// its own two controls, and keeps the page working offline.
// The files to fetch and how each game file is made from them (the build fills this in).
const FILES = '@FILES@';

const canvas = document.getElementById('canvas');
const start = document.getElementById('start');
const stage = document.getElementById('stage');
const prompt = document.getElementById('prompt');
const progress = document.getElementById('progress');
const SETTINGS = '/home/web_user/ortelanka/ortelanka.conf';

// The loupe copies the game's picture from the canvas, and a canvas drawn
// through WebGL is cleared once it is shown unless it keeps its drawing buffer.
const canvasContext = canvas.getContext.bind(canvas);
canvas.getContext = (type, attributes) =>
  canvasContext(type, /^webgl/.test(type) ? { ...attributes, preserveDrawingBuffer: true } : attributes);

// --- The picture's size -------------------------------------------------

// The bar goes beside the picture when the screen is wide enough for both.
const SIDE_BAR = 150;
let shown = { width: 800, height: 600 };  // device pixels

function fit() {
  const ratio = devicePixelRatio || 1;
  document.body.classList.toggle('side', innerWidth - innerHeight * 4 / 3 >= SIDE_BAR);
  // A whole number of device pixels, 4 : 3 exactly.
  let width = Math.floor(Math.min(stage.clientWidth * ratio, stage.clientHeight * ratio * 4 / 3));
  width = Math.max(4, width - width % 4);
  shown = { width, height: width * 3 / 4 };
  const css = { width: shown.width / ratio, height: shown.height / ratio };
  for (const element of [canvas, start]) {
    element.style.width = css.width + 'px';
    element.style.height = css.height + 'px';
  }
  stage.style.setProperty('--scale', css.width / 800);
  stage.classList.add('laid-out');
  tellGameTheSize();
}

// The canvas's backing store is the size it is shown at, so the game draws
// for the screen's own pixels; the game's window is told whenever it differs.
function tellGameTheSize() {
  if (canvas.width === shown.width && canvas.height === shown.height)
    return;
  if (Module?.calledRun)  // the game runs: it has a window
    Module._ortelanka_shown_size(shown.width, shown.height);
  if (canvas.width !== shown.width || canvas.height !== shown.height) {  // no window yet
    canvas.width = shown.width;
    canvas.height = shown.height;
  }
}
new MutationObserver(tellGameTheSize).observe(canvas, { attributes: true, attributeFilter: ['width', 'height'] });
new ResizeObserver(() => fit()).observe(stage);  // the window, and the bar beside or below

// --- Loading -------------------------------------------------------------

const expected = FILES.fetch.reduce((sum, [, size]) => sum + size, 0);
const received = new Map();
// A browser too old for the game has been told so (index.html): nothing
// below writes over that.
const tooOld = document.documentElement.classList.contains('too-old');
let loading = !tooOld;
function showProgress() {
  let got = 0;
  for (const [name, size] of FILES.fetch)
    got += Math.min(received.get(name) || 0, size);
  progress.value = got / expected;
  if (loading && !clicked)
    prompt.textContent = 'Načítání… ' + Math.floor(100 * got / expected) + ' %';
}

// The loading works in short turns, so that the page answers meanwhile.
const nextTask = () => new Promise(resolve => setTimeout(resolve, 0));
let turnStarted = performance.now();
async function breathe() {
  if (performance.now() - turnStarted > 8) {
    await nextTask();
    turnStarted = performance.now();
  }
}

// Every file is asked for at once, right after the overlay's first paint:
// nothing the first picture needs waits for them.
const painted = new Promise(resolve => {
  if (document.hidden)
    return resolve();
  setTimeout(resolve, 1000);  // a browser that tells nothing of its paints
  try {
    new PerformanceObserver((list, observer) => {
      if (list.getEntries().some(entry => entry.name === 'first-contentful-paint')) {
        observer.disconnect();
        setTimeout(resolve, 0);
      }
    }).observe({ type: 'paint', buffered: true });
  } catch {
    requestAnimationFrame(() => setTimeout(resolve, 0));
  }
});

// A first visit keeps what it fetched for the service worker, which then
// needs to fetch none of it again.
const keeping = 'caches' in self && 'serviceWorker' in navigator && !navigator.serviceWorker.controller
  ? caches.open('ortelanka-page').catch(() => null) : Promise.resolve(null);
const kept = [];

// The file's bytes as they arrive, unpacked when they are gzipped: a gzip
// body is known by its first bytes, whatever the host said about it (a host
// that sends .gz as Content-Encoding: gzip has the browser unpack it first).
async function fetchBytes(name) {
  await painted;
  await nextTask();  // each request in a turn of its own, all of them at once
  const response = await fetch(name);
  if (!response.ok)
    throw new Error(name + ': ' + response.status + ' ' + response.statusText);
  const copy = response.clone();  // before the body is read
  kept.push(keeping.then(cache => cache && cache.put(name, copy)));
  const reader = response.body.getReader();
  let count = 0;
  const counted = async () => {
    const part = await reader.read();
    if (!part.done) {
      received.set(name, count += part.value.length);
      showProgress();
    }
    return part;
  };
  let first = await counted();
  while (!first.done && first.value.length < 2) {  // a body may arrive a byte at a time
    const next = await counted();
    if (next.done)
      break;
    const joined = new Uint8Array(first.value.length + next.value.length);
    joined.set(first.value);
    joined.set(next.value, first.value.length);
    first = { done: false, value: joined };
  }
  // Handed on in pieces of at most 64 KiB: unpacking is the page's work too.
  let rest = first.done ? null : first.value;
  const body = new ReadableStream({
    async pull(controller) {
      await breathe();
      if (!rest || !rest.length) {
        const part = await counted();
        if (part.done) {
          controller.close();
          return;
        }
        rest = part.value;
      }
      controller.enqueue(rest.subarray(0, 65536));
      rest = rest.subarray(65536);
    },
  });
  const gzipped = !first.done && first.value[0] === 0x1F && first.value[1] === 0x8B;
  return gzipped ? inflated(body) : body;
}
// A browser without DecompressionStream (Safari before 16.4) unpacks with
// pako, fetched only then, as it is.
let gunzip = null;
function inflated(body) {
  if (typeof DecompressionStream === 'function')
    return body.pipeThrough(new DecompressionStream('gzip'));
  gunzip ??= fetch('inflate/pako_inflate.min.js').then(response => {
    if (!response.ok)
      throw new Error('inflate/pako_inflate.min.js: ' + response.status);
    return response.text();
  }).then(code => new Function(code + '\nreturn self.pako.ungzip;')());
  return Promise.all([gunzip, bytesOf(body)]).then(([ungzip, bytes]) => new Response(ungzip(bytes)).body);
}
const bytesOf = async stream => new Uint8Array(await new Response(stream).arrayBuffer());
const streams = new Map(FILES.fetch.map(([name]) => [name, fetchBytes(name)]));
streams.forEach(stream => stream.catch(() => {}));  // each failure is reported once, below

// A picture: the BMP's own header from the package, its pixels from the
// WebP. Made in a worker of its own where the browser has one that can draw,
// so that the page answers meanwhile; the worker runs this very function.
async function bmpFromWebp(header, webp) {
  const view = new DataView(header.buffer, header.byteOffset, header.byteLength);
  const width = view.getInt32(18, true), height = view.getInt32(22, true);
  const rows = Math.abs(height), stride = Math.ceil(width * 3 / 4) * 4;
  const bitmap = await createImageBitmap(new Blob([webp], { type: 'image/webp' }),
                                         { colorSpaceConversion: 'none', premultiplyAlpha: 'none' });
  // A page's own canvas where there is no OffscreenCanvas that draws in 2D
  // (Safari before 16.4); a worker has none, and the page then does it.
  let surface = typeof OffscreenCanvas === 'function' ? new OffscreenCanvas(width, rows) : null;
  let context = surface && surface.getContext('2d', { willReadFrequently: true });
  if (!context) {
    surface = document.createElement('canvas');
    surface.width = width;
    surface.height = rows;
    context = surface.getContext('2d', { willReadFrequently: true });
  }
  context.drawImage(bitmap, 0, 0);
  bitmap.close();
  const rgba = context.getImageData(0, 0, width, rows).data;
  const bmp = new Uint8Array(header.length + stride * rows);
  bmp.set(header);
  for (let y = 0; y < rows; ++y) {
    let to = header.length + stride * (height > 0 ? rows - 1 - y : y), from = y * width * 4;
    for (let x = 0; x < width; ++x, from += 4, to += 3) {
      bmp[to] = rgba[from + 2];
      bmp[to + 1] = rgba[from + 1];
      bmp[to + 2] = rgba[from];
    }
  }
  return bmp;
}
let painter = null;
const makePainter = () => {
  if (typeof OffscreenCanvas !== 'function')
    return bmpFromWebp;  // a worker could not draw (Safari before 16.4)
  try {
    const source = bmpFromWebp + `
      onmessage = async ({ data: { id, header, webp } }) => {
        try {
          const bmp = await bmpFromWebp(header, webp);
          postMessage({ id, bmp }, [bmp.buffer]);
        } catch (error) {
          postMessage({ id, error: error.message });
        }
      };`;
    const worker = new Worker(URL.createObjectURL(new Blob([source], { type: 'text/javascript' })));
    const waiting = new Map();
    worker.onmessage = ({ data }) => {
      const [resolve, reject] = waiting.get(data.id);
      waiting.delete(data.id);
      data.error ? reject(new Error(data.error)) : resolve(data.bmp);
    };
    return (header, webp) => new Promise((resolve, reject) => {
      const id = waiting.size + Math.random();
      waiting.set(id, [resolve, reject]);
      worker.postMessage({ id, header: header.slice(), webp });  // a copy: the page may need it again
    });
  } catch {
    return bmpFromWebp;
  }
};
async function picture(entry, packed) {
  const [at, size] = entry.header;
  const webp = await bytesOf(await streams.get(entry.url));
  painter ??= makePainter();
  return painter(packed.subarray(at, at + size), webp).catch(() => bmpFromWebp(packed.subarray(at, at + size), webp));
}

// The music: the WAV's own header and trailer, 16-bit samples decoded from
// the Opus at the WAV's rate; the encoder's run-in around the loop is cut off.
async function music(entry, packed) {
  const bytes = await bytesOf(await streams.get(entry.url));
  const context = new OfflineAudioContext(entry.channels, 1, entry.rate);
  const audio = await context.decodeAudioData(bytes.buffer);
  const [headerAt, headerSize] = entry.header, [trailerAt, trailerSize] = entry.trailer;
  const wav = new Uint8Array(headerSize + entry.frames * 2 * entry.channels + trailerSize);
  wav.set(packed.subarray(headerAt, headerAt + headerSize));
  wav.set(packed.subarray(trailerAt, trailerAt + trailerSize), wav.length - trailerSize);
  const samples = new DataView(wav.buffer, headerSize, entry.frames * 2 * entry.channels);
  for (let c = 0; c < entry.channels; ++c) {
    const channel = audio.getChannelData(Math.min(c, audio.numberOfChannels - 1));
    const end = Math.min(entry.frames, channel.length - entry.lead);
    for (let i = 0; i < end; ++i) {
      if (i % 32768 === 0)
        await breathe();
      const value = Math.round(channel[entry.lead + i] * 32768);
      samples.setInt16((i * entry.channels + c) * 2, Math.max(-32768, Math.min(32767, value)), true);
    }
  }
  return wav;
}

async function gameFiles() {
  const packed = await bytesOf(await streams.get('ortelanka.data.gz'));
  const files = FILES.package.filter(([name]) => !name.endsWith('.header') && !name.endsWith('.trailer'))
    .map(([name, at, size]) => [name, packed.subarray(at, at + size)]);
  const made = FILES.pictures.map(async entry => [entry.path, await picture(entry, packed)]);
  made.push(music(FILES.music, packed).then(wav => [FILES.music.path, wav], error => {
    // The game then plays without music, as it does without a sound card,
    // and the music's control says so.
    console.warn('Ortelanka: the browser cannot decode the music (' + error.message + ')');
    musicMissing = 'Hudba: tento prohlížeč ji neumí přehrát';
    return null;
  }));
  return files.concat((await Promise.all(made)).filter(Boolean));
}

// --- The game's module ---------------------------------------------------

let clicked = false;
let broken = tooOld;
let musicMissing = null;  // why there is no music, when there is none
let playerClicked;
var Module = {
  canvas,
  playerClicked: new Promise(resolve => { playerClicked = resolve; }),
  gameFiles: gameFiles(),
  locateFile: name => name,
  instantiateWasm(imports, receive) {
    nextTask().then(() => streams.get('ortelanka.wasm.gz'))
      .then(stream => WebAssembly.instantiateStreaming(
        new Response(stream, { headers: { 'Content-Type': 'application/wasm' } }), imports))
      .then(result => receive(result.instance, result.module), failed);
    return {};
  },
  // Nothing left to wait for but the player: a click starts the game at once.
  monitorRunDependencies(left) {
    if (left === 1 && Module.awaitingPlayer && loading && !clicked) {
      loading = false;
      progress.style.visibility = 'hidden';  // still in its place: nothing moves
      prompt.textContent = 'Klikněte pro start';
      registerWorker();
    }
  },
  onRuntimeInitialized() {
    tableAtStart = readTable();
    loading = false;
    start.hidden = true;
    canvas.focus();
    registerWorker();
    showMusic();
    friendButton.disabled = anyoneButton.disabled = false;
  },
  onExit() {
    prompt.textContent = 'Konec hry. Klikněte pro novou hru';
    start.hidden = false;
    start.addEventListener('click', () => location.reload(), { once: true });
  },
  filesChanged(path) {
    showMusic();
    if (/\/best\.dat$/.test(path))
      tableStored();
  },
};

function failed(error) {
  broken = true;
  if (tooOld)
    return;
  loading = false;
  progress.hidden = true;
  prompt.textContent = 'Hru se nepodařilo načíst (' + error.message + ')';
}
Module.gameFiles.catch(failed);

// The game's code: its script runs as soon as it is here, compiling the game
// alongside. A link with a game's code joins that game (online play).
Promise.all([streams.get('ortelanka.js.gz').then(bytesOf), joining()]).then(([code, join]) => {
  if (join)
    Module.arguments = ['--join', join.code, '--broker', join.broker];
  const script = document.createElement('script');
  script.src = URL.createObjectURL(new Blob([code], { type: 'text/javascript' }));
  document.body.appendChild(script);
}, failed);

// The first click starts the game (browsers allow sound only after one) and
// never reaches the board: it lands on the start overlay. A click while the
// game loads starts it as soon as it can.
start.addEventListener('click', () => {
  if (clicked || broken)
    return;
  clicked = true;
  // The sound runs at the music's own rate: SDL takes this context (and its
  // rate) as it finds it, so the browser resamples on its audio thread and
  // the page's thread only copies samples, instead of resampling every fill.
  try {
    Module.SDL2 = { audioContext: new AudioContext({ sampleRate: FILES.music.rate, latencyHint: 'playback' }) };
  } catch {
    // SDL makes one at the browser's rate
  }
  if (loading)
    prompt.textContent = 'Hra se spustí, jakmile se načte…';
  playerClicked();
});
start.addEventListener('keydown', event => {
  if (event.key === 'Enter' || event.key === ' ')
    start.click();
});

// --- The page's own controls -------------------------------------------

const musicButton = document.getElementById('music');
const musicNote = document.getElementById('music-note');
const fullscreenButton = document.getElementById('fullscreen');

// The same setting as F9, which the game remembers itself.
function showMusic() {
  let on = true;
  try {
    on = !/^music=0$/m.test(new TextDecoder().decode(FS.readFile(SETTINGS)));
  } catch {
    // no settings yet: the music plays
  }
  musicButton.setAttribute('aria-pressed', String(on && !musicMissing));
  musicButton.disabled = start.hidden === false || !!musicMissing;
  if (musicMissing) {
    musicButton.title = musicMissing;
    musicButton.setAttribute('aria-label', musicMissing);
    musicNote.textContent = musicMissing;
    musicNote.hidden = false;
  }
}
function tapKey(keyCode, key) {
  for (const type of ['keydown', 'keyup'])
    canvas.dispatchEvent(new KeyboardEvent(type, { key, code: key, keyCode, which: keyCode, bubbles: true }));
}
musicButton.addEventListener('click', () => {
  tapKey(120, 'F9');
  canvas.focus();
});

if (document.fullscreenEnabled) {
  fullscreenButton.hidden = false;
  fullscreenButton.addEventListener('click', () => {
    (document.fullscreenElement ? document.exitFullscreen() : document.documentElement.requestFullscreen())
      .catch(() => {}).finally(() => canvas.focus());
  });
  document.addEventListener('fullscreenchange', () => {
    fullscreenButton.setAttribute('aria-pressed', String(!!document.fullscreenElement));
  });
}
fit();  // with the bar as it stays

// --- The loupe for fingers ------------------------------------------------

// A finger covers several cells of a small board: its first tap shows the
// spot magnified beside the finger, with the cell it would take marked; the
// finger may slide to adjust, and a tap on the loupe takes the spot. A board
// whose cells are a fingertip wide gets plain taps. Mice never see it.
const FINGER_CSS_PX = 40;
const loupe = document.getElementById('loupe');
const LOUPE_CSS_PX = 150, LOUPE_ZOOM = 40 / 22;  // a cell in the loupe is 40 CSS pixels, at most
let target = null;   // the spot the loupe shows, in picture pixels
let touchedLoupe = false;

const pictureScale = () => canvas.getBoundingClientRect().width / 800;  // CSS pixels per picture pixel
function pictureAt(touch) {
  const box = canvas.getBoundingClientRect();
  return { x: (touch.clientX - box.left) * 800 / box.width, y: (touch.clientY - box.top) * 600 / box.height };
}
function onLoupe(touch) {
  const box = loupe.getBoundingClientRect();
  return !loupe.hidden && Math.hypot(touch.clientX - box.left - box.width / 2,
                                     touch.clientY - box.top - box.height / 2) <= box.width / 2;
}

// The mouse events the game hears of, as a mouse at the spot would send them.
function mouse(type, spot) {
  const box = canvas.getBoundingClientRect();
  canvas.dispatchEvent(new MouseEvent(type, {
    clientX: box.left + spot.x * box.width / 800, clientY: box.top + spot.y * box.height / 600,
    button: 0, buttons: type === 'mousedown' ? 1 : 0, bubbles: true, cancelable: true,
  }));
}

function drawLoupe() {
  if (loupe.hidden || !target)
    return;
  const ratio = devicePixelRatio || 1, size = Math.round(LOUPE_CSS_PX * ratio);
  if (loupe.width !== size) {
    loupe.width = loupe.height = size;
    loupe.style.width = loupe.style.height = LOUPE_CSS_PX + 'px';
  }
  // Where it sits: above the finger, or below it near the top.
  const box = canvas.getBoundingClientRect(), stageBox = stage.getBoundingClientRect();
  const scale = pictureScale();
  const fingerX = box.left + target.x * scale - stageBox.left, fingerY = box.top + target.y * scale - stageBox.top;
  let top = fingerY - LOUPE_CSS_PX - 30;
  if (top < 0)
    top = fingerY + 40;
  const left = Math.max(0, Math.min(stageBox.width - LOUPE_CSS_PX, fingerX - LOUPE_CSS_PX / 2));
  loupe.style.left = left + 'px';
  loupe.style.top = Math.min(stageBox.height - LOUPE_CSS_PX, top) + 'px';

  const context = loupe.getContext('2d');
  const zoom = Math.max(LOUPE_ZOOM, 1.5 * scale) * ratio;    // device pixels per picture pixel in the loupe
  const across = size / zoom;                                 // picture pixels the loupe shows
  const perPixel = canvas.width / 800;                        // canvas pixels per picture pixel
  context.imageSmoothingEnabled = false;
  context.fillStyle = '#000';
  context.fillRect(0, 0, size, size);
  context.drawImage(canvas, (target.x - across / 2) * perPixel, (target.y - across / 2) * perPixel,
                    across * perPixel, across * perPixel, 0, 0, size, size);
  const toLoupe = (x, y) => [(x - target.x + across / 2) * zoom, (y - target.y + across / 2) * zoom];
  context.lineWidth = 2 * ratio;
  const cell = { x: Math.floor((target.x - 14) / 22), y: Math.floor((target.y - 13) / 22) };
  if (cell.x >= 0 && cell.x < 26 && cell.y >= 0 && cell.y < 26) {
    // The cell the tap takes, framed as the game frames its keyboard cursor.
    const [x, y] = toLoupe(14 + 22 * cell.x, 13 + 22 * cell.y);
    context.strokeStyle = '#ffe000';
    context.strokeRect(x, y, 21 * zoom, 21 * zoom);
  } else {
    const [x, y] = toLoupe(target.x, target.y);
    context.strokeStyle = '#ffe000';
    context.beginPath();
    context.moveTo(x - 12 * ratio, y);
    context.lineTo(x + 12 * ratio, y);
    context.moveTo(x, y - 12 * ratio);
    context.lineTo(x, y + 12 * ratio);
    context.stroke();
  }
  requestAnimationFrame(drawLoupe);  // the game may change the spot meanwhile; only while it shows
}

function aimAt(touch) {
  target = pictureAt(touch);
  target.x = Math.max(0, Math.min(799, target.x));
  target.y = Math.max(0, Math.min(599, target.y));
  mouse('mousemove', target);  // the game shows what is under the spot, as under a mouse
  if (loupe.hidden) {
    loupe.hidden = false;
    requestAnimationFrame(drawLoupe);
  }
}

function needsLoupe() {
  return pictureScale() * 22 < FINGER_CSS_PX;
}

// The page takes touches on the canvas before the game's own handlers do.
function touched(event) {
  const touch = event.changedTouches[0];
  const onCanvas = event.target === canvas || event.target === loupe;
  if (!onCanvas || !touch || !needsLoupe() || start.hidden === false)
    return;
  event.preventDefault();
  event.stopPropagation();
  switch (event.type) {
  case 'touchstart':
    touchedLoupe = onLoupe(touch);
    if (!touchedLoupe)
      aimAt(touch);
    break;
  case 'touchmove':
    if (!touchedLoupe)
      aimAt(touch);
    break;
  case 'touchend':
    if (touchedLoupe && onLoupe(touch) && target) {
      loupe.hidden = true;
      const spot = target;
      mouse('mousemove', spot);
      mouse('mousedown', spot);
      mouse('mouseup', spot);
    }
    touchedLoupe = false;
    break;
  default:
    touchedLoupe = false;
  }
}
for (const type of ['touchstart', 'touchmove', 'touchend', 'touchcancel'])
  addEventListener(type, touched, { capture: true, passive: false });
addEventListener('resize', () => { loupe.hidden = true; });

// --- Online play ---------------------------------------------------------

// "Hrát s přítelem" starts a game with a friend on another device and shows
// the link to send; a link with a game's code (…/#7KQ2-M9XD-4TPB-H0WZ) joins
// it. The broker is this host's /mqtt unless online.json beside the page names
// another (a deploy may change it; it is fetched fresh, never kept offline).
// MQTT.js comes only when a player goes online.
const friendButton = document.getElementById('friend');
const friendship = document.getElementById('friendship');
const friendState = document.getElementById('friend-state');
const friendInvite = document.getElementById('friend-invite');
const friendLink = document.getElementById('friend-link');
const friendApp = document.getElementById('friend-app');

async function brokerUrl() {
  let broker = '/mqtt';
  try {
    const response = await fetch('online.json', { cache: 'no-cache' });
    if (response.ok)
      broker = (await response.json()).broker || broker;
  } catch {
    // this host's own broker
  }
  const url = new URL(broker, location.href);
  url.protocol = { 'https:': 'wss:', 'http:': 'ws:' }[url.protocol] || url.protocol;
  return url.href;
}

async function joining() {
  const code = decodeURIComponent(location.hash.slice(1));
  return /^[0-9A-Za-z-]{16,24}$/.test(code) ? { code, broker: await brokerUrl() } : null;
}

let mqttLoaded = null;
Module.loadMqtt = () => mqttLoaded ??= fetchBytes('online/mqtt.min.js.gz').then(bytesOf).then(code =>
  new Promise((resolve, reject) => {
    const script = document.createElement('script');
    script.src = URL.createObjectURL(new Blob([code], { type: 'text/javascript' }));
    script.onload = () => resolve(self.mqtt);
    script.onerror = () => reject(new Error('MQTT.js did not load'));
    document.body.appendChild(script);
  }));

// The game's stages of online play (OnlineGame::Stage).
const STAGES = [null, 'Připojování…', 'Čeká se na soupeře', 'Soupeř je ve hře', 'Soupeř ztratil spojení',
  'Sledujete hru dvou hráčů', 'Seznam otevřených her'];
const LISTING = 6;
Module.onlineStage = (code, stage) => {
  if (stage !== LISTING)
    openGames.replaceChildren();
  friendship.hidden = !STAGES[stage];
  friendButton.setAttribute('aria-pressed', String(!!STAGES[stage]));
  friendState.textContent = STAGES[stage] || '';
  const people = code.replace(/(.{4})(?!$)/g, '$1-');
  friendLink.textContent = friendLink.href = location.origin + location.pathname + '#' + people;
  // The installed game takes the same game by a link of its own scheme.
  friendApp.href = `ortelanka://${location.hostname}/#${people}`;
  friendInvite.hidden = stage !== 2;
};
// What the page asks of the game's online play (System::TakeOnlineRequest).
async function ask(what, rest) {
  Module.broker.request = `${what} ${await brokerUrl()}${rest ? ' ' + rest : ''}`;
  Module.wake();
}
friendButton.addEventListener('click', async () => {
  await ask('host');
  canvas.focus();
});

// "Hrát s kýmkoli" joins the game that has waited longest for anyone, or
// opens one and waits; the list shows the open games, to play or watch one.
// A name goes into the list only when one is typed, in the table's letters.
const anyoneButton = document.getElementById('anyone');
const anyonePanel = document.getElementById('anyone-panel');
const anyoneName = document.getElementById('anyone-name');
const openGames = document.getElementById('open-games');
// The list is read only while the panel shows it.
anyoneButton.addEventListener('click', () => {
  anyonePanel.hidden = !anyonePanel.hidden;
  anyoneButton.setAttribute('aria-pressed', String(!anyonePanel.hidden));
  if (anyonePanel.hidden && openGames.childElementCount)
    ask('unlist');
});
function tableName(typed) {
  return typed.toUpperCase().replace(/[^A-ZŠ ]/g, '').trim().slice(0, 19);
}
function closeAnyone() {
  anyonePanel.hidden = true;
  anyoneButton.setAttribute('aria-pressed', 'false');
  canvas.focus();
}
document.getElementById('anyone-quick').addEventListener('click', async () => {
  await ask('quick', tableName(anyoneName.value));
  closeAnyone();
});
document.getElementById('anyone-list').addEventListener('click', () => ask('list'));
const DEVICES = { linux: 'Linux', windows: 'Windows', page: 'prohlížeč' };
const tableLetters = new TextDecoder('windows-1250');
// "CODE waiting|playing WAITED_MS DEVICE[ NAME]" a line, checked by the game.
Module.openGames = bytes => {
  const games = tableLetters.decode(bytes).split('\n').filter(Boolean).map(line => {
    const [code, state, waited, device, ...name] = line.split(' ');
    const seconds = Math.floor(Number(waited) / 1000);
    const item = document.createElement('li');
    const choose = document.createElement('button');
    choose.className = 'text';
    choose.type = 'button';
    choose.dataset.code = code;
    choose.textContent = state === 'playing' ? 'Sledovat' : 'Hrát';
    choose.addEventListener('click', async () => {
      await ask('join', code);
      closeAnyone();
    });
    const waitedText = `${Math.floor(seconds / 60)}:${String(seconds % 60).padStart(2, '0')}`;
    item.append(`${state === 'playing' ? 'hraje se' : 'čeká'} ${waitedText} · ${DEVICES[device] || device}` +
      (name.length ? ` · ${name.join(' ')}` : '') + ' ', choose);
    return item;
  });
  if (!games.length) {
    const none = document.createElement('li');
    none.textContent = 'Žádná otevřená hra';
    games.push(none);
  }
  openGames.replaceChildren(...games);
};
document.getElementById('friend-copy').addEventListener('click', () => {
  navigator.clipboard.writeText(friendLink.href).catch(() => {});
});
const share = document.getElementById('friend-share');
share.hidden = !navigator.share;
share.addEventListener('click', () => {
  navigator.share({ title: 'Ortelaky', text: 'Zahraj si se mnou piškvorky', url: friendLink.href }).catch(() => {});
});

// --- Keeping the files ---------------------------------------------------

// A browser may clear what a site stored once it has not been visited for a
// while (Safari after 7 days) unless the site's storage is persistent. The
// page asks for that when it is worth it to the player: once the table of the
// best differs from the one the game started with (the default table the
// game writes on its first start is no reason), or once the page is installed.
let tableAtStart;
let persistenceAsked = false;
function keepForGood() {
  if (persistenceAsked || !navigator.storage || !navigator.storage.persist)
    return;
  persistenceAsked = true;
  navigator.storage.persisted().then(already => already || navigator.storage.persist())
    .catch(error => console.warn('Ortelanka: storage not made persistent (' + error.message + ')'));
}
function readTable() {
  const name = '/home/web_user/ortelanka/best.dat';
  return FS.analyzePath(name).exists ? FS.readFile(name).join() : null;
}
function tableStored() {
  const table = readTable();
  if (tableAtStart === null)
    tableAtStart = table;  // the game's first table
  else if (table !== tableAtStart)
    keepForGood();
}
addEventListener('appinstalled', keepForGood);

// --- Offline -------------------------------------------------------------

// After the first visit the service worker keeps every file of the page. A
// new version waits until no page uses the old one, or takes over at once
// while the game has not started, which then starts again on the new one.
let registering = false;
function registerWorker() {
  if (registering || !('serviceWorker' in navigator))
    return;
  registering = true;
  // Once the copies are kept: the worker then finds them.
  Promise.allSettled(kept).then(() => navigator.serviceWorker.register('sw.js')).then(registration => {
    const hadController = !!navigator.serviceWorker.controller;
    const offer = worker => {
      if (hadController && worker && start.hidden === false && !clicked)
        worker.postMessage('take over');
    };
    const installed = worker => {
      if (worker && worker.state === 'installed')
        offer(worker);
      else if (worker)
        worker.addEventListener('statechange', () => { if (worker.state === 'installed') offer(worker); });
    };
    installed(registration.waiting);
    installed(registration.installing);
    registration.addEventListener('updatefound', () => installed(registration.installing));
    if (hadController)
      registration.update().catch(() => {});  // offline: no news
    navigator.serviceWorker.addEventListener('controllerchange', () => {
      if (hadController && start.hidden === false && !clicked)
        location.reload();
    });
  }, error => console.warn('Ortelanka: no offline copy (' + error.message + ')'));
}
