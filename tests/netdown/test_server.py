#!/usr/bin/python3
"""Loopback HTTP or FTP server for the downloader tests.

  test_server.py http ROOT [--port-file F] [--limit SECONDS]
  test_server.py ftp  ROOT [--port-file F] [--limit SECONDS]

Binds 127.0.0.1 on a free port and prints it (and writes it to the port
file). Ends when its standard input closes, on SIGTERM, or after the limit.

HTTP paths beyond plain files from ROOT:
  /nodate/NAME   the file without a Last-Modified header
  /cut/NAME      announces the whole file, sends half of it, drops the line
  /slow/NAME     the file in 16 pieces over about three seconds
A file ".nodate" in ROOT drops Last-Modified from every answer.
"""
import argparse
import http.server
import os
import signal
import sys
import threading
import time


def serve_http(root, announce):
    class Handler(http.server.SimpleHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def __init__(self, *args, **kwargs):
            super().__init__(*args, directory=root, **kwargs)

        def log_message(self, *args):
            pass

        def do_GET(self):
            if self.path.startswith("/cut/"):
                return self.send_cut(self.path[len("/cut"):])
            if self.path.startswith("/slow/"):
                return self.send_slow(self.path[len("/slow"):])
            if self.path.startswith("/nodate/"):
                self.path = self.path[len("/nodate"):]
                self.no_date = True
            return super().do_GET()

        def send_header(self, key, value):
            if key == "Last-Modified" and (
                getattr(self, "no_date", False) or os.path.exists(os.path.join(root, ".nodate"))
            ):
                return
            super().send_header(key, value)

        def announce(self, name):
            """Sends the head for the whole file; its bytes, or None after a 404."""
            path = os.path.join(root, name.lstrip("/"))
            try:
                with open(path, "rb") as f:
                    data = f.read()
            except OSError:
                self.send_error(404)
                return None
            self.send_response(200)
            self.send_header("Content-Length", str(len(data)))
            self.end_headers()
            return data

        def send_cut(self, name):
            data = self.announce(name)
            if data is None:
                return
            self.wfile.write(data[: len(data) // 2])
            self.wfile.flush()
            self.close_connection = True

        def send_slow(self, name):
            data = self.announce(name)
            if data is None:
                return
            piece = max(1, -(-len(data) // 16))
            for i in range(0, len(data), piece):
                self.wfile.write(data[i:i + piece])
                self.wfile.flush()
                time.sleep(0.2)

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    announce(server.server_address[1])
    return server.serve_forever, server.shutdown


def serve_ftp(root, announce):
    from pyftpdlib.authorizers import DummyAuthorizer
    from pyftpdlib.handlers import FTPHandler
    from pyftpdlib.servers import FTPServer

    authorizer = DummyAuthorizer()
    authorizer.add_user("vellora", "s3cret", root, perm="elr")
    authorizer.add_anonymous(root, perm="elr")
    handler = FTPHandler
    handler.authorizer = authorizer
    handler.passive_ports = None
    handler.permit_foreign_addresses = False
    import logging
    from pyftpdlib.log import config_logging
    config_logging(level=logging.WARNING)
    server = FTPServer(("127.0.0.1", 0), handler)
    announce(server.address[1])

    def run():
        server.serve_forever(timeout=0.2, blocking=True, handle_exit=False)

    def stop():
        server.close_all()

    return run, stop


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("kind", choices=["http", "ftp"])
    parser.add_argument("root")
    parser.add_argument("--port-file")
    parser.add_argument("--limit", type=float, default=300.0)
    args = parser.parse_args()

    def announce(port):
        if args.port_file:
            tmp = args.port_file + ".tmp"
            with open(tmp, "w") as f:
                f.write(str(port))
            os.replace(tmp, args.port_file)
        print(port, flush=True)

    run, stop = (serve_http if args.kind == "http" else serve_ftp)(args.root, announce)

    def end(*_):
        os._exit(0)

    signal.signal(signal.SIGTERM, end)
    threading.Timer(args.limit, end).start()
    if not args.port_file:
        def watch_stdin():
            sys.stdin.read()
            end()
        threading.Thread(target=watch_stdin, daemon=True).start()
    run()


if __name__ == "__main__":
    main()
