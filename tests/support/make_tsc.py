#!/usr/bin/python3
"""Writes a compressed work file from its format table alone (no code of ours):
one 200 x 150 layer, opaque red with a transparent disc, at canvas (300, 300).
    make_tsc.py OUT.tsc
"""
import io
import struct
import sys
import zlib

from PIL import Image, ImageDraw

W, H = 200, 150
picture = Image.new("RGB", (W, H), (255, 0, 0))
alpha = Image.new("L", (W, H), 255)
ImageDraw.Draw(alpha).ellipse((70, 45, 129, 104), fill=0)

jpeg = io.BytesIO()
picture.save(jpeg, "JPEG", quality=90)
jpeg = jpeg.getvalue()
alpha_bytes = alpha.tobytes()
# Packed picture: zlib of (JPEG length, alpha length, JPEG, alpha rows top to bottom).
packed = zlib.compress(struct.pack("<II", len(jpeg), len(alpha_bytes)) + jpeg + alpha_bytes, 9)

header = "\r\n".join([
    "VERSION=Tressary 5.10;",
    "PORTRAIT=nil;-1;-1;",
    "HAND=nil;" + "-1;-1;0;0;0;" * 5,
    "BODY=nil;-1;-1;",
    "ACTIVELAYER=00000001;",
    "LAYER=00000001;Red square;-1;300;300;200;150;1;-1;50;50;50;100;100;100;100;100;0;;",
]) + "\r\n"
preview = io.BytesIO()
Image.new("RGB", (150, 150), (255, 255, 255)).save(preview, "JPEG", quality=70)

def field(data):
    return struct.pack("<I", len(data)) + data

with open(sys.argv[1], "wb") as out:
    out.write(struct.pack("<I", 1))
    out.write(field(zlib.compress(header.encode(), 9)))
    out.write(field(zlib.compress(preview.getvalue(), 9)))
    out.write(field(packed))
    out.write(field(b""))  # a mask that stores nothing
