// The gallery against the stand-in publisher on loopback: uploads as the
// script splits them, the lists and the author tree, the search, and downloads
// that never keep what a reply only pretends to be.
#include <gtest/gtest.h>

#include <memory>

#include "online/Gallery.h"
#include "online/GalleryUpload.h"
#include "online/OnlineServers.h"
#include "online/TransferContext.h"
#include "picture/Jpeg.h"
#include "picture/LoadedWork.h"
#include "picture/WorkFile.h"
#include "platform/FileIO.h"
#include "platform/IniFile.h"
#include "platform/ProgramFolders.h"
#include "platform/Text.h"
#include "support/StandInPublisher.h"
#include "support/TestPaths.h"

namespace {

// Pillow's word on a JPEG file: "format width height".
std::string PillowSays(const fs::path& file) {
  std::string out;
  RunCommand("/usr/bin/python3 -c \"import sys; from PIL import Image; im = Image.open(sys.argv[1]); "
             "im.load(); print(im.format, im.size[0], im.size[1])\" '" + file.string() + "'",
             &out);
  return Trim(out);
}

class Gallery : public ::testing::Test {
 protected:
  void SetUp() override {
    SetProgramFolders({});
    ini_.WriteString("Registration", "FirstName", "Anna");
    ini_.WriteString("Registration", "SecondName", "Berg");
    ini_.WriteString("Registration", "Serial", "1");
    servers_.GalleryServer = publisher_.GalleryUrl();
    servers_.ServerPost = publisher_.UploadUrl();
    servers_.UsersFileName = "users.txt";
    servers_.WorksFileName = "db.txt";
    context_ = std::make_unique<TTransferContext>(ETransferUse::GalleryBrowser, queue_);
    context_->SetTimeouts(5, 5);
    upload_ = std::make_unique<TTransferContext>(ETransferUse::GalleryUpload, queue_);
    upload_->SetTimeouts(5, 5);
    // A two-layer work: a red square over a wider green band, transparent around.
    layers_ = {TBitmap32(60, 20, Color32(20, 160, 60)), TBitmap32(30, 30, Color32(210, 30, 30))};
    TWorkHeader header;
    header.Version = "test";
    for (const char* id : {"00000001", "00000002"}) {
      TLayerRecord record;
      record.Id = id;
      record.Caption = id;
      record.Width = 60;
      record.Height = 30;
      header.Layers.push_back(record);
    }
    export_ = TBitmap32(300, 180, Color32(255, 255, 255, 0));
    for (int y = 20; y < 160; ++y)
      for (int x = 40; x < 260; ++x) export_.SetPixel(x, y, Color32(210, 30, 30));
    work_ = BuildCompressedWork(header, {{&layers_[0], {}}, {&layers_[1], {}}}, export_);
  }
  void TearDown() override { SetProgramFolders({}); }

  // Uploads the test's export picture (or work) as `input` says; the script's split.
  TStandInPublisher::TUpload Upload(const TGalleryUploadInput& input) {
    const auto files = MakeUploadFiles(export_, input.AsWork, [this] { return TFileResult<std::vector<std::uint8_t>>(work_); });
    EXPECT_TRUE(files);
    if (!files) return {};
    const auto record = BuildUploadRecord(input, ini_, "5.10", files->Thumbnail.size(), files->Full.size(), 2026, 3, 5);
    EXPECT_TRUE(record);
    const std::size_t before = publisher_.Uploads().size();
    EXPECT_EQ(SendToGallery(*upload_, GalleryUploadUrl(servers_), BuildUploadBody(*record, files->Thumbnail, files->Full)),
              EUploadResult::Sent);
    const auto uploads = publisher_.Uploads();
    EXPECT_EQ(uploads.size(), before + 1);
    if (uploads.size() != before + 1) return {};
    const TStandInPublisher::TUpload& got = uploads.back();
    EXPECT_EQ(got.Record, JoinRecordFields(record->ToFields()));
    EXPECT_EQ(std::vector<std::uint8_t>(got.Thumbnail.begin(), got.Thumbnail.end()), files->Thumbnail);
    EXPECT_EQ(std::vector<std::uint8_t>(got.Full.begin(), got.Full.end()), files->Full);
    EXPECT_FALSE(got.Headers.count("content-type")) << got.Headers.at("content-type");
    EXPECT_FALSE(got.Headers.count("expect"));
    return got;
  }

  TempFolder temp_;
  TStandInPublisher publisher_;
  TIniFile ini_ = TIniFile::FromText("");
  TOnlineServers servers_;
  TTaskQueue queue_;
  std::unique_ptr<TTransferContext> context_, upload_;
  std::vector<TBitmap32> layers_;
  TBitmap32 export_;
  std::vector<std::uint8_t> work_;
};

TEST_F(Gallery, UploadsSplitIntoRecordThumbnailAndFileThatTheirReadersAccept) {
  TGalleryUploadInput picture;
  picture.Name = "  Summer>look;\r\n ";
  picture.Attributes = {1, 0, 2, 11, 3, 4};
  const auto jpeg = Upload(picture);
  const std::string record = jpeg.Record;
  EXPECT_EQ(RecordField(record, 1), "1");
  EXPECT_EQ(RecordField(record, 2), "0");
  EXPECT_EQ(AttributeDigitAt(RecordField(record, 3), 3), 11) << RecordField(record, 3);
  EXPECT_EQ(RecordField(record, 4), "") << "a public work carries no password";
  EXPECT_EQ(RecordField(record, 6), "Summerlook") << "trimmed, without the body's and the list's delimiters";
  EXPECT_EQ(RecordField(record, 10), "Anna Berg");
  EXPECT_EQ(RecordField(record, 11), "5.3.2026");
  WriteTestFile(temp_ / "thumb.jpg", jpeg.Thumbnail);
  WriteTestFile(temp_ / "full.jpg", jpeg.Full);
  EXPECT_EQ(PillowSays(temp_ / "thumb.jpg"), "JPEG 150 150");
  EXPECT_EQ(PillowSays(temp_ / "full.jpg"), "JPEG 300 180");
  // The picture is seen on white: the transparent margin is white, the square red.
  const auto full = DecodeJpeg(std::span(reinterpret_cast<const std::uint8_t*>(jpeg.Full.data()), jpeg.Full.size()));
  ASSERT_TRUE(full);
  EXPECT_GT(GreenOf(full->Pixel(5, 5)), 240);
  EXPECT_GT(RedOf(full->Pixel(150, 90)), 180);
  EXPECT_LT(GreenOf(full->Pixel(150, 90)), 70);

  TGalleryUploadInput work = picture;
  work.AsWork = true;
  work.Private = true;
  work.Password = "se;cret";
  const auto tsc = Upload(work);
  EXPECT_EQ(RecordField(tsc.Record, 2), "1");
  EXPECT_EQ(RecordField(tsc.Record, 4), "secret");
  auto loaded = TLoadedWork::Read(std::vector<std::uint8_t>(tsc.Full.begin(), tsc.Full.end()), true);
  ASSERT_TRUE(loaded) << loaded.Error().Text();
  for (const char* id : {"00000001", "00000002"}) EXPECT_TRUE((*loaded)->TakePicture(id)) << id;
}

TEST_F(Gallery, SendIsRefusedOrFailsWithoutLosingTheInputs) {
  TGalleryUploadInput input;
  input.Name = "  ";
  input.Attributes = {0, 0, 0, 0, 0, 0};
  EXPECT_FALSE(UploadComplete(input)) << "a blank name";
  input.Name = "N";
  EXPECT_TRUE(UploadComplete(input));
  input.Private = true;
  input.Password = ";>";
  EXPECT_FALSE(UploadComplete(input)) << "a password that cleans to nothing";
  input.Attributes[5] = 16;
  input.Private = false;
  EXPECT_FALSE(UploadComplete(input)) << "an index beyond one hexadecimal digit";

  // The script's reply holds "found": the upload counts as failed.
  publisher_.Server().Route("/cgi-bin/kzpost", THttpReply::Text(200, "Stored, but the name was not found"));
  EXPECT_EQ(SendToGallery(*upload_, GalleryUploadUrl(servers_), "Fname<x>"), EUploadResult::Failed);
  publisher_.Server().Route("/cgi-bin/kzpost", THttpReply::Text(500, "Internal Error"));
  EXPECT_EQ(SendToGallery(*upload_, GalleryUploadUrl(servers_), "Fname<x>"), EUploadResult::Failed);
  EXPECT_FALSE(MakeUploadFiles(TBitmap32(), false, {})) << "an empty desk sends nothing";
  EXPECT_FALSE(MakeUploadFiles(export_, true, [] {
    return TFileResult<std::vector<std::uint8_t>>(FileError(TFileFault::CannotWrite, {}));
  })) << "a work that cannot be built";
}

TEST_F(Gallery, TheBrowserListsEachAuthorsOwnWorksAndFindsThemByEachAttribute) {
  TGalleryUploadInput input;
  input.Name = "Summer";
  input.Attributes = {1, 0, 2, 11, 3, 4};
  const std::string id = Upload(input).Id;
  ini_.WriteString("Registration", "Serial", "12");
  input.Name = "Winter error, not found";
  input.Attributes = {0, 1, 0, 0, 0, 0};
  const std::string otherId = Upload(input).Id;
  ASSERT_EQ(id, "1-1");
  ASSERT_EQ(otherId, "12-2");
  // Sorted by field 10; an empty number owns nothing.
  publisher_.AddGalleryUser("Carl;Dorn;c@example.com;12;;1;1.1.1990;3;JQ;5;0;");
  publisher_.AddGalleryUser("Anna;Berg;a@example.com;1;;0;2.2.1992;;JQ;9;;");
  publisher_.AddGalleryUser("Eve;Frost;e@example.com;;;1;1.1.1990;3;JQ;1;0;");
  publisher_.AddGalleryUser("Gus;Hale;g@example.com;7;;1;1.1.1990;3;JQ;2;0;");

  TGalleryLists lists;
  ASSERT_EQ(FetchGalleryLists(*context_, servers_, lists), EGalleryFetch::Loaded);
  ASSERT_EQ(lists.Works.size(), 2u);
  ASSERT_EQ(lists.Authors.size(), 2u) << "users without works are left out";
  EXPECT_EQ(lists.Authors[0].Caption, "Carl Dorn");
  ASSERT_EQ(lists.Authors[0].Works, std::vector<std::size_t>{1}) << "author 12 has only its own work";
  EXPECT_EQ(lists.Authors[1].Caption, "Anna Berg");
  ASSERT_EQ(lists.Authors[1].Works, std::vector<std::size_t>{0}) << "author 1 does not get author 12's work";
  EXPECT_EQ(lists.Works[0].Name, "Summer");
  EXPECT_EQ(lists.Works[1].Name, "Winter error, not found") << "a list is judged by its status, not its words";

  EXPECT_EQ(SearchGalleryWorks(lists.Works, {}).size(), 2u) << "nothing checked matches every work";
  const std::array<int, 6> summer = {1, 0, 2, 11, 3, 4};
  for (int n = 0; n < kGalleryAttributes; ++n) {
    TAttributeChoice choice;
    choice[std::size_t(n)] = {summer[std::size_t(n)]};
    EXPECT_EQ(SearchGalleryWorks(lists.Works, choice), std::vector<std::size_t>{0}) << "attribute " << n;
    choice[std::size_t(n)] = {summer[std::size_t(n)] + 2, 15};
    EXPECT_TRUE(SearchGalleryWorks(lists.Works, choice).empty()) << "attribute " << n;
  }

  // Lists the server cannot give leave what was loaded as it was.
  publisher_.Server().Route("/gallery/users.txt", THttpReply::Text(200, "no;users\r\n"));
  EXPECT_EQ(FetchGalleryLists(*context_, servers_, lists), EGalleryFetch::NoAccess);
  EXPECT_EQ(lists.Authors.size(), 2u);
}

TEST_F(Gallery, DownloadsKeepOnlyWhatTheReplyIsAndNeverReplaceAFile) {
  const auto jpeg = EncodeJpeg(export_, 90);
  publisher_.AddGalleryFile("3-1.jpeg", std::string(jpeg.begin(), jpeg.end()));
  publisher_.AddGalleryFile("3-2.tsc", std::string(work_.begin(), work_.end()));
  publisher_.AddGalleryFile("3-3.jpeg", "<html>a page, not a picture</html>");
  publisher_.AddGalleryFile("3-4.tsc", std::string(work_.begin(), work_.begin() + long(work_.size() / 2)));
  const fs::path pictures = temp_ / "Pictures", works = temp_ / "Works";
  auto download = [&](const std::string& id, const std::string& kind, const std::string& name) {
    TGallary work{id, kind, "000000", "", "0", name, "v", ""};
    return DownloadGalleryWork(*context_, servers_, work, "Anna Berg", pictures, works);
  };

  auto picture = download("3-1", "0", "Summer");
  ASSERT_EQ(picture.Result, EGalleryDownload::Saved);
  EXPECT_EQ(picture.File, pictures / "Anna Berg - Summer.jpg");
  ASSERT_TRUE(picture.Picture);
  EXPECT_EQ(picture.Picture->Width(), 300);
  EXPECT_EQ(PillowSays(picture.File), "JPEG 300 180");
  auto again = download("3-1", "0", "Summer");
  EXPECT_EQ(again.File, pictures / "Anna Berg - Summer (2).jpg") << "the first download stays";

  auto work = download("3-2", "1", "../../Evil/..\\Name:\x01");
  ASSERT_EQ(work.Result, EGalleryDownload::Saved);
  EXPECT_EQ(work.File.parent_path(), works) << work.File;
  EXPECT_EQ(work.File.filename(), "Anna Berg - .._.._Evil_.._Name_.tsc");
  const auto kept = ReadFileBytes(work.File);
  ASSERT_TRUE(kept);
  EXPECT_TRUE(*kept == work_);

  EXPECT_EQ(download("3-3", "0", "Page").Result, EGalleryDownload::Failed);
  EXPECT_EQ(download("3-4", "1", "Half").Result, EGalleryDownload::Failed);
  EXPECT_EQ(download("3-9", "1", "Missing").Result, EGalleryDownload::Failed);
  EXPECT_EQ(download("3-2", "7", "Other kind").Result, EGalleryDownload::UnknownKind);
  std::size_t files = 0;
  for (const auto& folder : {pictures, works})
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder)) ++files;
  EXPECT_EQ(files, 3u) << "nothing of a failed download is written";
  // Cut to 120 bytes at a character boundary, never inside the "\xC3\xA9".
  EXPECT_EQ(GalleryFileName("Ann", std::string(113, 'a') + "\xC3\xA9"), "Ann - " + std::string(113, 'a'));
  EXPECT_EQ(GalleryFileName("", "\n"), "-");
}

}  // namespace

TEST(GalleryAuthors, AWorkIsItsAuthorsWhereverTheNumberStandsBetweenNonDigits) {
  const std::vector<TRegistrationRecord> users = ParseUsersList(
      "Ann;Berg;a@example.com;10001;;1;1.1.1990;3;JQ;1;0;\n"
      "Bo;Lind;b@example.com;1;;1;1.1.1990;3;JQ;2;0;\n");
  const std::vector<TGallary> works = ParseGalleryWorksList(
      "10001w0001;0;000000;;0;Sunny bob;5.10;0;\n"  // a letter after the number
      "w10001;0;000000;;0;Tail;5.10;0;\n"           // the number at the end
      "110001x;0;000000;;0;Longer;5.10;0;\n"        // a digit before: another number
      "100012;0;000000;;0;Digits;5.10;0;\n"         // a digit after
      "1-7;0;000000;;0;Bob's;5.10;0;\n"
      "10001-1;0;000000;;0;Ann's first;5.10;0;\n");  // both numbers: the first one's
  ASSERT_EQ(works.size(), 6u);
  const std::vector<TGalleryAuthor> authors = BuildGalleryAuthors(users, works);
  ASSERT_EQ(authors.size(), 2u);
  EXPECT_EQ(authors[0].Caption, "Ann Berg");
  EXPECT_EQ(authors[0].Works, (std::vector<std::size_t>{0, 1, 5}));
  EXPECT_EQ(authors[1].Works, (std::vector<std::size_t>{4}));
}
