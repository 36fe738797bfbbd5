// The recovery journal in the real window, offscreen: one write of the journal
// (the BPS of the whole image against the file as opened, written atomically),
// and one edit as the journal sees it when writes are coalesced (only the
// schedule), each against the 16 ms timer tick ("of_tick": the share of one tick).

#include "bench/ViewerBenchSupport.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "app/window/TarvelinRecovery.h"
#include "rom/TarvelinRecoveryJournal.h"
#include "tools/DemoRom.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr double TickSeconds = 0.016;

void ReportTick(benchmark::State& State, Clock::duration Total) {
  const double seconds = std::chrono::duration<double>(Total).count() / static_cast<double>(State.iterations());
  State.counters["of_tick"] = seconds / TickSeconds;
}

// Changes scattered CHR bytes, then times the write of the journal after one more.
void BM_JournalWrite(benchmark::State& State) {
  TForm1& form = BenchWindow();
  TRomChange scattered;
  for (std::int64_t i = 0; i < State.range(0); ++i) {
    const int at = ChrDataFileOffset + static_cast<int>(i * 4099 % 0x40000);
    scattered.Writes.push_back({at, RomDocument.Byte(at), static_cast<std::uint8_t>(RomDocument.Byte(at) ^ 0x5A)});
  }
  RomDocument.Apply(scattered);
  const int at = DemoRom::FourFlips.FrameOffset;
  Clock::duration total{};
  std::uint8_t value = RomDocument.Byte(at);
  for (auto _ : State) {
    const std::uint8_t next = static_cast<std::uint8_t>(value + 1);
    RomDocument.Apply({{{at, value, next}}});
    value = next;
    const auto start = Clock::now();
    form.Recovery->WriteNow();
    total += Clock::now() - start;
  }
  State.counters["journal_bytes"] = static_cast<double>(std::filesystem::file_size(form.Recovery->JournalPath()));
  ReportTick(State, total);
  RomDocument.Revert({{{at, DemoRom::FourFlips.ChrBank, value}}});
  RomDocument.Revert(scattered);
  form.Recovery->WriteNow();
}
BENCHMARK(BM_JournalWrite)->Arg(1)->Arg(1000)->Arg(50000)->Unit(benchmark::kMicrosecond);

// An edit inside the second after a write: the journal's listener only keeps the schedule.
void BM_CoalescedEdit(benchmark::State& State) {
  TForm1& form = BenchWindow();
  const int at = DemoRom::FourFlips.FrameOffset;
  std::uint8_t value = RomDocument.Byte(at);
  RomDocument.Apply({{{at, value, static_cast<std::uint8_t>(value + 1)}}});
  ++value;
  form.Recovery->WriteNow();
  Clock::duration total{};
  for (auto _ : State) {
    const std::uint8_t next = static_cast<std::uint8_t>(value + 1);
    const auto start = Clock::now();
    form.Recovery->Changed();
    total += Clock::now() - start;
    RomDocument.Apply({{{at, value, next}}});
    value = next;
  }
  ReportTick(State, total);
  RomDocument.Revert({{{at, DemoRom::FourFlips.ChrBank, value}}});
  form.Recovery->WriteNow();
}
BENCHMARK(BM_CoalescedEdit)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  // The benchmark's journals go to a folder of its own.
  const auto state = std::filesystem::temp_directory_path() / "tarvelin-bench" / "state";
  std::filesystem::create_directories(state);
  setenv("XDG_STATE_HOME", state.c_str(), 1);
  setenv("XDG_CONFIG_HOME", state.c_str(), 1);
  return RunViewerBenchmarks(argc, argv);
}
