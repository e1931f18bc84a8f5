"""A fake DX cluster node on loopback for the Telnet transport's tests.

It behaves like the captured node of ../shared/peers: the login prompt without a line end and without any
Telnet negotiation, CR LF line ends, two BEL bytes before the CR LF of a broadcast spot. Everything is written
in small chunks with pauses, so that the client's reads really split. Every received chunk is recorded
("recv"), and every complete line ("line") with the time it was complete.

Scenarios (params: chunk=<bytes per write, default 4>, pause=<ms between writes, default 10>):
  session        login, password (when password=1), greeting, prompts; answers each line with the prompt
  telnet         option requests and a subnegotiation split across writes, IAC IAC, a Latin-1 and a UTF-8
                 line, a 4-byte UTF-8 character and CR LF split across writes
  greeting       the greeting and login prompt of one cluster software (software=dxspider|arcluster|cc|clx|
                 skimmer)
  newaccount     after the login: "choose a password", then a password prompt and its confirmation
  wrongpassword  a password prompt after the login, and again after every answer (three times)
  refusespassword  a password prompt after the login, then "Sorry" and the end of the connection, every time
  askspassword   one password prompt after the login, without any hint of a new account
  closeafterdata sends a few lines and an unfinished one, then closes at once
  contest        the login prompt of a software (software=...), the greeting; answers every line with the
                 prompt until the client is quiet for a second, then sends the lines named in lines=a,b,...
                 (common, own, rejected, twice: the common spot twice in a row, written together, split: cut in
                 two writes 150 ms apart, closing); with close=1 it then
                 closes its first connection once the client's login has ended (shown by the client's first
                 line after its login: give the connection a command), else it answers every line with the
                 prompt
  stream         after the login, rate=<lines a second> spot lines for seconds=<n>, in writes every 20 ms, or
                 until told "stop" ("stream-sent" with the number of lines sent)
  flood          after the login, a misbehaving stream (kind=longline|nolineends|random, size=, seed=) as
                 fast as the client takes it, then spots=<n> unique spots
  stallread      after the login line, reads nothing until told "stop", then reads everything; each line that
                 does not begin with "fill" is recorded ("line"), followed by the bytes read up to its end ("read")
  reset          sends the login prompt, then resets the connection (RST)
  refused        nothing listens on the port
  neveraccepts   the listen queue is full: a connect gets no answer
"""
import random
import socket
import struct
import threading
import time

NODE = b"GB7TST"
PROMPT = b"N0CALL de GB7TST  8-Dec-2026 1928Z dxspider >\r\n"
GREETING = (b"Hello N0CALL, this is GB7TST in SomeTown, SomeState\r\nrunning DXSpider V1.57 build 441\r\n"
            b"Capabilities: ve7cc rbn\r\nNodes: 0/1 Users [Loc/Clr]: 1/1 Max: 0/1 - Uptime:  14s\r\n")
SPOT = b"DX de N0TST:     14025.0  DL1XYZ       test                           1928Z\x07\x07\r\n"

GREETINGS = {
    "dxspider": (b"", b"login: "),
    "arcluster": (b"AR-Cluster node GB7TST\r\nWelcome to AR-Cluster Telnet\r\n", b"Please enter your call: "),
    "cc": (b"CC-Cluster GB7TST\r\nWelcome to CC Cluster, running CC-User\r\n", b"Please enter your call:\r\n"),
    "clx": (b"CLX gateway GB7TST ready\r\n", b"Call : "),
    "skimmer": (b"CW Skimmer Telnet server\r\n", b"Please enter your callsign"),
}


class Conn:
    def __init__(self, sock, params, recorder):
        self.sock = sock
        self.recorder = recorder
        self.chunk = int(params.get("chunk", "4"))
        self.pause = int(params.get("pause", "10")) / 1000.0
        self.pending = b""
        self.after_cr = False
        self.lines_read = 0
        sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)

    def write(self, data, chunk=None):
        chunk = chunk or self.chunk
        for i in range(0, len(data), chunk):
            self.sock.sendall(data[i:i + chunk])
            time.sleep(self.pause)

    def write_pieces(self, *pieces):
        """Each piece is one write, with a pause after it."""
        for piece in pieces:
            self.sock.sendall(piece)
            time.sleep(max(self.pause, 0.05))

    def read_line(self, timeout=30):
        """One line without its ending (CR, LF or CR LF), or None when the client closed."""
        self.sock.settimeout(timeout)
        while True:
            if self.after_cr and self.pending:
                if self.pending.startswith(b"\n"):
                    self.pending = self.pending[1:]
                self.after_cr = False
            ends = [i for i in (self.pending.find(b"\n"), self.pending.find(b"\r")) if i >= 0]
            if ends:
                cut = min(ends)
                line = self.pending[:cut]
                self.after_cr = self.pending[cut:cut + 1] == b"\r"
                self.pending = self.pending[cut + 1:]
                self.lines_read += 1
                return line
            data = self.sock.recv(4096)
            if not data:
                return None
            self.recorder.add("recv", data)
            self.pending += data

    def drain(self, timeout=30):
        """Records everything until the client closes."""
        self.sock.settimeout(timeout)
        try:
            while True:
                data = self.sock.recv(4096)
                if not data:
                    break
                self.recorder.add("recv", data)
        except OSError:
            pass


class LineRecorder:
    """Wraps the recorder so that each complete received line is recorded as well."""

    def __init__(self, recorder):
        self.recorder = recorder
        self.partial = b""

    def add(self, event, data=b""):
        self.recorder.add(event, data)
        if event != "recv":
            return
        self.partial += data
        while True:
            lf = self.partial.find(b"\n")
            cr = self.partial.find(b"\r")
            if cr >= 0 and (lf < 0 or cr < lf):
                if cr + 1 == len(self.partial):
                    return  # CR alone or CR LF: the next byte tells
                cut = cr + 2 if self.partial[cr + 1:cr + 2] == b"\n" else cr + 1
            elif lf >= 0:
                cut = lf + 1
            else:
                return
            self.recorder.add("line", self.partial[:cut])
            self.partial = self.partial[cut:]


def converse(c, *prompts):
    """Writes each prompt and waits for its answer; False when the client went away."""
    for prompt in prompts:
        c.write(prompt)
        if c.read_line() is None:
            return False
    return True


def scenario_session(c, params):
    prompts = [b"login: "] + ([b"password: "] if params.get("password") == "1" else [])
    if not converse(c, *prompts):
        return
    c.write(GREETING + b"Please enter your name, set/name <your name>\r\n" + PROMPT)
    spots = int(params.get("spots", "1"))
    while True:
        line = c.read_line()
        if line is None or line.strip().lower() == b"bye":
            return
        if spots > 0:
            c.write(SPOT)
            spots -= 1
        c.write(PROMPT)


def scenario_telnet(c, params):
    c.write_pieces(b"\xff\xfb\x01\xff", b"\xfd\x18\xff\xfc", b"\x05\xff\xfe\x07\xff\xfa\x18",
                   b"\x01\xff", b"\xff\x02\xff\xf0login: ")
    if c.read_line() is None:
        return
    c.write_pieces(b"IAC \xff", b"\xff here\r\n",
                   b"Gr\xfc\xdfe aus M\xfcnchen\r\nGr\xc3\xbc\xc3\x9fe aus M\xc3\xbcnchen\r\n",
                   b"antenna \xf0\x9f", b"\x93\xa1 up\r", b"\nend\r\n")
    c.drain()


def scenario_greeting(c, params):
    banner, prompt = GREETINGS[params.get("software", "dxspider")]
    if converse(c, banner + prompt):
        c.write(b"Welcome\r\n" + PROMPT)
        c.drain()


def scenario_newaccount(c, params):
    if converse(c, b"login: ", b"New user. Please choose a password for your account.\r\npassword: ",
                b"Confirm password: "):
        c.write(b"Account created\r\n" + PROMPT)
        c.drain()


def scenario_wrongpassword(c, params):
    wrong = b"Sorry, wrong password\r\n"
    if converse(c, b"login: ", b"password: ", wrong + b"password: ", wrong + b"password: "):
        c.write(wrong)
        c.drain()


def scenario_refusespassword(c, params):
    if converse(c, b"login: ", b"password: "):
        c.write(b"Sorry\r\n")


def scenario_askspassword(c, params):
    if converse(c, b"login: "):
        c.write(b"password: ")
        c.drain()


def scenario_closeafterdata(c, params):
    c.write(b"Node shutting down\r\n" + SPOT + b"73 de GB7TST")
    c.sock.shutdown(socket.SHUT_WR)
    c.drain(5)


CONTEST_LINES = {
    "common": SPOT,
    "own": b"DX de N0TST:     21074.0  JA1ABC       FT8                            1929Z\x07\x07\r\n",
    "bown": b"DX de N0TST:      3525.0  OK1BBB       cq                             1929Z\x07\x07\r\n",
    "rejected": b"DX de N0TST:      7010.0  F5ABC        cq                             1929Z\x07\x07\r\n",
    "twice": SPOT + SPOT,
    "split": (b"DX de N0TST:     28020.0  VK2SPL       split acr",
              b"oss reads             1930Z\x07\x07\r\n"),
    "closing": b"73 de GB7TST\r\n",
}
_connections_lock = threading.Lock()


def count_connection(params):
    """The number of this connection to the peer, from 1."""
    with _connections_lock:
        params["connections"] = str(int(params.get("connections", "0")) + 1)
        return int(params["connections"])


def await_end_of_login(c):
    """Waits for the client's first line after its login line: a client sends its commands only once its
    login has ended. False when the client went away."""
    while c.lines_read < 2:
        if c.read_line() is None:
            return False
    return True


def answer_until_quiet(c, quiet):
    """Answers every line with the prompt until none comes for quiet seconds; False when the client left."""
    while True:
        try:
            line = c.read_line(quiet)
        except socket.timeout:
            return True
        if line is None or line.strip().lower() == b"bye":
            return False  # a node ends the session on "bye"
        c.write(PROMPT)


def log_in(c, params):
    software = params.get("software", "dxspider")
    banner, prompt = GREETINGS[software]
    if not converse(c, banner + prompt):
        return False
    c.write((GREETING if software == "dxspider" else b"Welcome\r\n") + PROMPT)
    return True


def scenario_contest(c, params):
    first = count_connection(params) == 1
    if not log_in(c, params) or not answer_until_quiet(c, 1.0):
        return
    for name in params.get("lines", "").split(","):
        line = CONTEST_LINES.get(name, b"")
        if isinstance(line, tuple):
            c.write(line[0])
            time.sleep(0.15)
            c.write(line[1])
        else:
            c.write(line)
    if params.get("close") == "1" and first:
        await_end_of_login(c)
        time.sleep(0.3)
        return
    answer_until_quiet(c, 300)


def scenario_stream(c, params):
    if not log_in(c, params) or not answer_until_quiet(c, 1.0):
        return
    rate = int(params.get("rate", "1000"))
    total = rate * int(params.get("seconds", "3"))
    start = time.monotonic()
    sent = 0
    while sent < total and not params["stop"].is_set():
        due = min(total, int((time.monotonic() - start) * rate))
        block = b"".join(b"DX de K1ABC:     14025.0  JA%05dX     CQ TEST                        1200Z\x07\x07\r\n"
                         % (n % 100000) for n in range(sent, due))
        if block:
            c.sock.sendall(block)
        sent = due
        time.sleep(0.02)
    c.recorder.add("stream-sent", str(sent))
    c.write(b"stream end\r\n")
    answer_until_quiet(c, 300)


def flood_bytes(params):
    """What a misbehaving node sends: kind=longline (one line of size= bytes), nolineends (size= bytes of text
    without a line end) or random (size= random bytes, seeded with seed=, ended by IAC SE and CR LF)."""
    kind = params.get("kind", "longline")
    size = int(params.get("size", str(1 << 20)))
    rng = random.Random(int(params.get("seed", "3")))
    if kind == "random":
        return rng.randbytes(size) + b"\xff\xf0\r\n"
    text = bytes(32 + b % 95 for b in rng.randbytes(size))
    return text + b"\r\n" if kind == "longline" else text


def scenario_flood(c, params):
    """After the login, the bad bytes of flood_bytes as fast as the client takes them ("flood-done" when all
    are written), then spots= unique spots ("DX de N0TST: ... FLOOD<n> ..."), then prompts."""
    if not log_in(c, params) or not answer_until_quiet(c, 1.0):
        return
    c.sock.sendall(flood_bytes(params))
    c.recorder.add("flood-done")
    for n in range(int(params.get("spots", "20"))):
        c.sock.sendall(b"DX de N0TST:     14025.0  DL1XYZ       FLOOD%03d                       1928Z\x07\x07\r\n" % n)
    answer_until_quiet(c, 300)


def scenario_stallread(c, params):
    c.write(b"login: ")
    c.sock.settimeout(30)
    read, partial, logged_in = 0, b"", False
    while True:
        data = c.sock.recv(65536)
        if not data:
            return
        read += len(data)
        buffered = partial + data
        *lines, partial = buffered.split(b"\n")
        at = read - len(buffered)  # the stream offset of the buffered bytes
        for line in lines:
            at += len(line) + 1
            if not line.startswith(b"fill"):
                c.recorder.recorder.add("line", line + b"\n")
                c.recorder.recorder.add("read", str(at))
        if lines and not logged_in:
            logged_in = True
            c.write(PROMPT)
            params["stop"].wait()


def scenario_reset(c, params):
    c.write(b"login: ")
    c.read_line(10)
    time.sleep(0.2)
    # Spots still on their way when the reset comes: the client meets the reset while reading them.
    c.sock.sendall(SPOT * int(params.get("spots", "400")))
    c.sock.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))


SCENARIOS = {name[len("scenario_"):]: fn for name, fn in globals().items() if name.startswith("scenario_")}


class ClusterPeer:
    def __init__(self, scenario, params, recorder):
        self.scenario = scenario
        self.params = dict(params, stop=threading.Event())
        self.recorder = LineRecorder(recorder)
        self.running = True
        self.held = []
        self.sock = socket.socket()
        self.sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self.sock.bind(("127.0.0.1", 0))
        self.port = self.sock.getsockname()[1]
        if scenario == "refused":
            self.sock.close()
            return
        if scenario == "neveraccepts":
            self.sock.listen(0)
            self._fill_listen_queue()
            return
        if scenario not in SCENARIOS:
            raise ValueError("unknown scenario " + scenario)
        self.sock.listen(4)
        threading.Thread(target=self.serve, daemon=True).start()

    def _fill_listen_queue(self):
        for _ in range(3):
            s = socket.socket()
            s.setblocking(False)
            s.connect_ex(("127.0.0.1", self.port))
            self.held.append(s)
        time.sleep(0.2)

    def serve(self):
        while self.running:
            try:
                sock, _ = self.sock.accept()
            except OSError:
                return
            self.recorder.add("accept")
            threading.Thread(target=self.run, args=(sock,), daemon=True).start()

    def run(self, sock):
        c = Conn(sock, self.params, self.recorder)
        try:
            SCENARIOS[self.scenario](c, self.params)
        except OSError as e:
            self.recorder.add("error", str(e))
        finally:
            self.recorder.add("close")
            sock.close()

    def tell(self, message):
        if message != b"stop":
            raise ValueError("unknown message")
        self.params["stop"].set()
        return "stopping"

    def stop(self):
        self.running = False
        for s in self.held:
            s.close()
        try:
            self.sock.close()
        except OSError:
            pass


def make(scenario, params, recorder):
    return ClusterPeer(scenario, params, recorder)
