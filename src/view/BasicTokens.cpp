#include "view/BasicTokens.h"

#include <array>

namespace {

constexpr unsigned kCvt = kSourceConverter;
constexpr unsigned kSb = kSourceSb5520;
constexpr unsigned kSa = kSourceSa5510;
constexpr unsigned kAll = kCvt | kSb | kSa;

constexpr std::uint8_t kStatement = 0x80;
constexpr std::uint8_t kCursor = 0xB2;

// Where the descriptions differ: the SA-5510 lister spells A4 "CHR$" without the
// parenthesis, which the converter and the programs themselves (CHR$(6)) show stored in the
// token; 89 "=" and B2 "CSR" come from that lister alone (S-BASIC stores "=" as typed), and
// "CSRV", "CSRH", "POINT(", "POS" and "π" from the converter alone.
constexpr BasicToken kTokens[] = {
    // Statements: 0x80 and one byte.
    {kStatement, 0x80, "REM", kAll, true},
    {kStatement, 0x81, "DATA", kAll, true},
    {kStatement, 0x82, "DEF KEY(", kCvt | kSb, true},
    {kStatement, 0x84, "READ", kAll},
    {kStatement, 0x85, "LIST", kAll},
    {kStatement, 0x86, "RUN", kAll},
    {kStatement, 0x87, "NEW", kAll},
    {kStatement, 0x88, "PRINT", kAll},
    {kStatement, 0x89, "LET", kAll},
    {kStatement, 0x8A, "FOR", kAll},
    {kStatement, 0x8B, "IF", kAll},
    {kStatement, 0x8C, "THEN", kAll},
    {kStatement, 0x8D, "GOTO", kAll},
    {kStatement, 0x8E, "GOSUB", kAll},
    {kStatement, 0x8F, "RETURN", kAll},
    {kStatement, 0x90, "NEXT", kAll},
    {kStatement, 0x91, "STOP", kAll},
    {kStatement, 0x92, "END", kAll},
    {kStatement, 0x94, "ON", kAll},
    {kStatement, 0x95, "LOAD", kAll},
    {kStatement, 0x96, "SAVE", kAll},
    {kStatement, 0x97, "VERIFY", kAll},
    {kStatement, 0x98, "POKE", kAll},
    {kStatement, 0x99, "DIM", kAll},
    {kStatement, 0x9A, "DEF FN", kAll},
    {kStatement, 0x9B, "INPUT", kAll},
    {kStatement, 0x9C, "RESTORE", kAll},
    {kStatement, 0x9D, "CLR", kAll},
    {kStatement, 0x9E, "MUSIC", kAll},
    {kStatement, 0x9F, "TEMPO", kAll},
    {kStatement, 0xA0, "USR(", kAll},
    {kStatement, 0xA1, "WOPEN", kAll},
    {kStatement, 0xA2, "ROPEN", kAll},
    {kStatement, 0xA3, "CLOSE", kAll},
    {kStatement, 0xA4, "MON", kAll},
    {kStatement, 0xA5, "LIMIT", kAll},
    {kStatement, 0xA6, "CONT", kAll},
    {kStatement, 0xA7, "GET", kAll},
    {kStatement, 0xA8, "INP@", kAll},
    {kStatement, 0xA9, "OUT@", kAll},
    {kStatement, 0xAA, "CURSOR", kAll},
    {kStatement, 0xAB, "SET", kAll},
    {kStatement, 0xAC, "RESET", kAll},
    {kStatement, 0xAD, "LINE", kCvt | kSb},
    {kStatement, 0xAE, "BLINE", kCvt | kSb},
    {kStatement, 0xAF, "CONSOLE", kCvt | kSb},
    {kStatement, 0xB0, "GRAPH", kCvt | kSb},
    {kStatement, 0xB1, "POSITION", kCvt | kSb},
    {kStatement, 0xB2, "PATTERN", kCvt | kSb},
    {kStatement, 0xB3, "AUTO", kAll},
    {kStatement, 0xB5, "IMAGE/P", kCvt | kSb},
    {kStatement, 0xB6, "COPY/P", kAll},
    {kStatement, 0xB7, "PAGE/P", kAll},
    {kStatement, 0xB9, "BOOT", kCvt | kSb},
    {kStatement, 0xBA, "KLIST", kCvt | kSb},
    {kStatement, 0xBB, "CHANGE", kCvt | kSb},
    {kStatement, 0xBE, "REW", kCvt | kSb},
    {kStatement, 0xBF, "FAST", kCvt | kSb},
    // Comparison operators.
    {0, 0x83, "><", kCvt | kSa},
    {0, 0x84, "<>", kCvt | kSa},
    {0, 0x85, "=<", kCvt | kSa},
    {0, 0x86, "<=", kCvt | kSa},
    {0, 0x87, "=>", kCvt | kSa},
    {0, 0x88, ">=", kCvt | kSa},
    {0, 0x89, "=", kSa},
    {0, 0x8A, ">", kCvt | kSa},
    {0, 0x8B, "<", kCvt | kSa},
    {0, 0x9E, "TO", kCvt | kSa},
    {0, 0x9F, "STEP", kCvt | kSa},
    // Functions.
    {0, 0xA0, "LEFT$(", kCvt | kSa},
    {0, 0xA1, "RIGHT$(", kCvt | kSa},
    {0, 0xA2, "MID$(", kCvt | kSa},
    {0, 0xA3, "LEN(", kCvt | kSa},
    {0, 0xA4, "CHR$(", kCvt | kSa},
    {0, 0xA5, "STR$(", kCvt | kSa},
    {0, 0xA6, "ASC(", kCvt | kSa},
    {0, 0xA7, "VAL(", kCvt | kSa},
    {0, 0xA8, "PEEK(", kCvt | kSa},
    {0, 0xA9, "TAB(", kCvt | kSa},
    {0, 0xAA, "SPACE$(", kCvt | kSa},
    {0, 0xAB, "SIZE", kCvt | kSa},
    {0, 0xAF, "STRING$(", kCvt | kSa},
    {0, 0xB0, "POINT(", kCvt},
    {0, 0xB1, "CHARACTER$(", kCvt | kSa},
    {0, 0xB2, "CSR", kSa},
    {kCursor, 0x56, "CSRV", kCvt},
    {kCursor, 0xA8, "CSRH", kCvt},
    {0, 0xB3, "POS", kCvt},
    {0, 0xC0, "RND(", kCvt | kSa},
    {0, 0xC1, "SIN(", kCvt | kSa},
    {0, 0xC2, "COS(", kCvt | kSa},
    {0, 0xC3, "TAN(", kCvt | kSa},
    {0, 0xC4, "ATN(", kCvt | kSa},
    {0, 0xC5, "EXP(", kCvt | kSa},
    {0, 0xC6, "INT(", kCvt | kSa},
    {0, 0xC7, "LOG(", kCvt | kSa},
    {0, 0xC8, "LN(", kCvt | kSa},
    {0, 0xC9, "ABS(", kCvt | kSa},
    {0, 0xCA, "SGN(", kCvt | kSa},
    {0, 0xCB, "SQR(", kCvt | kSa},
    {0, 0xFF, "π", kCvt},
};

// Index of every byte: the one-byte token it is, and the two-byte tokens it leads.
struct TokenIndex {
    std::array<const BasicToken*, 256> single{};
    std::array<const BasicToken*, 256> statement{};
    std::array<const BasicToken*, 256> cursor{};

    TokenIndex() {
        for (const BasicToken& token : kTokens) {
            if (token.lead == kStatement)
                statement[token.code] = &token;
            else if (token.lead == kCursor)
                cursor[token.code] = &token;
            else
                single[token.code] = &token;
        }
    }
};

const TokenIndex& Index() {
    static const TokenIndex index;
    return index;
}

} // namespace

std::span<const BasicToken> BasicTokenTable() {
    return kTokens;
}

const BasicToken* FindBasicToken(ByteView text, std::size_t at) {
    if (at >= text.size())
        return nullptr;
    const TokenIndex& index = Index();
    const std::uint8_t b = text.u8(at);
    if (at + 1 < text.size()) {
        const std::uint8_t next = text.u8(at + 1);
        if (b == kStatement && index.statement[next] != nullptr)
            return index.statement[next];
        if (b == kCursor && index.cursor[next] != nullptr)
            return index.cursor[next];
    }
    return index.single[b];
}
