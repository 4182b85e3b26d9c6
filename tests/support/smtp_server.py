#!/usr/bin/python3
"""A mail server for the alert tests: keeps each message it takes as DIR/N.eml, refuses any
recipient whose address holds "refuse", and drops the connection in the middle of the next
message when DIR/drop exists (the file is removed). Usage: smtp_server.py PORT DIR"""
import os
import sys
import time

from aiosmtpd.controller import Controller


class Keeper:
    def __init__(self, folder):
        self.folder = folder

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if "refuse" in address:
            return "550 5.1.1 <%s>: recipient unknown" % address
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        drop = os.path.join(self.folder, "drop")
        if os.path.exists(drop):
            os.remove(drop)
            server.transport.abort()
            return "421 dropped"
        count = len([n for n in os.listdir(self.folder) if n.endswith(".eml")])
        with open(os.path.join(self.folder, "%d.eml" % (count + 1)), "wb") as f:
            f.write(envelope.original_content or envelope.content)
        return "250 Message accepted"


controller = Controller(Keeper(sys.argv[2]), hostname="127.0.0.1", port=int(sys.argv[1]))
controller.start()
print("ready", flush=True)
try:
    while True:
        time.sleep(3600)
finally:
    controller.stop()
