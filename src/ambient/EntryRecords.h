#pragma once

// Entries packed for the editor's own clipboard format: every value and the whole 116-byte
// record, so that a paste into another document keeps the bytes the editor does not show.

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include "ambient/EntryList.h"

std::vector<std::byte> EncodeEntryRecords(std::span<const DocumentEntry> entries);
// nullopt for data that is cut short or not of this layout. Bytes behind the last entry are
// ignored: clipboard memory may be larger than what was put into it.
std::optional<std::vector<DocumentEntry>> DecodeEntryRecords(std::span<const std::byte> bytes);
