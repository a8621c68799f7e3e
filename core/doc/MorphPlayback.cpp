// Playback codes and the 51-tick cycle: 20 ticks out, 10 held, 20 back, restart.
#include "doc/MorphPlayback.h"

namespace vortel {

bool MorphPlayback::apply(int code) {
    switch (code) {
    case 0:
        m_tick = 0;
        m_doc.computeNormals();
        return false;
    case 3:
        return false;
    case 4: {
        m_tick = 30;
        for (int n = 0; n < m_doc.vertexCount; ++n) {
            Vec3& d = m_doc.displayVertexArray[n];
            const Vec3& m = m_doc.morphDeltaArray[n];
            d.x += m.x;
            d.y += m.y;
            d.z += m.z;
        }
        // The full morph is shaded with its own normals, not those of the last shape.
        m_doc.computeNormals();
        return false;
    }
    default:
        return true;
    }
}

bool MorphPlayback::tick() {
    ++m_tick;
    if (m_tick >= 21 && m_tick <= 30) return false;
    if (m_tick > 50) {
        m_tick = 0;
        return false;
    }
    const float k = m_tick <= 20 ? 0.05f : -0.05f;
    for (int n = 0; n < m_doc.vertexCount; ++n) {
        Vec3& d = m_doc.displayVertexArray[n];
        const Vec3& m = m_doc.morphDeltaArray[n];
        d.x += k * m.x;
        d.y += k * m.y;
        d.z += k * m.z;
    }
    m_doc.computeNormals();
    return true;
}

}  // namespace vortel
