# SPDX-License-Identifier: MIT
"""A real SMTP server (aiosmtpd) for the tests. Prints its port, then stores each
message in --dir as N.from, N.rcpt and N.data (raw, dot-stuffing removed). Ends when
its standard input closes (with --until-killed, only by a signal)."""

import argparse
import asyncio
import logging
import pathlib
import ssl
import sys
import warnings

from aiosmtpd.smtp import SMTP, AuthResult


class Store:
    def __init__(self, folder):
        self.folder, self.count = pathlib.Path(folder), 0

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        (self.folder / f"{self.count}.from").write_text(envelope.mail_from)
        (self.folder / f"{self.count}.rcpt").write_text("\n".join(envelope.rcpt_tos))
        # The data file appears whole or not at all.
        data = self.folder / f"{self.count}.data.tmp"
        data.write_bytes(envelope.original_content)
        data.rename(self.folder / f"{self.count}.data")
        return "250 OK"


async def main():
    # aiosmtpd warns about a login without STARTTLS, which is what the
    # implicit-TLS server means to do; the tests read the client's side.
    warnings.simplefilter("ignore")
    logging.getLogger("mail.log").setLevel(logging.ERROR)
    parser = argparse.ArgumentParser()
    for option in ("--dir", "--cert", "--key", "--login"):  # --login USER:PASSWORD
        parser.add_argument(option)
    parser.add_argument("--host", default="127.0.0.1")
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--until-killed", action="store_true")
    parser.add_argument("--tls", choices=["none", "starttls", "implicit"], default="none")
    args = parser.parse_args()

    options = {"hostname": "sink.test", "ident": "test sink"}
    context = None
    if args.tls != "none":
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(args.cert, args.key)
    if args.tls == "starttls":
        options.update(tls_context=context, require_starttls=True)
    if args.login:
        user, password = args.login.encode().split(b":", 1)

        def check(server, session, envelope, mechanism, data):
            return AuthResult(success=(data.login, data.password) == (user, password),
                              handled=False)

        # The client decides whether a login needs TLS; aiosmtpd would only know
        # STARTTLS, not a connection that is TLS from its first byte.
        options.update(authenticator=check, auth_required=True, auth_require_tls=False)

    loop = asyncio.get_running_loop()
    handler = Store(args.dir)
    server = await loop.create_server(
        lambda: SMTP(handler, **options), host=args.host, port=args.port,
        ssl=context if args.tls == "implicit" else None)
    print(server.sockets[0].getsockname()[1], flush=True)

    if args.until_killed:
        await loop.create_future()  # never set: runs until a signal ends the process
    await loop.run_in_executor(None, sys.stdin.buffer.read)
    server.close()


if __name__ == "__main__":
    asyncio.run(main())
