// The list of open games as a client of the test's own reads it and as a
// hostile one floods it (online/PROTOCOL.md), with MQTT.js from the page's
// own packages.
import crypto from 'node:crypto';
import { createRequire } from 'node:module';

const mqtt = createRequire(new URL('../../web/package.json', import.meta.url))('mqtt');
const ALPHABET = '0123456789ABCDEFGHJKMNPQRSTVWXYZ';
const ENTRY_LIFE_MS = 30000;

const connect = (url, username) => new Promise((resolve, reject) => {
  const client = mqtt.connect(url, { username, clientId: `ortelanka-test-${crypto.randomBytes(6).toString('hex')}`,
                                     protocolVersion: 5, reconnectPeriod: 0, connectTimeout: 10000 });
  client.once('connect', () => resolve(client));
  client.once('error', reject);
});

// What a fresh reader finds once every retained entry is in (its probe is
// back): each listed game's code and its entry's fields, the signature last.
// Entries whose stamp has gone stale count as gone, as the game's do.
export async function listing(url) {
  const client = await connect(url, 'open');
  try {
    const entries = new Map();
    const probe = `ortelanka/v2/test-probe/${client.options.clientId}`;
    await new Promise((resolve, reject) => {
      client.on('message', (topic, payload) => {
        if (topic === probe) return resolve();
        const fields = payload.toString().split(' ');
        if (fields.length >= 7 && Math.abs(Date.now() - Number(fields[4])) < ENTRY_LIFE_MS)
          entries.set(topic.split('/')[3], fields);
      });
      client.subscribe(['ortelanka/v2/open/+', probe], { qos: 1 },
                       error => error ? reject(error) : client.publish(probe, '?', { qos: 1 }));
    });
    return entries;
  } finally {
    client.end(true);
  }
}

// A thousand entries that claim to have waited an hour, oversized and
// malformed ones, and three in the name of the real game: another key under
// its code, its own seat with a forged signature and a later stamp, and an
// empty one that takes its entry away.
export async function flood(url, realCode) {
  const real = (await listing(url)).get(realCode);
  const client = await connect(url, 'flood');
  const symbols = count => Array.from(crypto.randomBytes(count), byte => ALPHABET[byte & 31]).join('');
  const key = () => Buffer.concat([Buffer.from([4]), crypto.randomBytes(64)]).toString('base64url');
  const signature = crypto.randomBytes(64).toString('base64url');
  const now = Date.now(), hourAgo = now - 3600_000;
  const publish = (code, payload) => new Promise(resolve =>
    client.publish(`ortelanka/v2/open/${code}`, payload, { qos: 1, retain: true }, resolve));
  const sent = [];
  for (let i = 0; i < 1000; ++i)
    sent.push(publish(symbols(16), `${key()} ${symbols(16)} waiting ${hourAgo} ${now} page FALESNA ${signature}`));
  for (let i = 0; i < 20; ++i)
    sent.push(publish(symbols(16), `${key()} ${'A'.repeat(4000)}`));
  for (const odd of ['waiting', '\u0000\u00ff\u00fe', `${key()} ${symbols(16)} waiting x y page ${signature}`,
                     `${key()} ${symbols(16)} waiting ${hourAgo} ${now} page jan ${signature}`])
    sent.push(publish(symbols(16), odd));
  await Promise.all(sent);
  await publish(realCode, `${key()} ${real[1]} waiting ${hourAgo} ${now} page CIZI ${signature}`);
  await publish(realCode, `${real[0]} ${real[1]} waiting ${hourAgo} ${now + 1000} page ${signature}`);
  await publish(realCode, '');
  await new Promise(resolve => client.end(false, {}, resolve));
}
