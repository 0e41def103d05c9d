#!/usr/bin/python3
"""A Twisted POP3 server on 127.0.0.1 for POP before SMTP.

Prints its port, records every login (user, success) as JSON lines in
--record, serves an empty mailbox and stops by itself after --lifetime seconds.
Offers APOP unless --no-apop, in which case clients log in with USER/PASS.
With --silent-quit it never answers QUIT.
"""
import hashlib
import argparse
import json
import time

from twisted.cred import checkers, credentials, error, portal
from twisted.internet import defer, protocol, reactor
from twisted.mail import pop3
from zope.interface import implementer


def record(path, entry):
    entry["time"] = time.time()
    with open(path, "a", encoding="utf-8") as out:
        out.write(json.dumps(entry) + "\n")


@implementer(portal.IRealm)
class EmptyMailboxes:
    def requestAvatar(self, avatar_id, mind, *interfaces):
        return pop3.IMailbox, pop3.Mailbox(), lambda: None


@implementer(checkers.ICredentialsChecker)
class RecordingChecker:
    """The in-memory checker of Twisted, with each attempt recorded."""
    credentialInterfaces = (credentials.IUsernamePassword, credentials.IUsernameHashedPassword)

    def __init__(self, args):
        self.args = args
        # Twisted's POP3 hands user names over as bytes.
        self.inner = checkers.InMemoryUsernamePasswordDatabaseDontUse()
        self.inner.addUser(args.user.encode(), args.password.encode())

    def requestAvatarId(self, creds):
        if isinstance(creds, pop3.APOPCredentials):
            # Twisted 22 compares a str digest with bytes: check APOP here.
            expected = hashlib.md5(creds.magic + self.args.password.encode()).hexdigest().encode()
            creds = credentials.UsernamePassword(
                creds.username, self.args.password.encode() if creds.digest == expected else b"\0")
        user = creds.username.decode() if isinstance(creds.username, bytes) else creds.username

        def success(avatar):
            record(self.args.record, {"event": "pop-login", "user": user, "ok": True})
            return avatar

        def failure(reason):
            record(self.args.record, {"event": "pop-login", "user": user, "ok": False})
            return reason

        d = defer.maybeDeferred(self.inner.requestAvatarId, creds)
        return d.addCallbacks(success, failure)


class SilentQuitPOP3(pop3.POP3):
    def do_QUIT(self):
        pass


class Factory(protocol.ServerFactory):
    def __init__(self, args):
        self.args = args
        self.portal = portal.Portal(EmptyMailboxes(), [RecordingChecker(args)])

    def buildProtocol(self, addr):
        server = SilentQuitPOP3() if self.args.silent_quit else pop3.POP3()
        if self.args.no_apop:
            # Without a time stamp in the greeting clients do not offer APOP.
            server.generateMagic = lambda: b"ready"
        server.portal = self.portal
        server.factory = self
        return server


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--record", required=True)
    parser.add_argument("--user", default="watcher")
    parser.add_argument("--password", default="pop-pass-1")
    parser.add_argument("--no-apop", action="store_true")
    parser.add_argument("--lifetime", type=float, default=60)
    parser.add_argument("--silent-quit", action="store_true")
    args = parser.parse_args()
    port = reactor.listenTCP(0, Factory(args), interface="127.0.0.1")
    print(port.getHost().port, flush=True)
    reactor.callLater(args.lifetime, reactor.stop)
    reactor.run()
