#pragma once

#include <QString>

#include <array>

namespace kvx {

inline constexpr int kInstructionCount = 5;

// Text 0 comes before the first item, text k (1..4) before the first item of section k.
using InstructionTexts = std::array<QString, kInstructionCount>;

// Whether a language name (a question table's name) asks for the Spanish texts: "SPANISH"
// in any letter case.
bool isSpanish(const QString& language);

// The five instruction texts of a language; lines are joined by CR LF.
InstructionTexts BuildInstructions(const QString& language);

// The recording of instruction text k: "Inst0.wav" .. "Inst4.wav".
QString InstructionAudio(int k);

} // namespace kvx
