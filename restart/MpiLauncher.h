#pragma once
// Whether this process was started by an MPI launcher (mpirun, srun), told by the
// variables launchers set; answered without loading any MPI library.

[[nodiscard]] bool StartedByMpiLauncher() noexcept;
