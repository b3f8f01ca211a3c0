#!/usr/bin/env python3
"""A knowledge server for the client's tests.

Answers the XML-RPC methods "tavro.*" and the SOAP operations of the authorization module over
HTTPS on 127.0.0.1, keeping the rolling session key as the client must, in one of these modes:

  normal         proper replies
  wrongkey       every reply after the first carries a key the client cannot accept
  refused        the logon reply carries a valid key but no result
  anonymous      every other SOAP reply is anonymous, with a fresh key taken unhashed and
                 written between blanks; the other keys are written between line breaks
  foreignkey     the second SOAP reply is anonymous, with a key the ANSI code page lacks
  stringtyped    XML-RPC values typed as <string>
  nolength       replies without Content-Length
  longlength     Content-Length 100 bytes larger than the body
  html           every request answered by an HTML error page
  silent         reads the request and never answers
  otherprefixes  SOAP replies with the prefixes "soap" and "ns1"
  slow           proper replies, each sent 0.6 s after its request
  huge           proper replies; a document reply carries 2 MB of white space

The folder listing comes from --listing, each document from a --document GUID=PATH (a whole
knowledge-base document). Each request is logged as one JSON line to --log: the method or
operation, the key sent and whether it was the key expected. The server listens on --port
until its standard input closes.
"""

import argparse
import hashlib
import json
import re
import secrets
import ssl
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from xml.sax.saxutils import escape

MODES = ("normal", "wrongkey", "refused", "anonymous", "stringtyped", "nolength", "longlength", "html",
         "silent", "otherprefixes", "slow", "huge", "foreignkey")
SOAP_ENVELOPE = "http://schemas.xmlsoap.org/soap/envelope/"
MODULE = "urn:soapserver/soap:AuthorizationModule"
DECLARATION = "<?xml version='1.0' encoding='UTF-8'?>"
DOCTYPE = "<!DOCTYPE kelvanedocument>"


def unescape(text):
    return text.replace("&lt;", "<").replace("&gt;", ">").replace("&amp;", "&")


class KnowledgeServer(ThreadingHTTPServer):
    daemon_threads = True

    def __init__(self, args):
        super().__init__(("127.0.0.1", args.port), Handler)
        self.mode = args.mode
        self.user = args.user
        self.listing = open(args.listing, encoding="utf-8", newline="").read() if args.listing else "<Folder><Name>Root</Name></Folder>"
        self.documents = dict(item.split("=", 1) for item in args.document)
        self.log_path = args.log
        self.lock = threading.Lock()
        self.guid = ""
        self.expected = None  # the key the client should send next
        self.soap_replies = 0

    def handle_error(self, request, client_address):
        pass  # a client that refused the certificate or went away

    def key_hash(self, s):
        text = self.guid + self.user.upper() + s
        return hashlib.md5(text.encode("cp1252")).hexdigest().upper()

    def log(self, **entry):
        if self.log_path:
            with open(self.log_path, "a", encoding="utf-8") as log:
                log.write(json.dumps(entry) + "\n")

    # --- keys ---------------------------------------------------------------------------------

    def open_session(self, guid):
        """A new session: the first key is the server's choice, taken by the client unchecked."""
        self.guid = guid
        first = secrets.token_hex(8).upper()
        self.expected = self.key_hash(first)
        return first

    def roll(self, sent, name):
        """Checks the key the client sent and gives the reply's key: a key the client cannot
        accept when the key sent was not the one expected (which stays expected)."""
        expected = sent == self.expected
        self.log(request=name, key=sent, expected=expected)
        if not expected or self.mode == "wrongkey":
            return "0" * 32
        reply = self.key_hash(sent.strip())
        self.expected = self.key_hash(reply)
        return reply

    # --- XML-RPC ------------------------------------------------------------------------------

    def xmlrpc(self, body):
        method = re.search(r"<methodName>(.*?)</methodName>", body).group(1)
        members = {name.lower(): unescape(value)
                   for name, value in re.findall(r"<name>(.*?)</name><value>(.*?)</value>", body, re.S)}
        payload = None
        if method == "tavro.connect":
            self.log(request=method, guid=members.get("guid", ""))
            key = self.open_session(members.get("guid", ""))
        else:
            key = self.roll(members.get("key", ""), method)
            if method == "tavro.write":
                self.log(request="written", guid=members.get("guid", ""), xml=members.get("xml", ""),
                         path=members.get("path", ""), lock=members.get("lock", ""))
            if method == "tavro.logon":
                payload = None if self.mode == "refused" else "Welcome"
            elif method == "tavro.read":
                payload = self.listing
            else:
                payload = "OK"
        result = self.xmlrpc_member("key", key)
        if payload is not None:
            result += self.xmlrpc_member("xml", payload)
        return ("<?xml version=\"1.0\"?>\r\n<methodResponse><params><param><value><struct>" + result
                + "</struct></value></param></params></methodResponse>\r\n")

    def xmlrpc_member(self, name, value):
        value = escape(value)
        if self.mode == "stringtyped":
            value = "<string>" + value + "</string>"
        return "<member><name>" + name + "</name><value>" + value + "</value></member>"

    # --- SOAP ---------------------------------------------------------------------------------

    def soap(self, body):
        operation = re.search(r"<m:(\w+) xmlns:m=", body).group(1)
        fields = dict(re.findall(r"<(Key|GUID|FileObjectGUID|Lock)>(.*?)</\1>", body, re.S))
        result = ""
        if operation == "Connect":
            self.log(request=operation, guid=fields.get("GUID", ""), body=body)
            key = self.open_session(unescape(fields.get("GUID", "")))
        else:
            key = self.roll(unescape(fields.get("Key", "")), operation)
            if operation == "GetFileObject":
                result = "<GetFileObjectResult>" + self.document(unescape(fields.get("FileObjectGUID", ""))) \
                    + "</GetFileObjectResult>"
                if self.mode == "huge":
                    result += " " * (2 << 20)
            elif operation == "PutFileObject":
                document = re.search(r"<FileObject>(.*)</FileObject>", body, re.S).group(1)
                self.log(request="stored", guid=fields.get("FileObjectGUID", ""), document=document)
        anonymous = "false"
        self.soap_replies += 1
        if self.mode == "anonymous" and self.soap_replies % 2 == 0:
            anonymous = "true"
            key = secrets.token_hex(6).upper()
            self.expected = key
            key = "  " + key + " "
        elif self.mode == "anonymous":
            key = "\r\n  " + key + "\r\n"
        elif self.mode == "foreignkey" and self.soap_replies == 2:
            anonymous = "true"
            key = "\u4e2d" + secrets.token_hex(6).upper()
            self.expected = key
        reply = ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<SOAP:Envelope xmlns:SOAP=\"" + SOAP_ENVELOPE
                 + "\"><SOAP:Body><m:" + operation + "Response xmlns:m=\"" + MODULE + "\"><Key>" + key
                 + "</Key><Anomynous>" + anonymous + "</Anomynous>" + result + "</m:" + operation
                 + "Response></SOAP:Body></SOAP:Envelope>\r\n")
        if self.mode == "otherprefixes":
            reply = reply.replace("SOAP:", "soap:").replace("xmlns:SOAP", "xmlns:soap")
            reply = reply.replace("<m:", "<ns1:").replace("</m:", "</ns1:").replace("xmlns:m", "xmlns:ns1")
        return reply

    def document(self, guid):
        path = self.documents.get(guid)
        if not path:
            return ""
        text = open(path, encoding="utf-8", newline="").read()
        return "<File>" + text.replace(DECLARATION, "").replace(DOCTYPE, "") + "</File>"

    def answer(self, body):
        with self.lock:
            return self.xmlrpc(body) if "<methodCall>" in body else self.soap(body)


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"

    def log_message(self, *args):
        pass

    def setup(self):
        self.request.do_handshake()
        super().setup()

    def do_POST(self):
        server = self.server
        body = self.rfile.read(int(self.headers.get("Content-Length", "0"))).decode("utf-8", "replace")
        if server.mode == "silent":
            server.log(request="silent")
            self.hold()
        elif server.mode == "html":
            server.log(request="html")
            self.send(500, "text/html", "<html><head><title>Error</title></head>"
                                        "<body><h1>500 Internal Server Error</h1></body></html>")
        else:
            if server.mode == "slow":
                time.sleep(0.6)
            self.send(200, "text/xml", server.answer(body))

    def send(self, status, content_type, text):
        data = text.encode("utf-8")
        head = "HTTP/1.0 %d %s\r\nContent-Type: %s\r\n" % (status, "OK" if status == 200 else "Error", content_type)
        if self.server.mode == "longlength":
            head += "Content-Length: %d\r\n" % (len(data) + 100)
        elif self.server.mode != "nolength":
            head += "Content-Length: %d\r\n" % len(data)
        self.wfile.write(head.encode("ascii") + b"\r\n" + data)
        self.wfile.flush()
        self.close_connection = True

    def hold(self):
        """Keeps the connection open, answering nothing, until the client gives up."""
        self.connection.settimeout(0.2)
        for _ in range(3000):
            try:
                if not self.connection.recv(1):
                    return
            except (TimeoutError, ssl.SSLWantReadError):
                continue
            except OSError:
                return


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--mode", choices=MODES, default="normal")
    parser.add_argument("--cert", required=True)
    parser.add_argument("--key", required=True)
    parser.add_argument("--user", default="")
    parser.add_argument("--listing")
    parser.add_argument("--document", action="append", default=[])
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--log")
    args = parser.parse_args()

    server = KnowledgeServer(args)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(args.cert, args.key)
    server.socket = context.wrap_socket(server.socket, server_side=True, do_handshake_on_connect=False)
    # Ends with its parent: the test closes standard input when it is done.
    threading.Thread(target=server.serve_forever, daemon=True).start()
    sys.stdin.read()
    server.shutdown()


if __name__ == "__main__":
    main()
