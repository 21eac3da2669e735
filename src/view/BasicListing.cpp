#include "view/BasicListing.h"

#include "view/BasicTokens.h"
#include "view/ByteText.h"
#include "view/HexView.h"

namespace {

constexpr std::size_t kLengthBytes = 2;
constexpr std::size_t kTextOffset = 4; // after the length and the line number
constexpr std::size_t kMinRecord = 5;  // an empty line: length, line number, 0x0D
constexpr unsigned char kLineEnd = 0x0D;
constexpr unsigned char kQuote = '"';
constexpr unsigned char kStatementEnd = ':';

Listing HexWithNote(ByteView program, ViewNoteCode code) {
    Listing listing = ListHex(program);
    listing.notes.insert(listing.notes.begin(), ViewNote{code});
    return listing;
}

} // namespace

std::string BasicLineText(ByteView text) {
    enum class State { Code, String, Raw };
    State state = State::Code;
    // DATA and DEF KEY( values may be strings whose ":" does not end the statement.
    bool rawHonoursQuotes = false;
    bool inRawQuote = false;
    std::string out;
    for (std::size_t at = 0; at < text.size();) {
        const unsigned char b = text.u8(at);
        if (state == State::String) {
            AppendSingleByteText(out, b);
            if (b == kQuote)
                state = State::Code;
            ++at;
            continue;
        }
        if (state == State::Raw) {
            if (b == kStatementEnd && !inRawQuote) {
                out += ':';
                state = State::Code;
            } else {
                if (b == kQuote && rawHonoursQuotes)
                    inRawQuote = !inRawQuote;
                AppendSingleByteText(out, b);
            }
            ++at;
            continue;
        }
        if (b == kQuote) {
            out += '"';
            state = State::String;
            ++at;
        } else if (IsPrintableAscii(b)) {
            out += static_cast<char>(b);
            ++at;
        } else if (const BasicToken* token = FindBasicToken(text, at)) {
            out += token->text;
            at += token->Length();
            if (token->rawAfter) {
                state = State::Raw;
                rawHonoursQuotes = token->text != "REM";
                inRawQuote = false;
            }
        } else {
            AppendByteEscape(out, b);
            ++at;
        }
    }
    return out;
}

Listing ListBasic(ByteView program, const BasicOrigin& origin) {
    if (origin.mz2500Disk)
        return HexWithNote(program, ViewNoteCode::BasicM25);
    Listing listing;
    listing.kind = ViewKind::Basic;
    const std::size_t size = program.size();
    long long previous = -1;
    for (std::size_t at = 0;;) {
        if (size - at < kLengthBytes) {
            listing.Note({ViewNoteCode::BasicNoEndMark, static_cast<long long>(at)});
            break;
        }
        const std::size_t length = program.u16le(at);
        if (length == 0)
            break;
        const auto offset = static_cast<long long>(at);
        const auto value = static_cast<long long>(length);
        if (length < kMinRecord) {
            listing.Note({ViewNoteCode::BasicBrokenChain, offset, value});
            break;
        }
        if (length > size - at) {
            listing.Note({ViewNoteCode::BasicPastSize, offset, value});
            break;
        }
        if (program.u8(at + length - 1) != kLineEnd) {
            listing.Note({ViewNoteCode::BasicBrokenChain, offset, value});
            break;
        }
        const long long number = program.u16le(at + kLengthBytes);
        if (number <= previous) {
            listing.Note({ViewNoteCode::BasicNotAscending, offset, number, previous});
            break;
        }
        listing.lines.push_back(
            std::to_string(number) + " " +
            BasicLineText(program.slice(at + kTextOffset, length - kTextOffset - 1)));
        previous = number;
        at += length;
    }
    // Not even the first line holds together: whatever this is, it is no S-BASIC program.
    if (listing.lines.empty() && !listing.notes.empty() &&
        listing.notes.front().code != ViewNoteCode::BasicNoEndMark)
        return HexWithNote(program, ViewNoteCode::NotSBasic);
    return listing;
}
