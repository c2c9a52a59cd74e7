// The cost of the list of open games on one broker. First ENTRIES games are
// listed, each entry written as a host writes it (signed, on a connection
// whose user name is the game's code, retained, QoS 1, expiring in 30 s),
// and fresh readers take the whole listing: its bytes, the time from the
// SUBSCRIBE to the first entry and to the last, and what checking the
// entries (code and signature) costs a reader here. Then LISTED games stay
// listed, their hosts writing again every 10 s as the game's do, with ten
// readers holding the list: the broker's share of a core for the list
// alone, and again while online_load.mjs runs GAMES games beside it for
// SECONDS. It measures; it asserts nothing.
// Usage: node online_list.mjs BROKER_URL BROKER_PID [ENTRIES [GAMES [LISTED [SECONDS]]]]
import { spawn } from 'node:child_process';
import crypto from 'node:crypto';
import fs from 'node:fs';
import { createRequire } from 'node:module';
import net from 'node:net';
import { fileURLToPath } from 'node:url';

// The page's MQTT.js, as web/package-lock.json pins it (npm ci in web/).
const mqtt = createRequire(new URL('../web/package.json', import.meta.url))('mqtt');

const [url, brokerPid, entriesArg, gamesArg, listedArg, secondsArg] = process.argv.slice(2);
const ENTRIES = Math.min(Number(entriesArg) || 1000, 2000);
const GAMES = Math.min(Number(gamesArg) || 2000, 5000);
const LISTED = Math.min(Number(listedArg) || 500, ENTRIES);
const SECONDS = Math.min(Number(secondsArg) || 30, 300);
const SAMPLES = 5, READERS = 10, REFRESH_MS = 10000, LIST_ALONE_SECONDS = 20;
const ALPHABET = '0123456789ABCDEFGHJKMNPQRSTVWXYZ';
const symbols = n => Array.from(crypto.randomBytes(n), b => ALPHABET[b & 31]).join('');
const sleep = ms => new Promise(resolve => setTimeout(resolve, ms));
const since = start => Number(process.hrtime.bigint() - start) / 1e6;

// The broker's processor time (clock ticks) and resident memory (kB).
const ticksPerSecond = 100;
function broker() {
  const stat = fs.readFileSync(`/proc/${brokerPid}/stat`, 'utf8').split(') ')[1].split(' ');
  return { ticks: Number(stat[11]) + Number(stat[12]),
           rss: Number(/VmRSS:\s+(\d+)/.exec(fs.readFileSync(`/proc/${brokerPid}/status`, 'utf8'))[1]) };
}
const share = (from, to, seconds) => (100 * (to.ticks - from.ticks) / ticksPerSecond / seconds).toFixed(1);
const cpuMs = (from, to) => (1000 * (to.ticks - from.ticks)) / ticksPerSecond;

function spread(values, digits = 0) {
  const sorted = [...values].sort((a, b) => a - b);
  const median = sorted.length % 2 ? sorted[(sorted.length - 1) / 2]
    : (sorted[sorted.length / 2 - 1] + sorted[sorted.length / 2]) / 2;
  return `median ${median.toFixed(digits)}, least ${sorted[0].toFixed(digits)}, ` +
         `most ${sorted[sorted.length - 1].toFixed(digits)}`;
}

// The code is the first 80 bits of the hash of the host's seat, five bits a symbol.
function codeOf(key, salt) {
  const digest = crypto.createHash('sha256').update(`ortelanka/v2 host ${key} ${salt}`).digest();
  let code = '';
  for (let i = 0; i < 16; ++i) {
    let value = 0;
    for (let b = 0; b < 5; ++b) {
      const bit = i * 5 + b;
      value = value << 1 | (digest[bit >> 3] >> (7 - (bit & 7))) & 1;
    }
    code += ALPHABET[value];
  }
  return code;
}

// A host of its own key and salt; its entry signed anew at each writing.
const NAMES = ['PETR', 'JANA', 'TOMAs', 'LUCIE_K', 'OTA_sIMEK', 'MAGDALENA_DVORAKOVA'];
const DEVICES = ['linux', 'windows', 'page'];
function host(i) {
  const { publicKey, privateKey } = crypto.generateKeyPairSync('ec', { namedCurve: 'prime256v1' });
  const jwk = publicKey.export({ format: 'jwk' });
  const key = Buffer.concat([Buffer.from([4]), Buffer.from(jwk.x, 'base64url'), Buffer.from(jwk.y, 'base64url')])
    .toString('base64url');
  const salt = symbols(16);
  return { key, salt, privateKey, code: codeOf(key, salt), playing: i % 5 === 4,
           opened: Date.now() - Math.floor(Math.random() * 600000), device: DEVICES[i % 3],
           name: i % 2 ? NAMES[i % NAMES.length] : '' };
}
function entry(h) {
  const body = `${h.key} ${h.salt} ${h.playing ? 'playing' : 'waiting'} ${h.opened} ${Date.now()} ${h.device}` +
               (h.name ? ` ${h.name}` : '');
  const signature = crypto.sign('sha256', Buffer.from(`ortelanka/v2 ortelanka/v2/open/${h.code}\n${body}`),
                                { key: h.privateKey, dsaEncoding: 'ieee-p1363' });
  return `${body} ${signature.toString('base64url')}`;
}

// A client of the broker; its socket is kept, to count the bytes it carried.
function connect(username) {
  return new Promise((resolve, reject) => {
    let socket;
    const client = mqtt.connect(url, {
      clientId: 'ortelanka-' + symbols(12), username, protocolVersion: 5, clean: true, keepalive: 30,
      reconnectPeriod: 0, connectTimeout: 20000,
      wsOptions: { createConnection: options => (socket = net.connect({ ...options, path: options.socketPath })) },
    });
    client.once('connect', () => { client.socket = socket ?? client.stream; resolve(client); });
    client.on('error', reject);
    client.on('close', () => reject(new Error('closed')));
  });
}
const publish = (client, topic, payload, options) =>
  new Promise((resolve, reject) => client.publish(topic, payload, options, error => error ? reject(error) : resolve()));
const end = client => new Promise(resolve => client.end(false, {}, resolve));

// Each entry on a connection of its own, as its host would write it; fifty at once.
async function writeAll(hosts, payloadOf) {
  let failed = 0;
  for (let h = 0; h < hosts.length; h += 50)
    await Promise.all(hosts.slice(h, h + 50).map(async one => {
      let client;
      try {
        client = await connect(one.code);
        await publish(client, `ortelanka/v2/open/${one.code}`, payloadOf(one),
                      { qos: 1, retain: true, properties: { messageExpiryInterval: 30 } });
        await end(client);
      } catch {
        ++failed;
        client?.end(true);
      }
    }));
  return failed;
}

// A fresh reader's listing, until it holds `count` entries or 30 s have passed.
async function listing(count) {
  const client = await connect('open');
  const entries = new Map();
  let subscribed, first, last, mqttBytes = 0;
  client.on('packetreceive', packet => { mqttBytes += packet.length + 2 + (packet.length >= 128) + (packet.length >= 16384); });
  const done = new Promise(resolve => {
    const timer = setTimeout(resolve, 30000);
    client.on('message', (topic, payload) => {
      if (first === undefined)
        first = since(subscribed);
      entries.set(topic, payload);
      if (entries.size >= count) {
        last = since(subscribed);
        clearTimeout(timer);
        resolve();
      }
    });
  });
  subscribed = process.hrtime.bigint();
  client.subscribe('ortelanka/v2/open/+', { qos: 1 });
  await done;
  let bytes = 0;
  for (const [topic, payload] of entries)
    bytes += Buffer.byteLength(topic) + payload.length;
  const socketBytes = client.socket.bytesRead;
  await end(client);
  return { entries, first, last, bytes, mqttBytes, socketBytes };
}

// What a reader does with an entry before it may show it: the code drawn
// from the seat, the signature checked with the key the seat holds.
function check(topic, payload) {
  const text = payload.toString();
  const space = text.lastIndexOf(' ');
  const body = text.slice(0, space), fields = body.split(' ');
  const point = Buffer.from(fields[0], 'base64url');
  if (point.length !== 65 || point[0] !== 4 || topic !== `ortelanka/v2/open/${codeOf(fields[0], fields[1])}`)
    return false;
  const key = crypto.createPublicKey({ format: 'jwk', key: { kty: 'EC', crv: 'P-256',
    x: point.subarray(1, 33).toString('base64url'), y: point.subarray(33).toString('base64url') } });
  return crypto.verify('sha256', Buffer.from(`ortelanka/v2 ${topic}\n${body}`),
                       { key, dsaEncoding: 'ieee-p1363' }, Buffer.from(text.slice(space + 1), 'base64url'));
}

console.log(`online list: ${ENTRIES} open games on ${url}`);
const hosts = Array.from({ length: ENTRIES }, (_, i) => host(i));
let before = broker(), started = process.hrtime.bigint();
let failed = await writeAll(hosts, entry);
let after = broker();
console.log(`  written in ${(since(started) / 1000).toFixed(1)} s, a connection each, 50 at once` +
            `${failed ? ` (${failed} failed)` : ''}; broker ${cpuMs(before, after).toFixed(0)} ms of processor time`);

const samples = [];
before = broker();
for (let s = 0; s < SAMPLES; ++s)
  samples.push(await listing(ENTRIES));
after = broker();
const whole = samples.filter(sample => sample.entries.size === ENTRIES).length;
const sample = samples[samples.length - 1];
console.log(`  listing: ${sample.entries.size} entries, ${sample.bytes} bytes of topics and payloads, ` +
            `${sample.mqttBytes} of MQTT, ${sample.socketBytes} on the socket` +
            (url.startsWith('ws') ? ' (websockets and its handshake)' : ''));
console.log(`  whole in ${whole} of ${SAMPLES} readings; ` +
            `broker ${(cpuMs(before, after) / SAMPLES).toFixed(0)} ms of processor time a reading`);
console.log(`  SUBSCRIBE to the first entry: ${spread(samples.map(s => s.first ?? NaN), 1)} ms`);
console.log(`  SUBSCRIBE to entry ${ENTRIES}: ${spread(samples.map(s => s.last ?? NaN))} ms`);
started = process.hrtime.bigint();
let checked = 0;
for (const [topic, payload] of sample.entries)
  checked += check(topic, payload);
console.log(`  checking the ${sample.entries.size} entries (code and signature) in node: ` +
            `${since(started).toFixed(0)} ms, ${checked} sound`);

// Gone from the list, as a host takes its game off it.
started = process.hrtime.bigint();
failed = await writeAll(hosts, () => '');
console.log(`  taken off in ${(since(started) / 1000).toFixed(1)} s${failed ? ` (${failed} failed)` : ''}`);

// The listed games' hosts stay connected, each writing its entry again
// every 10 s, spread over the ten seconds.
const listed = hosts.slice(0, LISTED), sent = new Map();
for (let h = 0; h < listed.length; h += 50)
  await Promise.all(listed.slice(h, h + 50).map(async one => { one.client = await connect(one.code); }));
let refreshes = 0, refreshFailed = 0;
function refresh(one) {
  const payload = entry(one);
  sent.set(one.code, { payload, at: process.hrtime.bigint() });
  ++refreshes;
  one.client.publish(`ortelanka/v2/open/${one.code}`, payload,
                     { qos: 1, retain: true, properties: { messageExpiryInterval: 30 } },
                     error => { if (error) ++refreshFailed; });
}
listed.forEach(refresh);
await sleep(1000);
const timers = listed.map((one, i) => setTimeout(function again() {
  refresh(one);
  one.timer = setTimeout(again, REFRESH_MS);
}, (i * REFRESH_MS) / LISTED));

const readers = [], delays = [];
for (let r = 0; r < READERS; ++r) {
  const client = await connect('open');
  client.held = new Set();
  client.on('message', (topic, payload, packet) => {
    client.held.add(topic);
    const word = sent.get(topic.slice('ortelanka/v2/open/'.length));
    if (!packet.retain && word && word.payload === payload.toString())
      delays.push(since(word.at));
  });
  client.subscribe('ortelanka/v2/open/+', { qos: 1 });
  readers.push(client);
}
const delayFigures = () => {
  const sorted = delays.splice(0).sort((a, b) => a - b);
  const at = q => sorted[Math.min(sorted.length - 1, Math.floor(q * sorted.length))] ?? NaN;
  return `${sorted.length} arrivals, median ${at(0.5).toFixed(1)} ms, p99 ${at(0.99).toFixed(1)} ms`;
};
await sleep(2000);
delays.length = 0;
console.log(`online list kept: ${LISTED} games listed, each written again every ${REFRESH_MS / 1000} s ` +
            `(${LISTED} connections), ${READERS} readers holding the list`);
before = broker(), started = process.hrtime.bigint();
await sleep(LIST_ALONE_SECONDS * 1000);
after = broker();
let seconds = since(started) / 1000;
console.log(`  alone for ${seconds.toFixed(0)} s: broker ${share(before, after, seconds)} % of a core, ` +
            `${(after.rss / 1024).toFixed(1)} MB resident; a rewritten entry at its readers: ${delayFigures()}`);

// online_load.mjs beside it; the window is its own, from its games' first marks.
console.log(`  with ${GAMES} games of online_load.mjs beside it:`);
const load = spawn(process.execPath, [fileURLToPath(new URL('online_load.mjs', import.meta.url)),
                                      url, brokerPid, String(GAMES), String(SECONDS)],
                   { stdio: ['ignore', 'pipe', 'inherit'] });
let marking, marked;
const ended = new Promise(resolve => load.on('exit', resolve));
let rest = '';
load.stdout.on('data', chunk => {
  const lines = (rest + chunk).split('\n');
  rest = lines.pop();
  for (const line of lines) {
    if (line.startsWith('online load:')) {
      marking = { broker: broker(), at: process.hrtime.bigint() };
      delays.length = 0;
      setTimeout(() => { marked = { broker: broker(), seconds: since(marking.at) / 1000, delays: delayFigures() }; },
                 SECONDS * 1000 - 500);  // before the load leaves: its goodbyes are not the list's
    }
    console.log('    ' + line.trim());
  }
});
// Bounded: the games connect, mark for SECONDS and end.
await Promise.race([ended, sleep((SECONDS + 240) * 1000)]);
await sleep(1000);
if (marked)
  console.log(`  list and games over ${marked.seconds.toFixed(0)} s: broker ` +
              `${share(marking.broker, marked.broker, marked.seconds)} % of a core, ` +
              `${(marked.broker.rss / 1024).toFixed(1)} MB resident; a rewritten entry at its readers: ${marked.delays}`);
const short = readers.filter(client => client.held.size !== LISTED).length;
console.log(`  readers holding all ${LISTED} entries: ${READERS - short} of ${READERS}; ` +
            `${refreshes} writings${refreshFailed ? `, ${refreshFailed} failed` : ''}`);
load.kill();
timers.forEach(clearTimeout);
listed.forEach(one => { clearTimeout(one.timer); one.client.end(true); });
readers.forEach(client => client.end(true));
process.exit(0);
