#include "restart/MpiCoordinator.h"

#include <string>
#include <vector>

namespace {

constexpr int LinesTag = 1;
constexpr int ProgramTag = 2;

// The parts of an outcome every rank needs to pick the answer.
struct TOutcomeKey {
  std::int64_t Attempt;
  std::int64_t Matched;
  std::int64_t Matches;
  std::int64_t Generations;
  std::int64_t Seed;
  double Error;
};

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines)
    text += line + '\n';
  return text;
}

// A message of unknown length from rank `from`.
std::vector<char> Receive(int from, int tag) {
  MPI_Status status;
  MPI_Probe(from, tag, MPI_COMM_WORLD, &status);
  int length = 0;
  MPI_Get_count(&status, MPI_CHAR, &length);
  std::vector<char> bytes(static_cast<std::size_t>(length));
  MPI_Recv(bytes.data(), length, MPI_CHAR, from, tag, MPI_COMM_WORLD, MPI_STATUS_IGNORE);
  return bytes;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(text.substr(start, end - start));
  return lines;
}

}  // namespace

TMpiCoordinator::TMpiCoordinator(int* argc, char*** argv) {
  int provided = 0;
  MPI_Init_thread(argc, argv, MPI_THREAD_FUNNELED, &provided);
  MPI_Comm_rank(MPI_COMM_WORLD, &rank_);
  MPI_Comm_size(MPI_COMM_WORLD, &size_);
}

TMpiCoordinator::~TMpiCoordinator() {
  if (request_ != MPI_REQUEST_NULL) MPI_Wait(&request_, MPI_STATUS_IGNORE);
  MPI_Finalize();
}

TAttemptState TMpiCoordinator::Exchange(const TAttemptState& local) {
  if (request_ != MPI_REQUEST_NULL) {
    int done = 0;
    MPI_Test(&request_, &done, MPI_STATUS_IGNORE);
    if (!done) return known_;
    known_ = {received_[0], received_[1], received_[2] == 0};
  }
  // Every rank starts round n + 1 right after it has seen round n, so all ranks read the
  // same rounds in the same order and end on the same one.
  sent_ = {local.LowestMatch, local.LowestUnfinished, local.Stop ? 0 : 1};
  MPI_Iallreduce(sent_.data(), received_.data(), 3, MPI_INT64_T, MPI_MIN, MPI_COMM_WORLD,
                 &request_);
  return known_;
}

TAttemptOutcome TMpiCoordinator::Settle(const TAttemptOutcome& local) {
  if (request_ != MPI_REQUEST_NULL) MPI_Wait(&request_, MPI_STATUS_IGNORE);
  const TOutcomeKey mine{local.Attempt,
                         local.Matched ? 1 : 0,
                         local.Matches,
                         local.Generations,
                         static_cast<std::int64_t>(local.Seed),
                         local.Error};
  std::vector<TOutcomeKey> all(static_cast<std::size_t>(size_));
  MPI_Allgather(&mine, sizeof mine, MPI_BYTE, all.data(), sizeof mine, MPI_BYTE, MPI_COMM_WORLD);
  int winner = 0;
  TAttemptOutcome best;
  for (int r = 0; r < size_; ++r) {
    TAttemptOutcome candidate;
    candidate.Attempt = all[r].Attempt;
    candidate.Matched = all[r].Matched != 0;
    candidate.Matches = static_cast<std::int32_t>(all[r].Matches);
    candidate.Generations = static_cast<std::int32_t>(all[r].Generations);
    candidate.Seed = static_cast<std::uint32_t>(all[r].Seed);
    candidate.Error = all[r].Error;
    if (IsBetter(candidate, best)) {
      best = candidate;
      winner = r;
    }
  }
  // The printing rank gets the model's text and its program, which --emit prints.
  if (winner == 0) {
    if (rank_ == 0) {
      best.Lines = local.Lines;
      best.Model = local.Model;
      best.Program = local.Program;
    }
  } else if (rank_ == winner) {
    const std::string text = JoinLines(local.Lines);
    MPI_Send(text.data(), static_cast<int>(text.size()), MPI_CHAR, 0, LinesTag, MPI_COMM_WORLD);
    MPI_Send(local.Program.data(), static_cast<int>(local.Program.size()), MPI_CHAR, 0, ProgramTag,
             MPI_COMM_WORLD);
  } else if (rank_ == 0) {
    const std::vector<char> text = Receive(winner, LinesTag);
    best.Lines = SplitLines(std::string(text.begin(), text.end()));
    const std::vector<char> program = Receive(winner, ProgramTag);
    best.Program.assign(program.begin(), program.end());
  }
  return best;
}
