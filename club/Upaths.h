// Where the game's files live. There are two roots:
//  - the shipped data: start data, name lists, formation presets, the
//    ready-made position files, sounds, pictures (read only);
//  - the player's root: save slots and the autosave, VS files, replays, the
//    position files he saves, the converter's backups.
//
// The rule, in this order:
//  1. vantorel-sim --data DIR: both roots are DIR.
//  2. Installed: the executable sits in <prefix>/bin and
//     <prefix>/share/vantorel/first.dat exists (the layout `cmake --install`
//     and the Debian package make). The shipped data is read from
//     <prefix>/share/vantorel; the player's files go to
//     $XDG_DATA_HOME/vantorel, or ~/.local/share/vantorel when that variable
//     is unset, empty or not an absolute path.
//  3. Otherwise the program runs from a checkout or a build tree: both roots
//     are "data" under the working directory, as the README's commands
//     (run from the repository root) expect.
// Every path the game reads or writes is made here; nothing else spells one.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct TDataRoots {
  std::string Shipped;
  std::string Player;
  bool Installed = false;
};

// What the rule looks at: gathered from the process by DataRoots(), or made
// up by a test.
struct TPathFacts {
  std::string Explicit;     // --data DIR; empty when not given
  std::string ExeDir;       // the running executable's directory; empty when unknown
  std::string XdgDataHome;  // $XDG_DATA_HOME; empty when unset
  std::string Home;         // the user's home directory; empty when unknown
};

// The rule above. isFile(path) tells whether a regular file exists there.
TDataRoots DecideDataRoots(const TPathFacts& facts, const std::function<bool(const std::string&)>& isFile);

// The roots of this process, decided on first use from the executable's
// place (/proc/self/exe) and the environment. Safe from any thread (the
// season outlook makes players on several).
TDataRoots DataRoots();
// Points both roots at dir from now on (vantorel-sim --data). An empty dir
// forgets any choice: the roots are decided afresh on next use.
void SetDataRoot(const std::string& dir);
// Changes with every SetDataRoot: what was found under the roots before
// may no longer be what is there.
uint64_t DataRootsGeneration();

// A file or folder under a root, "/" separated: in a checkout
// ShippedPath("first.dat") is "data/first.dat" and PlayerPath("savedata")
// is "data/savedata".
std::string ShippedPath(const std::string& relative);
std::string PlayerPath(const std::string& relative);

// The player's folders the title screen makes at start-up: tmp, savedata,
// vs, formation, vtr (and the root above them). One that cannot be made is
// passed over; a later write into it reports the error.
void CreatePlayerDirectories();

// Clears what killed saves, exports, recordings and conversions left in the
// player's folders: the temporaries of processes that are gone (see
// RemoveDeadTemporaries in club/Ufile.h). Only our own names are touched,
// never a file the player made. Returns the paths removed.
std::vector<std::string> RemoveStalePlayerTemporaries();
