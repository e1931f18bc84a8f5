"""A local stand-in for the DX Summit web service: HTTPS on 127.0.0.1 port 443 with the test CA's
certificate for "localhost" (tools/wine-env makes it and passes its folder in KV_TLS_DIR).

Port 443 holds one listener at a time: a scenario listens from its START to its STOP, and a START waits (up to
120 s) until the scenario before it has stopped and the port is free, so that tests running in parallel, in this
peer daemon or in another test environment's, queue for the port instead of colliding.

Scenarios:
  feed   spots with ids 1..N; reading k (counted from 0) sees the newest id of newest=a,b,c (the last one
         stays), and gets the newest "limit" of them. Parameters:
           newest=5,60    newest id per reading             order=desc|asc|shuffle (default shuffle)
           invalid=2,7    ids that are web spots failing the checks (DX call N0CALL)
           relayed=3      ids that are relayed spots (no "-@"); their frequency is a bare number
           fail=503       status of failed readings         failfrom=1 failcount=3 (readings that fail)
           notarray=2     reading that is answered by an object
           gzip=1         answers gzip-encoded              post=201 status of a POST
  hang   accepts the request and never answers (until stopped).
Other peers may serve another path on the same listener: a scenario with a "path" attribute answers that path
instead (see peer_nodelist.py); its answers may carry a fourth element, a list of extra headers (a
Content-Length or Transfer-Encoding among them replaces the length of the data sent).
Events recorded: "get" (path and query), "post" (request head, a blank line, the body), "hang".
"""
import errno
import gzip
import json
import os
import random
import socket
import ssl
import threading
import time
from http.server import BaseHTTPRequestHandler, HTTPServer
from socketserver import ThreadingMixIn

PORT = 443
WAIT_FOR_PORT_S = 120


def spot(ident, params):
    invalid = ident in params.get("invalid", ())
    relayed = ident in params.get("relayed", ())
    record = {
        "id": ident,
        "de_call": "DL1ABC" if relayed else "K8RQT-@",
        "dx_call": "N0CALL" if invalid else "N4XJZ",
        # Frequencies come as numbers and as strings, texts sometimes as null.
        "frequency": 7000 + ident + 0.25 if relayed or ident % 2 else "%d.25" % (7000 + ident),
        "info": None if ident % 5 == 0 else "id %d" % ident,
        "time": "2026-12-07T%02d:%02d:00" % (ident // 60 % 24, ident % 60),
        "dx_country": "Fed. Rep. of Germany",
        "extra": {"nested": [1, {"deep": None}]},
    }
    return record


def int_list(text):
    return tuple(int(x) for x in text.split(",") if x) if text else ()


class Feed:
    def __init__(self, params, recorder):
        self.recorder = recorder
        self.params = {
            "newest": int_list(params.get("newest", "10")),
            "invalid": int_list(params.get("invalid", "")),
            "relayed": int_list(params.get("relayed", "")),
        }
        self.order = params.get("order", "shuffle")
        self.fail = int(params.get("fail", "0"))
        self.fail_from = int(params.get("failfrom", "0"))
        self.fail_count = int(params.get("failcount", "0"))
        self.not_array = int(params.get("notarray", "-1"))
        self.gzip = params.get("gzip") == "1"
        self.post_status = int(params.get("post", "201"))
        self.readings = 0
        self.lock = threading.Lock()

    def answer(self, handler, method, query, body):
        if method == "POST":
            head = "%s %s\r\n" % (method, handler.path)
            head += "".join("%s: %s\r\n" % item for item in handler.headers.items())
            self.recorder.add("post", head.encode("utf-8") + b"\r\n" + body)
            return self.post_status, b'{"ok": true}', False
        self.recorder.add("get", handler.path)
        with self.lock:
            reading = self.readings
            self.readings += 1
        if self.fail and self.fail_from <= reading < self.fail_from + self.fail_count:
            return self.fail, b'{"error": "try again later"}', False
        if reading == self.not_array:
            return 200, b'{"error": "not a list"}', False
        newest = self.params["newest"]
        top = newest[min(reading, len(newest) - 1)]
        limit = int(query.get("limit", "100"))
        ids = list(range(top, max(0, top - limit), -1))
        if self.order == "asc":
            ids.reverse()
        elif self.order == "shuffle":
            random.Random(reading).shuffle(ids)
        data = json.dumps([spot(i, self.params) for i in ids]).encode("utf-8")
        return 200, data, self.gzip


class Hang:
    def __init__(self, params, recorder):
        self.recorder = recorder
        self.stopped = threading.Event()

    def answer(self, handler, method, query, body):
        self.recorder.add("hang", handler.path)
        self.stopped.wait(600)
        return None


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def handle_one(self, method):
        length = int(self.headers.get("Content-Length") or 0)
        body = self.rfile.read(length) if length else b""
        path, _, query_text = self.path.partition("?")
        query = dict(p.split("=", 1) for p in query_text.split("&") if "=" in p)
        scenario = SERVICE.active
        if scenario is None or path != getattr(scenario, "path", "/api/v1/spots"):
            self.reply(404, b"not here", False)
            return
        answer = scenario.answer(self, method, query, body)
        if answer is None:
            self.close_connection = True
            return
        self.reply(*answer, head=method == "HEAD")

    def reply(self, status, data, compressed, headers=(), head=False):
        if compressed:
            data = gzip.compress(data)
        self.send_response(status)
        self.send_header("Content-Type", "application/json")
        if compressed:
            self.send_header("Content-Encoding", "gzip")
        if not any(name in ("Content-Length", "Transfer-Encoding") for name, _ in headers):
            self.send_header("Content-Length", str(len(data)))
        for name, value in headers:
            self.send_header(name, value)
        self.end_headers()
        if not head:
            self.wfile.write(data)

    def do_HEAD(self):
        self.handle_one("HEAD")

    def do_GET(self):
        self.handle_one("GET")

    def do_POST(self):
        self.handle_one("POST")


class TlsServer(ThreadingMixIn, HTTPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, context):
        self.context = context
        self.clients = set()
        self.clients_lock = threading.Lock()
        HTTPServer.__init__(self, ("127.0.0.1", PORT), Handler)

    def finish_request(self, request, client_address):
        # The handshake runs on the connection's own thread, not on the one that accepts.
        with self.clients_lock:
            self.clients.add(request)
        try:
            request.settimeout(60)
            tls = self.context.wrap_socket(request, server_side=True)
            Handler(tls, client_address, self)
        except (ssl.SSLError, OSError):
            pass
        finally:
            with self.clients_lock:
                self.clients.discard(request)

    def drop_clients(self):
        with self.clients_lock:
            clients = list(self.clients)
        for client in clients:
            try:
                client.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass


class Service:
    """The listener on port 443 and the scenario it serves. The listener lives as long as its scenario, so that
    the peer daemons of test environments running side by side take turns at the port."""

    def __init__(self):
        self.lock = threading.Condition()
        self.server = None
        self.active = None

    def activate(self, scenario):
        deadline = time.monotonic() + WAIT_FOR_PORT_S
        with self.lock:
            if not self.lock.wait_for(lambda: self.active is None, WAIT_FOR_PORT_S):
                raise RuntimeError("port 443 is still held by another DX Summit scenario")
            self.server = self.listen(deadline)
            threading.Thread(target=self.server.serve_forever, args=(0.05,), daemon=True).start()
            self.active = scenario

    @staticmethod
    def listen(deadline):
        """Binds port 443, waiting while another daemon holds it."""
        tls_dir = os.environ.get("KV_TLS_DIR", "")
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(os.path.join(tls_dir, "localhost.crt"), os.path.join(tls_dir, "localhost.key"))
        while True:
            try:
                return TlsServer(context)
            except OSError as error:
                if error.errno != errno.EADDRINUSE or time.monotonic() > deadline:
                    raise
            time.sleep(0.1)

    def deactivate(self, scenario):
        with self.lock:
            if self.active is not scenario:
                return
            server = self.server
            self.active = None
            self.server = None
            server.shutdown()
            server.server_close()
            # Connections kept alive by the last client end with its scenario.
            server.drop_clients()
            self.lock.notify_all()


SERVICE = Service()


class Peer:
    port = PORT

    def __init__(self, scenario):
        self.scenario = scenario
        SERVICE.activate(scenario)

    def stop(self):
        if isinstance(self.scenario, Hang):
            self.scenario.stopped.set()
        SERVICE.deactivate(self.scenario)

    def info(self):
        return "readings=%d" % getattr(self.scenario, "readings", 0)


def make(scenario, params, recorder):
    kinds = {"feed": Feed, "hang": Hang}
    if scenario not in kinds:
        raise ValueError("unknown scenario " + scenario)
    return Peer(kinds[scenario](params, recorder))
