"""A station of the Quarnel logger network, on loopback.

It shares the network's UDP port with the program under test (SO_REUSEADDR) by binding 127.255.255.255, so
that it hears every broadcast to 127.255.255.255 and nothing sent to 127.0.0.1 alone. It decodes what it hears
with a decoder of its own, written from the wire format: reassembly per sender, checksum, un-framing, field
split. It records:
    datagram       the bytes of each datagram
    packet         the fields of each good packet, joined by 0x1F
    bad-checksum   the framed bytes of a packet whose checksum byte is wrong
    sent           the framed bytes of each packet it sent itself

Its own packets are broadcast from another socket on 127.0.0.1, when asked by a "GAB:" packet sent to it:
    message "send"       a "SENDPKT:" packet (text: parameter text, "%20" for a blank) cut in two datagrams,
                         with a complete packet of another sender between the halves
    message "burst N"    N small "SENDPKT:" packets numbered 1..N, each in one datagram
Scenario "silent" never answers. Parameter port=N takes that port instead of a free one.

A test can also make it send a packet at once (peerd's TELL): the message is the packet's fields separated by
0x1F, the keyword first with its colon; a field that begins with "#" goes bare without the "#" (a number),
every other one quoted and escaped. For example b'SENDPKT:\x1fSTN2\x1fTELNET\x1f/status' or
b'CWSKIMMERFREQ:\x1fSTN1\x1fTELNET\x1f#0\x1f#140253'. The framed packet is recorded as "sent".
"""
import queue
import re
import socket
import threading
import time

DEFAULT_TEXT = b'sh/dx 20\r\nDX 14025.0 K1ABC \xe95 "tu" \\ 73'
FIELD_SEPARATOR = b"\x1f"
PACKET_END = re.compile(rb"[\x80-\xff]")


def escape(data):
    out = bytearray()
    after_octal = False
    for b in data:
        if b == 0:
            continue
        if b >= 0x7F or (after_octal and 0x30 <= b <= 0x39):
            out += b"\\%03o" % b
            after_octal = True
            continue
        if b in (0x22, 0x5C):
            out.append(0x5C)
        out.append(b)
        after_octal = False
    return bytes(out)


def frame(text):
    out = bytearray()
    for b in text:
        if b == 0xFF:
            continue
        if b >= 0x7F:
            out += bytes((0x7F, b & 0x7F))
        else:
            out.append(b)
    out.append((sum(out) & 0xFF) | 0x80)
    return bytes(out)


def unframe(packet):
    """The text of a framed packet, or None when its checksum byte is wrong."""
    body, check = packet[:-1], packet[-1]
    if (sum(body) & 0xFF) | 0x80 != check:
        return None
    out = bytearray()
    i = 0
    while i < len(body):
        if body[i] == 0x7F and i + 1 < len(body):
            out.append(body[i + 1] | 0x80)
            i += 2
        else:
            out.append(body[i])
            i += 1
    return bytes(out)


SIMPLE_ESCAPES = {ord("a"): 7, ord("b"): 8, ord("f"): 12, ord("n"): 10, ord("r"): 13, ord("t"): 9, ord("v"): 11}


def unescape(data, pos):
    """Decodes a quoted field from after its quote: (bytes, position after it), or None when malformed."""
    out = bytearray()
    while pos < len(data):
        c = data[pos]
        pos += 1
        if c == 0x22:
            return bytes(out), pos
        if c != 0x5C:
            out.append(c)
            continue
        if pos == len(data):
            return None
        c = data[pos]
        pos += 1
        if 0x30 <= c <= 0x37:
            value, n = c - 0x30, 1
            while n < 3 and pos < len(data) and 0x30 <= data[pos] <= 0x37:
                value, n, pos = value * 8 + data[pos] - 0x30, n + 1, pos + 1
            out.append(value & 0xFF)
        elif c == ord("x"):
            digits = b""
            while len(digits) < 2 and pos < len(data) and chr(data[pos]) in "0123456789abcdefABCDEF":
                digits += data[pos:pos + 1]
                pos += 1
            out.append(int(digits, 16) if digits else 0)
        else:
            out.append(SIMPLE_ESCAPES.get(c, c))
    return bytes(out), pos


def split_fields(text):
    fields, pos = [], 0
    while len(fields) < 31:
        while pos < len(text) and (text[pos] == 0x20 or 0x09 <= text[pos] <= 0x0D):
            pos += 1
        if pos >= len(text) or text[pos] == 0:
            break
        if text[pos] == 0x22:
            decoded = unescape(text, pos + 1)
            if decoded is None:
                return []
            field, pos = decoded
        else:
            start = pos
            while pos < len(text) and not (text[pos] == 0x20 or 0x09 <= text[pos] <= 0x0D or text[pos] == 0):
                pos += 1
            field = text[start:pos]
        fields.append(field)
        pos += 1
    return fields


def free_port():
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Station:
    def __init__(self, scenario, params, recorder):
        self.scenario = scenario
        self.recorder = recorder
        self.text = params.get("text", "").replace("%20", " ").encode("latin-1") or DEFAULT_TEXT
        self.port = int(params.get("port", 0)) or free_port()
        self.partials = {}
        self.rx = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.rx.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self.large_receive_buffer(self.rx)
        self.rx.bind(("127.255.255.255", self.port))
        self.tx = self.sender()
        self.other = self.sender()
        self.own = {self.tx.getsockname(), self.other.getsockname()}
        self.running = True
        self.heard = queue.SimpleQueue()
        threading.Thread(target=self.receive, daemon=True).start()
        threading.Thread(target=self.serve, daemon=True).start()

    @staticmethod
    def large_receive_buffer(s):
        """A program that forwards a flood sends faster than this peer decodes: the kernel must hold the
        backlog. SO_RCVBUF is capped by net.core.rmem_max (208 KiB on a fresh machine, a few hundred
        datagrams); root may go past the cap."""
        size = 16 << 20
        try:
            s.setsockopt(socket.SOL_SOCKET, getattr(socket, "SO_RCVBUFFORCE", 33), size)
        except OSError:
            s.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, size)

    @staticmethod
    def sender():
        s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        s.setsockopt(socket.SOL_SOCKET, socket.SO_BROADCAST, 1)
        s.bind(("127.0.0.1", 0))
        return s

    def receive(self):
        """Only reads, so that the socket is emptied as fast as this process can; serve() decodes."""
        while self.running:
            try:
                self.heard.put(self.rx.recvfrom(4096))
            except OSError:
                break
        self.heard.put(None)

    def serve(self):
        while True:
            heard = self.heard.get()
            if heard is None:
                return
            data, sender = heard
            if sender in self.own:
                continue
            self.recorder.add("datagram", data)
            for packet in self.reassemble(sender, data):
                self.handle(packet)

    def reassemble(self, sender, data):
        buffer = self.partials.get(sender, b"")
        n = 0
        while n < len(data) and (0x41 <= data[n] <= 0x5A or 0x30 <= data[n] <= 0x39):
            n += 1
        if buffer and n >= 1 and n + 1 < len(data) and data[n] == 0x3A and data[n + 1] == 0x20:
            buffer = b""
        # Only the new bytes can end a packet: the buffer held none.
        scanned = len(buffer)
        buffer += data
        packets, start = [], 0
        for end in PACKET_END.finditer(buffer, scanned):
            packets.append(buffer[start:end.start() + 1].lstrip(b"\x00"))
            start = end.start() + 1
        buffer = buffer[start:]
        self.partials[sender] = buffer if len(buffer) <= 16384 else b""
        return packets

    def handle(self, packet):
        text = unframe(packet)
        if text is None:
            self.recorder.add("bad-checksum", packet)
            return
        fields = split_fields(text)
        self.recorder.add("packet", FIELD_SEPARATOR.join(fields))
        if self.scenario != "silent" and len(fields) == 4 and fields[0] == b"GAB:":
            self.answer(fields[3])

    def answer(self, message):
        target = ("127.255.255.255", self.port)
        if message == b"send":
            framed = frame(b'SENDPKT: "STN2" "" "' + escape(self.text) + b'"')
            half = len(framed) // 2
            self.tx.sendto(framed[:half], target)
            time.sleep(0.05)
            self.other.sendto(frame(b'GAB: "STN3" "X" "between"'), target)
            time.sleep(0.05)
            self.tx.sendto(framed[half:], target)
            self.recorder.add("sent", framed)
        elif message.startswith(b"burst "):
            for i in range(1, int(message[6:]) + 1):
                self.tx.sendto(frame(b'SENDPKT: "STN2" "" "%d"' % i), target)
                if i % 10 == 0:
                    time.sleep(0.002)
            self.recorder.add("sent", message)

    def tell(self, message):
        fields = message.split(FIELD_SEPARATOR)
        text = fields[0]
        for field in fields[1:]:
            text += b" " + (field[1:] if field.startswith(b"#") else b'"' + escape(field) + b'"')
        framed = frame(text)
        for i in range(0, len(framed), 255):
            self.tx.sendto(framed[i:i + 255], ("127.255.255.255", self.port))
        self.recorder.add("sent", framed)
        return "sent %d bytes" % len(framed)

    def info(self):
        return "port %d" % self.port

    def stop(self):
        self.running = False
        for s in (self.rx, self.tx, self.other):
            s.close()


def make(scenario, params, recorder):
    return Station(scenario, params, recorder)
