"""A TCP peer that sends a greeting and echoes each line back; checks the peer machinery itself."""
import socket
import threading


class EchoPeer:
    def __init__(self, greeting, recorder):
        self.recorder = recorder
        self.greeting = greeting
        self.sock = socket.socket()
        self.sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self.sock.bind(("127.0.0.1", 0))
        self.sock.listen(4)
        self.port = self.sock.getsockname()[1]
        self.running = True
        threading.Thread(target=self.serve, daemon=True).start()

    def serve(self):
        while self.running:
            try:
                conn, _ = self.sock.accept()
            except OSError:
                return
            self.recorder.add("accept")
            conn.sendall(self.greeting)
            with conn:
                for line in conn.makefile("rb"):
                    self.recorder.add("recv", line)
                    conn.sendall(line)

    def stop(self):
        self.running = False
        self.sock.close()


def make(scenario, params, recorder):
    return EchoPeer(params.get("greeting", "hello").encode() + b"\r\n", recorder)
