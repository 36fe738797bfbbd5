// Records that grow, shrink, move and are copied, over seeded random ROMs: after
// every step each pattern and animation of the three banks resolves, by the
// address rules worked out here, to the same bytes as before unless it reads the
// edited record, whose new bytes are worked out here too; nothing outside the
// records, the tables and the declared free space changes; undoing every step
// gives back the image and the free map.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <set>

#include "rom/TarvelinRelocate.h"
#include "tests/support/FileTestSupport.h"

namespace {

using TBytes = std::vector<std::uint8_t>;
constexpr int Bases[3] = {0x24010, 0x28010, 0x2C010};
// "12-13" and "14-15" reach 16 KiB, "16" 8 KiB.
constexpr int ReachEnd[3] = {0x28010, 0x2C010, 0x2E010};

int Pointer(const TBytes& Rom, int Base, int Low, int High) {
  return Base + Rom[static_cast<std::size_t>(Base + Low)] + 256 * Rom[static_cast<std::size_t>(Base + High)] - 0x8000;
}
int FrameAt(const TBytes& Rom, int Bank, int N) {
  const int low = (N >> 8) * 0x100 + (N & 0xFF);
  return Pointer(Rom, Bases[Bank], low, low + 0x200);
}
int AlignAt(const TBytes& Rom, int Bank, int A) {
  return Pointer(Rom, Bases[Bank], 0x400 + A, 0x500 + A);
}
int AnimationAt(const TBytes& Rom, int Bank, int M) {
  return Pointer(Rom, Bases[Bank], 0x600 + M, 0x700 + M);
}
TBytes Slice(const TBytes& Rom, int At, int Size) {
  return TBytes(Rom.begin() + At, Rom.begin() + At + Size);
}

// What a pattern or an animation reads.
struct TResolved {
  int Frame = 0, Align = 0;
  TBytes FrameBytes, AlignBytes;
  friend bool operator==(const TResolved&, const TResolved&) = default;
};
struct TResolvedRom {
  std::vector<TResolved> Patterns;  // bank * 512 + n
  std::vector<int> Animations;      // bank * 256 + m: offset
  std::vector<TBytes> AnimationBytes;
};

TResolvedRom Resolve(const TBytes& Rom) {
  TResolvedRom out;
  for (int bank = 0; bank < 3; ++bank) {
    for (int n = 0; n < 512; ++n) {
      TResolved r;
      r.Frame = FrameAt(Rom, bank, n);
      const int count = Rom[static_cast<std::size_t>(r.Frame + 1)] + 1;
      r.FrameBytes = Slice(Rom, r.Frame, 3 + 2 * count);
      r.Align = AlignAt(Rom, bank, Rom[static_cast<std::size_t>(r.Frame + 2)]);
      r.AlignBytes = Slice(Rom, r.Align, 2 * count);
      out.Patterns.push_back(r);
    }
    for (int m = 0; m < 256; ++m) {
      const int at = AnimationAt(Rom, bank, m);
      out.Animations.push_back(at);
      out.AnimationBytes.push_back(Slice(Rom, at, 3 + (Rom[static_cast<std::size_t>(at)] & 0x7F)));
    }
  }
  return out;
}

// Every byte some record of the three banks covers, and the tables.
std::set<int> Covered(const TBytes& Rom) {
  std::set<int> covered;
  const auto add = [&](int At, int Size) {
    for (int i = 0; i < Size; ++i) covered.insert(At + i);
  };
  const TResolvedRom r = Resolve(Rom);
  for (const TResolved& p : r.Patterns) {
    add(p.Frame, static_cast<int>(p.FrameBytes.size()));
    add(p.Align, static_cast<int>(p.AlignBytes.size()));
  }
  for (std::size_t i = 0; i < r.Animations.size(); ++i)
    add(r.Animations[i], static_cast<int>(r.AnimationBytes[i].size()));
  return covered;
}

// A random ROM: per bank, FrameData with their own AlignData, shared by many
// pattern numbers; AnimationData shared by many animation numbers; gaps between
// them either declared free or left as other data; and records that the next
// bank reaches too, through pointers below $8000.
struct TRandomRom {
  TBytes Rom;
  TFreeMap Free;
};

TRandomRom MakeRandomRom(std::mt19937& Random) {
  const auto pick = [&](int Low, int High) { return std::uniform_int_distribution<int>(Low, High)(Random); };
  TRandomRom out;
  TBytes& rom = out.Rom;
  rom.assign(RomImageSize, 0);
  for (int i = 16; i < 0x40010; ++i) rom[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(pick(0, 255));
  rom[0] = 'N', rom[1] = 'E', rom[2] = 'S', rom[3] = 0x1A;
  std::vector<TFileRange> free;
  const auto point = [&](int Base, int Low, int High, int Target) {
    const int p = Target - Base + 0x8000;
    rom[static_cast<std::size_t>(Base + Low)] = static_cast<std::uint8_t>(p);
    rom[static_cast<std::size_t>(Base + High)] = static_cast<std::uint8_t>(p >> 8);
  };
  const auto pattern = [&](int Bank, int N, int Target) {
    const int low = (N >> 8) * 0x100 + (N & 0xFF);
    point(Bases[Bank], low, low + 0x200, Target);
  };
  std::vector<int> frames[3], animations[3];
  for (int bank = 0; bank < 3; ++bank) {
    const int base = Bases[bank];
    int at = base + 0x800;
    // A gap after each record: free (of a fill or of leftovers) or someone else's.
    const auto gap = [&] {
      const int size = pick(0, 3) == 0 ? pick(40, 120) : pick(0, 12);
      if (pick(0, 1) == 0) {
        free.push_back({at, at + size});
        if (pick(0, 1)) std::fill_n(rom.begin() + at, size, pick(0, 1) ? 0xFF : 0x00);
      }
      at += size;
    };
    const int records = pick(10, bank == 2 ? 16 : 30);
    for (int k = 0; k < records; ++k) {
      const int count = pick(1, 5);
      const int frame = at;
      rom[static_cast<std::size_t>(frame + 1)] = static_cast<std::uint8_t>(count - 1);
      rom[static_cast<std::size_t>(frame + 2)] = static_cast<std::uint8_t>(k);
      at += 3 + 2 * count;
      gap();
      point(base, 0x400 + k, 0x500 + k, at);
      at += 2 * count;
      gap();
      frames[bank].push_back(frame);
    }
    // Numbers no pattern names point at the first record's pairs.
    for (int a = records; a < 256; ++a) point(base, 0x400 + a, 0x500 + a, AlignAt(rom, bank, 0));
    for (int k = pick(5, 20); k > 0; --k) {
      const int last = pick(0, 5);
      rom[static_cast<std::size_t>(at)] = static_cast<std::uint8_t>((pick(0, 1) << 7) | last);
      animations[bank].push_back(at);
      at += 3 + last;
      gap();
    }
    // Room to move into, somewhere later in the reach.
    if (at < ReachEnd[bank] - 600) {
      const int room = pick(at, ReachEnd[bank] - 600);
      free.push_back({room, room + pick(100, 500)});
    }
    for (int n = 0; n < 512; ++n) pattern(bank, n, frames[bank][static_cast<std::size_t>(pick(0, records - 1))]);
    for (int m = 0; m < 256; ++m)
      point(base, 0x600 + m, 0x700 + m,
            animations[bank][static_cast<std::size_t>(pick(0, static_cast<int>(animations[bank].size()) - 1))]);
  }
  // Bank "14-15" reaches some records of "12-13" too: a FrameData through its own
  // alignment number, a FrameData and its AlignData both, and an AnimationData.
  for (int k = 0; k < 3; ++k) pattern(1, pick(0, 511), frames[0][static_cast<std::size_t>(pick(0, 9))]);
  const int shared = frames[0][static_cast<std::size_t>(pick(0, 9))];
  const int number = rom[static_cast<std::size_t>(shared + 2)];
  pattern(1, pick(0, 511), shared);
  point(Bases[1], 0x400 + number, 0x500 + number, AlignAt(rom, 0, number));
  const int m = pick(0, 255);
  point(Bases[1], 0x600 + m, 0x700 + m, animations[0][0]);
  out.Free = TFreeMap(free);
  // Declared space holds no record.
  const auto covered = Covered(rom);
  for (const int offset : covered) out.Free.Remove({offset, offset + 1});
  return out;
}

struct TStep {
  TRomPlan Plan;
};

class RelocatePropertyTest : public testing::Test {
protected:
  TTestDirectory Dir;
  TMessageCapture Messages;
  std::unique_ptr<TPrgData> Prg = std::make_unique<TPrgData>();
  std::unique_ptr<TChrData> Chr = std::make_unique<TChrData>();
  TRomDocument Document{*Prg, *Chr};
};

TEST_F(RelocatePropertyTest, EveryOtherRecordStaysAndUndoRestoresAll) {
  // TARVELIN_LONG_PROPERTY=1 runs many more ROMs and steps.
  const bool longRun = std::getenv("TARVELIN_LONG_PROPERTY") != nullptr;
  const int roms = longRun ? 200 : 12;
  const int steps = longRun ? 120 : 30;
  int applied = 0, moved = 0, refused = 0;
  for (int seed = 1; seed <= roms; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(static_cast<unsigned>(seed));
    const auto pick = [&](int Low, int High) { return std::uniform_int_distribution<int>(Low, High)(random); };
    TRandomRom made = MakeRandomRom(random);
    ASSERT_TRUE(Document.Load(Dir.Write("r.nes", made.Rom)));
    TFreeMap free = made.Free;
    std::vector<TRomPlan> done;
    for (int step = 0; step < steps; ++step) {
      const TBytes before = Document.Image();
      const TResolvedRom was = Resolve(before);
      const int bank = pick(0, 2);
      const int n = pick(0, 511), m = pick(0, 255);
      const TResolved& p = was.Patterns[static_cast<std::size_t>(bank * 512 + n)];
      const int count = p.FrameBytes[1] + 1;
      const TBytes& anim = was.AnimationBytes[static_cast<std::size_t>(bank * 256 + m)];
      const int frames = (anim[0] & 0x7F) + 1;
      // The expected records of whoever reads the edited one; empty: unchanged.
      TBytes frame = p.FrameBytes, align = p.AlignBytes, animation = anim;
      const int what = pick(0, 9);
      TRomPlan plan;
      try {
        switch (what) {
          case 0: {
            const int at = pick(0, count);
            const TSpriteEntry s{pick(0, 255), pick(0, 255), pick(0, 255), pick(0, 255)};
            plan = InsertSprite(Document, free, {bank, n}, at, s);
            frame.insert(frame.begin() + 3 + 2 * at, {std::uint8_t(s.Tile), std::uint8_t(s.Attribute)});
            align.insert(align.begin() + 2 * at, {std::uint8_t(s.Y), std::uint8_t(s.X)});
            frame[1] = static_cast<std::uint8_t>(count);
            break;
          }
          case 1: {
            const int at = pick(0, count - 1);
            plan = RemoveSprite(Document, free, {bank, n}, at);
            frame.erase(frame.begin() + 3 + 2 * at, frame.begin() + 5 + 2 * at);
            align.erase(align.begin() + 2 * at, align.begin() + 2 * at + 2);
            frame[1] = static_cast<std::uint8_t>(count - 2);
            break;
          }
          case 2: {
            const int at = pick(0, frames), low = pick(0, 255);
            plan = InsertAnimationFrame(Document, free, {bank, m}, at, low);
            animation.insert(animation.begin() + 2 + at, std::uint8_t(low));
            break;
          }
          case 3: {
            const int at = pick(0, frames - 1);
            plan = DeleteAnimationFrame(Document, free, {bank, m}, at);
            animation.erase(animation.begin() + 2 + at);
            break;
          }
          case 4: {
            const int at = pick(0, frames - 1);
            plan = DuplicateAnimationFrame(Document, free, {bank, m}, at);
            animation.insert(animation.begin() + 3 + at, animation[static_cast<std::size_t>(2 + at)]);
            break;
          }
          case 5: {
            const int at = pick(0, frames - 1), to = pick(0, frames - 1);
            plan = MoveAnimationFrame(Document, free, {bank, m}, at, to);
            const std::uint8_t moving = animation[static_cast<std::size_t>(2 + at)];
            animation.erase(animation.begin() + 2 + at);
            animation.insert(animation.begin() + 2 + to, moving);
            break;
          }
          case 6:
            plan = DetachFrameData(Document, free, {bank, n});
            break;
          case 7:
            plan = DetachAlignData(Document, free, {bank, n});
            break;
          case 8:
            plan = DetachAnimationData(Document, free, {bank, m});
            break;
          default:
            plan = DetachPattern(Document, free, {bank, n});
            break;
        }
      } catch (const ERomEditError&) {
        ++refused;
        ASSERT_EQ(Document.Image(), before);
        continue;
      }
      if (what <= 1) {
        frame[0] = p.FrameBytes[0], frame[2] = p.FrameBytes[2];
        animation.clear();
      } else if (what <= 5) {
        animation[0] = static_cast<std::uint8_t>((anim[0] & 0x80) | (animation.size() - 3));
        frame.clear();
      } else {
        frame.clear(), animation.clear();
      }
      const std::size_t self = static_cast<std::size_t>(bank * 512 + n);
      ASSERT_EQ(plan.FreeBefore, free);
      Document.Apply(plan.Change);
      free = plan.FreeAfter;
      done.push_back(plan);
      ++applied;
      const TBytes after = Document.Image();
      const TResolvedRom is = Resolve(after);
      for (std::size_t i = 0; i < is.Patterns.size(); ++i) {
        const bool edited = !frame.empty() && was.Patterns[i].Frame == p.Frame;
        const TResolved& q = is.Patterns[i];
        SCOPED_TRACE("step " + std::to_string(step) + " op " + std::to_string(what) + " pattern " + std::to_string(i));
        TBytes frameBytes = q.FrameBytes;
        // Its own copy may name another alignment number.
        if (what == 9 && i == self) frameBytes[2] = p.FrameBytes[2];
        ASSERT_EQ(frameBytes, edited ? frame : was.Patterns[i].FrameBytes);
        ASSERT_EQ(q.AlignBytes, edited ? align : was.Patterns[i].AlignBytes);
        if (edited && q.Frame != p.Frame) ++moved;
      }
      if (what == 9)  // nothing it reads is read by another pattern
        for (std::size_t i = 0; i < is.Patterns.size(); ++i)
          if (i != self) {
            ASSERT_NE(is.Patterns[i].Frame, is.Patterns[self].Frame);
            ASSERT_NE(is.Patterns[i].Align, is.Patterns[self].Align);
          }
      for (std::size_t i = 0; i < is.Animations.size(); ++i) {
        const bool edited =
            !animation.empty() && was.Animations[i] == was.Animations[static_cast<std::size_t>(bank * 256 + m)];
        ASSERT_EQ(is.AnimationBytes[i], edited ? animation : was.AnimationBytes[i]) << "animation " << i;
      }
      // Changed: only declared space, the tables and the edited record's old bytes;
      // freed: only those old bytes, or those a detached number left.
      std::set<int> own, left;
      const auto add = [&](std::set<int>& To, int At, std::size_t Size) {
        for (int i = 0; i < static_cast<int>(Size); ++i) To.insert(At + i);
      };
      const int animationAt = was.Animations[static_cast<std::size_t>(bank * 256 + m)];
      if (what <= 1) add(own, p.Frame, p.FrameBytes.size()), add(own, p.Align, p.AlignBytes.size());
      if (what >= 2 && what <= 5) add(own, animationAt, anim.size());
      left = own;
      if (what == 6 || what == 9) add(left, p.Frame, p.FrameBytes.size());
      if (what == 9)  // a copy of the pairs under a new number leaves the old ones read
        add(left, p.Align, p.AlignBytes.size());
      if (what == 7)  // every pattern of the bank naming the number reads the pairs
        for (int k = 0; k < 512; ++k)
          if (was.Patterns[static_cast<std::size_t>(bank * 512 + k)].FrameBytes[2] == p.FrameBytes[2])
            add(left, p.Align, was.Patterns[static_cast<std::size_t>(bank * 512 + k)].AlignBytes.size());
      if (what == 8) add(left, animationAt, anim.size());
      for (int i = 16; i < 0x40010; ++i) {
        if (before[static_cast<std::size_t>(i)] == after[static_cast<std::size_t>(i)]) continue;
        const bool table = std::ranges::any_of(Bases, [&](int B) { return i >= B && i < B + 0x800; });
        ASSERT_TRUE(table || own.count(i) || plan.FreeBefore.Covers({i, i + 1})) << "byte " << i;
      }
      // What is free afterwards is either declared before or left by the edited record, and holds no record.
      for (const TFileRange& r : free.Ranges())
        for (int i = r.First; i < r.End; ++i) ASSERT_TRUE(plan.FreeBefore.Covers({i, i + 1}) || left.count(i));
      const auto covered = Covered(after);
      for (const TFileRange& r : free.Ranges())
        for (int i = r.First; i < r.End; ++i) ASSERT_FALSE(covered.count(i)) << "free byte " << i << " is read";
    }
    for (auto it = done.rbegin(); it != done.rend(); ++it) {
      ASSERT_EQ(free, it->FreeAfter);
      Document.Revert(it->Change);
      free = it->FreeBefore;
    }
    ASSERT_EQ(Document.Image(), made.Rom);
    ASSERT_EQ(free, made.Free);
  }
  // The run met every road: steps taken, records moved, edits refused.
  std::printf("%d steps taken, %d records moved, %d edits refused\n", applied, moved, refused);
  EXPECT_GT(applied, roms * steps / 3);
  EXPECT_GT(moved, 0);
  EXPECT_GT(refused, 0);
}

}  // namespace
