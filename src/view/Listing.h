#pragma once

#include <string>
#include <vector>

#include "fs/ViewNote.h"

// How a file's bytes are shown.
enum class ViewKind { Basic, Text, Hex };

// What a view shows: lines of UTF-8 text with no control character in them (every byte that
// is not text is spelled {XX}), so that a terminal or a text control can take them as they
// are, and the notes on what could not be shown as asked, each before line atLine.
struct Listing {
    ViewKind kind = ViewKind::Text; // Hex also where a BASIC program could not be listed
    std::vector<std::string> lines;
    std::vector<ViewNote> notes;
    // Hex: the bytes the rows show, for front ends that lay the rows out themselves.
    std::vector<unsigned char> bytes;

    void Note(ViewNote note) {
        note.atLine = lines.size();
        notes.push_back(note);
    }
};
