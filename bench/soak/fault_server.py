#!/usr/bin/env python3
"""A small FTP server on 127.0.0.1 that misbehaves on purpose, for the fault
soak. Each control connection reads the fault to apply from FAULT_FILE (one
word; "random" picks one) and appends "<fault>" to LOG_FILE when the session
starts. Files are served from ROOT and uploads land there (passive mode
only). Faults:

  none             a well-behaved session
  reset_mid        the data connection is reset half-way (then 426)
  close_after_226  the control connection closes right after the 226
  close_before_226 all data sent, then the control connection closes
  login_421        421 instead of the greeting's answer to USER
  stall            the transfer command gets no answer, nothing moves
  trickle          the data goes in small pieces with pauses
  refuse_data      PASV names a port nobody listens on
  short_announced  150 announces the size, half of it is sent, then 226

usage: fault_server.py ROOT FAULT_FILE LOG_FILE PORT_FILE
"""
import os
import random
import socket
import socketserver
import struct
import sys
import threading
import time

FAULTS = ["none", "reset_mid", "close_after_226", "close_before_226", "login_421", "stall", "trickle",
          "refuse_data", "short_announced"]
ROOT, FAULT_FILE, LOG_FILE, PORT_FILE = sys.argv[1:5]
log_lock = threading.Lock()


def reset(sock):
    sock.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
    sock.close()


class Session(socketserver.StreamRequestHandler):
    timeout = 30

    def reply(self, line):
        self.wfile.write((line + "\r\n").encode())
        self.wfile.flush()

    def handle(self):
        try:
            fault = open(FAULT_FILE).read().strip() or "none"
        except OSError:
            fault = "none"
        if fault == "random":
            fault = random.choice(FAULTS)
        with log_lock, open(LOG_FILE, "a") as log:
            log.write(fault + "\n")
        self.fault = fault
        self.listener = None
        self.reply("220 fault server")
        try:
            while True:
                line = self.rfile.readline()
                if not line:
                    return
                words = line.decode("latin-1").rstrip("\r\n").split(" ", 1)
                verb = words[0].upper()
                arg = words[1] if len(words) > 1 else ""
                if not self.command(verb, arg):
                    return
        except (OSError, ValueError):
            return
        finally:
            if self.listener:
                self.listener.close()

    def command(self, verb, arg):
        if verb == "USER":
            if self.fault == "login_421":
                self.reply("421 Too many connections")
                return False
            self.reply("331 password please")
        elif verb == "PASS":
            self.reply("230 logged in")
        elif verb == "TYPE":
            self.reply("200 type set")
        elif verb == "PWD":
            self.reply('257 "/" is the current folder')
        elif verb == "CWD":
            self.reply("250 ok")
        elif verb == "PASV":
            self.pasv()
        elif verb == "RETR":
            return self.retr(arg)
        elif verb == "STOR":
            return self.stor(arg)
        elif verb == "LIST":
            return self.list_folder()
        elif verb == "QUIT":
            self.reply("221 bye")
            return False
        else:
            self.reply("502 not here")
        return True

    def pasv(self):
        if self.listener:
            self.listener.close()
        self.listener = socket.socket()
        self.listener.bind(("127.0.0.1", 0))
        port = self.listener.getsockname()[1]
        if self.fault == "refuse_data":
            self.listener.close()
            self.listener = None
        else:
            self.listener.listen(1)
            self.listener.settimeout(10)
        self.reply("227 Entering Passive Mode (127,0,0,1,%d,%d)." % (port // 256, port % 256))

    def data(self):
        if not self.listener:
            self.reply("425 no data connection")
            return None
        try:
            conn, _ = self.listener.accept()
        except OSError:
            self.reply("425 no data connection")
            return None
        self.listener.close()
        self.listener = None
        return conn

    # The folder's files for the window's listing, whatever the fault: the
    # faults are the transfers'.
    def list_folder(self):
        conn = self.data()
        if conn is None:
            return True
        self.reply("150 listing")
        lines = []
        for name in sorted(os.listdir(ROOT)):
            path = os.path.join(ROOT, name)
            if os.path.isfile(path):
                lines.append("-rw-r--r-- 1 soak soak %d Jan 01 00:00 %s\r\n" % (os.path.getsize(path), name))
        try:
            conn.sendall("".join(lines).encode())
        finally:
            conn.close()
        self.reply("226 listed")
        return True

    def retr(self, name):
        try:
            body = open(os.path.join(ROOT, os.path.basename(name)), "rb").read()
        except OSError:
            self.reply("550 no such file")
            return True
        if self.fault == "stall":
            time.sleep(20)
            return False
        conn = self.data()
        if conn is None:
            return True
        self.reply("150 Opening BINARY mode data connection for %s (%d bytes)." % (name, len(body)))
        try:
            if self.fault == "reset_mid":
                conn.sendall(body[: len(body) // 2])
                reset(conn)
                self.reply("426 connection reset")
                return True
            if self.fault == "short_announced":
                conn.sendall(body[: len(body) // 2])
            elif self.fault == "trickle":
                for at in range(0, len(body), 8192):
                    conn.sendall(body[at : at + 8192])
                    time.sleep(0.005)
            else:
                conn.sendall(body)
        finally:
            if self.fault != "reset_mid":
                conn.close()
        if self.fault == "close_before_226":
            return False
        self.reply("226 transfer complete")
        return self.fault != "close_after_226"

    def stor(self, name):
        if self.fault == "stall":
            time.sleep(20)
            return False
        conn = self.data()
        if conn is None:
            return True
        self.reply("150 ok, send it")
        received = bytearray()
        conn.settimeout(10)
        try:
            while True:
                if self.fault == "reset_mid" and len(received) >= 32768:
                    reset(conn)
                    self.reply("426 connection reset")
                    return True
                chunk = conn.recv(65536)
                if not chunk:
                    break
                received += chunk
        finally:
            try:
                conn.close()
            except OSError:
                pass
        with open(os.path.join(ROOT, "up", os.path.basename(name)), "wb") as out:
            out.write(received)
        if self.fault == "close_before_226":
            return False
        self.reply("226 stored")
        return self.fault != "close_after_226"


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


if __name__ == "__main__":
    os.makedirs(os.path.join(ROOT, "up"), exist_ok=True)
    server = Server(("127.0.0.1", 0), Session)
    with open(PORT_FILE + ".tmp", "w") as out:
        out.write(str(server.server_address[1]))
    os.rename(PORT_FILE + ".tmp", PORT_FILE)
    server.serve_forever()
