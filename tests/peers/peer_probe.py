"""Targets of the connection probe: what answers on a port before anyone types.

Scenarios:
  banner    a cluster that negotiates Telnet options, names its software and asks for the call
  web       a web server that gives up on a request that never comes: "HTTP/1.1 408" after a moment
  ssh       an SSH server's banner line
  silent    accepts and sends nothing until stopped
  drip      sends a line, then another after 600 ms of silence, then one after 1500 ms
(Cluster greetings in small pieces, a refused port and one that never answers: see peer_cluster.py.)
Parameter of every scenario: address=A, the loopback address to listen on (default 127.0.0.1).
Events recorded: "accept", "recv" (anything the probe sent), "eof".
"""
import socket
import threading

BANNERS = {
    "banner": [(0, b"\xff\xfb\x01\xff\xfb\x03\xff\xfa\x18\x01\xff\xf0"
                  b"Welcome to the CC Cluster node W1XX\r\nPlease enter your call: ")],
    "web": [(0.3, b"HTTP/1.1 408 Request Timeout\r\nContent-Length: 0\r\nConnection: close\r\n\r\n")],
    "ssh": [(0, b"SSH-2.0-OpenSSH_9.2p1 Debian-2+deb12u3\r\n")],
    "silent": [],
    "drip": [(0, b"first\r\n"), (0.6, b"second\r\n"), (1.5, b"never seen\r\n")],
}


class Listener:
    def __init__(self, scenario, params, recorder):
        self.recorder = recorder
        self.pieces = BANNERS[scenario]
        self.closes = scenario == "web"
        self.stopped = threading.Event()
        self.sock = socket.socket()
        address = params.get("address", "127.0.0.1")
        if not address.startswith("127."):
            raise ValueError("not a loopback address: " + address)
        self.sock.bind((address, 0))
        self.sock.listen(4)
        self.port = self.sock.getsockname()[1]
        self.conns = []
        threading.Thread(target=self.serve, daemon=True).start()

    def serve(self):
        while not self.stopped.is_set():
            try:
                conn, _ = self.sock.accept()
            except OSError:
                return
            self.recorder.add("accept")
            self.conns.append(conn)
            threading.Thread(target=self.talk, args=(conn,), daemon=True).start()
            threading.Thread(target=self.listen_to, args=(conn,), daemon=True).start()

    def talk(self, conn):
        try:
            for delay, data in self.pieces:
                if self.stopped.wait(delay):
                    return
                conn.sendall(data)
            if self.closes:
                conn.shutdown(socket.SHUT_WR)
        except OSError:
            pass

    def listen_to(self, conn):
        try:
            while True:
                data = conn.recv(1024)
                if not data:
                    self.recorder.add("eof")
                    return
                self.recorder.add("recv", data)
        except OSError:
            pass

    def stop(self):
        self.stopped.set()
        self.sock.close()
        for conn in self.conns:
            try:
                conn.close()
            except OSError:
                pass


def make(scenario, params, recorder):
    if scenario not in BANNERS:
        raise ValueError("unknown scenario " + scenario)
    return Listener(scenario, params, recorder)
