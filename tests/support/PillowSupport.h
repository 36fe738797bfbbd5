#pragma once
// Reads a picture file back with Pillow, a decoder no one here wrote: its
// format, frame count, loop count, each frame's delay and RGBA pixels.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace pillow {

struct TRead {
  std::string Format;
  int Frames = 0;
  int Loop = -1;  // APNG: num_plays (0 = for ever); -1 when the file gives none
  int Width = 0;
  int Height = 0;
  std::vector<double> DurationsMs;
  std::vector<std::vector<std::uint8_t>> Rgba;  // each frame as shown, 4 bytes a pixel
};

// A python3 that imports PIL, or "" when there is none.
inline std::string Python() {
  for (const char* candidate : {"/usr/bin/python3", "python3"})
    if (std::system((std::string(candidate) + " -c 'import PIL' >/dev/null 2>&1").c_str()) == 0) return candidate;
  return "";
}

inline constexpr const char* Script = R"(import sys
from PIL import Image
im = Image.open(sys.argv[1])
frames = getattr(im, "n_frames", 1)
print(im.format, frames, im.info.get("loop", -1), im.size[0], im.size[1])
for k in range(frames):
    im.seek(k)
    print(repr(float(im.info.get("duration", 0))))
    with open("%s.%d.rgba" % (sys.argv[2], k), "wb") as out:
        out.write(im.convert("RGBA").tobytes())
)";

// Reads File with Python's Pillow, its frames going to files beside Scratch;
// a Format of "" means Pillow could not read it.
inline TRead Read(const std::string& Python, const std::filesystem::path& File, const std::filesystem::path& Scratch) {
  const auto script = Scratch.string() + ".py";
  std::ofstream(script) << Script;
  const std::string command = Python + " '" + script + "' '" + File.string() + "' '" + Scratch.string() + "' 2>&1";
  TRead read;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return read;
  std::string output;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
  if (pclose(pipe) != 0) return read;
  std::istringstream lines(output);
  lines >> read.Format >> read.Frames >> read.Loop >> read.Width >> read.Height;
  for (int k = 0; k < read.Frames; ++k) {
    double duration = 0;
    lines >> duration;
    read.DurationsMs.push_back(duration);
    std::ifstream frame(Scratch.string() + "." + std::to_string(k) + ".rgba", std::ios::binary);
    read.Rgba.emplace_back(std::istreambuf_iterator<char>(frame), std::istreambuf_iterator<char>());
  }
  return read;
}

}  // namespace pillow
