#include "damage.h"

#include <algorithm>
#include <map>
#include <string>

namespace framefit::testing {
namespace {

std::string FourCc(const Bytes& file, std::size_t at) {
  return at + 4 <= file.size() ? std::string(file.begin() + at, file.begin() + at + 4) : std::string();
}

std::uint64_t ReadBigEndian(const Bytes& file, std::size_t at, std::size_t width) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < width; ++i) value = value << 8 | file[at + i];
  return value;
}

std::uint32_t ReadLittleEndian32(const Bytes& file, std::size_t at) {
  return static_cast<std::uint32_t>(file[at] | file[at + 1] << 8 | file[at + 2] << 16) |
         static_cast<std::uint32_t>(file[at + 3]) << 24;
}

// The end of a part of `size` bytes starting at begin, kept inside its parent (sizes may lie).
std::size_t PartEnd(std::size_t begin, std::uint64_t size, std::size_t parent_end) {
  return size >= parent_end - begin ? parent_end : begin + static_cast<std::size_t>(size);
}

// RIFF: four-character id, 32-bit little-endian size, body padded to an even length; "RIFF" and
// "LIST" bodies start with their type and hold chunks.
void WalkRiff(const Bytes& file, std::size_t begin, std::size_t end, std::vector<SizeField>& fields) {
  std::size_t at = begin;
  while (at + 8 <= end) {
    const std::string id = FourCc(file, at);
    const std::uint32_t size = ReadLittleEndian32(file, at + 4);
    fields.push_back({at + 4, 4, SizeField::Coding::LittleEndian32});
    const std::size_t body = at + 8;
    const std::size_t body_end = PartEnd(body, size, end);
    if ((id == "RIFF" || id == "LIST") && body + 4 <= body_end && FourCc(file, body) != "movi") {
      WalkRiff(file, body + 4, body_end, fields);
    }
    at = PartEnd(body, std::uint64_t{size} + (size & 1), end);
  }
}

// MP4: 32-bit big-endian size (1: a 64-bit size follows the type; 0: to the end), type. The
// boxes listed hold boxes, after as many bytes of their own fields as given.
void WalkBoxes(const Bytes& file, std::size_t begin, std::size_t end, std::vector<SizeField>& fields) {
  static const std::map<std::string, std::size_t> kChildrenAfter = {
      {"moov", 0}, {"trak", 0}, {"mdia", 0}, {"minf", 0}, {"stbl", 0}, {"edts", 0}, {"dinf", 0},
      {"udta", 0}, {"mvex", 0}, {"moof", 0}, {"traf", 0}, {"meta", 4}, {"stsd", 8}, {"dref", 8},
      {"avc1", 78}, {"mp4a", 28}};
  std::size_t at = begin;
  while (at + 8 <= end) {
    std::uint64_t size = ReadBigEndian(file, at, 4);
    std::size_t header = 8;
    if (size == 1) {
      if (at + 16 > end) return;
      size = ReadBigEndian(file, at + 8, 8);
      header = 16;
    } else {
      fields.push_back({at, 4, SizeField::Coding::BigEndian32});
    }
    if (size == 0) size = end - at;
    if (size < header) return;
    const std::size_t box_end = PartEnd(at, size, end);
    const auto children = kChildrenAfter.find(FourCc(file, at + 4));
    if (children != kChildrenAfter.end()) WalkBoxes(file, std::min(box_end, at + header + children->second), box_end, fields);
    at = box_end;
  }
}

// Matroska: element id and size are variable-length integers whose length is told by the first
// byte's leading zeros; a size of all ones is unknown (to the end of the parent).
std::size_t VintLength(unsigned char first) {
  for (std::size_t length = 1; length <= 8; ++length) {
    if (first & (0x80 >> (length - 1))) return length;
  }
  return 0;
}

void WalkEbml(const Bytes& file, std::size_t begin, std::size_t end, std::vector<SizeField>& fields) {
  // Elements that hold elements; clusters (the frames) are left out on purpose.
  static const std::vector<std::uint64_t> kMasters = {
      0x1A45DFA3, 0x18538067, 0x114D9B74, 0x4DBB, 0x1549A966, 0x1654AE6B, 0xAE,   0xE0,  0xE1,
      0x1C53BB6B, 0xBB,       0xB7,       0x1254C367, 0x7373, 0x63C0,     0x67C8, 0x1043A770};
  std::size_t at = begin;
  while (at < end) {
    const std::size_t id_length = VintLength(file[at]);
    if (id_length == 0 || id_length > 4 || at + id_length >= end) return;
    const std::uint64_t id = ReadBigEndian(file, at, id_length);
    const std::size_t size_at = at + id_length;
    const std::size_t size_length = VintLength(file[size_at]);
    if (size_length == 0 || size_at + size_length > end) return;
    const std::uint64_t size = ReadBigEndian(file, size_at, size_length) & ((std::uint64_t{1} << (7 * size_length)) - 1);
    fields.push_back({size_at, size_length, SizeField::Coding::Ebml});
    const std::size_t data = size_at + size_length;
    const bool unknown = size == (std::uint64_t{1} << (7 * size_length)) - 1;
    const std::size_t data_end = unknown ? end : PartEnd(data, size, end);
    if (std::find(kMasters.begin(), kMasters.end(), id) != kMasters.end()) WalkEbml(file, data, data_end, fields);
    at = data_end;
  }
}

}  // namespace

std::vector<SizeField> FindSizeFields(const Bytes& file) {
  std::vector<SizeField> fields;
  if (FourCc(file, 0) == "RIFF") {
    WalkRiff(file, 0, file.size(), fields);
  } else if (FourCc(file, 4) == "ftyp") {
    WalkBoxes(file, 0, file.size(), fields);
  } else if (file.size() >= 4 && ReadBigEndian(file, 0, 4) == 0x1A45DFA3) {
    WalkEbml(file, 0, file.size(), fields);
  }
  return fields;
}

void WriteSize(Bytes& file, const SizeField& field, std::uint64_t value) {
  switch (field.coding) {
    case SizeField::Coding::LittleEndian32:
      value = std::min<std::uint64_t>(value, 0xFFFFFFFF);
      for (std::size_t i = 0; i < 4; ++i) file[field.offset + i] = static_cast<unsigned char>(value >> (8 * i));
      return;
    case SizeField::Coding::BigEndian32:
      value = std::min<std::uint64_t>(value, 0xFFFFFFFF);
      break;
    case SizeField::Coding::Ebml: {
      const std::uint64_t marker = std::uint64_t{1} << (7 * field.width);
      value = std::min(value, marker - 2) | marker;
      break;
    }
  }
  for (std::size_t i = 0; i < field.width; ++i) {
    file[field.offset + i] = static_cast<unsigned char>(value >> (8 * (field.width - 1 - i)));
  }
}

void FlipBits(Bytes& file, int flips, std::size_t within, std::mt19937& random) {
  const std::size_t span = std::min(within, file.size());
  if (span == 0) return;
  for (int i = 0; i < flips; ++i) file[Pick(random, 0, span - 1)] ^= static_cast<unsigned char>(1u << Pick(random, 0, 7));
}

std::size_t Pick(std::mt19937& random, std::size_t low, std::size_t high) {
  return low + static_cast<std::size_t>(random()) % (high - low + 1);
}

}  // namespace framefit::testing
