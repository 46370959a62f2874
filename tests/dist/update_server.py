#!/usr/bin/python3
"""Loopback HTTP server for the install-and-update run.

  update_server.py ROOT PORT_FILE [--limit SECONDS]

Serves ROOT on a free port of 127.0.0.1 (written to PORT_FILE) with
Last-Modified headers, and two kinds of path beyond plain files:
  /slow/NAME  the file in 16 pieces over about three seconds
  /cut/NAME   announces the whole file, sends half of it, drops the line
Ends on SIGTERM or after the limit.
"""
import argparse
import http.server
import os
import signal
import threading
import time


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("root")
    parser.add_argument("port_file")
    parser.add_argument("--limit", type=float, default=600.0)
    args = parser.parse_args()
    root = os.path.abspath(args.root)

    class Handler(http.server.SimpleHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def __init__(self, *a, **kw):
            super().__init__(*a, directory=root, **kw)

        def log_message(self, *a):
            pass

        def do_GET(self):
            for prefix, send in (("/slow/", self.send_slow), ("/cut/", self.send_cut)):
                if self.path.startswith(prefix):
                    return send(self.path[len(prefix):])
            return super().do_GET()

        def read(self, name):
            try:
                with open(os.path.join(root, name.lstrip("/")), "rb") as f:
                    return f.read()
            except OSError:
                self.send_error(404)
                return None

        def send_slow(self, name):
            data = self.read(name)
            if data is None:
                return
            self.send_response(200)
            self.send_header("Content-Length", str(len(data)))
            self.end_headers()
            piece = max(1, -(-len(data) // 16))
            for i in range(0, len(data), piece):
                self.wfile.write(data[i:i + piece])
                self.wfile.flush()
                time.sleep(0.2)

        def send_cut(self, name):
            data = self.read(name)
            if data is None:
                return
            self.send_response(200)
            self.send_header("Content-Length", str(len(data)))
            self.end_headers()
            self.wfile.write(data[: len(data) // 2])
            self.wfile.flush()
            self.close_connection = True

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    tmp = args.port_file + ".tmp"
    with open(tmp, "w") as f:
        f.write(str(server.server_address[1]))
    os.replace(tmp, args.port_file)
    signal.signal(signal.SIGTERM, lambda *_: os._exit(0))
    threading.Timer(args.limit, lambda: os._exit(0)).start()
    server.serve_forever()


if __name__ == "__main__":
    main()
