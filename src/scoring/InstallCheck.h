#pragma once

#include "scoring/ScoringTables.h"

namespace kvx {

inline constexpr int kScanItemRows = 177;

// Everything wrong with an installation folder: the key and report text files, the
// paragraph files, "INVAL.TXT", the branding file and the question database. Empty when
// the installation is sound.
QList<FileProblem> CheckInstallation(const QString& programDir);

// The question database part of the check alone.
QList<FileProblem> CheckQuestionDatabase(const QString& path);

} // namespace kvx
