// A bounded load of online games on one broker: GAMES pairs of MQTT.js
// clients (the page's own library), each pair in a game of its own, the two
// sides taking turns at one mark a second as the protocol has them (the
// side's whole list, retained, QoS 1), for SECONDS. Prints the one-way time
// of a mark from its publishing to its arrival at the other side, whether
// every game was held, and the broker's share of a core and memory.
// Usage: node online_load.mjs BROKER_URL[,URL...] BROKER_PID[,PID...] GAMES SECONDS
//   Several URLs: the nodes of a cluster, each game's sides on two of them;
//   the processes' shares and memory are added up.
import crypto from 'node:crypto';
import fs from 'node:fs';
import { createRequire } from 'node:module';

// The page's MQTT.js, as web/package-lock.json pins it (npm ci in web/).
const mqtt = createRequire(new URL('../web/package.json', import.meta.url))('mqtt');

const [urlArg, pidArg, gamesArg, secondsArg] = process.argv.slice(2);
const urls = urlArg.split(','), brokerPids = pidArg.split(',');
const GAMES = Math.min(Number(gamesArg) || 100, 5000);
const SECONDS = Math.min(Number(secondsArg) || 30, 300);
const ALPHABET = '0123456789ABCDEFGHJKMNPQRSTVWXYZ';
const symbols = n => Array.from(crypto.randomBytes(n), b => ALPHABET[b & 31]).join('');
const sleep = ms => new Promise(resolve => setTimeout(resolve, ms));

// The brokers' processor time (clock ticks) and resident memory (kB).
function broker() {
  let ticks = 0, rss = 0;
  for (const pid of brokerPids) {
    const stat = fs.readFileSync(`/proc/${pid}/stat`, 'utf8').split(') ')[1].split(' ');
    ticks += Number(stat[11]) + Number(stat[12]);
    rss += Number(/VmRSS:\s+(\d+)/.exec(fs.readFileSync(`/proc/${pid}/status`, 'utf8'))[1]);
  }
  return { ticks, rss };
}

const SIGNATURE = 'A'.repeat(86);
const latencies = [];
let connected = 0, lost = 0;
function side(code, name, url) {
  return new Promise(resolve => {
    const client = mqtt.connect(url, {
      clientId: 'ortelanka-' + symbols(12), username: code, clean: true, keepalive: 30, reconnectPeriod: 0,
      will: { topic: `ortelanka/v2/g/${code}/${name}/presence`, payload: 'gone ' + symbols(8), qos: 1, retain: true },
    });
    client.on('connect', () => {
      ++connected;
      client.subscribe(`ortelanka/v2/g/${code}/#`, { qos: 1 }, () => resolve(client));
    });
    client.on('close', () => { if (client.counted) ++lost; client.counted = false; });
    client.counted = true;
  });
}

const before = broker();
async function game(g) {
  const code = symbols(16);
  const sides = await Promise.all([side(code, 'host', urls[g % urls.length]),
                                   side(code, 'guest', urls[(g + 1) % urls.length])]);
  const game = { code, sides, lists: [[], []], sent: new Map(), turn: 0 };
  sides.forEach((client, i) => client.on('message', (topic, payload) => {
    const other = 1 - i;
    if (!topic.endsWith(`/${['host', 'guest'][other]}/moves`))
      return;
    const cells = payload.toString().split(' ')[0].split(':')[1];
    const count = cells ? cells.split(',').length : 0;
    const sent = game.sent.get(`${other}:${count}`);
    if (sent !== undefined) {
      latencies.push(Number(process.hrtime.bigint() - sent) / 1e6);
      game.sent.delete(`${other}:${count}`);
    }
  }));
  return game;
}
// Fifty games connect at once, then the next fifty: a bounded rate.
const games = [];
for (let g = 0; g < GAMES; g += 50)
  games.push(...await Promise.all(Array.from({ length: Math.min(50, GAMES - g) }, (_, i) => game(g + i))));
const loaded = broker();
const held = connected;
console.log(`online load: ${GAMES} games (${held} connections) on ${urls.join(' ')}`);

// Every game makes one mark a second, its sides in turn, spread over the second.
const start = broker(), started = Date.now();
const timers = games.map((game, g) => setTimeout(function mark() {
  const i = game.turn;
  game.lists[i].push(game.lists[0].length + game.lists[1].length);
  game.sent.set(`${i}:${game.lists[i].length}`, process.hrtime.bigint());
  // As long as a signed list: the broker's cost is in the bytes.
  game.sides[i].publish(`ortelanka/v2/g/${game.code}/${['host', 'guest'][i]}/moves`,
                        '1:' + game.lists[i].join(',') + ' ' + SIGNATURE, { qos: 1, retain: true });
  game.turn = 1 - i;
  if (game.lists[0].length + game.lists[1].length < 300)
    game.timer = setTimeout(mark, 1000);
}, (g * 1000) / GAMES));
await sleep(SECONDS * 1000);
const end = broker(), seconds = (Date.now() - started) / 1000;
timers.forEach(clearTimeout);
games.forEach(game => clearTimeout(game.timer));

latencies.sort((a, b) => a - b);
const at = q => latencies[Math.min(latencies.length - 1, Math.floor(q * latencies.length))];
const ticksPerSecond = 100;
console.log(`  ${latencies.length} marks in ${seconds.toFixed(0)} s: one way median ${at(0.5).toFixed(1)} ms, ` +
            `p99 ${at(0.99).toFixed(1)} ms, most ${latencies[latencies.length - 1].toFixed(1)} ms`);
console.log(`  games held: ${lost === 0 && held === 2 * GAMES ? 'all' : `${held - lost} of ${2 * GAMES} connections`}`);
console.log(`  broker: ${(100 * (end.ticks - start.ticks) / ticksPerSecond / seconds).toFixed(1)} % of a core, ` +
            `${(loaded.rss / 1024).toFixed(1)} MB resident, ${((loaded.rss - before.rss) / held).toFixed(1)} kB a connection`);
for (const game of games)
  for (const client of game.sides)
    client.end(true);
process.exit(0);
