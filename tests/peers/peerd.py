#!/usr/bin/env python3
"""The local test peers of the Wine tests, behind one control port on loopback.

Tests (running inside Wine) connect to the control port, whose number is in the file given with
--port-file, and send one command a line:

    START <kind> <scenario> [key=value ...]   ->  OK <id> <port>
    LOG <id>                                  ->  OK <n>, then n lines "<ms>\t<event>\t<hex bytes>"
    INFO <id>                                 ->  OK <text>
    TELL <id> <hex bytes>                     ->  OK <text>: the message handed to the peer's tell()
    STOP <id>                                 ->  OK

A kind is a kind of peer (a fake cluster, a logger station, a web service) defined by a module of this
folder named peer_<kind>.py, which has make(scenario, params, recorder) returning an object with .port,
.stop() and optionally .info(). Every peer listens on 127.0.0.1 only.
"""
import argparse
import importlib
import os
import socket
import socketserver
import sys
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))


class Recorder:
    """What a peer saw, with times in milliseconds since the peer started."""

    def __init__(self):
        self.start = time.monotonic()
        self.lock = threading.Lock()
        self.events = []

    def add(self, event, data=b""):
        if isinstance(data, str):
            data = data.encode("utf-8")
        with self.lock:
            self.events.append((int((time.monotonic() - self.start) * 1000), event, bytes(data)))

    def lines(self):
        with self.lock:
            return ["%d\t%s\t%s" % (ms, ev, data.hex()) for ms, ev, data in self.events]


class Registry:
    def __init__(self):
        self.lock = threading.Lock()
        self.next_id = 1
        self.peers = {}

    def start(self, kind, scenario, params):
        module = importlib.import_module("peer_" + kind)
        recorder = Recorder()
        peer = module.make(scenario, params, recorder)
        with self.lock:
            ident = self.next_id
            self.next_id += 1
            self.peers[ident] = (peer, recorder)
        return ident, peer.port

    def get(self, ident):
        with self.lock:
            return self.peers[ident]

    def stop(self, ident):
        with self.lock:
            peer, _ = self.peers.pop(ident)
        peer.stop()

    def stop_all(self):
        with self.lock:
            peers = list(self.peers.values())
            self.peers.clear()
        for peer, _ in peers:
            try:
                peer.stop()
            except Exception:
                pass


REGISTRY = Registry()


class ControlHandler(socketserver.StreamRequestHandler):
    def handle(self):
        for raw in self.rfile:
            words = raw.decode("utf-8", "replace").split()
            if not words:
                continue
            try:
                reply = self.command(words)
            except Exception as e:  # the test sees the error text
                reply = ["ERR %s: %s" % (type(e).__name__, str(e).replace("\n", " "))]
            self.wfile.write(("\n".join(reply) + "\n").encode("utf-8"))
            self.wfile.flush()

    def command(self, words):
        verb = words[0].upper()
        if verb == "START":
            params = dict(w.split("=", 1) for w in words[3:] if "=" in w)
            ident, port = REGISTRY.start(words[1], words[2], params)
            return ["OK %d %d" % (ident, port)]
        if verb == "LOG":
            lines = REGISTRY.get(int(words[1]))[1].lines()
            return ["OK %d" % len(lines)] + lines
        if verb == "INFO":
            peer = REGISTRY.get(int(words[1]))[0]
            return ["OK " + (peer.info() if hasattr(peer, "info") else "")]
        if verb == "TELL":
            peer = REGISTRY.get(int(words[1]))[0]
            message = b"" if words[2] == "-" else bytes.fromhex(words[2])
            return ["OK " + (peer.tell(message) or "")]
        if verb == "STOP":
            REGISTRY.stop(int(words[1]))
            return ["OK"]
        return ["ERR unknown command " + verb]


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--log")
    args = parser.parse_args()
    # A thread that waits in a socket call gets the interpreter back within this time, not Python's 5 ms:
    # a station that reads one datagram per 5 ms while a peer beside it is busy drops a flood's datagrams.
    sys.setswitchinterval(0.0002)
    if args.log:
        sys.stderr = open(args.log, "a", buffering=1)
    server = Server(("127.0.0.1", 0), ControlHandler)
    tmp = args.port_file + ".tmp"
    with open(tmp, "w") as f:
        f.write(str(server.server_address[1]))
    os.replace(tmp, args.port_file)
    try:
        server.serve_forever()
    finally:
        REGISTRY.stop_all()


if __name__ == "__main__":
    main()
