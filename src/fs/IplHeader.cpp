#include "fs/IplHeader.h"

#include <cstring>

static_assert(sizeof IplHeader::kSignature - 1 == IplHeader::kSignatureBytes);

IplHeader::IplHeader(const unsigned char* bytes) {
    if (bytes)
        std::memcpy(m_bytes.data(), bytes, kBytes);
}

IplHeader IplHeader::FromImage(ByteView image) {
    Bytes32 bytes;
    image.copyTo(bytes.data(), 0, kBytes);
    return IplHeader(bytes);
}

bool IplHeader::HasSignature() const {
    return std::memcmp(m_bytes.data() + kSignatureOffset, kSignature, kSignatureBytes) == 0;
}

IplHeader::TextBytes IplHeader::DisplayText() const {
    TextBytes text;
    std::memcpy(text.data(), m_bytes.data() + kTextOffset, kTextBytes);
    return text;
}

std::string IplHeader::DisplayName() const {
    std::string name;
    for (std::size_t i = 0; i < kTextBytes; ++i) {
        const unsigned char c = m_bytes[kTextOffset + i];
        if (c == 0x00 || c == 0x0D)
            break;
        name.push_back(static_cast<char>(c));
    }
    return name;
}

void IplHeader::SetSignature() {
    std::memcpy(m_bytes.data() + kSignatureOffset, kSignature, kSignatureBytes);
}

void IplHeader::SetDisplayText(const TextBytes& text) {
    std::memcpy(m_bytes.data() + kTextOffset, text.data(), kTextBytes);
}
