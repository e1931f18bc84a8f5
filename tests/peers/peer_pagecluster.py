"""A fake DX cluster node for the connection page's tests, built on the node of peer_cluster.

Scenario "spots": the login prompt; after the login a DXSpider greeting and prompt, then a spot that the
page forwards, a spot of DX call F5ABC (the tests' filters reject it) and a closing line, each written in
small chunks so that every line reaches the client split across reads. The first connection is then
closed by the node; later connections stay open until the client leaves. Every accepted connection is
recorded ("accept").
"""
import socket
import threading
import time

import peer_cluster as node

REJECTED = b"DX de N0TST:      7010.0  F5ABC        cq                             1929Z\x07\x07\r\n"


def scenario_spots(c, params, first):
    c.write(b"login: ")
    if c.read_line() is None:
        return
    c.write(b"Hello N0CALL, this is GB7TST\r\nrunning DXSpider V1.57 build 441\r\n" + node.PROMPT)
    c.write(node.SPOT + REJECTED + b"73 de GB7TST\r\n")
    if first:
        time.sleep(0.3)
        return
    c.drain()


class PageClusterPeer:
    def __init__(self, scenario, params, recorder):
        if scenario != "spots":
            raise ValueError("unknown scenario " + scenario)
        self.params = params
        self.recorder = node.LineRecorder(recorder)
        self.accepted = 0
        self.sock = socket.socket()
        self.sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self.sock.bind(("127.0.0.1", 0))
        self.port = self.sock.getsockname()[1]
        self.sock.listen(4)
        threading.Thread(target=self.serve, daemon=True).start()

    def serve(self):
        while True:
            try:
                sock, _ = self.sock.accept()
            except OSError:
                return
            self.accepted += 1
            self.recorder.add("accept")
            threading.Thread(target=self.run, args=(sock, self.accepted == 1), daemon=True).start()

    def run(self, sock, first):
        c = node.Conn(sock, self.params, self.recorder)
        try:
            scenario_spots(c, self.params, first)
        except OSError as e:
            self.recorder.add("error", str(e))
        finally:
            self.recorder.add("close")
            sock.close()

    def stop(self):
        try:
            self.sock.close()
        except OSError:
            pass


def make(scenario, params, recorder):
    return PageClusterPeer(scenario, params, recorder)
