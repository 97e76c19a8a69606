#pragma once
// Element archives (".arh") written for tests and the stand-in publisher: the
// text header, one line an entry, "END", then the entries' bytes.
#include <string>
#include <vector>

struct TArchiveEntry {
  std::string folder, name, type;  // type "2" stored, "0" zlib, "1" packed picture
  std::string data;                // the bytes as stored in the archive
};

// An archive whose header lists `entries` (plus `extraLines` before "END") and
// whose data follows; `firstLineTail` goes after the offset (";1;0" marks the
// first volume of a set).
std::string MakeArchive(const std::vector<TArchiveEntry>& entries, const std::string& firstLineTail = "",
                        const std::vector<std::string>& extraLines = {}, bool withEnd = true);

// The archive of `entries` as a multi-volume set of `count` volumes: the header
// and an equal share of the data in volume 0, the other shares after it (volume
// i is "part" + i + ".arh" on a server).
std::vector<std::string> MakeArchiveVolumes(const std::vector<TArchiveEntry>& entries, int count);
