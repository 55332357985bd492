#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""A small SMTP responder for the benchmarks: it takes every mail and tells the
monotonic time at which each HELO or EHLO arrives. Run as a script it serves
127.0.0.1:25, prints "ready", then one time a line."""

import asyncio
import time


def session(on_helo):
    """An asyncio connection handler calling on_helo(time) at each greeting."""
    async def serve(reader, writer):
        writer.write(b"220 bench\r\n")
        in_data = False
        while line := await reader.readline():
            if in_data:
                if line == b".\r\n":
                    in_data = False
                    writer.write(b"250 queued\r\n")
                continue
            if line[:4] in (b"HELO", b"EHLO"):
                on_helo(time.monotonic())
            if line.startswith(b"DATA"):
                in_data = True
                writer.write(b"354 go\r\n")
            elif line.startswith(b"QUIT"):
                writer.write(b"221 bye\r\n")
                await writer.drain()
                break
            else:
                writer.write(b"250 ok\r\n")
            await writer.drain()
        writer.close()
    return serve


async def main():
    await asyncio.start_server(session(lambda at: print(at, flush=True)), "127.0.0.1", 25)
    print("ready", flush=True)
    await asyncio.Event().wait()


if __name__ == "__main__":
    asyncio.run(main())
