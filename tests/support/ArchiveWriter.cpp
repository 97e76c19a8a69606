#include "support/ArchiveWriter.h"

std::string MakeArchive(const std::vector<TArchiveEntry>& entries, const std::string& firstLineTail,
                        const std::vector<std::string>& extraLines, bool withEnd) {
  std::string lines;
  for (const auto& line : extraLines) lines += line + "\r\n";
  for (const auto& e : entries)
    lines += e.folder + ";" + e.name + ";" + e.type + ";" + std::to_string(e.data.size()) + ";\r\n";
  if (withEnd) lines += "END\r\n";
  std::string data;
  for (const auto& e : entries) data += e.data;
  // The offset counts its own digits: settle it.
  std::size_t offset = 0;
  for (int i = 0; i < 3; ++i) offset = ("BEGIN;" + std::to_string(offset) + firstLineTail + "\r\n" + lines).size();
  return "BEGIN;" + std::to_string(offset) + firstLineTail + "\r\n" + lines + data;
}

std::vector<std::string> MakeArchiveVolumes(const std::vector<TArchiveEntry>& entries, int count) {
  const std::string whole = MakeArchive(entries, ";1;0");
  // The header (up to the data offset) stays whole in volume 0, as readers
  // take it from there; the data is shared out.
  const std::size_t offset = std::stoul(whole.substr(6));
  const std::size_t data = whole.size() - offset;
  const std::size_t step = (data + count - 1) / count;
  std::vector<std::string> volumes;
  for (int i = 0; i < count; ++i) {
    const std::size_t start = std::min(whole.size(), offset + i * step);
    const std::size_t end = std::min(whole.size(), offset + (i + 1) * step);
    volumes.push_back((i == 0 ? whole.substr(0, offset) : std::string()) + whole.substr(start, end - start));
  }
  return volumes;
}
