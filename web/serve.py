#!/usr/bin/env python3
"""Serves the page's folder on 127.0.0.1 for playing and trying it locally,
with online.json naming a broker on this machine (scripts/web starts one).

Usage: serve.py FOLDER PORT BROKER_URL"""
import functools
import http.server
import json
import sys


class Page(http.server.SimpleHTTPRequestHandler):
    broker = ''

    def do_GET(self):
        if self.path.split('?')[0] == '/online.json':
            body = json.dumps({'broker': self.broker}).encode()
            self.send_response(200)
            self.send_header('Content-Type', 'application/json')
            self.send_header('Content-Length', str(len(body)))
            self.end_headers()
            self.wfile.write(body)
            return
        super().do_GET()

    def log_message(self, *args):
        pass


if __name__ == '__main__':
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    folder, port, Page.broker = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    handler = functools.partial(Page, directory=folder)
    http.server.ThreadingHTTPServer(('127.0.0.1', port), handler).serve_forever()
