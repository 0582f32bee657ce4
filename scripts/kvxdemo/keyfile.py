"""Reads an installation's scoring key and norms file (KVXB2.TXT) field by field, the way
the program does: numbers end at a comma, a blank or a line end; texts end at a comma or a
line end, lose surrounding blanks and may stand in double quotes."""


class FieldReader:
    def __init__(self, text):
        self.s = text
        self.i = 0

    def _skip_space(self):
        while self.i < len(self.s) and self.s[self.i] in " \t\r\n":
            self.i += 1

    def _end_field(self):
        # Past trailing blanks, then one comma or one line end.
        while self.i < len(self.s) and self.s[self.i] in " \t":
            self.i += 1
        if self.s.startswith(",", self.i):
            self.i += 1
        elif self.s.startswith("\r\n", self.i):
            self.i += 2
        elif self.s.startswith("\n", self.i):
            self.i += 1

    def number(self):
        self._skip_space()
        start = self.i
        while self.i < len(self.s) and self.s[self.i] not in ", \t\r\n":
            self.i += 1
        token = self.s[start:self.i]
        if not token:
            raise ValueError("number expected at offset %d" % start)
        value = int(token)
        if not -32768 <= value <= 32767:
            raise ValueError("number out of range: %s" % token)
        self._end_field()
        return value

    def text(self):
        self._skip_space()
        if self.s.startswith('"', self.i):
            end = self.s.index('"', self.i + 1)
            value = self.s[self.i + 1:end]
            self.i = end + 1
        else:
            start = self.i
            while self.i < len(self.s) and self.s[self.i] not in ",\r\n":
                self.i += 1
            value = self.s[start:self.i].strip()
        self._end_field()
        return value

    def at_end(self):
        self._skip_space()
        return self.i >= len(self.s)


class Key:
    """The fields of KVXB2.TXT. Norms are indexed [sex 1..2][race 1..3][scale 1..5]
    (index 0 unused) and hold the percentiles of raw scores 1..n."""

    def __init__(self, path):
        with open(path, "rb") as f:
            r = FieldReader(f.read().decode("cp1252"))
        self.sig_items = [r.number() for _ in range(40)]
        self.point_keys = [r.text() for _ in range(19)]
        self.norms = [[[None] * 6 for _ in range(4)] for _ in range(3)]
        for sex in (1, 2):
            for race in (1, 2, 3):
                for scale in range(1, 6):
                    n = r.number()
                    if not 0 <= n <= 95:
                        raise ValueError("norm length %d" % n)
                    self.norms[sex][race][scale] = [r.number() for _ in range(n)]
        self.stress_bounds = [r.number() for _ in range(52)]
        self.stress_norms = [[None] * 4 for _ in range(3)]
        for sex in (1, 2):
            for race in (1, 2, 3):
                self.stress_norms[sex][race] = [r.number() for _ in range(51)]
        self.scale_items = [None]
        for _ in range(5):
            c = r.number()
            if not 0 <= c <= 40:
                raise ValueError("scale item count %d" % c)
            self.scale_items.append([r.number() for _ in range(c)])
        self.floor_items = [r.number() for _ in range(57)]
        self.truth_adjust = [None, None] + [[r.number() for _ in range(9)] for _ in range(5)]
        self.trailing = not r.at_end()
