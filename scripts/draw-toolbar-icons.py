#!/usr/bin/env python3
"""Draws the tool bar icons as SVG and renders them to res/toolbar/<name>-<size>.png.

Every icon is described once on a 16-unit grid. For each size the edges of rectangles and of
straight lines are moved onto whole pixels, so the 16, 24 and 32 pixel images all stay sharp
(a 16-unit drawing merely scaled by 1.5 would blur every edge at 24 px). The PNGs are
committed; run this (needs rsvg-convert, package librsvg2-bin) after changing an icon.

    python3 scripts/draw-toolbar-icons.py [OUT_DIR]
"""
import os
import subprocess
import sys

SIZES = (16, 24, 32)

OUTLINE = "#2e3436"
PAPER = "#ffffff"
PAPER_EDGE = "#555753"
BLUE = "#3465a4"
BLUE_LIGHT = "#729fcf"
BLUE_DARK = "#204a87"
GREEN = "#4e9a06"
GREEN_LIGHT = "#73d216"
RED = "#cc0000"
RED_LIGHT = "#ef2929"
YELLOW = "#fce94f"
YELLOW_DARK = "#c4a000"
ORANGE = "#f57900"
ORANGE_DARK = "#ce5c00"
BROWN = "#8f5902"
BROWN_LIGHT = "#c17d11"
GREY = "#babdb6"
GREY_DARK = "#888a85"


class Canvas:
    """Shapes on the 16-unit grid, written as SVG for one pixel size."""

    def __init__(self, size):
        self.size = size
        self.scale = size / 16.0
        self.parts = []

    def px(self, units):
        return round(units * self.scale)

    def line_width(self, units=1.0):
        # Down rather than to the nearest: 1.5 px lines would smear over two pixels.
        return max(1, int(units * self.scale))

    def rect(self, x0, y0, x1, y1, fill, stroke=None, width=1.0):
        """Rectangle from (x0, y0) to (x1, y1), its outline drawn inside those edges."""
        a, b, c, d = self.px(x0), self.px(y0), self.px(x1), self.px(y1)
        if stroke:
            w = self.line_width(width)
            h = w / 2.0
            self.parts.append(
                f'<rect x="{a + h}" y="{b + h}" width="{c - a - w}" height="{d - b - w}" '
                f'fill="{fill}" stroke="{stroke}" stroke-width="{w}"/>')
        else:
            self.parts.append(f'<rect x="{a}" y="{b}" width="{c - a}" height="{d - b}" '
                              f'fill="{fill}"/>')

    def hline(self, x0, x1, y, stroke, width=1.0):
        """A horizontal bar whose top edge is at y."""
        w = self.line_width(width)
        a, c, b = self.px(x0), self.px(x1), self.px(y)
        self.parts.append(f'<rect x="{a}" y="{b}" width="{c - a}" height="{w}" fill="{stroke}"/>')

    def vline(self, x, y0, y1, stroke, width=1.0):
        w = self.line_width(width)
        a, b, d = self.px(x), self.px(y0), self.px(y1)
        self.parts.append(f'<rect x="{a}" y="{b}" width="{w}" height="{d - b}" fill="{stroke}"/>')

    def pixel_poly(self, points, fill, stroke=None, width=1):
        """A polygon given in pixels of this size (already placed on the pixel grid)."""
        pts = " ".join(f"{x},{y}" for x, y in points)
        s = (f' stroke="{stroke}" stroke-width="{width}" stroke-linejoin="miter"'
             if stroke else "")
        self.parts.append(f'<polygon points="{pts}" fill="{fill}"{s}/>')

    def poly(self, points, fill, stroke=None, width=1.0, join="round"):
        pts = " ".join(f"{x * self.scale:.2f},{y * self.scale:.2f}" for x, y in points)
        s = (f' stroke="{stroke}" stroke-width="{self.line_width(width)}" '
             f'stroke-linejoin="{join}"') if stroke else ""
        self.parts.append(f'<polygon points="{pts}" fill="{fill}"{s}/>')

    def path(self, points, stroke, width=1.0):
        pts = " ".join(f"{x * self.scale:.2f},{y * self.scale:.2f}" for x, y in points)
        self.parts.append(f'<polyline points="{pts}" fill="none" stroke="{stroke}" '
                          f'stroke-width="{width * self.scale:.2f}" stroke-linecap="round" '
                          f'stroke-linejoin="round"/>')

    def circle(self, cx, cy, r, fill, stroke=None, width=1.0):
        s = f' stroke="{stroke}" stroke-width="{self.line_width(width)}"' if stroke else ""
        self.parts.append(f'<circle cx="{cx * self.scale:.2f}" cy="{cy * self.scale:.2f}" '
                          f'r="{r * self.scale:.2f}" fill="{fill}"{s}/>')

    def svg(self):
        n = self.size
        return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{n}" height="{n}" '
                f'viewBox="0 0 {n} {n}">' + "".join(self.parts) + "</svg>")


def page(c, x0, y0, x1, y1, lines=True):
    """A sheet of paper with a folded corner and, optionally, lines of text."""
    w = c.line_width()
    h = w / 2.0
    left, top = c.px(x0) + h, c.px(y0) + h
    right, bottom = c.px(x1) - h, c.px(y1) - h
    fold = c.px(3)
    c.pixel_poly([(left, top), (right - fold, top), (right, top + fold), (right, bottom),
                  (left, bottom)], PAPER, OUTLINE, w)
    c.pixel_poly([(right - fold, top), (right - fold, top + fold), (right, top + fold)], GREY,
                 PAPER_EDGE, w)
    if lines:
        for y in range(int(y0) + 4, int(y1) - 2, 2):
            c.hline(x0 + 2, x1 - 2, y, GREY_DARK)


def floppy(c, x0, y0, x1, y1):
    """A 3.5-inch disk: blue shell, white label, metal shutter."""
    c.rect(x0, y0, x1, y1, BLUE, BLUE_DARK)
    w = x1 - x0
    c.rect(x0 + w * 0.2, y0 + 1, x1 - w * 0.2, y0 + (y1 - y0) * 0.45, PAPER)
    c.rect(x0 + w * 0.25, y1 - (y1 - y0) * 0.35, x1 - w * 0.2, y1 - 1, GREY)
    c.rect(x0 + w * 0.55, y1 - (y1 - y0) * 0.3, x0 + w * 0.7, y1 - 1.5, BLUE_DARK)


def badge(c, kind):
    """A round sign in the lower right corner: a green plus or a red cross."""
    fill, edge = (GREEN_LIGHT, GREEN) if kind == "plus" else (RED_LIGHT, RED)
    c.circle(11.5, 11.5, 4.3, fill, edge)
    if kind == "plus":
        c.rect(10.5, 8.5, 12.5, 14.5, PAPER)
        c.rect(8.5, 10.5, 14.5, 12.5, PAPER)
    else:
        c.path([(9.6, 9.6), (13.4, 13.4)], PAPER, 1.8)
        c.path([(13.4, 9.6), (9.6, 13.4)], PAPER, 1.8)


def icon_new(c):
    page(c, 3, 1, 14, 15, lines=False)
    star = [(4.5, 0), (5.8, 3.2), (9, 4.5), (5.8, 5.8), (4.5, 9), (3.2, 5.8), (0, 4.5), (3.2, 3.2)]
    c.poly(star, YELLOW, ORANGE_DARK)


def icon_open(c):
    c.poly([(1, 3), (6, 3), (7, 4.5), (13, 4.5), (13, 14), (1, 14)], YELLOW_DARK, BROWN)
    c.poly([(3.5, 7), (15.5, 7), (13, 14), (1, 14)], YELLOW, BROWN)


def icon_save(c):
    floppy(c, 1, 1, 15, 15)


def icon_cut(c):
    c.path([(5, 10), (11, 1.5)], GREY_DARK, 1.6)
    c.path([(11, 10), (5, 1.5)], GREY_DARK, 1.6)
    c.circle(4.5, 12.5, 2.3, PAPER, RED, 1.5)
    c.circle(11.5, 12.5, 2.3, PAPER, RED, 1.5)


def icon_copy(c):
    page(c, 1, 1, 10, 11, lines=False)
    page(c, 5, 4, 15, 15)


def icon_paste(c):
    c.rect(2, 2, 14, 15, BROWN_LIGHT, BROWN)
    c.rect(5, 1, 11, 4, GREY, OUTLINE)
    page(c, 4, 5, 12, 14)


def icon_extract(c):
    floppy(c, 1, 5, 11, 15)
    # An arrow leaving the disk: up and to the right.
    c.poly([(5, 8.5), (10, 3.5), (8, 1.5), (15, 1), (14.5, 8), (12.5, 6), (7.5, 11)], ORANGE,
           ORANGE_DARK)


def icon_add(c):
    page(c, 1, 1, 11, 14)
    badge(c, "plus")


def icon_delete(c):
    page(c, 1, 1, 11, 14)
    badge(c, "cross")


def icon_print(c):
    c.rect(4, 1, 12, 7, PAPER, PAPER_EDGE)
    c.rect(1, 6, 15, 12, GREY, OUTLINE)
    c.rect(12, 7, 14, 8, GREEN_LIGHT)
    c.rect(4, 10, 12, 15, PAPER, PAPER_EDGE)
    c.hline(5, 11, 12, GREY_DARK)


def icon_largeicons(c):
    for x, y in ((1, 1), (9, 1), (1, 9), (9, 9)):
        c.rect(x, y, x + 6, y + 6, BLUE_LIGHT, BLUE_DARK)


def icon_smallicons(c):
    for x in (1, 9):
        for y in (2, 7, 12):
            c.rect(x, y, x + 3, y + 3, BLUE_LIGHT, BLUE_DARK)
            c.hline(x + 4, x + 7, y + 1, OUTLINE)


def icon_list(c):
    for y in (1, 5, 9, 13):
        c.rect(1, y, 4, y + 3, BLUE_LIGHT, BLUE_DARK)
        c.hline(5, 15, y + 1, OUTLINE)


def icon_details(c):
    c.rect(1, 1, 15, 15, PAPER, OUTLINE)
    c.rect(1, 1, 15, 4, BLUE_LIGHT, OUTLINE)
    for y in (6, 9, 12):
        c.hline(3, 7, y, OUTLINE)
        c.hline(9, 13, y, GREY_DARK)
    c.vline(8, 4, 14, GREY)


def icon_about(c):
    c.circle(8, 8, 7, BLUE, BLUE_DARK)
    c.rect(7, 3, 9, 5, PAPER)
    c.rect(7, 6.5, 9, 13, PAPER)


ICONS = {
    "new": icon_new,
    "open": icon_open,
    "save": icon_save,
    "cut": icon_cut,
    "copy": icon_copy,
    "paste": icon_paste,
    "extract": icon_extract,
    "add": icon_add,
    "delete": icon_delete,
    "print": icon_print,
    "largeicons": icon_largeicons,
    "smallicons": icon_smallicons,
    "list": icon_list,
    "details": icon_details,
    "about": icon_about,
}


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "res", "toolbar")
    os.makedirs(out, exist_ok=True)
    for name, draw in ICONS.items():
        for size in SIZES:
            canvas = Canvas(size)
            draw(canvas)
            png = os.path.join(out, f"{name}-{size}.png")
            subprocess.run(["rsvg-convert", "-w", str(size), "-h", str(size), "-o", png],
                           input=canvas.svg().encode(), check=True)
    print(f"draw-toolbar-icons: {len(ICONS) * len(SIZES)} PNGs in {os.path.normpath(out)}")


if __name__ == "__main__":
    main()
