-- The question database: one table per presentation language (the table name is the
-- language name), one record per item in item order, and the answer-sheet scan layout.
PRAGMA page_size = 4096;

CREATE TABLE "English" (
  "ID" INTEGER NOT NULL,
  "TestQuestion" TEXT,
  "QuestionAudio" TEXT,
  "ANSWER1" TEXT, "ANSWER2" TEXT, "ANSWER3" TEXT, "ANSWER4" TEXT, "ANSWER5" TEXT,
  "ChoiceAudio1" TEXT, "ChoiceAudio2" TEXT, "ChoiceAudio3" TEXT, "ChoiceAudio4" TEXT,
  "ChoiceAudio5" TEXT
);

CREATE TABLE "Spanish" (
  "ID" INTEGER NOT NULL,
  "TestQuestion" TEXT,
  "QuestionAudio" TEXT,
  "ANSWER1" TEXT, "ANSWER2" TEXT, "ANSWER3" TEXT, "ANSWER4" TEXT, "ANSWER5" TEXT,
  "ChoiceAudio1" TEXT, "ChoiceAudio2" TEXT, "ChoiceAudio3" TEXT, "ChoiceAudio4" TEXT,
  "ChoiceAudio5" TEXT
);

CREATE TABLE "ScanItem" (
  "ItemName" TEXT,
  "r" REAL,
  "theta" REAL,
  "X" INTEGER,
  "Y" INTEGER,
  "dimx" INTEGER,
  "DimY" INTEGER,
  "dx" REAL,
  "dy" REAL
);
