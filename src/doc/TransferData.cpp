#include "doc/TransferData.h"

#include "host/UriList.h"

namespace {

wxCustomDataObject* Offering(const wxDataFormat& format, const std::string& bytes) {
    auto* object = new wxCustomDataObject(format);
    object->SetData(bytes.size(), bytes.data());
    return object;
}

std::string BytesOf(const wxCustomDataObject* object) {
    if (!object || object->GetSize() == 0)
        return {};
    return std::string(static_cast<const char*>(object->GetData()), object->GetSize());
}

} // namespace

wxDataFormat CTransferData::PackFormat() {
    return wxDataFormat("application/x-darvex-entries");
}

wxDataFormat CTransferData::UriListFormat() {
    return wxDataFormat("text/uri-list");
}

wxDataFormat CTransferData::CopiedFilesFormat() {
    return wxDataFormat("x-special/gnome-copied-files");
}

CTransferData::CTransferData()
    : m_pPack(new wxCustomDataObject(PackFormat())),
      m_pUriList(new wxCustomDataObject(UriListFormat())),
      m_pCopiedFiles(new wxCustomDataObject(CopiedFilesFormat())) {
    Add(m_pPack, true);
    Add(m_pUriList);
    Add(m_pCopiedFiles);
}

CTransferData::CTransferData(const std::vector<unsigned char>& pack,
                             const std::vector<std::string>& paths, bool clipboard) {
    if (!pack.empty()) {
        m_pPack = Offering(PackFormat(), std::string(pack.begin(), pack.end()));
        Add(m_pPack, true);
    }
    if (!paths.empty()) {
        m_pUriList = Offering(UriListFormat(), UriList::FromPaths(paths));
        Add(m_pUriList, pack.empty());
        if (clipboard) {
            m_pCopiedFiles = Offering(CopiedFilesFormat(), UriList::CopiedFilesFromPaths(paths));
            Add(m_pCopiedFiles);
        }
    }
}

CTransferData::Kind CTransferData::ReceivedKind() const {
    const wxDataFormat format = GetReceivedFormat();
    if (format == PackFormat())
        return Kind::Pack;
    if (format == UriListFormat() || format == CopiedFilesFormat())
        return Kind::Files;
    return Kind::None;
}

std::vector<unsigned char> CTransferData::ReceivedPack() const {
    const std::string bytes = BytesOf(m_pPack);
    return std::vector<unsigned char>(bytes.begin(), bytes.end());
}

std::vector<std::string> CTransferData::ReceivedPaths(int* skipped) const {
    const bool copied = GetReceivedFormat() == CopiedFilesFormat();
    return UriList::ToPaths(BytesOf(copied ? m_pCopiedFiles : m_pUriList), skipped);
}

CTransferData::Payload CTransferData::Received() const {
    Payload payload;
    payload.kind = ReceivedKind();
    if (payload.kind == Kind::Pack)
        payload.pack = ReceivedPack();
    else if (payload.kind == Kind::Files)
        payload.paths = ReceivedPaths(&payload.skipped);
    return payload;
}
