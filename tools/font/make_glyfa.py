#!/usr/bin/python3
"""Builds glyfa.ttf, the Telugu font "Vrayu", from Noto Sans Telugu.

The transliteration engine writes one byte per glyph: a consonant body, then
vowel signs, subjoined consonants and marks. This font draws byte b at the
character U+00bb (the byte read as ISO-8859-1, and also the character a
browser makes of it through windows-1252). Every glyph is a piece of Noto Sans
Telugu; the Latin letters come from Noto Sans. Marks have zero advance and a
mark-to-base lookup places them per body as Noto's own syllables do;
subjoined forms without advance hang under the body by Noto's below-base
anchors; syllables whose pieces do not add up to Noto's drawing become
ligatures. Qt (HarfBuzz) applies these lookups to the Latin-1 text.

Run with Debian's interpreter, which has fontTools:
    /usr/bin/python3 make_glyfa.py --telugu NotoSansTelugu-Regular.ttf \
        --latin NotoSans-Regular.ttf --output glyfa.ttf
The output depends only on the inputs (fixed dates), so rebuilds are
byte-identical.
"""

import argparse
import os
import statistics
import sys

from fontTools.fontBuilder import FontBuilder
from fontTools.pens.basePen import BasePen
from fontTools.pens.cu2quPen import Cu2QuPointPen
from fontTools.pens.pointPen import SegmentToPointPen
from fontTools.pens.recordingPen import DecomposingRecordingPen
from fontTools.pens.ttGlyphPen import TTGlyphPointPen
from fontTools.ttLib import TTFont

FAMILY = "Vrayu"
VERSION = "1.000"
# 2026-01-01 00:00 UTC in seconds since 1904: fixed, so rebuilds are identical.
FIXED_DATE = 3850156800

# ---------------------------------------------------------------------------
# Code layout: glyph code -> (kind, drawing). Kinds:
#   vowel  independent vowel, spacing
#   body   consonant at the head of a syllable, spacing (takes marks)
#   sign   spacing vowel sign or mark that hangs back over the letter
#   mark   zero-advance mark placed per body by the mark-to-base lookup
#   below  subjoined consonant, with Noto's own advance; those without one
#          become marks attached under the body ("belowmark")
#   blank  empty spacing glyph
# A drawing is a Noto glyph name, a list of (name, dx, dy) pieces, or a tuple
# naming one of the cut-outs below.
# ---------------------------------------------------------------------------
LAYOUT = {
    128: ("vowel", "atelu"), 129: ("vowel", "aatelu"), 130: ("vowel", "itelu"),
    131: ("vowel", "iitelu"), 132: ("vowel", "utelu"), 133: ("vowel", "uutelu"),
    134: ("vowel", "rvocalictelu"), 135: ("vowel", "etelu"), 136: ("vowel", "eetelu"),
    137: ("vowel", "aitelu"), 138: ("vowel", "otelu"), 139: ("vowel", "ootelu"),
    140: ("vowel", "autelu"), 248: ("vowel", "rrvocalictelu"),

    141: ("body", "kaalttelu"), 142: ("body", "khatelu"), 143: ("body", "gaalttelu"),
    144: ("body", "ghaalttelu"), 149: ("body", "jhaalttelu"), 150: ("body", "nyatelu"),
    152: ("body", "tthaalttelu"), 153: ("body", "ddaalttelu"), 154: ("body", "ddhaalttelu"),
    155: ("body", "nnatelu"), 156: ("body", ("below_y", "tatelu", 505)),
    157: ("body", "thaalttelu"), 158: ("body", "daalttelu"), 159: ("body", "dhaalttelu"),
    161: ("body", "paalttelu"), 162: ("body", "phaalttelu"), 163: ("body", "batelu"),
    164: ("body", "bhaalt1telu"), 165: ("body", "maalt1telu"), 166: ("body", "yaalttelu"),
    167: ("body", "raalttelu"), 168: ("body", "latelu"), 169: ("body", "vaalttelu"),
    170: ("body", "shaalttelu"), 171: ("body", "ssaalttelu"), 172: ("body", "saalttelu"),
    174: ("body", "llaalttelu"),
    175: ("body", [("kaalttelu", 0, 0), ("ssasubscriptforkssatelu", 1, 0)]),
    176: ("body", "rratelu"), 177: ("body", "paalt2telu"), 178: ("body", "phaalt2telu"),
    179: ("body", "saalt2telu"), 180: ("body", "ssaalt2telu"), 246: ("body", "haavoweltelu"),
    249: ("body", "ngatelu"), 250: ("body", "caalt1telu"), 251: ("body", "chaalt1telu"),
    252: ("body", "jatelu"), 253: ("body", "ttatelu"), 254: ("body", "naalt1telu"),
    255: ("body", "haalttelu"),

    193: ("mark", "hattelu"), 195: ("mark", "ivowelsigntelu"),
    196: ("mark", "iivowelsigntelu"), 201: ("mark", "evowelsigntelu"),
    202: ("mark", "eevowelsigntelu"), 203: ("mark", "aivowelsigntelu"),
    247: ("mark", "viramatelu"),

    194: ("sign", "aavowelsigntelu"), 197: ("sign", "uvowelsigntelu"),
    198: ("sign", "uuvowelsigntelu"), 199: ("sign", "rvocalicvowelsigntelu"),
    200: ("sign", "rrvocalicvowelsigntelu"), 204: ("sign", "ovowelsigntelu"),
    205: ("sign", "oovowelsigntelu"), 206: ("sign", "auvowelsigntelu"),
    207: ("sign", "anusvaratelu"), 208: ("sign", "visargatelu"),
    # u and U after p, ph, v: Noto's whole syllable less the p body and its
    # talakattu, moved so that it starts where the body ends.
    244: ("sign", ("minus", "puvoweltelu", [("paalttelu", 0, 0), ("hattelu", 76, 0)])),
    245: ("sign", ("minus", "puuvoweltelu", [("paalttelu", 0, 0), ("hattelu", 76, 0)])),

    160: ("blank", 90),
    # Signs the romanization reaches through "@M", "@n" and "@2".
    189: ("vowel", "nahalanttelu"), 190: ("vowel", "avagrahatelu"),
    191: ("sign", "candrabindutelu"),
}

# Subjoined consonants 209-243, in the order of the engine's consonant table.
SUBJOINED = ("ka kha ga gha nga ca cha ja jha nya tta ttha dda ddha nna ta tha da"
             " dha na pa pha ba bha ma ya ra la va sha ssa sa ha lla rra").split()
for _i, _letter in enumerate(SUBJOINED):
    LAYOUT[209 + _i] = ("below", "karasubscripttelu" if _letter == "ra"
                        else _letter + "subscripttelu")

# Letter prefix of Noto's syllable names for each body: "k" finds katelu,
# kivoweltelu, kahalanttelu ... from which the mark anchors are learnt.
BODY_LETTER = {
    141: "k", 142: "kh", 143: "g", 144: "gh", 149: "jh", 150: "ny", 152: "tth",
    153: "dd", 154: "ddh", 155: "nn", 156: "t", 157: "th", 158: "d", 159: "dh",
    161: "p", 162: "ph", 163: "b", 164: "bh", 165: "m", 166: "y", 167: "r", 168: "l",
    169: "v", 170: "sh", 171: "ss", 172: "s", 174: "ll", 175: "kass", 176: "rr",
    249: "ng", 250: "c", 251: "ch", 252: "j", 253: "tt", 254: "n", 255: "h",
}

# Bodies used only before spacing signs take the anchors of their plain form.
ANCHORS_FROM = {177: 161, 178: 162, 179: 172, 180: 171}

# Mark code -> Noto syllable name ending that shows that mark on a body.
MARK_SYLLABLE = {193: "atelu", 195: "ivoweltelu", 196: "iivoweltelu",
                 201: "evoweltelu", 202: "eevoweltelu", 203: "aivoweltelu",
                 247: "ahalanttelu"}

# Syllables whose pieces do not draw what Noto draws: code sequence -> Noto's
# glyph for the whole syllable. The o-signs cover the stroke that tells p, ph,
# s and ss from v, and gh, jh, h take a form of their own; the engine writes m
# and y with o as e and u signs, but in a cluster (m&ko) as the o-sign, and
# m, y, gh and jh with A are one wide letter in Noto.
LIGATURES = {}
for _body, _letter in ((177, "p"), (178, "ph"), (179, "s"), (180, "ss"), (144, "gh"),
                       (149, "jh"), (165, "m"), (166, "y"), (255, "h")):
    for _sign, _vowel in ((204, "o"), (205, "oo"), (206, "au")):
        LIGATURES[(_body, _sign)] = _letter + _vowel + "voweltelu"
for _body, _letter in ((165, "m"), (166, "y"), (144, "gh"), (149, "jh")):
    LIGATURES[(_body, 193, 160, 194)] = _letter + "aavoweltelu"
LIGATURES[(166, 160, 194)] = "yiivoweltelu"
# ai: Noto hangs the length mark under each letter at a place of its own.
for _body, _letter in BODY_LETTER.items():
    LIGATURES[(_body, 203)] = _letter + "aivoweltelu"
# j with u and U: the u-sign joins the letter's tail.
LIGATURES[(252, 197)] = "juvoweltelu"
LIGATURES[(252, 198)] = "juuvoweltelu"
# hA is drawn whole; the inherent-vowel mark the engine adds is already in it.
LIGATURES[(246, 193)] = "haavoweltelu"

# Two subjoined forms that Noto draws as one.
SUBJOINED_LIGATURES = {("ta", "ra"): "tarasubscriptligtelu"}

# Characters that browsers make of bytes 0x80-0x9F when a page says
# "iso-8859-1" (they read it as windows-1252); mapped to the same glyphs.
WINDOWS_1252 = {
    0x80: 0x20AC, 0x82: 0x201A, 0x83: 0x0192, 0x84: 0x201E, 0x85: 0x2026,
    0x86: 0x2020, 0x87: 0x2021, 0x88: 0x02C6, 0x89: 0x2030, 0x8A: 0x0160,
    0x8B: 0x2039, 0x8C: 0x0152, 0x8E: 0x017D, 0x91: 0x2018, 0x92: 0x2019,
    0x93: 0x201C, 0x94: 0x201D, 0x95: 0x2022, 0x96: 0x2013, 0x97: 0x2014,
    0x98: 0x02DC, 0x99: 0x2122, 0x9A: 0x0161, 0x9B: 0x203A, 0x9C: 0x0153,
    0x9E: 0x017E, 0x9F: 0x0178,
}


class Outline:
    """A decomposed drawing: point-pen contours plus the source advance."""

    def __init__(self, contours, advance):
        self.contours = contours  # list of [(pt, segmentType)] (cubic or quadratic)
        self.advance = advance

    def draw_points(self, pen, dx=0, dy=0):
        for contour in self.contours:
            pen.beginPath()
            for (x, y), kind in contour:
                pen.addPoint((x + dx, y + dy), kind)
            pen.endPath()

    def bounds(self):
        pts = [p for c in self.contours for p, _ in c]
        if not pts:
            return None
        xs, ys = [p[0] for p in pts], [p[1] for p in pts]
        return min(xs), min(ys), max(xs), max(ys)


class _PointRecorder:
    """Point pen that keeps contours as lists of (point, segmentType)."""

    def __init__(self):
        self.contours = []

    def beginPath(self, **kwargs):
        self.contours.append([])

    def endPath(self):
        pass

    def addPoint(self, pt, segmentType=None, smooth=False, name=None, **kwargs):
        self.contours[-1].append(((pt[0], pt[1]), segmentType))

    def addComponent(self, name, transformation, **kwargs):
        raise ValueError("components are decomposed before recording")


class _CubicPen(BasePen):
    """Segment pen that turns quadratic curves into cubic ones (for clipping)."""

    def __init__(self, out):
        super().__init__(None)
        self.out = out

    def _moveTo(self, pt):
        self.out.moveTo(pt)

    def _lineTo(self, pt):
        self.out.lineTo(pt)

    def _curveToOne(self, p1, p2, p3):
        self.out.curveTo(p1, p2, p3)

    def _qCurveToOne(self, p1, p2):
        p0 = self._getCurrentPoint()
        c1 = (p0[0] + 2 / 3 * (p1[0] - p0[0]), p0[1] + 2 / 3 * (p1[1] - p0[1]))
        c2 = (p2[0] + 2 / 3 * (p1[0] - p2[0]), p2[1] + 2 / 3 * (p1[1] - p2[1]))
        self.out.curveTo(c1, c2, p2)

    def _closePath(self):
        self.out.closePath()

    def _endPath(self):
        self.out.endPath()


class _Contour:
    """Adapter giving booleanOperations the drawPoints() it expects."""

    def __init__(self, points):
        self.points = points

    def __len__(self):
        return len(self.points)

    def drawPoints(self, pen):
        pen.beginPath()
        for pt, kind in self.points:
            pen.addPoint(pt, kind)
        pen.endPath()


class Source:
    """One Noto font, read once; glyphs come out decomposed."""

    def __init__(self, path):
        self.font = TTFont(path)
        self.glyphs = self.font.getGlyphSet()
        self.hmtx = self.font["hmtx"]

    def outline(self, name, cubic=False):
        if name not in self.glyphs:
            raise SystemExit(f"make_glyfa: {name} is missing from the source font")
        rec = DecomposingRecordingPen(self.glyphs)
        self.glyphs[name].draw(rec)
        points = _PointRecorder()
        seg_pen = SegmentToPointPen(points)
        rec.replay(_CubicPen(seg_pen) if cubic else seg_pen)
        return Outline(points.contours, self.hmtx[name][0])

    def points(self, name):
        """Every on- and off-curve point of the decomposed glyph."""
        return [p for c in self.outline(name).contours for p, _ in c]


def _shifted(outline, dx, dy):
    return [[((x + dx, y + dy), k) for (x, y), k in c] for c in outline.contours]


def _boolean(operation, subject, clip):
    import booleanOperations
    rec = _PointRecorder()
    getattr(booleanOperations, operation)([_Contour(c) for c in subject],
                                          [_Contour(c) for c in clip], rec)
    # Sort contours so the result never depends on the clipper's output order.
    rec.contours.sort(key=lambda c: sorted(p for p, _ in c)[0])
    return rec.contours


def build_outline(src, drawing):
    """Outline and advance of one layout entry's drawing."""
    if isinstance(drawing, str):
        return src.outline(drawing)
    if isinstance(drawing, list):
        contours, advance = [], 0
        for name, dx, dy in drawing:
            part = src.outline(name)
            contours += _shifted(part, dx, dy)
            advance = max(advance, part.advance)
        return Outline(contours, advance)
    op = drawing[0]
    if op == "below_y":
        # Keep what lies below a height: a body without its talakattu.
        whole = src.outline(drawing[1], cubic=True)
        b = whole.bounds()
        box = [[((b[0] - 10, b[1] - 10), "line"), ((b[0] - 10, drawing[2]), "line"),
                ((b[2] + 10, drawing[2]), "line"), ((b[2] + 10, b[1] - 10), "line")]]
        return Outline(_boolean("intersection", whole.contours, box), whole.advance)
    if op == "minus":
        # A syllable less the pieces named, moved to start where the first
        # piece (the body) ends.
        whole = src.outline(drawing[1], cubic=True)
        clip = []
        for name, dx, dy in drawing[2]:
            clip += _shifted(src.outline(name, cubic=True), dx, dy)
        body_advance = src.outline(drawing[2][0][0]).advance
        rest = Outline(_boolean("difference", whole.contours, clip), 0)
        return Outline(_shifted(rest, -body_advance, 0), whole.advance - body_advance)
    raise ValueError(f"unknown drawing {drawing!r}")


def _top_span(points, y0):
    xs = [x for x, y in points if y >= y0]
    return (min(xs), max(xs)) if xs else None


def learn_anchors(src, code, body_name, body):
    """x offsets at which Noto draws each mark on this body, by mark code.

    A composite syllable names the body and the mark with their offsets. For
    a syllable drawn in one piece, the part above the body's top is the mark:
    aligning its extent with the mark's own gives the offset (by the right
    edge when the two edges disagree: the left tails of marks vary).
    """
    letter = BODY_LETTER.get(code)
    if letter is None:
        return {}
    glyf = src.font["glyf"]
    body_top = body.bounds()[3]
    found = {}
    for mark_code, ending in MARK_SYLLABLE.items():
        syllable = letter + ending
        mark_name = LAYOUT[mark_code][1]
        if syllable not in src.glyphs:
            continue
        g = glyf[syllable]
        if g.isComposite() and body_name:
            parts = {c.glyphName: c.x for c in g.components}
            if body_name in parts and mark_name in parts:
                found[mark_code] = parts[mark_name] - parts[body_name]
                continue
            if mark_code == 203 and body_name in parts:
                e_marks = [n for n in parts if n.startswith("evowelsign")]
                if e_marks:
                    found[mark_code] = parts[e_marks[0]] + _e_variant_shift(src, e_marks[0])
                    continue
        y0 = body_top + 40
        have = _top_span(src.points(syllable), y0)
        want = _top_span(src.points(mark_name), y0)
        if have and want:
            left, right = have[0] - want[0], have[1] - want[1]
            found[mark_code] = (left + right) / 2 if abs(left - right) <= 20 else right
    return found


def _e_variant_shift(src, variant):
    """Offset that puts the plain e-sign where a narrow/wide variant sits."""
    v = _top_span(src.points(variant), 600)
    e = _top_span(src.points("evowelsigntelu"), 600)
    return v[1] - e[1]


def fill_anchors(anchors):
    """Completes every body's anchors from its other marks.

    A missing mark goes where the body's known marks put it on average across
    the bodies that have both (the talakattu and the vowel marks keep fixed
    distances from each other).
    """
    marks = sorted(MARK_SYLLABLE)
    delta = {}
    for a in marks:
        for b in marks:
            d = [v[b] - v[a] for v in anchors.values() if a in v and b in v]
            if d:
                delta[(a, b)] = statistics.median(d)
    filled = {}
    for code, known in anchors.items():
        full = dict(known)
        for m in marks:
            if m in full:
                continue
            guesses = [known[k] + delta[(k, m)] for k in known if (k, m) in delta]
            if guesses:
                full[m] = statistics.median(guesses)
        filled[code] = {m: round(x) for m, x in full.items()}
    return filled


def glyph_name(code):
    drawing = LAYOUT[code][1]
    if isinstance(drawing, str):
        return drawing
    return f"vrayu{code}"


def noto_below_anchors(src):
    """Noto's below-base attachment: (base anchors, mark anchors) for the
    subjoined forms drawn under the body's middle, and the same for the
    ra forms hung from the body's right edge, from its blwm lookups."""
    middle, right = ({}, {}), ({}, {})
    gpos = src.font["GPOS"].table
    for record in gpos.FeatureList.FeatureRecord:
        if record.FeatureTag != "blwm":
            continue
        for index in record.Feature.LookupListIndex:
            for st in gpos.LookupList.Lookup[index].SubTable:
                if st.Format != 1 or not hasattr(st, "MarkCoverage"):
                    continue
                marks = st.MarkCoverage.glyphs
                target = right if "karasubscripttelu" in marks else middle
                for name, rec in zip(marks, st.MarkArray.MarkRecord):
                    target[1][name] = (rec.MarkAnchor.XCoordinate, rec.MarkAnchor.YCoordinate)
                for name, rec in zip(st.BaseCoverage.glyphs, st.BaseArray.BaseRecord):
                    a = rec.BaseAnchor[0]
                    if a is not None:
                        target[0][name] = (a.XCoordinate, a.YCoordinate)
    return middle, right


def letter_of(code):
    """Prefix of Noto's names for the letter a body code draws."""
    return BODY_LETTER.get(code) or BODY_LETTER.get(ANCHORS_FROM.get(code)) or (
        "h" if code == 246 else None)


class Plan:
    """Glyphs and the data of the OpenType lookups."""

    def __init__(self):
        self.order = [".notdef"]
        self.outlines = {}
        self.kinds = {}       # glyph -> layout kind ("mark"/"belowmark" are GDEF marks)
        self.cmap = {}
        self.ligatures = {}   # tuple of glyphs -> ligature glyph
        self.reorder = []     # (sign, subjoined, temporary glyph)
        self.ra_forms = {}    # body glyph -> its own ra form
        self.sub_ligatures = {}  # two subjoined glyphs -> one
        self.low_ra = {}      # body glyph -> anchor of the low ra form after its u-sign
        self.anchors = {}     # body glyph -> {mark code: x}
        self.below = {}       # base glyph -> (middle anchor, right anchor)
        self.below_marks = {}  # mark glyph -> ("middle"|"right", anchor)

    def add(self, name, outline, kind):
        if name in self.outlines:
            raise SystemExit(f"make_glyfa: glyph {name} made twice")
        self.order.append(name)
        self.outlines[name] = outline
        self.kinds[name] = kind


def plan_font(tel, lat):
    plan = Plan()
    plan.outlines[".notdef"] = tel.outline(".notdef")
    plan.kinds[".notdef"] = "base"

    # Latin letters, digits and punctuation: U+0020-U+007E from Noto Sans.
    lat_cmap = lat.font.getBestCmap()
    for cp in range(0x20, 0x7F):
        name = "uni%04X" % cp if cp != 0x20 else "space"
        plan.add(name, lat.outline(lat_cmap[cp]), "base")
        plan.cmap[cp] = name

    for code in sorted(LAYOUT):
        kind, drawing = LAYOUT[code]
        name = glyph_name(code)
        outline = Outline([], drawing) if kind == "blank" else build_outline(tel, drawing)
        if kind == "mark":
            outline.advance = 0
        if kind == "below" and outline.advance == 0:
            kind = "belowmark"  # drawn under the body, placed by attachment
        plan.add(name, outline, kind)
        plan.cmap[code] = name
    for byte, cp in WINDOWS_1252.items():
        if byte in plan.cmap:
            plan.cmap[cp] = plan.cmap[byte]

    for seq, noto in sorted(LIGATURES.items()):
        if noto not in plan.outlines:
            plan.add(noto, tel.outline(noto), "body")
        plan.ligatures[tuple(glyph_name(c) for c in seq)] = noto

    # Vowel marks on bodies.
    anchors = {}
    for code, (kind, drawing) in LAYOUT.items():
        if kind == "body" and code in BODY_LETTER:
            src_name = drawing if isinstance(drawing, str) else (
                drawing[0][0] if isinstance(drawing, list) else None)
            anchors[code] = learn_anchors(tel, code, src_name, plan.outlines[glyph_name(code)])
    anchors = fill_anchors({c: a for c, a in anchors.items() if a})
    for code, plain in ANCHORS_FROM.items():
        anchors[code] = anchors[plain]
    plan.anchors = {glyph_name(c): a for c, a in anchors.items()}

    # Subjoined forms without advance hang under the body as Noto hangs them.
    # The engine writes vowel signs before subjoined consonants, so a spacing
    # sign between body and subjoined form is first moved behind it.
    (mid_base, mid_mark), (right_base, right_mark) = noto_below_anchors(tel)
    zero_width = [glyph_name(c) for c in range(209, 244) if plan.kinds[glyph_name(c)] == "belowmark"]
    for name in zero_width:
        if name in right_mark:
            plan.below_marks[name] = ("right", right_mark[name])
        elif name in mid_mark:
            plan.below_marks[name] = ("middle", mid_mark[name])
    ra = glyph_name(209 + SUBJOINED.index("ra"))
    # Bases: every body, and every syllable ligature (by its first code).
    bases = {glyph_name(c): c for c, (k, _) in LAYOUT.items() if k == "body" and letter_of(c)}
    for seq, lig in plan.ligatures.items():
        bases.setdefault(lig, next(c for c in LAYOUT if glyph_name(c) == seq[0]))
    for name, code in sorted(bases.items()):
        letter = letter_of(code)
        whole = letter + "atelu" if code != 246 else "haavoweltelu"
        advance = tel.hmtx[whole][0]
        plan.below[name] = (mid_base.get(name, mid_base.get(whole, (advance // 2, -24))),
                            right_base.get(name, right_base.get(whole, (advance, -24))))
        form = letter + "arasubscripttelu"
        if form == ra or form not in tel.glyphs:
            continue
        if form not in plan.outlines:
            plan.add(form, tel.outline(form), "belowmark")
            plan.outlines[form].advance = 0
            plan.below_marks[form] = ("right", right_mark.get(form, (0, -24)))
        plan.ra_forms[name] = form
    # p, ph and v with the u-signs that wrap under them take the low ra form,
    # hung from the end of the u-sign.
    plan.add("rasubscriptlowtelu", tel.outline("rasubscriptlowtelu"), "belowmark")
    plan.outlines["rasubscriptlowtelu"].advance = 0
    plan.below_marks["rasubscriptlowtelu"] = ("low", right_mark.get("rasubscriptlowtelu", (0, -24)))
    for code in (161, 162, 169):
        name = glyph_name(code)
        plan.low_ra[name] = (plan.outlines[name].advance + plan.outlines[glyph_name(244)].advance, -24)
    for (first, second), lig in sorted(SUBJOINED_LIGATURES.items()):
        plan.add(lig, tel.outline(lig), "belowmark")
        plan.outlines[lig].advance = 0
        plan.below_marks[lig] = ("middle", mid_mark[lig])
        seq = tuple(glyph_name(209 + SUBJOINED.index(x)) for x in (first, second))
        plan.sub_ligatures[seq] = lig
    signs = [glyph_name(c) for c, (k, _) in sorted(LAYOUT.items()) if k == "sign"]
    for sign in signs:
        for sub in zero_width:
            temp = f"_{sign}.{sub}"
            plan.add(temp, Outline([], 0), "base")
            plan.reorder.append((sign, sub, temp))
    return plan


def build(telugu_path, latin_path, output):
    tel = Source(telugu_path)
    lat = Source(latin_path)
    plan = plan_font(tel, lat)

    glyphs, metrics = {}, {}
    for name in plan.order:
        pen = TTGlyphPointPen(None)
        outline = plan.outlines[name]
        outline.draw_points(Cu2QuPointPen(pen, max_err=1.0, reverse_direction=False)
                            if _is_cubic(outline) else pen)
        glyphs[name] = pen.glyph()
        b = outline.bounds()
        metrics[name] = (round(outline.advance), round(b[0]) if b else 0)

    boxes = [plan.outlines[n].bounds() for n in plan.order if plan.outlines[n].bounds()]
    ascent = int(max(b[3] for b in boxes)) + 1
    descent = int(min(b[1] for b in boxes)) - 1

    fb = FontBuilder(tel.font["head"].unitsPerEm, isTTF=True)
    fb.setupGlyphOrder(plan.order)
    fb.setupCharacterMap(plan.cmap)
    fb.setupGlyf(glyphs)
    fb.setupHorizontalMetrics(metrics)
    fb.setupHorizontalHeader(ascent=ascent, descent=descent, lineGap=0)
    fb.setupNameTable(_names(tel, lat))
    fb.setupOS2(version=4, sTypoAscender=ascent, sTypoDescender=descent, sTypoLineGap=0,
                usWinAscent=ascent, usWinDescent=-descent, fsType=0,
                achVendID="NONE", usWeightClass=400, fsSelection=0x40 | 0x80,
                sxHeight=536, sCapHeight=714, ulCodePageRange1=1,
                ulUnicodeRange1=0b11)  # Basic Latin, Latin-1 Supplement
    fb.setupPost(keepGlyphNames=True)
    fb.updateHead(created=FIXED_DATE, modified=FIXED_DATE, fontRevision=float(VERSION))
    fb.addOpenTypeFeatures(_features(plan))
    fb.font["head"].flags |= 0x0008  # integer scaling
    fb.save(output)


def _is_cubic(outline):
    return any(k == "curve" for c in outline.contours for _, k in c)


def _names(tel, lat):
    noto = tel.font["name"].getDebugName(0)
    latin = lat.font["name"].getDebugName(0)
    return {
        "copyright": f"{noto} (Noto Sans Telugu). {latin} (Noto Sans).",
        "familyName": FAMILY,
        "styleName": "Regular",
        "uniqueFontIdentifier": f"{FAMILY}-Regular {VERSION}",
        "fullName": FAMILY,
        "version": f"Version {VERSION}",
        "psName": f"{FAMILY}-Regular",
        "description": ("Modified Version of Noto Sans Telugu and Noto Sans: Telugu glyphs "
                        "at 8-bit codes for the Vrayu transliteration engine."),
        "licenseDescription": ("This Font Software is licensed under the SIL Open Font "
                               "License, Version 1.1 (OFL.txt beside the font). It is a "
                               "Modified Version of Noto Sans Telugu and Noto Sans."),
        "licenseInfoURL": "https://openfontlicense.org",
    }


def _features(plan):
    """OpenType feature text. GSUB (ccmp): syllable ligatures, the move of
    spacing signs behind zero-width subjoined forms (two passes, for two
    subjoined forms), the body's own ra form. GPOS (mark): vowel marks and
    subjoined forms attached to the body."""
    out = ["languagesystem DFLT dflt;", "languagesystem latn dflt;", ""]
    marks = sorted(MARK_SYLLABLE)
    out.append("lookup SYLLABLES {")
    out += ["  sub %s by %s;" % (" ".join(seq), lig) for seq, lig in plan.ligatures.items()]
    out.append("} SYLLABLES;")
    out.append("lookup JOIN {")
    out += ["  sub %s %s by %s;" % (sign, sub, temp) for sign, sub, temp in plan.reorder]
    out.append("} JOIN;")
    out.append("lookup SPLIT {")
    out += ["  sub %s by %s %s;" % (temp, sub, sign) for sign, sub, temp in plan.reorder]
    out.append("} SPLIT;")
    # k with subjoined ss is the conjunct ksha (the body of code 175); marks
    # between them stay and attach to it.
    kss = glyph_name(209 + SUBJOINED.index("ssa"))
    out.append("lookup KSSA {")
    out.append("  lookupflag UseMarkFilteringSet [%s];" % kss)
    out.append("  sub %s %s by %s;" % (glyph_name(141), kss, glyph_name(175)))
    out.append("} KSSA;")
    out.append("lookup SUBJOINED {")
    out += ["  sub %s by %s;" % (" ".join(seq), lig) for seq, lig in plan.sub_ligatures.items()]
    out.append("} SUBJOINED;")
    ra = glyph_name(209 + SUBJOINED.index("ra"))
    for body, form in sorted(plan.ra_forms.items()):
        out.append("lookup RA_%s { sub %s by %s; } RA_%s;" % (body, ra, form, body))
    out.append("lookup RA_LOW { sub %s by rasubscriptlowtelu; } RA_LOW;" % ra)
    out.append("lookup RA_FORMS {")
    out.append("  lookupflag UseMarkFilteringSet [%s];" % ra)
    out.append("  sub [%s] %s' lookup RA_LOW [%s %s];"
               % (" ".join(sorted(plan.low_ra)), ra, glyph_name(244), glyph_name(245)))
    for body in sorted(plan.ra_forms):
        out.append("  sub %s %s' lookup RA_%s;" % (body, ra, body))
    out.append("} RA_FORMS;")

    for m in marks:
        out.append("markClass %s <anchor 0 0> @V%d;" % (glyph_name(m), m))
    for name, (where, (x, y)) in sorted(plan.below_marks.items()):
        out.append("markClass %s <anchor %d %d> @%s;" % (name, x, y, where.upper()))
    out.append("lookup VOWEL_MARKS {")
    for body in sorted(plan.anchors):
        parts = " ".join("<anchor %d 0> mark @V%d" % (plan.anchors[body][m], m)
                         for m in marks if m in plan.anchors[body])
        out.append("  pos base %s %s;" % (body, parts))
    out.append("} VOWEL_MARKS;")
    out.append("lookup BELOW_MARKS {")
    for base, (mid, right) in sorted(plan.below.items()):
        low = " <anchor %d %d> mark @LOW" % plan.low_ra[base] if base in plan.low_ra else ""
        out.append("  pos base %s <anchor %d %d> mark @MIDDLE <anchor %d %d> mark @RIGHT%s;"
                   % (base, mid[0], mid[1], right[0], right[1], low))
    out.append("} BELOW_MARKS;")

    out.append("feature ccmp {")
    out += ["  lookup %s;" % n for n in ("SYLLABLES", "JOIN", "SPLIT", "JOIN", "SPLIT", "KSSA", "SUBJOINED",
                                            "RA_FORMS")]
    out.append("} ccmp;")
    out.append("feature mark { lookup VOWEL_MARKS; lookup BELOW_MARKS; } mark;")
    mark_names = " ".join(n for n in plan.order if plan.kinds[n] in ("mark", "belowmark"))
    base_names = " ".join(n for n in plan.order if plan.kinds[n] not in ("mark", "belowmark"))
    out.append("table GDEF {")
    out.append("  GlyphClassDef [%s], , [%s], ;" % (base_names, mark_names))
    out.append("} GDEF;")
    return "\n".join(out) + "\n"


def main(argv):
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--telugu", required=True, help="NotoSansTelugu-Regular.ttf")
    ap.add_argument("--latin", required=True, help="NotoSans-Regular.ttf")
    ap.add_argument("--output", required=True, help="glyfa.ttf to write")
    args = ap.parse_args(argv)
    tmp = args.output + ".tmp"
    build(args.telugu, args.latin, tmp)
    os.replace(tmp, args.output)


if __name__ == "__main__":
    main(sys.argv[1:])
