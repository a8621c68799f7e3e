// Morph playback in display space: the tick counter and what each playback
// code does to the document's display positions. The 3D view drives it from
// its 50 ms timer; the console program registers it as its only view, so FF
// before a save gives the full morph there too.
#pragma once

#include "doc/CVELTADoc.h"

namespace vortel {

class MorphPlayback {
public:
    explicit MorphPlayback(CVELTADoc& doc) : m_doc(doc) {}

    // Playback code from the document: 0 Stop, 3 Pause, 4 FF, anything else Play.
    // Returns true when the playback timer must run afterwards.
    bool apply(int code);
    // One timer tick; true when the display changed (repaint needed).
    bool tick();
    int tickCounter() const { return m_tick; }
    void setTickCounter(int t) { m_tick = t; }

private:
    CVELTADoc& m_doc;
    int m_tick = 0;
};

// A document view with no window: playback only.
class HeadlessView : public DocumentView {
public:
    explicit HeadlessView(CVELTADoc& doc) : m_playback(doc) {}
    void onPlayback(int mode) override { m_playback.apply(mode); }
    MorphPlayback& model() { return m_playback; }

private:
    MorphPlayback m_playback;
};

}  // namespace vortel
