// Command IDs: the numeric identity of every menu and toolbar command.
#pragma once

namespace vortel::cmd {

inline constexpr int FileNew = 57600;
inline constexpr int FileOpen = 57601;
inline constexpr int FileSave = 57603;
inline constexpr int FileSaveAs = 57604;
inline constexpr int MtOpen = 32770;
inline constexpr int SeedOpen = 32811;
inline constexpr int ExportDrop = 32812;
inline constexpr int ExportHair = 32826;
inline constexpr int HairDialog = 32816;
inline constexpr int Drop = 32808;
inline constexpr int Collision = 32807;
inline constexpr int SpecialFunc = 32824;

inline constexpr int ViewWirePlus = 32772;  // "WIRE ++"
inline constexpr int ViewPixel = 32773;
inline constexpr int ViewWire = 32774;
inline constexpr int ViewFlat = 32775;
inline constexpr int ViewSmooth = 32776;

inline constexpr int Play = 32796;
inline constexpr int Pause = 32797;
inline constexpr int Stop = 32798;
inline constexpr int FF = 32799;

}  // namespace vortel::cmd
