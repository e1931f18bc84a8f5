"""The web server of the node-list file, in plain HTTP on a port of its own (tests point [Links] NodeListUrl
at it): HEAD and GET of /nodes/DXCLUSTER_NODES.CSV, Last-Modified, If-Modified-Since.

Scenario "serve", parameters:
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
A GET whose If-Modified-Since is not older than the file's time is answered 304.
Events recorded: "head" (path), "get" (path, a line feed, the If-Modified-Since value).
"""
import email.utils
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

PATH = "/nodes/DXCLUSTER_NODES.CSV"
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


class NodeListServer:
    def __init__(self, params, recorder):
        self.recorder = recorder
        self.body = make_body(params)
        lastmod = params.get("lastmod", "1764547200")
        self.lastmod = None if lastmod == "none" else int(lastmod)
        self.refuse_head = params.get("head") == "refuse"
        self.status = int(params.get("status", "0"))
        self.delay = int(params.get("delay", "0")) / 1000.0
        self.stopped = threading.Event()
        server = self

        class Handler(BaseHTTPRequestHandler):
            protocol_version = "HTTP/1.1"

            def log_message(self, *args):
                pass

            def do_HEAD(self):
                server.recorder.add("head", self.path)
                if self.path != PATH:
                    return self.answer(404, b"", head=True)
                if server.refuse_head:
                    return self.answer(405, b"", head=True)
                self.answer(200, server.body, head=True)

            def do_GET(self):
                since = self.headers.get("If-Modified-Since") or ""
                server.recorder.add("get", self.path + "\n" + since)
                if server.stopped.wait(server.delay):
                    return
                if self.path != PATH:
                    return self.answer(404, b"not here")
                if server.status:
                    return self.answer(server.status, b"try again later")
                if since and server.lastmod is not None and server.not_modified_since(since):
                    return self.answer(304, b"", head=True)
                self.answer(200, server.body)

            def answer(self, status, data, head=False):
                self.send_response(status)
                self.send_header("Content-Type", "text/csv")
                self.send_header("Content-Length", str(len(data)))
                if status == 200 and server.lastmod is not None:
                    self.send_header("Last-Modified", email.utils.formatdate(server.lastmod, usegmt=True))
                self.end_headers()
                if not head:
                    self.wfile.write(data)

        self.httpd = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.httpd.daemon_threads = True
        self.port = self.httpd.server_address[1]
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()

    def not_modified_since(self, since):
        try:
            return email.utils.parsedate_to_datetime(since).timestamp() >= self.lastmod
        except (TypeError, ValueError):
            return False

    def stop(self):
        self.stopped.set()
        self.httpd.shutdown()
        self.httpd.server_close()

    def info(self):
        return "bytes=%d" % len(self.body)


def make(scenario, params, recorder):
    if scenario != "serve":
        raise ValueError("unknown scenario " + scenario)
    return NodeListServer(params, recorder)
