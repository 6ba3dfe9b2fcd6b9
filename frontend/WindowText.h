#pragma once
// The texts the window reads from its controls and shows in its boxes. They live here,
// free of Qt, so that the window only passes them on and they are tested without it.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/search/SearchRun.h"
#include "core/search/SearchSettings.h"
#include "exchange/SampleRead.h"

// The three parameter texts as decimal integers; if any of them is not one, all three
// take the fallback values 100, 5 and 1. The margin comes in whole percent.
[[nodiscard]] TSearchParameters ReadSearchParameters(std::string_view population,
                                                     std::string_view instructions,
                                                     std::string_view registers,
                                                     std::int32_t marginPercent, bool progressive);

// The "Seed" box: plain decimal digits from 0 to 4294967295; nothing for any other text,
// the empty one included.
[[nodiscard]] std::optional<std::uint32_t> ReadSeed(std::string_view text);

// A limit box ("Time limit", "Generation limit"): plain decimal digits, a value above the
// setting's range taken as its largest; nothing, which is no limit, for the empty text, for 0
// and for any other text.
[[nodiscard]] std::optional<std::int64_t> ReadLimit(std::string_view text,
                                                    const TSearchSetting& setting);

// The track bar's hint: "10%".
[[nodiscard]] std::string MarginHint(std::int32_t percent);

// A parameter box's tooltip from its setting: the help with the window's range and the
// setting's note, "Registers per program, from 1 to 20."
[[nodiscard]] std::string SettingTip(const TSearchSetting& setting);

// An error's text as the error box shows it: a period is added when the last character
// sorts after ".", so that "Stream write error" ends with one and "Cannot open file ." does
// not get a second.
[[nodiscard]] std::string ErrorBoxText(std::string text);

// The one question before a load with rows that did not read: "3 of 120 lines could not
// be read as two numbers (lines 4, 9 and 12). Load the test data without them, or with each
// as the sample (0, 0)?"; the empty text when every row was read.
[[nodiscard]] std::string UnreadableQuestion(const TSampleRead& read);

// Why a paste changed nothing: "Nothing was pasted: none of the 3 pairs on the clipboard
// could be read as two numbers (lines 1, 2 and 3)."; "Nothing was pasted. " and the reason
// for a text refused; the empty text for a paste of blanks, which says nothing, and for one
// that gave samples.
[[nodiscard]] std::string NothingPastedNote(const TSampleRead& read);

// Whether pasted text is a table rather than pairs of numbers: its first line is a header
// of names, or its first rows have the same number of cells, more than two; and a row has
// numbers in the columns the import would take. Only the text's start is looked at.
[[nodiscard]] bool PasteIsTable(std::string_view text);

// Whether the import finds at least two columns at the text's start.
[[nodiscard]] bool SplitsIntoColumns(std::string_view text);

// The status line when a search ends: "Ended by the time limit: 37 of 100 samples matched."
// When the share to hold out was no row of a small set, it says so: the run then checks
// nothing and suggests no model.
[[nodiscard]] std::string SearchEndStatus(TSearchEnd end, std::int32_t matches,
                                          std::int32_t sampleCount, bool nothingHeldOut = false);
