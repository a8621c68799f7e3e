// Command ids of the group list's context menu (menu 167).
#pragma once

namespace vortel::cmd {

inline constexpr int GroupSelectAll = 32830;  // "SELECT ALL"
inline constexpr int GroupClearAll = 32831;   // "CLEAR ALL"
inline constexpr int GroupReverse = 32832;    // "REVERSE"
inline constexpr int ExportGroupObjs = 32833;  // "save selected groups in obj"
inline constexpr int ExportCr2 = 32838;        // "save all parts in CR2 (for morphmanager)"

}  // namespace vortel::cmd
