#!/usr/bin/python3
"""A real SMTP server (aiosmtpd) on loopback for the mail client's tests.

Usage: smtp_sink.py OUTDIR MESSAGES SECONDS [refuse-sender]
Binds 127.0.0.1 on a free port and prints that port on the first line. Each
accepted mail is stored as OUTDIR/N.eml (the content as received, dot-stuffing
undone) and OUTDIR/N.json (HELO name, envelope sender and recipients). Stops by
itself after MESSAGES mails (once their sessions have ended) or SECONDS seconds.
With "refuse-sender" every MAIL FROM is answered 550.
"""
import asyncio
import json
import os
import sys

from aiosmtpd.smtp import SMTP


class Sink:
    def __init__(self, outdir, wanted, done, refuse_sender=False):
        self.refuse_sender = refuse_sender
        self.outdir = outdir
        self.wanted = wanted
        self.done = done
        self.count = 0

    async def handle_MAIL(self, server, session, envelope, address, mail_options):
        if self.refuse_sender:
            return "550 5.7.1 Sender refused"
        envelope.mail_from = address
        envelope.mail_options.extend(mail_options)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        base = os.path.join(self.outdir, str(self.count))
        with open(base + ".eml", "wb") as out:
            out.write(envelope.original_content or envelope.content)
        with open(base + ".json", "w") as out:
            json.dump({"helo": session.host_name, "from": envelope.mail_from,
                       "rcpt": envelope.rcpt_tos}, out)
        if self.count >= self.wanted:
            # Give the client time to say QUIT before the server goes.
            asyncio.get_running_loop().call_later(1.0, self.done.set)
        return "250 Message accepted"


async def main():
    outdir, wanted, seconds = sys.argv[1], int(sys.argv[2]), float(sys.argv[3])
    done = asyncio.Event()
    sink = Sink(outdir, wanted, done, len(sys.argv) > 4 and sys.argv[4] == "refuse-sender")
    loop = asyncio.get_running_loop()
    server = await loop.create_server(lambda: SMTP(sink, hostname="sink.test"), "127.0.0.1", 0)
    print(server.sockets[0].getsockname()[1], flush=True)
    try:
        await asyncio.wait_for(done.wait(), seconds)
    except asyncio.TimeoutError:
        pass
    server.close()
    await server.wait_closed()


asyncio.run(main())
