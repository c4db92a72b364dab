#!/usr/bin/env python3
"""Writes the seed inputs of markup_fuzz into markup_corpus/.

An input is the markup text followed by a tail of parameter bytes. The fuzz target reads its
parameters from the END of the input (the way FuzzedDataProvider hands out integers), so the
tail is written here in reverse consumption order. Each text is written once per mode.
"""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "markup_corpus")


class Tail:
    """Encodes values as markup_fuzz consumes them, last byte first."""

    def __init__(self):
        self.consumed = []

    def int_in(self, lo, hi, value):
        span, width = hi - lo, 0
        while width < 8 and (span >> (8 * width)) > 0:
            width += 1
        r = value - lo
        self.consumed += [(r >> (8 * (width - 1 - i))) & 0xFF for i in range(width)]

    def u8(self, v):
        self.int_in(0, 0xFF, v)

    def u32(self, v):
        self.int_in(0, 0xFFFFFFFF, v)

    def boolean(self, b):
        self.u8(1 if b else 0)

    def probability(self, p):
        self.int_in(0, 2**64 - 1, int(p * (2**64 - 1)))

    def color(self, c):
        if c is None:
            self.int_in(0, 3, 0)
        elif c >= 0xFF000000:
            self.int_in(0, 3, 1)
            self.int_in(0, 40, c & 0xFF)
        else:
            self.int_in(0, 3, 3)
            self.int_in(0, 0xFFFFFF, c)

    def bytes(self):
        return bytes(reversed(self.consumed))


def params(mode, mouse=(60, 20), focused=-1, hovered=-1, wrap=True, hover_only=False,
           selected=False, blink=True, width=400, height=300, size=8, face=0, style=0):
    t = Tail()
    t.int_in(0, 2, mode)
    t.int_in(-5000, 5000, 10)
    t.int_in(-5000, 5000, 10)
    t.int_in(-200, 4000, width)
    t.int_in(-200, 4000, height)
    t.int_in(-100, 4100, mouse[0])
    t.int_in(-100, 4100, mouse[1])
    t.int_in(-2, 16, focused)
    t.int_in(-2, 16, hovered)
    t.int_in(-20, 20, 1)              # shadow distance
    t.boolean(False)                  # printing
    t.boolean(selected)
    t.boolean(blink)
    t.boolean(hover_only)
    t.boolean(wrap)
    t.probability(2.0 / 9.0)          # print scale 1.0 in [-1, 8]
    t.color(0xFF0000)                 # link colour
    t.color(0x00E0FFFF)               # hover background
    t.color(None)                     # hover text colour
    t.color(0x808080)                 # shadow tint
    t.int_in(-50, 100, 0)             # extra line spacing
    t.int_in(0, 3, face)
    t.int_in(-40, 72, size)
    t.u8(style)
    t.color(0xFF000008)               # font colour
    t.boolean(True)                   # solid brush...
    t.color(0x00FFFFFF)               # ...in white
    return t.bytes()


SEEDS = {
    "dialog": 'Quillbridge found <b>Tessera</b> in c:\\zorn\\.<br>Download DOSBox from '
              '<a href="https://www.dosbox.com/">the DOSBox site</a> and read '
              '<a href="help">how printing works</a>.<br>Then run this setup again.',
    "styles": "a<b>b</b> c<i>i</i><u>u</u><s>s</s><sub>2</sub>x<sup>3</sup><sh>shadow</sh>"
              "<bl>blink</bl><hi>high</hi><e>error</e><z>hidden</z>end",
    "fonts": '<font face="Courier New" color="clred" bgcolor="#00FF80" size="3">f</font>'
             '<font size=5>five</font><font size="20">twenty</font><font color="#12">x</font>'
             '<font color="nosuch">y</font><font>',
    "paragraphs": '<p align="center">centred<br>still</p><p align="RIGHT" indent="20">right'
                  '</p><p bgcolor="clyellow" bgcolorto="clblue">band</p>left',
    "lists": "<ul><li>one<li>two<ul><li>nested</ul></ul>after<li><li>double",
    "positions": '<in x="100">at 100<of x="30">offset<br>next line</of><r a="90">turned</r>'
                 '<hr>ruled',
    "body": '<body bgcolor="clbtnface" bgcolorto="clwhite" dir="V">page</body><img src="IDX:0">'
            '<img src="SSYS:.txt"><img src="x://y">',
    "entities": "&amp; &quot;&sect;&permil;&reg;&copy;&para;&trade;&euro;&nbsp;&lt;&gt; "
                "&AMP;&NbSp;&Lt;x &unknown; A&B a & b",
    "hashtag": "see <#tag> and <#second> here",
    "linebreaks": "one\r\ntwo\rthree\nfour\r\n\r\n",
    "cut_tags": 'text <fo',
    "cut_link": 'a <a href="x',
    "lone_lt": "x < y and more",
    "unquoted": "<font color=clred size=3 face=Arial>unquoted</font><a href=nowhere>l</a>",
    "overflow": '<font size="99999999999999">big</font><in x="-2147483649">n'
                '<of x="0x7fffffff">o</of><p indent="$FFFFFFFF">i</p><font size="-20">neg</font>',
    "nested_lists": "<ul>" * 3000 + "<li>deep" + "</ul>" * 3000,
    "nul": "a\0b<b\0>c</b>\0<a href=\"\0\">\0</a>",
    "long_word": "x" * 500 + " y",
    "nbsp_start": "&nbsp;starts with a kept space&nbsp;and&nbsp;never&nbsp;breaks",
    "link_wrap": 'before <a href="multi">a link that runs over several lines of a narrow box'
                 '</a> after',
    "short_tags": "<<<>><</><a><//a></",
    "images": 'a<img src="SSYS:report.txt">b<img src="LSYS:.exe" align="TOP">c'
              '<img src="IDX:1" align="MIDDLE"><img src="IDX:9"><img src="anim" wrap>'
              '<img src="RES://PIC" width="40" height="30"><img src="FILE://c:\\pics\\frames.gif">'
              '<img src="res://BAD"><img src="http://example.com/x.gif"><img src="nosuch">'
              '<a href="link"><img src="SSYS:txt" alt="LSYS:txt"></a><img src="RES://PIC" '
              'width="9999" height="2">end',
    "backgrounds": '<body background="RES://PIC">tiled<body bgtopleft="anim">'
                   '<body bgtopright="FILE://c:\\pics\\tile.gif">corners<body '
                   'background="SSYS:txt" bgtopright="IDX:0" bgcolor="clwhite">icons'
                   '<body background="RES://BAD">bad',
}

MODES = ("measure", "hittest", "draw")


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, text in SEEDS.items():
        for mode, mode_name in enumerate(MODES):
            extra = {}
            if name == "link_wrap":
                extra = dict(width=120, mouse=(20, 20), focused=0, hovered=1)
            if name == "dialog":
                extra = dict(focused=1, hovered=2, hover_only=(mode == 2))
            if name == "images":
                extra = dict(mouse=(150, 20), width=200)
            if name in ("long_word", "positions"):
                extra = dict(wrap=False)
            data = text.encode("latin-1") + params(mode, **extra)
            with open(os.path.join(OUT, f"{name}-{mode_name}"), "wb") as f:
                f.write(data)


if __name__ == "__main__":
    main()
