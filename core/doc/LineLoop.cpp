// Opening the load source of a LineLoop: a file, or bytes in memory.
#include "doc/LineLoop.h"

#include "doc/CVELTADoc.h"

namespace vortel {

bool LineLoop::open(const CVELTADoc& doc, const std::string& path) {
    close();
    if (const CVELTADoc::MemorySource* memory = doc.memorySource()) {
        m_reader.attachMemory(memory->data, memory->size);
        return true;
    }
    m_file = std::fopen(path.c_str(), "rb");
    if (!m_file) return false;
    m_reader.attach(m_file);
    return true;
}

void LineLoop::close() {
    m_reader.attach(nullptr);
    if (m_file) std::fclose(m_file);
    m_file = nullptr;
}

}  // namespace vortel
