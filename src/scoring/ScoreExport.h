#pragma once

#include "scoring/ScoringTables.h"
#include "store/Session.h"

namespace kvx {

// One CSV text (RFC 4180, CR LF line ends) with a header row and a row per client of the loaded
// data disk: record number, test date, age, the four demographic codes, validity, and for each
// scale its raw score, percentile and risk range name. Names only when withNames; a deleted
// name is left empty.
QString ExportScoresCsv(const Session& s, const ScoringTables& t, bool withNames);

// A CSV field, quoted when it holds a comma, a quote, a line break or surrounding blanks.
QString CsvField(const QString& value);

} // namespace kvx
