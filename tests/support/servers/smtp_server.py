#!/usr/bin/python3
"""An aiosmtpd SMTP server on 127.0.0.1 for the mail tests.

Prints its port, then records every EHLO, AUTH attempt and message as JSON
lines in --record. Offers AUTH LOGIN (aiosmtpd's own) and CRAM-MD5 (through
the handler hook aiosmtpd provides), STARTTLS with --cert/--key, and stops by
itself after --lifetime seconds. With --stall data it never answers the end of
a message (after recording it), with --stall quit it never answers QUIT;
--delay SECONDS answers the end of a message that much later; --refuse
ADDRESS answers that recipient "550 5.1.1 <ADDRESS>: no such mailbox".
"""
import argparse
import asyncio
import base64
import email
import email.header
import email.policy
import hmac
import json
import os
import socket
import ssl
import time

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword, MISSING


def record(path, entry):
    entry["time"] = time.time()
    with open(path, "a", encoding="utf-8") as out:
        out.write(json.dumps(entry) + "\n")


def decoded(raw):
    """The parts of a message the tests look at, decoded by Python's email package."""
    message = email.message_from_bytes(raw, policy=email.policy.default)
    result = {
        "subject": str(email.header.make_header(email.header.decode_header(message["Subject"] or ""))),
        "reply_to": message["Reply-To"] or "",
        "body": "",
        "attachments": [],
    }
    for part in message.walk():
        if part.is_multipart():
            continue
        if part.get_filename():
            result["attachments"].append({
                "filename": part.get_filename(),
                "type": part.get_content_type(),
                "data": base64.b64encode(part.get_payload(decode=True)).decode(),
            })
        elif part.get_content_type() == "text/plain":
            result["body"] = part.get_content()
    return result


class Handler:
    def __init__(self, args):
        self.args = args

    async def handle_EHLO(self, server, session, envelope, hostname, responses):
        session.host_name = hostname
        record(self.args.record, {"event": "ehlo", "tls": session.ssl is not None})
        return responses

    async def auth_CRAM__MD5(self, server, args):
        challenge = ("<%d.%d@localhost>" % (os.getpid(), time.time_ns())).encode()
        response = await server.challenge_auth(challenge)
        if response is MISSING:
            return AuthResult(success=False)
        user, _, digest = response.partition(b" ")
        expected = hmac.new(self.args.password.encode(), challenge, "md5").hexdigest().encode()
        ok = user.decode() == self.args.user and hmac.compare_digest(digest, expected)
        record(self.args.record, {"event": "auth", "mechanism": "CRAM-MD5", "user": user.decode(), "ok": ok})
        return AuthResult(success=ok, handled=False)

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address in self.args.refuse:
            return "550 5.1.1 <%s>: no such mailbox" % address
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        entry = {
            "event": "message",
            "mail_from": envelope.mail_from,
            "rcpt_tos": envelope.rcpt_tos,
            "tls": session.ssl is not None,
            "authenticated": bool(session.authenticated),
        }
        entry.update(decoded(envelope.original_content))
        record(self.args.record, entry)
        if self.args.stall == "data":
            await asyncio.sleep(self.args.lifetime)
        await asyncio.sleep(self.args.delay)
        return "250 OK"

    async def handle_QUIT(self, server, session, envelope):
        if self.args.stall == "quit":
            await asyncio.sleep(self.args.lifetime)
        return "221 Bye"


def authenticator(args):
    def check(server, session, envelope, mechanism, auth_data):
        ok = (isinstance(auth_data, LoginPassword)
              and auth_data.login.decode() == args.user
              and auth_data.password.decode() == args.password)
        user = auth_data.login.decode() if isinstance(auth_data, LoginPassword) else ""
        record(args.record, {"event": "auth", "mechanism": mechanism, "user": user, "ok": ok})
        return AuthResult(success=ok)
    return check


async def main(args):
    tls = None
    if args.cert:
        tls = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        tls.load_cert_chain(args.cert, args.key)
    sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    sock.bind(("127.0.0.1", 0))
    sock.listen()
    loop = asyncio.get_running_loop()
    await loop.create_server(
        lambda: SMTP(Handler(args), hostname="localhost", tls_context=tls,
                     require_starttls=False, auth_require_tls=False,
                     authenticator=authenticator(args), auth_exclude_mechanism=["PLAIN"],
                     decode_data=False, enable_SMTPUTF8=True),
        sock=sock)
    print(sock.getsockname()[1], flush=True)
    await asyncio.sleep(args.lifetime)


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--record", required=True)
    parser.add_argument("--user", default="watcher")
    parser.add_argument("--password", default="s3cret-pw")
    parser.add_argument("--cert")
    parser.add_argument("--key")
    parser.add_argument("--lifetime", type=float, default=60)
    parser.add_argument("--stall", choices=["data", "quit"])
    parser.add_argument("--delay", type=float, default=0)
    parser.add_argument("--refuse", action="append", default=[])
    asyncio.run(main(parser.parse_args()))
