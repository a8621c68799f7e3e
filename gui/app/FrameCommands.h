// Command IDs that the main frame and the application own, beside the
// document's (doc/CommandIds.h). The numbers are the commands' identity.
#pragma once

namespace vortel::cmd {

inline constexpr int ExcuteZidu = 32783;  // hand the mesh to the configured program
inline constexpr int Vuroz = 32793;       // open the home page (the offline manual)
inline constexpr int UvView = 32835;
inline constexpr int Motion = 32839;
inline constexpr int AppAbout = 57664;
inline constexpr int AppExit = 57665;
inline constexpr int EditUndo = 57643;
inline constexpr int EditCopy = 57634;
inline constexpr int EditCut = 57635;
inline constexpr int EditPaste = 57637;
inline constexpr int ViewToolbar = 59392;
inline constexpr int ViewStatusBar = 59393;

// Status bar indicators: vertex, face and UV counters.
inline constexpr int IndicatorVertices = 101;
inline constexpr int IndicatorFaces = 102;
inline constexpr int IndicatorUvs = 103;

}  // namespace vortel::cmd
