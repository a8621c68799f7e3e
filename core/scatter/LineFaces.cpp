// The line faces of the document; see LineFaces.h.
#include "scatter/LineFaces.h"

#include <cstring>

namespace vortel {

bool hasLineFaces(const CVELTADoc& doc) {
    return doc.faceCount > 0 && std::memchr(doc.faceKind.data(), 'L', static_cast<size_t>(doc.faceCount)) != nullptr;
}

}  // namespace vortel
