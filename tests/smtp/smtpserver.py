#!/usr/bin/python3
"""A real SMTP server on 127.0.0.1 for the test sends.

Prints "READY <port>" once it listens and runs until stdin closes. Each
message it accepts is written to OUT/<n>.eml, with its envelope in
OUT/<n>.rcpt (one recipient a line) and OUT/<n>.from.

--silent accepts connections and never says a word, as a server that hangs.
"""
import argparse
import os
import socket
import ssl
import sys
import threading

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult, SMTP


class Handler:
    def __init__(self, out, refused):
        self.out = out
        self.refused = set(refused)
        self.count = 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address in self.refused:
            return "550 5.1.1 No such user here"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        base = os.path.join(self.out, str(self.count))
        with open(base + ".eml.part", "wb") as f:
            f.write(envelope.original_content)
        with open(base + ".rcpt", "w") as f:
            f.write("\n".join(envelope.rcpt_tos) + "\n")
        with open(base + ".from", "w") as f:
            f.write(envelope.mail_from + "\n")
        os.rename(base + ".eml.part", base + ".eml")
        return "250 Message accepted"


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def silent(port):
    listener = socket.socket()
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", port))
    listener.listen(8)
    held = []

    def accept():
        while True:
            connection, _ = listener.accept()
            held.append(connection)

    threading.Thread(target=accept, daemon=True).start()
    return listener


class TlsController(Controller):
    def __init__(self, handler, smtp_options, **kwargs):
        self.smtp_options = smtp_options
        super().__init__(handler, **kwargs)

    def factory(self):
        return SMTP(self.handler, **self.smtp_options)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--out", required=True)
    parser.add_argument("--cert")
    parser.add_argument("--key")
    parser.add_argument("--implicit-tls", action="store_true")
    parser.add_argument("--user")
    parser.add_argument("--password")
    parser.add_argument("--refuse", action="append", default=[])
    parser.add_argument("--size-limit", type=int, default=33554432)
    parser.add_argument("--silent", action="store_true")
    args = parser.parse_args()

    port = free_port()
    if args.silent:
        silent(port)
        print(f"READY {port}", flush=True)
        sys.stdin.read()
        return

    context = None
    if args.cert:
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(args.cert, args.key)

    def authenticate(server, session, envelope, mechanism, data):
        ok = (args.user is not None and data.login.decode() == args.user
              and data.password.decode() == args.password)
        return AuthResult(success=ok, handled=False)

    options = {"data_size_limit": args.size_limit}
    if args.user:
        options.update(authenticator=authenticate, auth_required=True)
    controller_options = {}
    if context and args.implicit_tls:
        controller_options["ssl_context"] = context
        options["auth_require_tls"] = False
    elif context:
        options.update(tls_context=context, require_starttls=True)
    else:
        options["auth_require_tls"] = False

    handler = Handler(args.out, args.refuse)
    controller = TlsController(handler, options, hostname="127.0.0.1", port=port,
                               **controller_options)
    controller.start()
    print(f"READY {port}", flush=True)
    sys.stdin.read()
    controller.stop()


if __name__ == "__main__":
    main()
