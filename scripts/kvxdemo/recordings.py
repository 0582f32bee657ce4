"""Lists what the demonstration recordings must say: for each question table of the
database, every instruction, question and choice file with its text and voice.

Run as: python3 -m kvxdemo.recordings SNDROOT DB
Prints NUL-separated triples (output file, espeak-ng voice, text) for xargs -0 -n3."""

import os
import sqlite3
import sys

from . import instructions

VOICES = {"English": "en-us", "Spanish": "es"}
INSTRUCTIONS = {"English": instructions.ENGLISH, "Spanish": instructions.SPANISH}
# The single letters stand for these files (the presentation screen maps them so).
LETTER_FILES = {"T": "True.wav", "F": "False.wav", "Y": "Yes.wav", "N": "No.wav"}


def audio_file(base):
    base = base.strip()
    return LETTER_FILES.get(base.upper(), base + ".wav")


def jobs(sound_root, db_path):
    db = sqlite3.connect("file:%s?mode=ro" % db_path, uri=True)
    out = []
    for table, voice in VOICES.items():
        folder = os.path.join(sound_root, "KVXTest", "sound", table)
        files = {}

        def add(name, text):
            if not text or not text.strip():
                raise ValueError("%s: nothing to say for %s" % (table, name))
            if files.get(name, text) != text:
                raise ValueError("%s: %s stands for two texts" % (table, name))
            files[name] = text

        for k, text in enumerate(INSTRUCTIONS[table]):
            add("Inst%d.wav" % k, text)
        cols = ", ".join(['"QuestionAudio"', '"TestQuestion"'] +
                         ['"ANSWER%d", "ChoiceAudio%d"' % (n, n) for n in range(1, 6)])
        for row in db.execute('SELECT %s FROM "%s" ORDER BY "ID"' % (cols, table)):
            if row[0]:
                add(audio_file(row[0]), row[1])
            for n in range(5):
                label, audio = row[2 + 2 * n], row[3 + 2 * n]
                if audio and label:
                    add(audio_file(audio), label)
        for name, text in sorted(files.items()):
            out.append((os.path.join(folder, name), voice, text))
    db.close()
    return out


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: python3 -m kvxdemo.recordings SNDROOT DB")
    for path, voice, text in jobs(sys.argv[1], sys.argv[2]):
        sys.stdout.write("%s\0%s\0%s\0" % (path, voice, text))


if __name__ == "__main__":
    main()
