#pragma once

#include "app/app_state.h"

#include <string>
#include <vector>

namespace tolvar {

// bepaalsessie: the first session number from SessionNumber on whose archive
// ("session" + N + ".zip", or a directory "session" + N) does not exist yet,
// so no earlier archive is ever replaced.
void bepaalsessie(AppState& state);

// The archive directory of the current session: "session" + N, or the first
// free "session" + N + "-" + k when that already exists (existing archives are
// never emptied).
std::string archiveDirectoryName(const AppState& state);

// What an archive operation stored: its directory, and the files it could not
// copy or move there (they stay in the working directory).
struct ArchiveOutcome {
    std::string directory;
    std::vector<std::string> notStored;
    bool complete() const { return notStored.empty(); }
};

// zipit: copies the session's files into its archive directory and removes the
// result files from the working directory. A file that cannot be stored stays
// where it is; the user is told which (one message).
ArchiveOutcome zipit(AppState& state);

// DeleteAllReg: removes the data, result and picture files of every result.
void DeleteAllReg(AppState& state);

// AfsluitInstructie: ends the session (asks what to archive when there are
// two or more strata), archives it and moves to the next session number.
// False when some file could not be archived.
bool AfsluitInstructie(AppState& state, const std::string& caption);

// FormClose without its widgets: the last session ends, the scratch files go,
// the log is closed. False when some file could not be archived.
bool closeProgram(AppState& state);

// "Again" without its widgets: the session ends and a new one starts. When
// some file could not be archived the session goes on instead (its files
// still in the working directory would be overwritten by the next one) and
// the result is false; "Again" may be tried once the fault is mended.
bool again(AppState& state);

// Binds the grid-access library when a slot in use names a library grid
// (the first need of a program run); true when no library is needed or it is
// bound.
bool bindForRegistry(AppState& state);

// The start-up sequence, run once: log, session number, archive of leftovers,
// registry, grid properties and the batch start file when present.
void startUp(AppState& state);

}  // namespace tolvar
