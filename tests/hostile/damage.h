#pragma once

// Ways to damage a media file the way broken downloads, bad disks and hostile senders do.
// Every choice comes from the random engine passed in, so a fixed seed gives the same files.

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

namespace framefit::testing {

using Bytes = std::vector<unsigned char>;

// Where a container states how long one of its parts is.
struct SizeField {
  enum class Coding {
    LittleEndian32,  // RIFF (AVI) chunk size
    BigEndian32,     // MP4 box size
    Ebml,            // Matroska element size: a variable-length integer of `width` bytes
  };
  std::size_t offset = 0;
  std::size_t width = 4;
  Coding coding = Coding::LittleEndian32;
};

// The size fields of a RIFF, MP4 or Matroska file, outer parts first; none for other files.
// Bulk payload (AVI "movi" list, Matroska clusters) is not walked into: its chunks are many and
// alike, while the headers decide how a reader finds its way through the file.
std::vector<SizeField> FindSizeFields(const Bytes& file);

// Writes value into the field, clipped to the largest it can hold: 0xFFFFFFFF for the 32-bit
// ones, 0xFFFFFFFF or 2^(7*width) - 2 for a Matroska one (all ones there means "unknown size").
void WriteSize(Bytes& file, const SizeField& field, std::uint64_t value);

// Flips bits at random positions below `within` (anywhere when `within` exceeds the file).
void FlipBits(Bytes& file, int flips, std::size_t within, std::mt19937& random);

// A random number in [low, high].
std::size_t Pick(std::mt19937& random, std::size_t low, std::size_t high);

}  // namespace framefit::testing
