"""A reference scorer for the demonstration data: the scoring rules applied to one client
record against a KVXB2.TXT, used to place each demo client in its intended risk range."""

import re

SECTION_END = [0, 94, 135, 145, 155]
SECTION_CHOICES = [0, 2, 4, 2, 4]
# (first item, last item, index of its first point key, highest weighted code)
BLOCKS = [(1, 50, 0, 2), (51, 94, 3, 2), (95, 135, 6, 4), (136, 145, 11, 2), (146, 155, 14, 4)]
STRESS_A = [95, 96, 98, 100, 104, 106, 109, 110, 113, 115, 118, 120, 122, 123, 125, 126,
            127, 130, 132, 134]
STRESS_B = [97, 99, 101, 102, 103, 105, 107, 108, 111, 112, 114, 116, 117, 119, 121, 124,
            128, 129, 131, 133]

# Floors from significant answers, per scale: (kind, floor); kinds are matched in order.
FLOOR_ROWS = {
    2: {"1t3": 36, "2tw2": 42, "2th1": 57, "2th2": 61, 3: 66, 4: 70, 5: 75, 6: 81, 7: 86, 8: 90},
    3: {"2any": 35, 3: 42, 4: 53, 5: 59, 6: 68, 7: 78, 8: 89},
    4: {"1t3": 37, "2tw2": 41, "2th1": 58, "2th2": 62, 3: 67, 4: 71, 5: 76, 6: 82, 7: 87, 8: 91},
    5: {"1t3": 38, "2tw2": 40, "2th1": 59, "2th2": 62, 3: 65, 4: 68, 5: 72, 6: 77, 7: 83, 8: 88,
        9: 93},
}
FLOOR_RANGE = {2: (0, 12), 3: (12, 24), 4: (24, 37), 5: (37, 57)}


def court_value(text):
    """The numeric value of a stored court history value ("N", blanks and "-1": 0)."""
    t = text.strip()
    if t == "-1":
        return 0
    m = re.match(r"[+-]?\d+", t)
    return int(m.group(0)) if m else 0


def digit(c):
    return int(c) if c.isdigit() else 0


class Result:
    def __init__(self):
        self.raw = [0] * 7
        self.pct = [0] * 7
        self.omit = [0] * 7
        self.endorsed = [0] * 7
        self.arrest_flag = [0] * 7
        self.item_points = [0] * 156
        self.times_arrested_flag = 0
        self.invalid = False


def _points(key, item, code):
    for first, last, k0, top in BLOCKS:
        if first <= item <= last:
            if code > top:
                return 0
            text = key.point_keys[k0 + code]
            pos = item - first
            return digit(text[pos]) if pos < len(text) else 0
    return 0


def _floor_kind_value(rows, twos, threes):
    total = twos + threes
    if total == 1:
        return rows.get("1t3") if threes == 1 else None
    if total == 2:
        if "2any" in rows:
            return rows["2any"]
        return rows["2tw2"] if twos == 2 else rows["2th1"] if threes == 1 else rows["2th2"]
    if total >= 3:
        top = max(k for k in rows if isinstance(k, int))
        return rows[min(total, top)]
    return None


def _violence_court_points(v):
    p = 0
    a = v[1]
    p += 5 if 1 <= a <= 14 else 4 if 15 <= a <= 16 else 3 if 17 <= a <= 18 else \
        2 if 19 <= a <= 20 else 1 if 21 <= a <= 99 else a
    p += 6 if v[2] >= 5 else v[2]
    p += v[3] + 1 if 2 <= v[3] <= 4 else 7 if v[3] >= 5 else v[3]
    for j in range(4, 11):
        p += 6 if v[j] >= 6 else v[j]
    p += 4 if v[11] > 4 else v[11]
    p += min(2 * v[12], 10)
    p += min(2 * (v[15] - 1), 8) if v[15] > 2 else v[15]
    return p


def _step_floor(value, table):
    """Floor for a value from {1: f1, 2: f2, ..., top: f_top_or_more}."""
    if value < 1:
        return None
    return table[min(value, max(table))]


def score(key, answers, court_texts, gender, race):
    """answers: 155 characters; court_texts: the 15 stored court values; gender, race:
    the stored code digits."""
    res = Result()
    code = [0] + [digit(c) for c in answers]
    v = [0] + [court_value(t) for t in court_texts]

    for s in range(1, 6):
        for i in key.scale_items[s]:
            if code[i] == 0:
                res.omit[s] += 1
            p = _points(key, i, code[i])
            res.item_points[i] = p
            res.raw[s] += p
            if p > 0:
                res.endorsed[s] += 1

    sum_a = sum(code[i] if code[i] else 1 for i in STRESS_A)
    sum_b = sum(code[i] if code[i] else 4 for i in STRESS_B)
    res.omit[6] = sum(1 for i in range(95, 135) if code[i] == 0)
    if sum_b > 0:
        res.raw[6] = sum_a * 60 // sum_b
    res.endorsed[6] = 9

    al = v[13]
    res.raw[2] += 1 if 1 <= al <= 2 else 2 if 3 <= al <= 4 else 3 if 5 <= al <= 6 else \
        4 if 7 <= al <= 8 else 6 if 9 <= al <= 99 else al
    dg = v[14]
    res.raw[4] += 4 if 4 <= dg <= 5 else 5 if 6 <= dg <= 7 else 6 if 8 <= dg <= 9 else \
        7 if 10 <= dg <= 99 else dg
    res.raw[5] += _violence_court_points(v)

    if sum(1 for i in range(1, 95) if code[i] == 1) > int(94 * 0.95):
        res.raw[1] = 99

    sex = 2 if digit(gender) == 2 else 1
    rc = digit(race)
    group = rc if rc in (1, 2, 3) else 1

    for s in range(1, 6):
        norm = key.norms[sex][group][s]
        if res.omit[s] < 4 and res.raw[s] <= len(norm):
            if res.raw[s] <= 0:
                p = 0
            else:
                p = norm[res.raw[s] - 1]
            if s >= 2:
                cap = {0: 7, 1: 18, 2: 37}.get(res.endorsed[s])
                if cap is not None:
                    p = min(p, cap)
            res.pct[s] = p
        else:
            res.pct[s] = 99

        if s == 1:
            p1 = res.pct[1]
            band = 0 if p1 < 10 else min(p1 // 10, 9)
            if band:
                for k in range(2, 7):
                    res.raw[k] += key.truth_adjust[k][band - 1]
            if p1 >= 95:
                for k in range(2, 7):
                    res.pct[k] = 99
                res.invalid = True
                return res
            continue

        lo, hi = FLOOR_RANGE[s]
        pts = [res.item_points[i] for i in key.floor_items[lo:hi]]
        floor = _floor_kind_value(FLOOR_ROWS[s], pts.count(2), pts.count(3))
        if floor is not None and floor > res.pct[s]:
            res.pct[s] = floor

        def raise_to(f):
            if f is not None and res.pct[s] < f:
                res.pct[s] = f
                res.arrest_flag[s] = 1
                return True
            return False

        both = v[13] > 0 and v[14] > 0 and v[13] + v[14] >= 4
        if s == 2:
            raise_to(_step_floor(v[13], {1: 29, 2: 37, 3: 43, 4: 66, 5: 73}))
            raise_to(67 if both else None)
        elif s == 4:
            raise_to(_step_floor(v[14], {1: 36, 2: 44, 3: 66, 4: 73, 5: 88}))
            raise_to(67 if both else None)
        elif s == 5:
            raise_to(_step_floor(v[12], {1: 46, 2: 68, 3: 72, 4: 88, 5: 90}))
            raise_to(_step_floor(v[15], {1: 45, 2: 67, 3: 71, 4: 87, 5: 90}))
            raise_to(71 if v[12] + v[15] >= 3 else None)
            res.times_arrested_flag = 0
            if raise_to(_step_floor(v[8], {1: 26, 2: 36, 3: 40, 4: 48, 5: 58, 6: 68, 7: 78,
                                           8: 88})):
                res.times_arrested_flag = 1

    if res.raw[6] <= 0:
        res.pct[6] = 99
    else:
        b = key.stress_bounds
        for i in range(51):
            if b[i] < res.raw[6] <= b[i + 1]:
                res.pct[6] = key.stress_norms[sex][group][i]
                break
        else:
            raise ValueError("stress coping raw score %d in no bracket" % res.raw[6])
    return res


def paragraph_key(p):
    """The paragraph key of a percentile (range names LOW, MEDIUM, PROBLEM, MAXIMUM)."""
    if p < 40:
        return "LOW"
    if p < 56:
        return "MEDIUM-LOW"
    if p < 70:
        return "MEDIUM-HIGH"
    if p < 90:
        return "PROBLEM"
    return "MAXIMUM-LOW" if p < 95 else "MAXIMUM-HIGH"
