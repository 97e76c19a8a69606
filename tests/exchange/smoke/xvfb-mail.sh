#!/usr/bin/env bash
# The work mailed as a picture and as a work through the e-mail window (the
# desktop's mail program fails) to aiosmtpd on loopback: both attachments arrive
# as the program wrote them, the picture opens in Pillow and the work in the program.
#   xvfb-mail.sh <mail-demo> <installation>
set -euo pipefail
demo=$1 install=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../support/xvfb-setup.sh"
smoke_work
mkdir -p "$work/out" "$work/mails" "$work/bin"
/usr/bin/python3 "$here/../../support/make_tsc.py" "$work/some.tsc"
# A mail program that fails, and nothing else on PATH of the demo.
printf '#!/bin/sh\nexit 3\n' > "$work/bin/xdg-email"
chmod +x "$work/bin/xdg-email"

coproc sink { exec /usr/bin/python3 "$here/../../support/mail/smtp_sink.py" "$work/mails" 2 90; }
# Bash forgets a coprocess's variables once it ends: the sink ends after its
# two mails, which may be before the demo does.
sink_pid=$sink_PID
read -r -t 20 port <&"${sink[0]}"
"$xvfb_free" -s "-screen 0 1024x768x24" env PATH="$work/bin" "$demo" send "$install" "$work/out" "$work/some.tsc" "$port" ||
  { kill "$sink_pid" 2>/dev/null; echo "the demo failed"; exit 1; }
wait "$sink_pid" 2>/dev/null || true

/usr/bin/python3 - "$work" <<'PY'
import email, email.policy, io, sys
from PIL import Image
work = sys.argv[1]
got = {}
for n in (1, 2):
    with open(f"{work}/mails/{n}.eml", "rb") as f:
        message = email.message_from_bytes(f.read(), policy=email.policy.default)
    assert message["To"] == "Bob <bob@example.com>", message["To"]
    assert "My new look" in message.get_body(preferencelist=("plain",)).get_content()
    for part in message.iter_attachments():
        got[part.get_filename()] = part.get_payload(decode=True)
assert sorted(got) == ["Session.tsc", "portrait.jpg"], sorted(got)
for name, data in got.items():
    with open(f"{work}/out/{name}", "rb") as f:
        assert f.read() == data, name + " changed on the way"
    with open(f"{work}/{name}", "wb") as f:
        f.write(data)
picture = Image.open(io.BytesIO(got["portrait.jpg"]))
assert picture.format == "JPEG" and picture.size == (200, 150), (picture.format, picture.size)
r, g, b = picture.convert("RGB").getpixel((10, 10))
assert r > 200 and g < 60 and b < 60, (r, g, b)
print("attachments intact:", {name: len(data) for name, data in got.items()})
PY
opened=$("$xvfb_free" -s "-screen 0 1024x768x24" "$demo" open "$install" "$work/Session.tsc")
echo "$opened"
[[ $opened == "layers 1 200x150" ]]
echo ok
