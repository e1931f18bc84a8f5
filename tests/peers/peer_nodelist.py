"""The web server of the node-list file: HEAD and GET of /nodes/DXCLUSTER_NODES.CSV, Last-Modified,
If-Modified-Since.

Scenario "serve" listens on a port of its own; scenario "https" answers on the HTTPS listener of
peer_dxsummit.py (port 443) under /directory-tests/DXCLUSTER_NODES.CSV. Parameters of both:
  body=csv        the list: a release line, a header and nodes=N active rows (default 3); also
       legacy     an older one-node-per-line list
       emptycsv   a CSV list with its release and header lines only
       html       a web page
       sized      a CSV list padded with a comment line to exactly size=N bytes
  release=TEXT    the release line of the CSV (default 2026-12-01)
  lastmod=SECS    the Last-Modified time, seconds since 1970 (default 1764547200); "none" for no header
  head=refuse     HEAD is answered 405 without Last-Modified
  status=CODE     every GET is answered with this status and a short text
  delay=MS        every GET waits this long before its answer
  query=TEXT      the file is served only with this query string ("?TEXT" after the path)
  gzip=1          the file is sent gzip-encoded (Content-Encoding: gzip) when the request's Accept-Encoding
                  names gzip or is missing (then any encoding is acceptable); gzip=always whatever it says
  encoding=NAME   the file is sent as it is, marked "Content-Encoding: NAME" (when gzip does not apply)
  chunked=N       the file is sent in chunks of N bytes (Transfer-Encoding: chunked) instead of with a length
  cut=N           a GET of the file announces the whole body but sends its first N bytes (of the gzip stream
                  when encoded) and closes; a chunk that N ends inside is announced whole
A GET whose If-Modified-Since is not older than the file's time is answered 304.
Events recorded: "head" (path), "get" (path, a line feed, the If-Modified-Since value).
"""
import email.utils
import gzip
import threading
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

PATH = "/nodes/DXCLUSTER_NODES.CSV"
# On the shared HTTPS listener the file stands apart from the address of the test prefix's settings, so that
# the downloads of programs started by other tests meanwhile neither reach it nor install it.
HTTPS_PATH = "/directory-tests/DXCLUSTER_NODES.CSV"
HEADER = "Node,Address,Port,Active,ADIF,Skimmer,City,State,Grid,Sysop,Name,Email,Publish,Software,Version,URL"


def csv_body(release, count):
    rows = ["%s\r\n%s\r\n" % (release, HEADER)]
    for i in range(count):
        rows.append("N%dTST-%d,node%d.example.net,%d,yes,291,also,Town,ST,FN42,N%dTST,Op,,yes,DXSpider,1.57,\r\n"
                    % (i % 10, i, i, 7300 + i % 100, i % 10))
    return "".join(rows).encode("utf-8")


def sized_body(size):
    head = csv_body("2026-12-02", 1)
    filler = size - len(head) - 3
    if filler < 0:
        raise ValueError("size too small")
    return head + b"#" + b"x" * filler + b"\r\n"


def make_body(params):
    kind = params.get("body", "csv")
    if kind == "csv":
        return csv_body(params.get("release", "2026-12-01"), int(params.get("nodes", "3")))
    if kind == "legacy":
        return b"# Release 9\r\nW1AW,w1aw.example.net,7300\r\nK1TTT,k1ttt.example.net\r\n"
    if kind == "emptycsv":
        return csv_body("2026-12-01", 0)
    if kind == "html":
        return b"<!DOCTYPE html>\r\n<html><body>Moved, see the new site</body></html>\r\n"
    if kind == "sized":
        return sized_body(int(params["size"]))
    raise ValueError("unknown body " + kind)


def accepts_gzip(accept):
    """Whether an Accept-Encoding value lets gzip be sent; a request without one accepts any encoding."""
    if not accept:
        return True
    for item in accept.split(","):
        name, _, quality = item.strip().partition(";")
        if name.strip().lower() in ("gzip", "*"):
            return quality.replace(" ", "").lower() not in ("q=0", "q=0.0", "q=0.00", "q=0.000")
    return False


class NodeListFile:
    """The answers of the server, whichever listener carries them."""

    def __init__(self, params, recorder, path=PATH):
        self.recorder = recorder
        self.body = make_body(params)
        lastmod = params.get("lastmod", "1764547200")
        self.lastmod = None if lastmod == "none" else int(lastmod)
        self.refuse_head = params.get("head") == "refuse"
        self.status = int(params.get("status", "0"))
        self.delay = int(params.get("delay", "0")) / 1000.0
        self.path = path + ("?" + params["query"] if "query" in params else "")
        self.cut = int(params["cut"]) if "cut" in params else None
        self.gzip = params.get("gzip")
        self.encoding = params.get("encoding")
        self.chunk = int(params["chunked"]) if "chunked" in params else None
        self.stopped = threading.Event()

    def respond(self, method, path, since, accept=""):
        """(status, body, extra headers), or None when stopped while waiting."""
        if method == "HEAD":
            self.recorder.add("head", path)
        else:
            self.recorder.add("get", path + "\n" + since)
            if self.stopped.wait(self.delay):
                return None
        if path != self.path:
            return 404, b"not here", []
        if method == "HEAD" and self.refuse_head:
            return 405, b"", []
        if method == "GET" and self.status:
            return self.status, b"try again later", []
        if method == "GET" and since and self.lastmod is not None and self.not_modified_since(since):
            return 304, b"", []
        headers = []
        if self.lastmod is not None:
            headers.append(("Last-Modified", email.utils.formatdate(self.lastmod, usegmt=True)))
        if method == "HEAD":
            return 200, self.body, headers
        data = self.body
        if self.gzip == "always" or (self.gzip == "1" and accepts_gzip(accept)):
            data = gzip.compress(data)
            headers.append(("Content-Encoding", "gzip"))
        elif self.encoding:
            headers.append(("Content-Encoding", self.encoding))
        end = len(data) if self.cut is None else self.cut
        if self.cut is not None:
            headers.append(("Connection", "close"))
        if self.chunk is not None:
            headers.append(("Transfer-Encoding", "chunked"))
            return 200, self.chunked(data, end), headers
        headers.append(("Content-Length", str(len(data))))
        return 200, data[:end], headers

    def chunked(self, data, end):
        """The chunks of data as sent until its byte end: the closing empty chunk only after all of it."""
        wire = b""
        for start in range(0, len(data), self.chunk):
            if start >= end:
                return wire
            piece = data[start:start + self.chunk]
            wire += b"%x\r\n" % len(piece) + piece[:end - start]
            if start + len(piece) > end:
                return wire
            wire += b"\r\n"
        return wire + b"0\r\n\r\n"

    def not_modified_since(self, since):
        try:
            return email.utils.parsedate_to_datetime(since).timestamp() >= self.lastmod
        except (TypeError, ValueError):
            return False

    def info(self):
        return "bytes=%d" % len(self.body)


class HttpServer:
    """Plain HTTP on a port of its own."""

    def __init__(self, file):
        self.file = file

        class Handler(BaseHTTPRequestHandler):
            protocol_version = "HTTP/1.1"

            def log_message(self, *args):
                pass

            def do_HEAD(self):
                self.answer("HEAD")

            def do_GET(self):
                self.answer("GET")

            def answer(self, method):
                answer = file.respond(method, self.path, self.headers.get("If-Modified-Since") or "",
                                      self.headers.get("Accept-Encoding") or "")
                if answer is None:
                    self.close_connection = True
                    return
                status, data, headers = answer
                self.send_response(status)
                self.send_header("Content-Type", "text/csv")
                if not any(name in ("Content-Length", "Transfer-Encoding") for name, _ in headers):
                    self.send_header("Content-Length", str(len(data) if status != 304 else 0))
                for name, value in headers:
                    self.send_header(name, value)
                self.end_headers()
                if method == "GET" and status != 304:
                    self.wfile.write(data)

        self.httpd = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.httpd.daemon_threads = True
        self.port = self.httpd.server_address[1]
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()

    def stop(self):
        self.file.stopped.set()
        self.httpd.shutdown()
        self.httpd.server_close()

    def info(self):
        return self.file.info()


class HttpsScenario:
    """The file on the HTTPS listener of peer_dxsummit.py (port 443, the test CA's certificate)."""

    path = HTTPS_PATH

    def __init__(self, file):
        self.file = file

    def answer(self, handler, method, query, body):
        answer = self.file.respond(method, handler.path, handler.headers.get("If-Modified-Since") or "",
                                   handler.headers.get("Accept-Encoding") or "")
        if answer is None:
            return None
        status, data, headers = answer
        return status, data if status != 304 else b"", False, headers


class HttpsServer:
    def __init__(self, file):
        import peer_dxsummit
        self.service = peer_dxsummit.SERVICE
        self.file = file
        self.scenario = HttpsScenario(file)
        self.service.activate(self.scenario)
        self.port = peer_dxsummit.PORT

    def stop(self):
        self.file.stopped.set()
        self.service.deactivate(self.scenario)

    def info(self):
        return self.file.info()


def make(scenario, params, recorder):
    if scenario == "serve":
        return HttpServer(NodeListFile(params, recorder))
    if scenario == "https":
        return HttpsServer(NodeListFile(params, recorder, HTTPS_PATH))
    raise ValueError("unknown scenario " + scenario)
