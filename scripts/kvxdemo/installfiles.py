"""Builds the demonstration installation files from content.py: the question tables (SQL),
the scoring key and norms (KVXB2.TXT) and the report texts (KVXRPT.TXT)."""

from . import content as C

CRLF = "\r\n"

# Stress coping groups: group A adds to the numerator, group B to the denominator.
STRESS_A = [95, 96, 98, 100, 104, 106, 109, 110, 113, 115, 118, 120, 122, 123, 125, 126,
            127, 130, 132, 134]
STRESS_B = [97, 99, 101, 102, 103, 105, 107, 108, 111, 112, 114, 116, 117, 119, 121, 124,
            128, 129, 131, 133]

# Highest raw-score points that the court history can add per scale (VA gets none).
COURT_MAX = {"VA": 0, "AL": 6, "CL": 0, "DG": 7,
             "VI": 5 + 6 + 7 + 7 * 6 + 4 + 10 + 8}
MAX_NORM_LENGTH = 95

# Truthfulness corrections, bands 1..9, for scales 2..5 and for stress coping.
TRUTH_ADJUST = [0, 0, 0, 1, 1, 1, 2, 2, 3]
TRUTH_ADJUST_STRESS = [0, 0, 1, 1, 2, 2, 3, 4, 5]

# Percentile curves: (raw score, percentile) anchors for men in race group 1; other
# groups stretch the raw-score axis by a factor (above 1: the group scores higher).
NORM_ANCHORS = {
    "VA": [(0, 0), (1, 5), (3, 25), (5, 45), (7, 62), (9, 78), (11, 90), (13, 95), (15, 98),
           (16, 99)],
    "AL": [(0, 0), (1, 10), (3, 25), (5, 40), (8, 55), (12, 70), (17, 83), (21, 90), (27, 95),
           (35, 99)],
    "CL": [(0, 0), (1, 8), (3, 25), (5, 40), (8, 56), (11, 70), (15, 85), (18, 90), (22, 95),
           (28, 99)],
    "DG": [(0, 0), (1, 15), (2, 30), (4, 45), (7, 58), (10, 70), (14, 82), (18, 90), (24, 95),
           (32, 99)],
    "VI": [(0, 0), (1, 10), (3, 25), (6, 40), (10, 55), (15, 70), (22, 84), (28, 90), (36, 95),
           (50, 99)],
}
SEX_FACTOR = {"VA": (1.0, 1.0), "AL": (1.0, 0.85), "CL": (1.0, 0.95), "DG": (1.0, 0.85),
              "VI": (1.0, 0.8)}
RACE_FACTOR = {"VA": (1.0, 1.05, 1.1), "AL": (1.0, 0.95, 1.05), "CL": (1.0, 1.0, 1.05),
               "DG": (1.0, 1.05, 0.95), "VI": (1.0, 1.05, 1.0)}

STRESS_ANCHORS = [(0, 0), (15, 1), (25, 8), (33, 22), (40, 40), (48, 56), (56, 70), (66, 82),
                  (76, 90), (95, 95), (125, 99)]
STRESS_SEX_FACTOR = (1.0, 1.05)
STRESS_RACE_FACTOR = (1.0, 0.97, 1.03)
STRESS_BOUNDS = ([0] + list(range(18, 121, 3)) +
                 [125, 130, 135, 140, 150, 160, 170, 180, 190, 200, 210, 220, 240, 260, 300, 400])


def interpolate(anchors, x):
    """Percentile at x on a piecewise straight curve; 99 beyond the last anchor."""
    if x >= anchors[-1][0]:
        return anchors[-1][1]
    for (x0, y0), (x1, y1) in zip(anchors, anchors[1:]):
        if x0 <= x <= x1:
            return y0 + (y1 - y0) * (x - x0) / (x1 - x0)
    return anchors[0][1]


def percentile_curve(anchors, factor, x):
    return max(0, min(99, int(interpolate(anchors, x / factor) + 0.5)))


# ---- the item plan -------------------------------------------------------------------

def item_weights():
    """Points per item and answer code: {item: [w0, w1, w2, w3, w4]}."""
    w = {i: [0, 0, 0, 0, 0] for i in range(1, 156)}
    for item, _scale, key, *_ in C.SECTION1:
        code = 1 if key[0] == "T" else 2
        w[item][code] = int(key[1])
    for item, group, *_ in C.SECTION2:
        if group not in ("A", "B"):
            w[item] = [0, 0, 1, 2, 3]
    for item, scale, *_ in C.SECTION4:
        if scale:
            w[item] = [0, 0, 1, 2, 3]
    return w


def scale_items():
    lists = {s: [] for s in C.SCALES}
    for item, scale, *_ in C.SECTION1:
        lists[scale].append(item)
    for item, group, *_ in C.SECTION2:
        if group in C.SCALES:
            lists[group].append(item)
    for item, scale, *_ in C.SECTION4:
        if scale:
            lists[scale].append(item)
    return lists


def significant_items():
    """The 40 significant items, grouped alcohol, drugs, violence, control: (item, text)."""
    by_scale = {s: [] for s in C.SCALES}
    for item, scale, _key, _en, _es, *sig in C.SECTION1:
        if sig:
            by_scale[scale].append((item, sig[0]))
    groups = [("AL", 9), ("DG", 10), ("VI", 9), ("CL", 12)]
    out = []
    for scale, count in groups:
        assert len(by_scale[scale]) == count, (scale, len(by_scale[scale]))
        out += by_scale[scale]
    return out


def floor_items():
    """57 items: 12 alcohol, 12 control, 13 drugs, 20 violence; items that can earn 2 or 3."""
    w = item_weights()
    lists = scale_items()
    out = []
    for scale, count in [("AL", 12), ("CL", 12), ("DG", 13), ("VI", 20)]:
        items = [i for i in lists[scale] if max(w[i]) >= 2]
        assert len(items) == count, (scale, len(items))
        out += items
    return out


def norm_length(scale):
    w = item_weights()
    top = sum(max(w[i]) for i in scale_items()[scale]) + COURT_MAX[scale]
    if scale != "VA":
        top += max(TRUTH_ADJUST)
    return min(MAX_NORM_LENGTH, top)


# ---- KVXB2.TXT -------------------------------------------------------------------------

BLOCKS = [(1, 50, 3), (51, 94, 3), (95, 135, 5), (136, 145, 3), (146, 155, 5)]


def point_keys():
    w = item_weights()
    keys = []
    for first, last, codes in BLOCKS:
        for code in range(codes):
            keys.append("".join(str(w[i][code]) for i in range(first, last + 1)))
    return keys


def norm_table(sex, race, scale):
    n = norm_length(scale)
    factor = SEX_FACTOR[scale][sex - 1] * RACE_FACTOR[scale][race - 1]
    return [percentile_curve(NORM_ANCHORS[scale], factor, r) for r in range(1, n + 1)]


def stress_norms(sex, race):
    factor = STRESS_SEX_FACTOR[sex - 1] * STRESS_RACE_FACTOR[race - 1]
    return [percentile_curve(STRESS_ANCHORS, factor, STRESS_BOUNDS[i + 1]) for i in range(51)]


def keyfile_lines():
    join = lambda values: ",".join(str(v) for v in values)
    lines = [join(i for i, _ in significant_items())]
    lines += ['"%s"' % k for k in point_keys()]
    for sex in (1, 2):
        for race in (1, 2, 3):
            for scale in C.SCALES:
                table = norm_table(sex, race, scale)
                lines.append(join([len(table)] + table))
    lines.append(join(STRESS_BOUNDS))
    for sex in (1, 2):
        for race in (1, 2, 3):
            lines.append(join(stress_norms(sex, race)))
    lists = scale_items()
    for scale in C.SCALES:
        lines.append(join([len(lists[scale])] + lists[scale]))
    floors = floor_items()
    for a, b in [(0, 12), (12, 24), (24, 37), (37, 57)]:
        lines.append(join(floors[a:b]))
    for scale in range(2, 7):
        lines.append(join(TRUTH_ADJUST_STRESS if scale == 6 else TRUTH_ADJUST))
    return lines


# ---- KVXRPT.TXT ------------------------------------------------------------------------

def interview_lines():
    lines = []
    for item, *_rest, report in C.SECTION4:
        assert len(report) == 4
        lines += ["%d. %s" % (item, text) for text in report]
    return lines


def reportfile_lines():
    quote = lambda values: ",".join('"%s"' % v for v in values)
    lines = [quote(group) for group in C.REPORT_LABEL_GROUPS]
    lines.append(quote(C.RANGE_NAMES))
    lines += [text for _, text in significant_items()]
    lines += interview_lines()
    lines += [need for *_, need in C.SECTION3]
    for line in lines[5:85]:
        assert len(line) <= 36, line
    for line in lines[85:]:
        assert len(line) <= 72, line
    return lines


# ---- question tables -------------------------------------------------------------------

def question_rows(spanish):
    """(ID, TestQuestion, QuestionAudio, ANSWER1..5, ChoiceAudio1..5) per item."""
    rows = []
    tf = C.TF_LABELS_ES if spanish else C.TF_LABELS_EN
    yn = C.YN_LABELS_ES if spanish else C.YN_LABELS_EN
    freq = C.FREQ_LABELS_ES if spanish else C.FREQ_LABELS_EN

    def row(item, text, labels, audio):
        pad = [None] * (5 - len(labels))
        return [item, text, "Q%03d" % item] + labels + pad + audio + pad

    for item, _s, _k, en, es, *_ in C.SECTION1:
        rows.append(row(item, es if spanish else en, tf, ["T", "F"]))
    for item, _g, en, es in C.SECTION2:
        rows.append(row(item, es if spanish else en, freq, C.FREQ_AUDIO))
    for item, en, es, _need in C.SECTION3:
        text = (C.SECTION3_QUESTION_ES if spanish else C.SECTION3_QUESTION_EN).format(
            es if spanish else en)
        rows.append(row(item, text, yn, ["Y", "N"]))
    for item, _s, en, en_choices, es, es_choices, _rep in C.SECTION4:
        choices = es_choices if spanish else en_choices
        labels = ["%d - %s" % (n, c) for n, c in enumerate(choices, 1)]
        rows.append(row(item, es if spanish else en, labels,
                        ["C%d_%d" % (item, n) for n in range(1, 5)]))
    assert [r[0] for r in rows] == list(range(1, 156))
    return rows


def sql_value(v):
    if v is None:
        return "NULL"
    if isinstance(v, int):
        return str(v)
    return "'" + v.replace("'", "''") + "'"


def sql_text(table, spanish):
    out = ["-- The %s question table: one row per item, in item order." % table,
           "-- Columns: ID, TestQuestion, QuestionAudio, ANSWER1..ANSWER5, ChoiceAudio1..5.",
           "-- Synthetic demonstration content (generated by scripts/make-install-files).",
           "BEGIN;"]
    for r in question_rows(spanish):
        out.append('INSERT INTO "%s" VALUES (%s);' % (table, ", ".join(sql_value(v) for v in r)))
    out.append("COMMIT;")
    return "\n".join(out) + "\n"


def write_all(folder):
    """Writes every generated file into folder (data/ layout: sql/ below it)."""
    import os
    os.makedirs(os.path.join(folder, "sql"), exist_ok=True)
    with open(os.path.join(folder, "sql", "10-english.sql"), "w", encoding="utf-8",
              newline="\n") as f:
        f.write(sql_text("English", False))
    with open(os.path.join(folder, "sql", "20-spanish.sql"), "w", encoding="utf-8",
              newline="\n") as f:
        f.write(sql_text("Spanish", True))
    for name, lines in [("KVXB2.TXT", keyfile_lines()), ("KVXRPT.TXT", reportfile_lines())]:
        with open(os.path.join(folder, name), "wb") as f:
            f.write("".join(line + CRLF for line in lines).encode("cp1252"))
