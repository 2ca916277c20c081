# Draws the two pictures of the combination window: two overlapping discs,
# the union filled entirely, the intersection filled only where they meet.
import struct, sys
W, H = 120, 90
A = (46, 45); B = (74, 45); R = 30
def inside(p, c): return (p[0]-c[0])**2 + (p[1]-c[1])**2 <= R*R
def ring(p, c): d = ((p[0]-c[0])**2 + (p[1]-c[1])**2) ** 0.5; return abs(d - R) < 1.2
def draw(kind):
    rows = []
    for y in range(H - 1, -1, -1):  # bottom-up rows
        row = bytearray()
        for x in range(W):
            p = (x + 0.5, y + 0.5)
            a, b = inside(p, A), inside(p, B)
            filled = (a or b) if kind == 'union' else (a and b)
            if ring(p, A) or ring(p, B): bgr = (40, 40, 40)
            elif filled: bgr = (200, 120, 30)      # blue fill
            else: bgr = (255, 255, 255)
            row += bytes(bgr)
        row += b'\0' * ((4 - len(row) % 4) % 4)
        rows.append(bytes(row))
    pixels = b''.join(rows)
    header = struct.pack('<2sIHHI', b'BM', 54 + len(pixels), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, W, H, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return header + info + pixels
open(sys.argv[1] + '/UNION.BMP', 'wb').write(draw('union'))
open(sys.argv[1] + '/INTERSEC.BMP', 'wb').write(draw('inter'))
