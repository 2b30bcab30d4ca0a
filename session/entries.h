#pragma once

// The values the user types into an input box, one row each: the file that keeps the value, the
// box's texts, the messages and what it moves. The entry flow runs every row through one
// routine: ask, check, write, report, recompute. The window decides where it shows each value.

#include "measure/entry.h"
#include "store/storeddata.h"

#include <span>
#include <vector>

namespace morvane {

enum class Entry { Height, Weight, Goal };

struct EntryKind {
    Entry entry = Entry::Height;
    // The file, the accepted range (also for the value read at start-up) and the measurement
    // value it sets.
    NumberFile file;
    // Texts, translated in the entry flow's context ("morvane::Recorder", as they always were). The
    // example ends the prompt and every message about what was typed; the title is the input box's
    // and its messages'.
    const char* prompt = nullptr;
    const char* example = nullptr;
    const char* title = nullptr;
    const char* notANumber = nullptr;
    const char* outOfRange = nullptr;
    const char* notSaved = nullptr; // after the file could not be written
    MeterAfterEntry meter = MeterAfterEntry::Stays;
    bool needsHeight = false; // asks for the height first while none is set
    // Set for a value that is also recorded as a dated history line: what to say when the line
    // cannot be appended.
    const char* notRecorded = nullptr;
    // Set for a value that is questioned before it is stored when it differs from the value in
    // its file by more than isLargeChange allows: the question, with %1 the stored and %2 the
    // typed value. Cancel reopens the input box with the typed text.
    const char* largeChange = nullptr;
    // Set for a value that may be unset again: an empty answer removes its file after this
    // confirmation (while a value is set).
    const char* removal = nullptr;
};

const EntryKind& entryKind(Entry entry);
std::span<const EntryKind> entryKinds();
// The number files of every kind, in the table's order: what start-up and a reload read.
std::vector<NumberFile> numberFiles();

} // namespace morvane
