// The gallery's lists and every URL come from servers and settings we do not
// control: parsing any text must be safe, and what parses must join back to
// a line that parses the same.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "online/Gallery.h"
#include "online/OnlineRecords.h"
#include "platform/HttpClient.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  for (const TGallary& work : ParseGalleryWorksList(text)) {
    for (int i = 0; i < 7; ++i) AttributeDigitAt(work.Attributes, i);
  }
  for (const TRegistrationRecord& user : ParseUsersList(text)) {
    // Fields cannot hold the delimiter, so the joined line parses the same.
    auto again = ParseGalleryUserRecord(JoinRecordFields(user.ToFields()));
    if (!again || again->ToFields() != user.ToFields()) std::abort();
  }
  // The author tree only ever files a work under the author it belongs to.
  const std::vector<TGallary> works = ParseGalleryWorksList(text);
  for (const TGalleryAuthor& author : BuildGalleryAuthors(ParseUsersList(text), works))
    for (std::size_t index : author.Works)
      if (index >= works.size() || !WorkBelongsTo(works[index].Id, author.Number)) std::abort();
  // A name from the server is one plain file name.
  const std::string name = GalleryFileName(text, text);
  if (name.empty() || name.size() > 120 || name.find_first_of("/\\") != std::string::npos || name.front() == '.')
    std::abort();
  TUrlParts parts = SplitURL(text);
  if (parts.Valid() && (parts.path.empty() || parts.path.front() != '/')) std::abort();
  if (PercentDecode(PercentEncode(text)) != text) std::abort();
  for (int i = 0; i < 12; ++i) RecordField(text, i);
  return 0;
}
