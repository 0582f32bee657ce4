"""The reference scorer that places the demo clients, checked case by case against the
scoring rules on a small key file built here (flat norms make each rule visible)."""

import os
import sys
import tempfile
import unittest

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "scripts"))
from kvxdemo import keyfile, scorer  # noqa: E402

# Scale lists of the small key: Truthfulness 1-10, Alcohol 11-20 (floor items 11-20 and
# 146, 147), Control 21-30, Drugs 31-40, Violence 41-60.
LISTS = [list(range(1, 11)), list(range(11, 21)) + [146, 147], list(range(21, 31)),
         list(range(31, 41)), list(range(41, 61))]
FLOORS = (list(range(11, 21)) + [146, 147] + list(range(21, 31)) + [148, 149] +
          list(range(31, 41)) + [150, 151, 152] + list(range(41, 61)))


def key_text(alcohol_norm=20, truth_norm=None, adjust=0):
    """True earns 1 on items 1-10 and 21-30, 2 on 11-20 and 31-60, 3 on item 20."""
    w1 = "".join("1" if i <= 10 or 21 <= i <= 30 else "3" if i == 20 else "2"
                 for i in range(1, 51))
    w2 = "".join("2" if i <= 60 else "0" for i in range(51, 95))
    keys = ["0" * 50, w1, "0" * 50, "0" * 44, w2, "0" * 44] + ["0" * 41] * 5 + ["0" * 10] * 3
    keys += ["0" * 10, "0" * 10, "0000111000", "0000222000", "0000333000"]
    lines = [",".join(str(i) for i in range(1, 41))] + ['"%s"' % k for k in keys]
    for _sex in (1, 2):
        for _race in (1, 2, 3):
            for scale in range(1, 6):
                if scale == 1:
                    norm = truth_norm or [r * 9 for r in range(1, 11)]
                elif scale == 2:
                    norm = [alcohol_norm] * 40
                else:
                    norm = [min(99, r * 3) for r in range(1, 96)]
                lines.append(",".join(str(v) for v in [len(norm)] + norm))
    lines.append(",".join(str(b) for b in range(0, 520, 10)))
    for _ in range(6):
        lines.append(",".join(str(min(99, i * 2)) for i in range(51)))
    for items in LISTS:
        lines.append(",".join(str(v) for v in [len(items)] + items))
    lines.append(",".join(str(v) for v in FLOORS[:57]))
    for _ in range(5):
        lines.append(",".join([str(adjust)] * 9))
    return "\r\n".join(lines) + "\r\n"


def load(**kw):
    with tempfile.NamedTemporaryFile("w", suffix=".TXT", delete=False, newline="") as f:
        f.write(key_text(**kw))
    try:
        return keyfile.Key(f.name)
    finally:
        os.unlink(f.name)


def answers(true_items=(), blank_items=(), fill="2", stress="1"):
    """All items False/"fill", stress items code `stress`, the given items True (1)."""
    a = [fill] * 155
    for i in range(95, 135):
        a[i - 1] = stress
    for i in true_items:
        a[i - 1] = "1"
    for i in blank_items:
        a[i - 1] = "0"
    return "".join(a)


NO_COURT = ["N"] * 15


def court(**items):
    c = ["0"] * 15
    for k, v in items.items():
        c[int(k[1:]) - 1] = str(v)
    return c


class ScorerRules(unittest.TestCase):
    def test_key_reader_reads_every_field(self):
        k = load()
        self.assertFalse(k.trailing)
        self.assertEqual(k.scale_items[2], LISTS[1])
        self.assertEqual(len(k.point_keys[6]), 41)

    def test_excessive_true_answers(self):
        k = load()
        for trues, raw1 in [(89, None), (90, 99), (94, 99)]:
            r = scorer.score(k, answers(true_items=range(1, trues + 1)), NO_COURT, "1", "1")
            if raw1 is None:
                self.assertNotEqual(r.raw[1], 99, trues)
            else:
                self.assertEqual(r.raw[1], raw1, trues)
                self.assertTrue(r.invalid)

    def test_stress_coping_raw_score(self):
        k = load()
        cases = [("0", 15), ("1", 60), ("4", 60)]  # all unanswered: A=20, B=80
        for code, raw in cases:
            r = scorer.score(k, answers(stress=code), NO_COURT, "1", "1")
            self.assertEqual(r.raw[6], raw, code)
            self.assertEqual(r.endorsed[6], 9)

    def test_omitted_items_and_endorsement_caps(self):
        # Items 1 and 2 True put Truthfulness in band 1, whose correction (1) gives ALCOHOL a
        # raw score without any endorsed item.
        cases = [
            # (alcohol table percentile, true items, blank items, expected ALCOHOL percentile)
            (20, [1, 2], [], 7),                    # no endorsed item caps at 7
            (30, [1, 2, 11], [], 18),               # one endorsed item caps at 18
            (15, [1, 2, 11], [], 15),
            (50, [1, 2], [11, 12, 13], 7),
            (20, [1, 2], [11, 12, 13, 14], 99),     # four unanswered: 99
            (20, [], [], 0),                        # raw score 0 is percentile 0
        ]
        for norm, trues, blanks, pct in cases:
            r = scorer.score(load(alcohol_norm=norm, adjust=1), answers(trues, blanks),
                             NO_COURT, "1", "1")
            self.assertEqual(r.pct[2], pct, (norm, trues, blanks))

    def test_significant_answer_floors(self):
        k = load(alcohol_norm=5)
        cases = [([20], 36), ([11, 12], 42), ([11], 5), ([11, 20], 57), ([11, 12, 13], 66),
                 (list(range(11, 20)), 90)]
        for trues, pct in cases:
            r = scorer.score(k, answers(trues), NO_COURT, "1", "1")
            self.assertEqual(r.pct[2], pct, trues)
            self.assertEqual(r.arrest_flag[2], 0)

    def test_court_history_floors(self):
        k = load(alcohol_norm=5)
        cases = [
            # (court values, scale, percentile, arrest flag)
            (court(v13=2, v14=2), 2, 67, 1),
            (court(v13=2, v14=2), 4, 67, 1),
            (court(v13=1), 2, 29, 1),
            (court(v14=5), 4, 88, 1),
            (court(v12=1, v15=2), 5, 71, 1),
            (court(v12=5), 5, 90, 1),
            (court(v8=8), 5, 88, 1),
        ]
        for values, scale, pct, flag in cases:
            r = scorer.score(k, answers(), values, "1", "1")
            self.assertEqual((r.pct[scale], r.arrest_flag[scale]), (pct, flag), (values, scale))
        r = scorer.score(k, answers(), court(v8=3), "1", "1")
        self.assertEqual(r.times_arrested_flag, 1)

    def test_truthfulness_correction_and_invalid_test(self):
        k = load(truth_norm=[9, 19, 29, 39, 49, 59, 69, 79, 91, 96], adjust=2)
        for trues, invalid, added in [(1, False, 0), (2, False, 2), (10, True, 2)]:
            r = scorer.score(k, answers(range(1, trues + 1)), court(v8=1), "1", "1")
            self.assertEqual(r.invalid, invalid, trues)
            if invalid:
                self.assertEqual(r.pct[2:7], [99] * 5)
                self.assertEqual(r.arrest_flag[5], 0)  # no floors after an invalid result
            self.assertEqual(r.raw[3], added, trues)

    def test_norm_group(self):
        self.assertEqual(scorer.court_value("-1"), 0)
        self.assertEqual(scorer.court_value("N "), 0)
        self.assertEqual(scorer.court_value("12"), 12)
        k = load()
        same = [scorer.score(k, answers([11]), NO_COURT, g, rc).pct for g, rc in
                [("1", "1"), ("0", "4"), ("1", "0")]]
        self.assertEqual(same[0], same[1])
        self.assertEqual(same[0], same[2])

    def test_paragraph_keys(self):
        cases = [(0, "LOW"), (39, "LOW"), (40, "MEDIUM-LOW"), (55, "MEDIUM-LOW"),
                 (56, "MEDIUM-HIGH"), (69, "MEDIUM-HIGH"), (70, "PROBLEM"), (89, "PROBLEM"),
                 (90, "MAXIMUM-LOW"), (94, "MAXIMUM-LOW"), (95, "MAXIMUM-HIGH"),
                 (99, "MAXIMUM-HIGH")]
        for p, key in cases:
            self.assertEqual(scorer.paragraph_key(p), key, p)


if __name__ == "__main__":
    unittest.main()
