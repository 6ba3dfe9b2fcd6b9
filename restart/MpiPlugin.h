#pragma once
// The MPI coordinator lives in a plug-in of movar-search that is loaded only under an MPI
// launcher, so that a plain run binds no MPI library at start-up. The plug-in is built
// with the program and shipped beside it; these names are the contract between the two.

#include "restart/AttemptCoordinator.h"

inline constexpr const char* MpiPluginFile = "movar-search-mpi.so";
inline constexpr const char* MpiPluginEntry = "MovarNewMpiCoordinator";

// Initialises MPI and returns a coordinator over the job's ranks; the caller owns it.
using TMpiPluginEntry = TAttemptCoordinator* (*)();
