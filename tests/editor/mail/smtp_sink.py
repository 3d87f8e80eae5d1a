"""A receiving SMTP server for the mail tests.

Usage: smtp_sink.py FOLDER [--refuse] [--user NAME --password WORD]
Listens on a free port of 127.0.0.1, prints the port on the first line of
its output, and writes every message it accepts to FOLDER/NNN.eml exactly as
received. With --refuse it answers every message with a 554 refusal. With a
user and password it offers AUTH (PLAIN, LOGIN) without TLS and accepts only
that pair.
"""
import argparse
import asyncio
import os
import sys

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword


class Sink:
    def __init__(self, folder, refuse):
        self.folder = folder
        self.refuse = refuse
        self.count = 0

    async def handle_DATA(self, server, session, envelope):
        if self.refuse:
            return "554 Transaction failed: message refused"
        self.count += 1
        path = os.path.join(self.folder, "%03d.eml" % self.count)
        with open(path + ".part", "wb") as f:
            f.write(envelope.original_content)
        with open(path + ".rcpt", "w") as f:
            f.write("\n".join(envelope.rcpt_tos) + "\n")
        os.rename(path + ".part", path)
        return "250 OK"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("folder")
    parser.add_argument("--refuse", action="store_true")
    parser.add_argument("--user")
    parser.add_argument("--password")
    args = parser.parse_args()

    def authenticator(server, session, envelope, mechanism, auth_data):
        ok = (isinstance(auth_data, LoginPassword) and auth_data.login.decode() == args.user
              and auth_data.password.decode() == args.password)
        return AuthResult(success=ok)

    options = {}
    if args.user:
        options = dict(authenticator=authenticator, auth_require_tls=False)
    handler = Sink(args.folder, args.refuse)
    loop = asyncio.new_event_loop()
    asyncio.set_event_loop(loop)
    server = loop.run_until_complete(
        loop.create_server(lambda: SMTP(handler, **options), "127.0.0.1", 0))
    print(server.sockets[0].getsockname()[1], flush=True)
    loop.run_forever()


if __name__ == "__main__":
    sys.exit(main())
