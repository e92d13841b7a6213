#pragma once

#include <optional>
#include <string>

class ZqBaseModelObjectLabel;

// The live value a text shows, by its label model's "Action":
// - "kScoreVector": a score of the global record ("World" "kGlobal") or of the current
//   scene's record; "Score Type" "kScoreDistance" the distance, "kScorePoints" the
//   points, anything else the coins; "Amount" "kScoreBest" the best, "kScoreTotal" the
//   total, anything else the session value; a whole number (truncated toward zero),
//   zero-padded to "Score Modifier" digits when that is above 0;
// - "kLoadingCounter": the loading progress, 0 to 100;
// - "kUnlockedCharactersCount", "kAllCharactersCount": the unlocked and all characters.
// Empty for any other action: fixed texts keep what the label was made with.
std::optional<std::string> zqLiveLabelText(const ZqBaseModelObjectLabel& label);

// value as a whole number padded with zeros to digits (none when digits <= 0); a minus
// sign goes before the zeros.
std::string zqPaddedNumber(long long value, int digits);
