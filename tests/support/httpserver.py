#!/usr/bin/python3
"""A small HTTP server for tests, on 127.0.0.1 and a free port.

Usage: httpserver.py DIR. Prints the port on the first line of stdout, then
serves until killed. Every request path is appended to DIR/requests.log.
  /slow/MS/NAME   waits MS milliseconds, then answers like /NAME
  /drip/MS/NAME   answers like /NAME, one byte of the body every MS milliseconds
  /big/N          N bytes of "x"
  /status/CODE    an empty answer with that status
  /NAME           the file DIR/NAME (404 when missing)
"""
import http.server
import os
import sys
import time

ROOT = sys.argv[1]


class Handler(http.server.BaseHTTPRequestHandler):
    # Keeps connections open like real servers, so a client that never
    # closes its connections shows up in the tests.
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def answer(self, code, body):
        self.send_response(code)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def drip(self, ms, body):
        self.send_response(200)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        try:
            for i in range(len(body)):
                self.wfile.write(body[i:i + 1])
                self.wfile.flush()
                time.sleep(ms / 1000.0)
        except OSError:
            pass

    def do_GET(self):
        with open(os.path.join(ROOT, "requests.log"), "a") as f:
            f.write(self.path + "\n")
        parts = self.path.lstrip("/").split("/")
        dripping = 0
        if parts[0] == "drip" and len(parts) >= 3:
            dripping = int(parts[1])
            parts = parts[2:]
        if parts[0] == "slow" and len(parts) >= 3:
            time.sleep(int(parts[1]) / 1000.0)
            parts = parts[2:]
        if parts[0] == "big":
            return self.answer(200, b"x" * int(parts[1]))
        if parts[0] == "status":
            return self.answer(int(parts[1]), b"")
        name = os.path.join(ROOT, os.path.basename("/".join(parts).split("?")[0]))
        if not os.path.isfile(name):
            return self.answer(404, b"not here")
        with open(name, "rb") as f:
            body = f.read()
        if dripping:
            return self.drip(dripping, body)
        return self.answer(200, body)


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
print(server.server_address[1], flush=True)
server.serve_forever()
