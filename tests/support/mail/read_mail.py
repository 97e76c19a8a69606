#!/usr/bin/python3
"""Reads one received mail with Python's email package (default policy) and
prints what a mail reader would see, one "key TAB hex-of-value" line each:
decoded headers, every defect, the body text and each attachment's bytes. Parts without a transfer encoding
that hold uuencoded data are decoded by sharutils' uudecode.

Usage: read_mail.py FILE.eml
"""
import email
import email.policy
import subprocess
import sys


def uudecode(text):
    result = subprocess.run(["uudecode", "-o", "/dev/stdout"], input=text.encode("ascii"),
                            capture_output=True, timeout=20, check=True)
    return result.stdout


def main():
    with open(sys.argv[1], "rb") as source:
        raw = source.read()
    message = email.message_from_bytes(raw, policy=email.policy.default)
    report = {"defects": [], "headers": {}, "attachments": [], "body": None,
              "max_line": max((len(line) for line in raw.split(b"\r\n")), default=0),
              "bare_lf": b"\n" in raw.replace(b"\r\n", b"")}
    for name in ("From", "To", "cc", "Bcc", "Subject", "Date", "Message-ID", "Content-Type"):
        value = message.get(name)
        if value is not None:
            report["headers"][name] = str(value)
    if message.get("Date") is not None:
        report["date_parsed"] = message["Date"].datetime is not None
    for part in message.walk():
        report["defects"] += [type(defect).__name__ for defect in part.defects]
        for name in part.keys():
            report["defects"] += [type(d).__name__ for d in getattr(part[name], "defects", ())]
    body = message.get_body(preferencelist=("plain",))
    if body is not None:
        report["body"] = body.get_content()
        report["body_charset"] = body.get_content_charset()
    for part in message.iter_attachments():
        data = part.get_payload(decode=True)
        payload = part.get_payload()
        if isinstance(payload, str) and "begin 666 " in payload and part["Content-Transfer-Encoding"] is None:
            data = uudecode(payload)
        report["attachments"].append({
            "filename": part.get_filename(),
            "content_type": part.get_content_type(),
            "encoding": str(part.get("Content-Transfer-Encoding", "")),
            "description": str(part.get("Content-Description", "")),
            "hex": data.hex()})

    def put(key, value):
        if isinstance(value, str):
            value = value.encode("utf-8")
        elif not isinstance(value, bytes):
            value = str(value).encode("utf-8")
        print(key + "\t" + value.hex())

    put("defects", ",".join(report["defects"]))
    put("max_line", report["max_line"])
    put("bare_lf", int(report["bare_lf"]))
    for name, value in report["headers"].items():
        put("header." + name, value)
    if "date_parsed" in report:
        put("date_parsed", int(report["date_parsed"]))
    if report["body"] is not None:
        put("body", report["body"])
        put("body_charset", report["body_charset"] or "")
    put("attachments", len(report["attachments"]))
    for index, attachment in enumerate(report["attachments"]):
        for key in ("filename", "content_type", "encoding", "description"):
            put("attachment.%d.%s" % (index, key), attachment[key] or "")
        put("attachment.%d.data" % index, bytes.fromhex(attachment["hex"]))


main()
