#!/usr/bin/env python3
"""Writes an RTF document of about SIZE bytes made of Quorin's sample templates,
tables and lists, repeated, one sample after another on a new page.

    make_document.py SIZE OUT.rtf [SAMPLES_DIR]
"""
import pathlib, re, sys

size, out = int(sys.argv[1]), pathlib.Path(sys.argv[2])
samples = pathlib.Path(sys.argv[3] if len(sys.argv) > 3 else pathlib.Path(__file__).parent / "../../samples")
templates = sorted(samples.glob("*.tem"))
if not templates:
    sys.exit(f"no sample templates in {samples}")


def split(rtf):
    """The header up to \\viewkind4\\uc1, and the body without the closing brace."""
    m = re.search(rb"\\viewkind4\\uc1", rtf)
    head, body = (rtf[:m.end()], rtf[m.end():]) if m else (b"{\\rtf1\\ansi", rtf[6:])
    return head, body.rstrip().rstrip(b"}")


header, _ = split(templates[0].read_bytes())
bodies = [split(t.read_bytes())[1] for t in templates]

rows = b"".join(
    b"\\trowd\\trgaph108\\trbrdrt\\brdrs\\trbrdrb\\brdrs\\trbrdrl\\brdrs\\trbrdrr\\brdrs"
    b"\\clbrdrt\\brdrs\\clbrdrb\\brdrs\\cellx2880\\clbrdrt\\brdrs\\clbrdrb\\brdrs\\cellx6480"
    b"\\clbrdrt\\brdrs\\clbrdrb\\brdrs\\cellx8640\\pard\\intbl Item %d\\cell Description of item %d, "
    b"which runs long enough to wrap inside its cell\\cell $%d.00\\cell\\row\r\n" % (i, i, 10 * i)
    for i in range(1, 13))
bullets = b"".join(
    b"{\\pntext\\f0\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf0\\pnindent360{\\pntxtb\\'B7}}"
    b"\\fi-360\\li720 Bullet point %d of the list, a sentence of ordinary length.\\par\r\n" % i
    for i in range(1, 9))
numbers = b"".join(
    b"{\\pntext %d.\\tab}{\\*\\pn\\pnlvlbody\\pndec\\pnstart1\\pnindent360{\\pntxta .}}"
    b"\\fi-360\\li720 Numbered clause %d: the parties agree to the terms above.\\par\r\n" % (i, i)
    for i in range(1, 7))
extras = b"\\pard\\par\r\n" + rows + b"\\pard\\par\r\n" + bullets + b"\\pard\\par\r\n" + numbers + b"\\pard\r\n"

parts = [header, b"\r\n"]
written = len(header)
i = 0
while written < size:
    chunk = b"\\pard\\plain\\f0\\fs24 " + bodies[i % len(bodies)] + b"\r\n" + extras + b"\\page\r\n"
    parts.append(chunk)
    written += len(chunk)
    i += 1
parts.append(b"}\r\n")
out.write_bytes(b"".join(parts))
print(f"{out}: {written} bytes, {i} samples")
