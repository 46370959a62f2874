#!/usr/bin/python3
"""Three loopback HTTPS servers for the downloader's certificate checks.

  tls_servers.py start DIR [--limit SECONDS]
  tls_servers.py stop DIR

"start" makes a fresh test certificate authority with the openssl command
line tool, then serves DIR/root over TLS on three free ports of 127.0.0.1:

  good       certificate for 127.0.0.1 (as address and as name, since some
             systems match only names) and "localhost", signed by the test authority
  wrongname  certificate for "elsewhere.invalid" only, signed by the test authority
  untrusted  certificate for 127.0.0.1, signed by an authority nobody trusts

The authority's certificate is DIR/ca.pem (PEM) and DIR/ca.der (DER); the
ports are written to DIR/ports as "good wrongname untrusted" once all three
listen. The servers end on "stop", on SIGTERM or after the time limit.
"""
import argparse
import http.server
import os
import shutil
import signal
import ssl
import subprocess
import sys
import threading


EC_KEY = ["-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes"]


def openssl(*args):
    subprocess.run(["openssl", *args], check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)


def make_authority(d, name):
    key, cert = os.path.join(d, name + ".key"), os.path.join(d, name + ".pem")
    openssl("req", "-x509", *EC_KEY, "-keyout", key, "-out", cert, "-days", "2",
            "-subj", "/CN=Vellora test authority " + name,
            "-addext", "basicConstraints=critical,CA:TRUE",
            "-addext", "keyUsage=critical,keyCertSign,cRLSign")
    return key, cert


def make_leaf(d, name, authority, alt_names):
    key, csr, cert = (os.path.join(d, name + ext) for ext in (".key", ".csr", ".pem"))
    ext = os.path.join(d, name + ".ext")
    with open(ext, "w") as f:
        f.write("basicConstraints=CA:FALSE\n"
                "keyUsage=digitalSignature,keyEncipherment\n"
                "extendedKeyUsage=serverAuth\n"
                "subjectAltName=" + alt_names + "\n")
    openssl("req", "-new", *EC_KEY, "-keyout", key, "-out", csr, "-subj", "/CN=" + name)
    openssl("x509", "-req", "-in", csr, "-CA", authority[1], "-CAkey", authority[0],
            "-CAcreateserial", "-out", cert, "-days", "2", "-extfile", ext)
    return cert, key


def serve(root, cert, key):
    class Handler(http.server.SimpleHTTPRequestHandler):
        # One request per connection: a client may not carry a connection
        # checked under one trust setting over into the next case.
        protocol_version = "HTTP/1.0"

        def __init__(self, *args, **kwargs):
            super().__init__(*args, directory=root, **kwargs)

        def log_message(self, *args):
            pass

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(cert, key)
    server.socket = context.wrap_socket(server.socket, server_side=True)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server.server_address[1]


def start(d, limit):
    ca = make_authority(d, "ca")
    rogue = make_authority(d, "rogue")
    openssl("x509", "-in", ca[1], "-outform", "DER", "-out", os.path.join(d, "ca.der"))
    root = os.path.join(d, "root")
    ports = [
        serve(root, *make_leaf(d, "good", ca, "IP:127.0.0.1,DNS:127.0.0.1,DNS:localhost")),
        serve(root, *make_leaf(d, "wrongname", ca, "DNS:elsewhere.invalid")),
        serve(root, *make_leaf(d, "untrusted", rogue, "IP:127.0.0.1,DNS:127.0.0.1")),
    ]
    with open(os.path.join(d, "pid"), "w") as f:
        f.write(str(os.getpid()))
    tmp = os.path.join(d, "ports.tmp")
    with open(tmp, "w") as f:
        f.write(" ".join(map(str, ports)))
    os.replace(tmp, os.path.join(d, "ports"))
    signal.signal(signal.SIGTERM, lambda *_: os._exit(0))
    threading.Timer(limit, lambda: os._exit(0)).start()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("action", choices=["start", "stop"])
    parser.add_argument("dir")
    parser.add_argument("--limit", type=float, default=900.0)
    args = parser.parse_args()
    d = os.path.abspath(args.dir)
    if args.action == "stop":
        try:
            with open(os.path.join(d, "pid")) as f:
                os.kill(int(f.read()), signal.SIGTERM)
        except (OSError, ValueError):
            pass
        return
    shutil.rmtree(d, ignore_errors=True)
    os.makedirs(os.path.join(d, "root"))
    # The parent returns once the ports are known; the child keeps serving.
    if os.fork() == 0:
        os.setsid()
        sys.stdin.close()
        devnull = os.open(os.devnull, os.O_RDWR)
        os.dup2(devnull, 1)
        os.dup2(devnull, 2)
        try:
            start(d, args.limit)
        except Exception:
            os._exit(1)
        threading.Event().wait()
    for _ in range(300):
        if os.path.exists(os.path.join(d, "ports")):
            return
        threading.Event().wait(0.1)
    sys.exit("the TLS servers did not start")


if __name__ == "__main__":
    main()
