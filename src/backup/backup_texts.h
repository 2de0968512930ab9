#pragma once
// The Czech texts of backups, the same from the window and the command line (UTF-8).

namespace backup_texts {

inline constexpr const char* kUnread = "POZOR - zálohu nelze přečíst, do SIM se nic nezapsalo !";
// %1: the backup folder; the system's reason follows on the next line.
inline constexpr const char* kUnsaved = "POZOR - zálohu nelze uložit do složky %1, do SIM se nic nezapsalo !";
// %1: the folder.
inline constexpr const char* kNoFolder = "Složku %1 nelze vytvořit.";

} // namespace backup_texts
