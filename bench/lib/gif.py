"""Small valid GIF files for the benchmark pages, without an encoder."""
import struct


def gif(r, g, b, side=16, padding=0):
    """A side x side picture of one colour, with a comment block of PADDING
    bytes to give it weight. LZW codes of 3 bits with a clear code every
    second pixel, so the code table never grows."""
    codes, bits = [], []
    for i in range(side * side):
        if i % 2 == 0:
            codes.append(4)
        codes.append(0)
    codes.append(5)
    for c in codes:
        bits.extend((c >> k) & 1 for k in range(3))
    data = bytearray()
    for i in range(0, len(bits), 8):
        data.append(sum(bit << k for k, bit in enumerate(bits[i:i + 8])))
    comment = b"!\xfe" + sub_blocks(b"c" * padding) if padding else b""
    return (b"GIF89a" + struct.pack("<HHBBB", side, side, 0x80, 0, 0) +
            bytes([r, g, b, 255, 255, 255]) + comment +
            b"," + struct.pack("<HHHHB", 0, 0, side, side, 0) +
            b"\x02" + sub_blocks(bytes(data)) + b";")


def sub_blocks(data):
    """DATA as GIF sub-blocks of at most 255 bytes, with the terminator."""
    return b"".join(bytes([len(data[i:i + 255])]) + data[i:i + 255]
                    for i in range(0, len(data), 255)) + b"\x00"


def picture_page(root, name, count, prefix, padding=0, side=16):
    """COUNT pictures PREFIX0.gif... in ROOT and NAME, a page showing them
    with no size given, so each one's arrival asks for a layout."""
    cells = []
    for i in range(count):
        with open(f"{root}/{prefix}{i}.gif", "wb") as f:
            f.write(gif(i % 256, (i * 7) % 256, (i * 13) % 256, side, padding))
        cells.append(f'<IMG SRC="{prefix}{i}.gif" ALT="{i}"> item {i}')
    with open(f"{root}/{name}", "w") as f:
        f.write(f"<TITLE>{count} pictures</TITLE>\n<BODY>\n" + "\n".join(cells) + "\n</BODY>\n")
