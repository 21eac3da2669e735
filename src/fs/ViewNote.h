#pragma once

#include <cstddef>

// What the views of a file or a sector (view/) say about bytes they could not show as asked.
// The codes live here, with the other results, because their texts are in the one message
// table (fs/Messages.h).
enum class ViewNoteCode {
    // BASIC listing: each ends the listing where it stands.
    BasicPastSize,     // offset: the line's record; value: its length
    BasicBrokenChain,  // offset: the record; value: a length that cannot be a line's
    BasicNotAscending, // offset: the record; value: its line number; previous: the one before
    BasicNoEndMark,    // offset: where the program ends without 00 00
    // The whole file is shown as hex instead.
    BasicM25,  // an MZ-2500 disk: BASIC-M25, whose format is not published
    NotSBasic, // the first line does not parse
    // The body as the entry's layout finds it (fs/FileBody.h).
    BodyEndedEarly, // value: bytes found; previous: bytes the entry claims
    BodyLeftImage,  // offset: the first sector the body needs that the disk does not hold
    BodyChainLoop,  // offset: bytes found before the chain came back
    // Sector view.
    SectorMissing,     // no record of the D88 file supplied the sector
    SectorShortRecord, // a 128-byte record (N = 0): the rest reads as 0x00
    SectorLongRecord,  // value: the record's bytes; only the first 256 are kept
    SectorDuplicate,   // several records named the sector; the last one read is shown
    SectorNotLoaded,   // a new disk or a flat image: the header is the one a save writes
    // Boot program.
    BootNone,     // no "IPLPRO" header
    BootPastDisk, // the header's size runs past the disk; shown up to its end
};

struct ViewNote {
    ViewNoteCode code;
    long long offset = -1;
    long long value = -1;
    long long previous = -1;
    // Where it stands in a listing: before line atLine (the number of lines at the end).
    std::size_t atLine = 0;
};
