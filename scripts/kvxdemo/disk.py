"""The demonstration data disk: reads the readable client source (data/demo/clients.txt)
and writes the data file, 239 bytes per client in Windows-1252."""

RECORD_SIZE = 239

GENDER = ["N/A", "Male", "Female"]
RACE = ["N/A", "Caucasian", "Black", "Hispanic", "Asian", "Native American", "Other"]
MARITAL = ["N/A", "Single", "Married", "Divorced", "Separated", "Widowed"]
EDUCATION = ["N/A", "8th Grade or Less", "Partially Completed H.S.", "G.E.D.", "H.S. Graduate",
             "Partially Completed College", "Tech./Business School", "College Graduate",
             "Prof./Grad School"]

# Answer letters per section: section 1 True/False, 3 Yes/No, 2 and 4 digits.
SECTION_LETTERS = [
    (1, 94, {"T": "1", "F": "2", "0": "0"}),
    (95, 135, {c: c for c in "01234"}),
    (136, 145, {"Y": "1", "N": "2", "0": "0"}),
    (146, 155, {c: c for c in "01234"}),
]


class SourceError(Exception):
    pass


class Client:
    def __init__(self, number):
        self.number = number
        self.fields = {}
        self.answers = ""
        self.expect = None


def _code(table, value, what):
    if value not in table:
        raise SourceError("unknown %s %r" % (what, value))
    return str(table.index(value))


def parse(text):
    """Clients from the source text. Blocks start with "client N"; "#" starts a comment."""
    clients = []
    cur = None
    for lineno, raw in enumerate(text.splitlines(), 1):
        line = raw.split("#", 1)[0].rstrip()
        if not line.strip():
            continue
        words = line.split(None, 1)
        key, rest = words[0], (words[1] if len(words) > 1 else "")
        try:
            if key == "client":
                cur = Client(int(rest))
                if cur.number != len(clients) + 1:
                    raise SourceError("clients must be numbered 1, 2, ... in order")
                clients.append(cur)
            elif cur is None:
                raise SourceError("text before the first client")
            elif key == "answers" or "-" in key and key.replace("-", "").isdigit():
                part = rest if key == "answers" else line
                rng, letters = part.split(None, 1)
                first, last = (int(x) for x in rng.split("-"))
                letters = letters.replace(" ", "")
                if first != len(cur.answers) + 1 or len(letters) != last - first + 1:
                    raise SourceError("answers %s: expected %d answers from item %d"
                                      % (rng, last - first + 1, len(cur.answers) + 1))
                for offset, ch in enumerate(letters):
                    cur.answers += _answer_code(first + offset, ch)
            elif key == "expect":
                cur.expect = rest.split()
            else:
                if key in cur.fields:
                    raise SourceError("%s given twice" % key)
                cur.fields[key] = rest.strip()
        except (SourceError, ValueError) as e:
            raise SourceError("line %d: %s" % (lineno, e)) from None
    for c in clients:
        if len(c.answers) != 155:
            raise SourceError("client %d: %d answers, 155 expected" % (c.number, len(c.answers)))
    return clients


def _answer_code(item, ch):
    for first, last, letters in SECTION_LETTERS:
        if first <= item <= last:
            if ch not in letters:
                raise SourceError("item %d: %r is not an answer of its section" % (item, ch))
            return letters[ch]
    raise SourceError("item %d out of range" % item)


def scramble(name):
    """Name deletion: blanks stay, every other code c becomes c + 7 (even) or c + 3 (odd)."""
    out = bytearray()
    for b in name.encode("cp1252"):
        if b == 0x20:
            out.append(b)
        else:
            shifted = b + 7 if b % 2 == 0 else b + 3
            if shifted > 255:
                raise SourceError("name character %d cannot be scrambled" % b)
            out.append(shifted)
    return bytes(out)


def _fixed(value, width):
    data = value if isinstance(value, bytes) else value.encode("cp1252")
    return data[:width].ljust(width, b" ")


def court_values(client):
    values = client.fields.get("court", "").split()
    if len(values) != 15:
        raise SourceError("client %d: 15 court history values expected" % client.number)
    for v in values:
        if v != "N" and not (v.isdigit() and len(v) <= 2):
            raise SourceError("client %d: court value %r" % (client.number, v))
    return values


def record(client):
    f = client.fields
    need = ["name", "age", "born", "gender", "race", "marital", "education", "tested"]
    for k in need:
        if k not in f:
            raise SourceError("client %d: %s missing" % (client.number, k))
    deleted = f.get("deleted", "no") == "yes"
    name = _fixed(f["name"], 25)
    if deleted:
        name = scramble(name.decode("cp1252"))
    parts = [
        name,
        _fixed(f["age"], 3),
        _fixed(f["born"], 10),
        _code(GENDER, f["gender"], "gender").encode(),
        _code(RACE, f["race"], "race").encode(),
        _code(MARITAL, f["marital"], "marital status").encode(),
        _code(EDUCATION, f["education"], "education").encode(),
        _fixed(f["tested"], 10),
    ]
    parts += [_fixed(v, 2) for v in court_values(client)]
    parts.append(client.answers.encode("ascii"))
    edits = f.get("edits", "0")
    if edits not in "0123" or len(edits) != 1:
        raise SourceError("client %d: edit count %r" % (client.number, edits))
    parts.append(edits.encode())
    parts.append(b"1" if deleted else b"0")
    data = b"".join(parts)
    assert len(data) == RECORD_SIZE, len(data)
    return data
