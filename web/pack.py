#!/usr/bin/env python3
"""Makes the web page's folder small: the game reads the same BMPs and WAV as
on the desktop, but the page carries other encodings of them and turns them
back into those files in the browser before the game starts.

  pack.py media DATA_DIR FONT OUT_DIR
    The big pictures as WebP (lossy only where the game never uses a colour
    key, lossless elsewhere), the music as Opus in WebM, the font cut down to what
    Windows-1250 can spell, and every other file as it is, in one gzipped
    package. OUT_DIR/media.json says how to rebuild each file.
  pack.py page MEDIA_DIR LINKED_DIR WEB_DIR ICON_SVG GAME_DIR
    The page's folder: index.html with its script inlined, the game's code
    gzipped, the media, the icons, the web app manifest and the service
    worker. Prints what a first visit transfers from a plain static host.
"""
import gzip
import hashlib
import json
import os
import pathlib
import re
import shutil
import struct
import subprocess
import sys
import tempfile

# Pictures the game only ever copies whole: no colour key is taken from them,
# so a lossy encoding changes nothing but a little of the grain. Every other
# picture keeps its exact pixels (a colour key compares them bit for bit).
LOSSY = {'Ortelaky.bmp', 'nejlepsi.bmp', 'prohra.bmp', 'vyhra.bmp', 'vyhrahrac1.bmp', 'vyhrahrac2.bmp',
         'zapisjmeno.bmp', 'intro/intro1.bmp', 'intro/intro2.bmp', 'intro/intro3.bmp', 'intro/intro4.bmp'}
WEBP_QUALITY = 88
OPUS_KBITS = 96
# Smaller pictures gain nothing from a file of their own: they go into the package.
OWN_FILE_BYTES = 100_000
# The music loops: the encoder hears this much of its end before its start and
# of its start after its end, so that neither edge of the loop is an edge to it.
WRAP_SECONDS = 0.1
BUDGET_BYTES = 2_500_000
# Where the game looks for its read-only files in the page (platform/browser/Page.cpp).
DATA_ROOT = '/ortelanka-data/'
FONT_FOLDER = '/ortelanka-fonts/'


def bmp_layout(data):
    """(pixel offset, width, height) of an uncompressed 24-bit BMP, else None."""
    if len(data) < 54 or data[:2] != b'BM':
        return None
    offset, header = struct.unpack_from('<II', data, 10)
    width, height, planes, bits, compression = struct.unpack_from('<iiHHI', data, 18)
    stride = (width * 3 + 3) // 4 * 4
    if header < 40 or planes != 1 or bits != 24 or compression != 0 or width <= 0 or height == 0:
        return None
    if offset + stride * abs(height) != len(data):
        return None
    return offset, width, height


def ogg_packets(data):
    """The packets of an Ogg stream with one logical stream, in order."""
    packets, packet, at = [], b'', 0
    while at < len(data):
        if data[at:at + 4] != b'OggS' or at + 27 > len(data):
            raise ValueError('not an Ogg page at byte %d' % at)
        count = data[at + 26]
        lacing = data[at + 27:at + 27 + count]
        at += 27 + count
        for size in lacing:
            packet += data[at:at + size]
            at += size
            if size < 255:
                packets.append(packet)
                packet = b''
    return packets


def opus_samples(packet):
    """Samples at 48 kHz that one Opus packet holds (RFC 6716, 3.1)."""
    config, code = packet[0] >> 3, packet[0] & 3
    if config < 12:
        per_frame = (480, 960, 1920, 2880)[config % 4]
    elif config < 16:
        per_frame = (480, 960)[config % 2]
    else:
        per_frame = (120, 240, 480, 960)[config % 4]
    frames = (1, 2, 2, packet[1] & 0x3F if len(packet) > 1 else 0)[code]
    return per_frame * frames


def ebml(element_id, payload):
    """One EBML element: its ID, its size in as few bytes as hold it, its payload."""
    length = next(n for n in range(1, 9) if len(payload) < (1 << 7 * n) - 1)
    return element_id + (1 << 7 * length | len(payload)).to_bytes(length, 'big') + payload


def ebml_uint(element_id, value):
    return ebml(element_id, value.to_bytes(max(1, (value.bit_length() + 7) // 8), 'big'))


def ogg_opus_to_webm(ogg):
    """The Opus stream of an Ogg file in a WebM file: the container that every
    browser's Web Audio decodes Opus from (Safari before 18.4 takes no Ogg)."""
    head, _tags, *audio = ogg_packets(ogg)
    if not head.startswith(b'OpusHead') or len(head) < 19:
        raise ValueError('not an Ogg Opus stream')
    # The encoder's run-in is skipped by the OpusHead's own count, which every
    # decoder honours; no CodecDelay beside it, which Chromium would take off
    # again, a few samples differently.
    channels = head[9]
    header = ebml(b'\x1a\x45\xdf\xa3', ebml_uint(b'\x42\x86', 1) + ebml_uint(b'\x42\xf7', 1) +
                  ebml_uint(b'\x42\xf2', 4) + ebml_uint(b'\x42\xf3', 8) + ebml(b'\x42\x82', b'webm') +
                  ebml_uint(b'\x42\x87', 4) + ebml_uint(b'\x42\x85', 2))
    total = sum(opus_samples(p) for p in audio)
    info = ebml(b'\x15\x49\xa9\x66', ebml_uint(b'\x2a\xd7\xb1', 1_000_000) +  # timestamps in ms
                ebml(b'\x44\x89', struct.pack('>d', total / 48)) +
                ebml(b'\x4d\x80', b'pack.py') + ebml(b'\x57\x41', b'pack.py'))
    track = ebml(b'\xae', ebml_uint(b'\xd7', 1) + ebml_uint(b'\x73\xc5', 1) + ebml_uint(b'\x83', 2) +
                 ebml(b'\x86', b'A_OPUS') + ebml(b'\x63\xa2', head) + ebml_uint(b'\x56\xbb', 80_000_000) +
                 ebml(b'\xe1', ebml(b'\xb5', struct.pack('>d', 48000.0)) + ebml_uint(b'\x9f', channels)))
    clusters, blocks, cluster_ms, at = [], b'', 0, 0
    for packet in audio:
        ms = at // 48
        if ms - cluster_ms > 30_000:  # a block's time is 16 bits, relative to its cluster's
            clusters.append(ebml(b'\x1f\x43\xb6\x75', ebml_uint(b'\xe7', cluster_ms) + blocks))
            blocks, cluster_ms = b'', ms
        blocks += ebml(b'\xa3', b'\x81' + struct.pack('>h', ms - cluster_ms) + b'\x80' + packet)
        at += opus_samples(packet)
    clusters.append(ebml(b'\x1f\x43\xb6\x75', ebml_uint(b'\xe7', cluster_ms) + blocks))
    return header + ebml(b'\x18\x53\x80\x67', info + ebml(b'\x16\x54\xae\x6b', track) + b''.join(clusters))


def bmp_to_ppm(data, layout):
    offset, width, height = layout
    stride = (width * 3 + 3) // 4 * 4
    rows = []
    for y in range(abs(height)):
        at = offset + stride * (abs(height) - 1 - y if height > 0 else y)
        row = bytearray(data[at:at + 3 * width])
        row[0::3], row[2::3] = row[2::3], row[0::3]
        rows.append(bytes(row))
    return b'P6\n%d %d\n255\n' % (width, abs(height)) + b''.join(rows)


def wav_layout(data):
    """(byte offset of the samples, their length, channels, rate) of a 16-bit PCM WAV, else None."""
    if len(data) < 12 or data[:4] != b'RIFF' or data[8:12] != b'WAVE':
        return None
    at, fmt = 12, None
    while at + 8 <= len(data):
        kind, size = data[at:at + 4], struct.unpack_from('<I', data, at + 4)[0]
        if kind == b'fmt ' and size >= 16:
            fmt = struct.unpack_from('<HHIIHH', data, at + 8)
        elif kind == b'data':
            if not fmt or fmt[0] != 1 or fmt[5] != 16 or at + 8 + size > len(data):
                return None
            return at + 8, size, fmt[1], fmt[2]
        at += 8 + size + (size & 1)
    return None


def run(*command, stdin=None):
    subprocess.run(command, input=stdin, check=True, stdout=subprocess.DEVNULL)


def media(data_dir, font, out_dir):
    data_dir, out_dir = pathlib.Path(data_dir), pathlib.Path(out_dir)
    if out_dir.exists():
        shutil.rmtree(out_dir)
    (out_dir / 'pictures').mkdir(parents=True)
    package = bytearray()
    description = {'package': [], 'pictures': [], 'music': None}

    def into_package(name, data):
        description['package'].append([name, len(package), len(data)])
        package.extend(data)
        return [len(package) - len(data), len(data)]

    with tempfile.TemporaryDirectory() as scratch:
        scratch = pathlib.Path(scratch)
        for path in sorted(p for p in data_dir.rglob('*') if p.is_file() and not p.name.startswith('.')):
            rel = path.relative_to(data_dir).as_posix()
            name = DATA_ROOT + 'data/' + rel
            data = path.read_bytes()
            picture = bmp_layout(data) if len(data) >= OWN_FILE_BYTES else None
            sound = wav_layout(data)
            if picture:
                ppm = scratch / 'picture.ppm'
                ppm.write_bytes(bmp_to_ppm(data, picture))
                webp = out_dir / 'pictures' / (rel.replace('/', '-')[:-4] + '.webp')
                quality = ['-q', str(WEBP_QUALITY), '-m', '6', '-sharp_yuv'] if rel in LOSSY else ['-lossless', '-z', '9', '-exact']
                run('cwebp', '-quiet', *quality, str(ppm), '-o', str(webp))
                description['pictures'].append({
                    'path': name, 'url': webp.relative_to(out_dir).as_posix(), 'lossy': rel in LOSSY,
                    'header': into_package(name + '.header', data[:picture[0]])})
            elif sound:
                offset, size, channels, rate = sound
                frame = 2 * channels
                samples = data[offset:offset + size // frame * frame]
                wrap = min(int(rate * WRAP_SECONDS), len(samples) // frame) * frame
                wrapped = samples[-wrap:] + samples + samples[:wrap]
                wav = scratch / 'music.wav'
                wav.write_bytes(b'RIFF' + struct.pack('<I', 36 + len(wrapped)) + b'WAVEfmt ' +
                                struct.pack('<IHHIIHH', 16, 1, channels, rate, rate * frame, frame, 16) +
                                b'data' + struct.pack('<I', len(wrapped)) + wrapped)
                opus = scratch / 'music.opus'
                run('opusenc', '--quiet', '--bitrate', str(OPUS_KBITS), '--comment', 'TITLE=' + path.stem,
                    str(wav), str(opus))
                webm = out_dir / (path.stem + '.webm')
                webm.write_bytes(ogg_opus_to_webm(opus.read_bytes()))
                description['music'] = {
                    'path': name, 'url': webm.name, 'rate': rate, 'channels': channels,
                    'frames': len(samples) // frame, 'lead': wrap // frame,
                    'header': into_package(name + '.header', data[:offset]),
                    'trailer': into_package(name + '.trailer', data[offset + len(samples):])}
            else:
                into_package(name, data)

        # Every character the game can draw is a Windows-1250 byte.
        characters = bytes(range(32, 256)).decode('cp1250', errors='ignore')
        subset = scratch / 'font.ttf'
        run('pyftsubset', font, '--text=' + characters, '--output-file=' + str(subset), '--layout-features=*',
            '--hinting', '--notdef-outline', '--name-IDs=*', '--name-languages=*', '--legacy-kern',
            '--drop-tables=FFTM')
        description['font'] = FONT_FOLDER + pathlib.Path(font).name
        into_package(description['font'], subset.read_bytes())

    (out_dir / 'ortelanka.data.gz').write_bytes(gzip.compress(bytes(package), 9, mtime=0))
    (out_dir / 'media.json').write_text(json.dumps(description, indent=1) + '\n')


def page(media_dir, linked_dir, web_dir, icon_svg, mqtt_dir, game_dir):
    media_dir, linked_dir, web_dir, mqtt_dir, game_dir = map(pathlib.Path,
                                                             (media_dir, linked_dir, web_dir, mqtt_dir, game_dir))
    description = json.loads((media_dir / 'media.json').read_text())
    for old in ('pictures', 'icons', 'online', 'inflate'):
        shutil.rmtree(game_dir / old, ignore_errors=True)
    for old in game_dir.glob('ortelanka.*'):
        old.unlink()
    shutil.copytree(media_dir / 'pictures', game_dir / 'pictures')
    shutil.copy(media_dir / 'ortelanka.data.gz', game_dir)
    shutil.copy(media_dir / description['music']['url'], game_dir)
    for name in ('ortelanka.js', 'ortelanka.wasm'):
        (game_dir / (name + '.gz')).write_bytes(gzip.compress((linked_dir / name).read_bytes(), 9, mtime=0))

    # Online play: MQTT.js, fetched only when a player goes online, and where
    # its broker is: this host's /mqtt, which a deploy may change.
    (game_dir / 'online').mkdir()
    (game_dir / 'online' / 'mqtt.min.js.gz').write_bytes(
        gzip.compress((mqtt_dir / 'dist' / 'mqtt.min.js').read_bytes(), 9, mtime=0))
    shutil.copy(mqtt_dir / 'LICENSE.md', game_dir / 'online' / 'MQTT.js-LICENSE.txt')
    (game_dir / 'online.json').write_text('{"broker": "/mqtt"}\n')

    # pako, for a browser that cannot unpack gzip itself (no
    # DecompressionStream: Safari before 16.4): as it is, since that browser
    # could not unpack it either.
    (game_dir / 'inflate').mkdir()
    pako_dir = mqtt_dir.parent / 'pako'
    shutil.copy(pako_dir / 'dist' / 'pako_inflate.min.js', game_dir / 'inflate')
    shutil.copy(pako_dir / 'LICENSE', game_dir / 'inflate' / 'pako-LICENSE.txt')

    (game_dir / 'icons').mkdir()
    icons = []
    for size in (192, 512):
        png = game_dir / 'icons' / ('ortelanka-%d.png' % size)
        run('rsvg-convert', '-w', str(size), '-h', str(size), '-o', str(png), icon_svg)
        icons.append({'src': png.relative_to(game_dir).as_posix(), 'sizes': '%dx%d' % (size, size),
                      'type': 'image/png'})
    shutil.copy(icon_svg, game_dir / 'icons' / 'ortelanka.svg')
    icons.append({'src': 'icons/ortelanka.svg', 'sizes': 'any', 'type': 'image/svg+xml'})
    (game_dir / 'ortelanka.webmanifest').write_text(json.dumps({
        'name': 'Ortelaky', 'short_name': 'Ortelaky', 'lang': 'cs',
        'description': 'Piškvorky na desce 26 × 26 proti počítači nebo ve dvou',
        'start_url': './', 'scope': './', 'display': 'fullscreen', 'orientation': 'any',
        'background_color': '#000000', 'theme_color': '#3f230f', 'icons': icons,
    }, ensure_ascii=False, indent=1) + '\n')

    # What the page fetches to start the game, in the order it wants them.
    fetched = ['ortelanka.js.gz', 'ortelanka.wasm.gz', 'ortelanka.data.gz', description['music']['url']]
    fetched += [p['url'] for p in description['pictures']]
    files = {'fetch': [[name, (game_dir / name).stat().st_size] for name in fetched],
             'package': description['package'], 'pictures': description['pictures'],
             'music': description['music'], 'font': description['font']}
    script = (web_dir / 'page.js').read_text().replace("'@FILES@'", json.dumps(files, separators=(',', ':')))
    # The comments are for whoever reads web/page.js, not for every visit.
    script = '\n'.join(line for line in script.split('\n') if not re.match(r'\s*//', line))
    html = (web_dir / 'index.html').read_text().replace('<script src="page.js"></script>',
                                                        '<script>\n' + script + '</script>')
    (game_dir / 'index.html').write_text(html)

    # The service worker keeps every file of this version, each with the
    # start of its SHA-256; its version changes whenever any file does, which
    # is what makes browsers update it. What only online play needs is left
    # to the network, so a first visit does not fetch it.
    online = lambda name: name == 'online.json' or name.startswith('online/')
    kept = sorted(name for name in (p.relative_to(game_dir).as_posix() for p in game_dir.rglob('*')
                                    if p.is_file() and p.name != 'sw.js') if not online(name))
    # A gzipped file also by its contents: a host that sends it as
    # Content-Encoding: gzip has the browser keep it unpacked.
    def digests(name):
        data = (game_dir / name).read_bytes()
        found = [hashlib.sha256(data).hexdigest()[:16]]
        if name.endswith('.gz'):
            found.append(hashlib.sha256(gzip.decompress(data)).hexdigest()[:16])
        return found
    listed = [['./' if name == 'index.html' else name] + digests(name) for name in kept]
    version = hashlib.sha256(json.dumps(listed).encode()).hexdigest()[:16]
    worker = (web_dir / 'sw.js').read_text().replace("'@VERSION@'", json.dumps(version))
    worker = worker.replace("'@FILES@'", json.dumps(listed, separators=(',', ':')))
    (game_dir / 'sw.js').write_text(worker)

    total = sum((game_dir / name).stat().st_size for name in kept + ['sw.js'])
    print('A first visit transfers %d bytes (%.2f MB) from a plain static host; online play fetches %d more'
          % (total, total / 1e6, (game_dir / 'online' / 'mqtt.min.js.gz').stat().st_size))
    if total > BUDGET_BYTES:
        sys.exit('pack.py: the page is larger than %d bytes' % BUDGET_BYTES)


if __name__ == '__main__':
    if len(sys.argv) == 5 and sys.argv[1] == 'media':
        media(*sys.argv[2:])
    elif len(sys.argv) == 8 and sys.argv[1] == 'page':
        page(*sys.argv[2:])
    else:
        sys.exit(__doc__)
