# The payloads of an ASF file's data packets, for the test scripts that read ASF files on their
# own (an independent reading beside the library's): every flag and field width of the payload
# parsing information, single and multiple payloads.
import struct

WIDTHS = [0, 1, 2, 4]


def payloads(data, start, packets, packet_size):
    """Yields (stream number, offset, length) of each payload of the packets, in order."""
    for k in range(packets):
        base = start + k * packet_size
        p = data[base:base + packet_size]
        i = 3 if p[0] & 0x80 else 0
        lt, prop = p[i], p[i + 1]
        i += 2

        def field(t):
            nonlocal i
            v = int.from_bytes(p[i:i + WIDTHS[t]], "little")
            i += WIDTHS[t]
            return v
        plen = field((lt >> 5) & 3)
        field((lt >> 1) & 3)
        pad = field((lt >> 3) & 3)
        i += 6
        end = (plen or len(p)) - pad
        n, ltype = 1, 0
        if lt & 1:
            n, ltype = p[i] & 63, p[i] >> 6
            i += 1
        for _ in range(n):
            stream = p[i] & 0x7F
            i += 1
            field((prop >> 4) & 3)
            field((prop >> 2) & 3)
            replicated = field(prop & 3)
            i += replicated
            length = field(ltype) if lt & 1 else end - i
            yield stream, base + i, length
            i += length
