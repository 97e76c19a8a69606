// The element download against the stand-in publisher: every kind installed
// where its readers look, parts that resume, a stopped run, and a hostile index
// that must write nothing outside the program's folder.
#include <gtest/gtest.h>

#include <algorithm>

#include "editor/TemplateBase.h"
#include "online/ElementDownload.h"
#include "online/OnlineServers.h"
#include "online/TransferContext.h"
#include "picture/Archive.h"
#include "picture/Compression.h"
#include "picture/PackedPicture.h"
#include "platform/FileIO.h"
#include "platform/IniFile.h"
#include "platform/ProgramFolders.h"
#include "platform/TextFile.h"
#include "shell/InterfaceInfo.h"
#include "shell/MainSettings.h"
#include "support/ArchiveWriter.h"
#include "support/PictureCompare.h"
#include "support/PictureJudges.h"
#include "support/StandInPublisher.h"
#include "support/TestPaths.h"

namespace {

std::string Read(const fs::path& path) {
  auto bytes = ReadFileBytes(path);
  return bytes ? std::string(bytes->begin(), bytes->end()) : std::string("<missing>");
}

std::string PackedPicture(int width, int height, std::uint8_t shade) {
  TBitmap32 bitmap(width, height, 0);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      bitmap.SetPixel(x, y, Color32(shade, std::uint8_t(x * 8), std::uint8_t(y * 8), std::uint8_t(x < width / 2 ? 255 : 90)));
  const std::vector<std::uint8_t> packed = PackBitmap32(bitmap, 90);
  return std::string(packed.begin(), packed.end());
}

// The installed Photoshop file as Pillow reads it equals the served packed
// picture as it unpacks, pixel for pixel, alpha included (the colour went
// through JPEG once, on the server's side).
void ExpectSamePicture(const fs::path& psd, const std::string& served) {
  const auto expected = UnpackBitmap32(
      std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(served.data()), served.size()));
  ASSERT_TRUE(expected);
  const TJudged judged = PillowRead(psd);
  EXPECT_EQ(judged.Mode, "RGBA") << psd;
  EXPECT_TRUE(SamePicture(judged.Picture, *expected)) << psd;
}

std::vector<std::string> FilesBelow(const fs::path& dir) {
  std::vector<std::string> list;
  ListFilesInTree(dir, "", list);
  std::sort(list.begin(), list.end());
  return list;
}

class ElementDownload : public ::testing::Test {
 protected:
  void SetUp() override {
    exe_ = temp_ / "app";
    fs::create_directories(exe_ / "Intfaces" / "DEFAULT");
    WriteTestFile(exe_ / "Intfaces" / "DEFAULT" / "INTFACE.TXT", "the installed interface");
    WriteTestFile(exe_ / "PartBase.txt", "$PART_TYPE 1\r\n1;0;0;long02.psd;Long;\r\n");
    ini_ = std::make_unique<TIniFile>(exe_ / "Tressary.ini");
    ini_->WriteString("TEMPLATE TYPES", "Type1", "1;HairW;Hairstyles for women;40;F;");
    ini_->WriteString("TEMPLATE TYPES", "Type2", "2;Hats;Hats;60;F;");
    ini_->WriteString("DIRECTORIES", "InterfaceDirName", "Intfaces");
    ini_->WriteString("DIRECTORIES", "QueriesDirName", "Queries");
    ini_->WriteString("INTERFACES", "Interface1", "DEFAULT;Tressary;1;");
    ini_->WriteString("Servers", "CGIServer", publisher_.CgiServer());
    ini_->WriteString("Publishers", "Server1", publisher_.BaseUrl() + ";Stand-in;local;");
    context_ = std::make_unique<TTransferContext>(ETransferUse::ElementDownload, queue_);
    context_->SetTimeouts(5, 5);
    downloader_ = std::make_unique<TElementDownloader>(*context_, *ini_, exe_);
    downloader_->ReportDate = [] { return "07.12.2026"; };
  }

  // Every element the publisher offers, as the window's jobs.
  std::vector<TDownloadJob> Jobs(const TNewElements& found) {
    std::vector<TDownloadJob> jobs;
    auto add = [&](int kind, std::int64_t size, auto setter) {
      TDownloadJob job;
      job.Kind = kind;
      job.BaseUrl = publisher_.BaseUrl();
      job.Size = size;
      setter(job);
      jobs.push_back(std::move(job));
    };
    for (const auto& t : found.Templates) add(ekTemplate, t.Size, [&](TDownloadJob& j) { j.Template = t; });
    for (const auto& m : found.Models) add(ekModel, m.Size, [&](TDownloadJob& j) { j.Model = m; });
    for (const auto& m : found.Messages) add(ekMessage, m.Size, [&](TDownloadJob& j) { j.Message = m; });
    if (found.QuerySet) add(ekQuerySet, found.QuerySet->Size, [&](TDownloadJob& j) { j.QuerySet = found.QuerySet; });
    for (const auto& i : found.Interfaces) add(ekInterfaceItem, i.Size, [&](TDownloadJob& j) { j.Interface = i; });
    return jobs;
  }

  std::vector<EJobResult> RunAll(const std::vector<TDownloadJob>& jobs, bool* completed = nullptr) {
    std::vector<EJobResult> results(jobs.size(), EJobResult::Failed);
    const bool done = downloader_->Run(jobs, [&](std::size_t i, EJobResult r) { results[i] = r; });
    if (completed) *completed = done;
    return results;
  }

  TAnalysis Analyze() { return downloader_->AnalyzeServer(publisher_.BaseUrl()); }

  std::vector<TArchiveEntry> SpringFiles() {
    std::string big(3000, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = char(i * 7 + 3);
    return {{"SPRING\\1024-768", "INTFACE.TXT", "2", "[FormMain]\r\nLeft=10\r\n"},
            {"SPRING\\1024-768", "FormMain.psd", "2", big}};
  }

  TempFolder temp_;
  fs::path exe_;
  TStandInPublisher publisher_;
  TTaskQueue queue_;
  std::unique_ptr<TIniFile> ini_;
  std::unique_ptr<TTransferContext> context_;
  std::unique_ptr<TElementDownloader> downloader_;
};

TEST_F(ElementDownload, EveryKindInstallsWhereItsReaderLooks) {
  const std::string bob = PackedPicture(12, 10, 200), cap = PackedPicture(8, 8, 40), band = PackedPicture(6, 9, 120);
  publisher_.AddFile("hairw/bob01.fll", bob);
  publisher_.AddFile("hats/cap.sht", cap);
  publisher_.AddFile("hairw/band.fll", band);
  const std::string thumbnail = PackedPicture(20, 16, 70);
  publisher_.AddFile("models/model1/model1.sht", thumbnail);
  const std::string page = "<html><body>Spring</body></html>", logo(700, '\x89');
  publisher_.AddFile("messages/news1.eng", MakeArchive({{"", "index.htm", "2", page}, {"img", "logo.png", "2", logo}}));
  const std::string question = "$QUERY 1\r\nWhich length?\r\n";
  publisher_.AddFile("queries/queries.arh", MakeArchive({{"", "QUERIES.TXT", "2", question}}));
  const auto volumes = publisher_.AddInterfaceParts("intfaces/spring/1024-768", SpringFiles(), 2);
  publisher_.AddIndexLines("partbase", {"1;5;x7;Bob01;Bob;F;1;" + std::to_string(bob.size()),
                                        "2;0;0;Cap;Cap;;0;" + std::to_string(cap.size())});
  publisher_.AddIndexLines("models", {"[M1;Pub;Model1;First model;Classic]", "1;0;0;Band;Band;;1;10",
                                      "1;0;0;Long02;Long;;1;2000"});
  publisher_.AddIndexLines("messages", {"news1;Spring news;500"});
  publisher_.AddIndexLines("query", {"01.02.2026;queries.arh;Question set;900"});
  publisher_.AddIndexLines("interfaces", {"[Spring;SPRING]", "1024-768;2;" + std::to_string(volumes[0].size()) + ";" +
                                                                 std::to_string(volumes[1].size())});
  publisher_.Publish();

  const TAnalysis analysis = Analyze();
  ASSERT_EQ(analysis.Result, EAnalysis::NewElements);
  std::vector<TDownloadJob> jobs = Jobs(analysis.Elements);
  ASSERT_EQ(jobs.size(), 6u);
  // The list a shown template browser holds.
  TTemplateBase shown;
  ASSERT_TRUE(shown.LoadList(exe_, nullptr));
  for (std::size_t i = 0; i < jobs.size(); ++i) jobs[i].Caption = "job" + std::to_string(i);
  // The progress label names the element whose bytes come in.
  std::string label;
  std::vector<std::string> labelled;
  downloader_->OnLabel = [&](const std::string& text) { label = text; };
  downloader_->OnProgress = [&](std::int64_t, std::int64_t) {
    if (labelled.empty() || labelled.back() != label) labelled.push_back(label);
  };
  bool completed = false;
  const std::vector<EJobResult> results = RunAll(jobs, &completed);
  EXPECT_EQ(labelled, (std::vector<std::string>{"job0", "job1", "job2", "job3", "job4", "job5 0", "job5 1"}));
  downloader_->OnProgress = nullptr;
  EXPECT_TRUE(completed);
  for (std::size_t i = 0; i < results.size(); ++i) EXPECT_EQ(results[i], EJobResult::Installed) << "job " << i;

  // Templates: pictures as served, lines that the template browser reads.
  ExpectSamePicture(exe_ / "hairw" / "Bob01.psd", bob);
  ExpectSamePicture(exe_ / "hats" / "Cap.psd", cap);
  ExpectSamePicture(exe_ / "hairw" / "Band.psd", band);
  EXPECT_TRUE(shown.ListChanged(exe_)) << "the template browser reloads its list";
  TTemplateBase base;
  base.LoadTypes(*ini_);
  ASSERT_TRUE(base.LoadList(exe_, [](const std::string& warning) { ADD_FAILURE() << warning; }));
  ASSERT_EQ(base.List.size(), 3u);
  EXPECT_EQ(base.List[1].FileName, "HairW\\Bob01.psd");
  EXPECT_EQ(base.List[1].X, 5);
  EXPECT_EQ(base.List[1].Y, 0) << "a field that is not a number is written as 0";
  EXPECT_EQ(base.List[1].Flags, "F;") << "every field followed by its delimiter";
  EXPECT_EQ(base.List[2].FileName, "Hats\\Cap.psd");

  // The ready solutions find the model's thumbnail where its header points.
  ExpectSamePicture(exe_ / "models" / "Model1" / "Model1.psd", thumbnail);
  EXPECT_EQ(Read(exe_ / "Models.txt"),
            "[M1;Pub;models\\Model1\\Model1.psd;First model;Classic]\r\n1;0;0;hairw\\Band.psd;Band;;1;10;1;\r\n"
            "1;0;0;hairw\\Long02.psd;Long;;1;2000;0;\r\n");
  EXPECT_EQ(Read(exe_ / "MESSAGES" / "news1" / "index.htm"), page);
  EXPECT_EQ(Read(exe_ / "MESSAGES" / "news1" / "img" / "logo.png"), logo);
  EXPECT_EQ(ini_->ReadString("MESSAGES", "news1", ""), "news1;Spring news;");
  EXPECT_EQ(Read(exe_ / "Queries" / "QUERIES.TXT"), question) << "the folder found ignoring letter case";
  EXPECT_EQ(ini_->ReadString("QUERIES", "Query", ""), "01.02.2026;queries.arh;Question set;");

  const auto spring = SpringFiles();
  EXPECT_EQ(Read(exe_ / "Intfaces" / "SPRING" / "1024-768" / "INTFACE.TXT"), spring[0].data);
  EXPECT_EQ(Read(exe_ / "Intfaces" / "SPRING" / "1024-768" / "FormMain.psd"), spring[1].data);
  EXPECT_FALSE(fs::exists(exe_ / "Intfaces" / "SPRING" / "1024-768" / "Arh")) << "the parts are gone";
  EXPECT_EQ(FilesBelow(exe_ / "Intfaces"),
            (std::vector<std::string>{"DEFAULT\\INTFACE.TXT", "SPRING\\1024-768\\FormMain.psd",
                                      "SPRING\\1024-768\\INTFACE.TXT"}))
      << "no staging folder left";
  EXPECT_EQ(ini_->ReadString("Interfaces", "Interface2", ""), "SPRING;Spring;0;");
  SetProgramFolders({});
  const TInterfaceList list = ReadInterfaceList(TIniFile(exe_ / "Tressary.ini"));
  EXPECT_EQ(list.Active, "DEFAULT\\") << "installed, not active";
  ASSERT_EQ(list.Entries.size(), 2u);
  EXPECT_EQ(list.Entries[1].DirName, "SPRING");
  SetProgramFolders({});

  ASSERT_EQ(publisher_.Reports().size(), 1u);
  EXPECT_EQ(publisher_.Reports()[0], "unknown;unknown;unknown;unknown;unknown;unknown;unknown;;07.12.2026;");

  // Everything is here now; a second interface install registers nothing twice.
  EXPECT_EQ(Analyze().Result, EAnalysis::NothingNew);
  fs::remove_all(exe_ / "Intfaces" / "SPRING" / "1024-768");
  const TAnalysis again = Analyze();
  ASSERT_EQ(again.Elements.Interfaces.size(), 1u);
  EXPECT_EQ(RunAll(Jobs(again.Elements)), std::vector<EJobResult>{EJobResult::Installed});
  EXPECT_EQ(ini_->ReadSection("Interfaces").size(), 2u);
  EXPECT_EQ(publisher_.Reports().size(), 1u) << "one report per window";
}

TEST_F(ElementDownload, AnInterfaceThatCannotBeFetchedLeavesNoFolder) {
  publisher_.AddIndexLines("interfaces", {"[Gone;GONE]", "1024-768;2;10;10"});
  publisher_.Publish();
  EXPECT_EQ(RunAll(Jobs(Analyze().Elements)), std::vector<EJobResult>{EJobResult::Failed});
  EXPECT_EQ(publisher_.Fetched().back(), "/pub/intfaces/gone/1024-768/arh/part0.arh");
  EXPECT_FALSE(fs::exists(exe_ / "Intfaces" / "GONE"));
}

TEST_F(ElementDownload, ArchivesPastTheirCapInstallNothingAndSayWhy) {
  const auto zeros = CompressStream(std::vector<std::uint8_t>(kArchiveFloorBytes + 1, 0));
  const std::vector<TArchiveEntry> bomb = {{"", "index.htm", "2", "<html></html>"},
                                           {"img", "huge.bin", "0", std::string(zeros.begin(), zeros.end())}};
  publisher_.AddFile("messages/news1.eng", MakeArchive(bomb));
  publisher_.AddInterfaceParts("intfaces/spring/1024-768", bomb, 2);
  publisher_.AddIndexLines("messages", {"news1;Spring news;200"});
  publisher_.AddIndexLines("interfaces", {"[Spring;SPRING]", "1024-768;2;;"});
  publisher_.Publish();
  const TAnalysis analysis = Analyze();
  ASSERT_EQ(analysis.Result, EAnalysis::NewElements);
  const auto jobs = Jobs(analysis.Elements);
  ASSERT_EQ(jobs.size(), 2u);
  for (const TDownloadJob& job : jobs) {
    EXPECT_EQ(downloader_->RunJob(job), EJobResult::Failed) << job.Caption;
    EXPECT_NE(downloader_->JobProblem().find("would write more than"), std::string::npos) << downloader_->JobProblem();
  }
  EXPECT_FALSE(fs::exists(exe_ / "MESSAGES" / "news1"));
  EXPECT_EQ(FilesBelow(exe_ / "Intfaces"), std::vector<std::string>{"DEFAULT\\INTFACE.TXT"});
  EXPECT_FALSE(ini_->ValueExists("MESSAGES", "news1"));
  EXPECT_EQ(ini_->ReadSection("Interfaces").size(), 1u) << "the installed interface alone";
}

TEST_F(ElementDownload, UnpackingShowsTheBytesItWrote) {
  const std::string page = "<html><body>Spring</body></html>", logo(5000, '\x89');
  const std::string archive = MakeArchive({{"", "index.htm", "2", page}, {"img", "logo.png", "2", logo}});
  publisher_.AddFile("messages/news1.eng", archive);
  publisher_.AddIndexLines("messages", {"news1;Spring news;" + std::to_string(archive.size())});
  publisher_.Publish();
  const auto jobs = Jobs(Analyze().Elements);
  ASSERT_EQ(jobs.size(), 1u);
  std::vector<std::pair<std::int64_t, std::int64_t>> shown;
  downloader_->OnProgress = [&](std::int64_t total, std::int64_t done) { shown.emplace_back(total, done); };
  ASSERT_EQ(downloader_->RunJob(jobs[0]), EJobResult::Installed);
  const std::int64_t files = std::int64_t(page.size() + logo.size());
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(shown.back(), std::make_pair(files, files)) << "the fetch's own reports count the archive's bytes";
}

TEST_F(ElementDownload, ABrokenPartResumesWhereItBroke) {
  const auto volumes = publisher_.AddInterfaceParts("intfaces/spring/1024-768", SpringFiles(), 3);
  publisher_.AddIndexLines("interfaces", {"[Spring;SPRING]", "1024-768;3;" + std::to_string(volumes[0].size()) + ";" +
                                                                 std::to_string(volumes[1].size()) + ";"});
  publisher_.Publish();
  publisher_.DropAfter("intfaces/spring/1024-768/arh/part1.arh", 100);

  bool completed = true;
  EXPECT_EQ(RunAll(Jobs(Analyze().Elements), &completed), std::vector<EJobResult>{EJobResult::ConnectionLost});
  EXPECT_FALSE(completed);
  EXPECT_TRUE(publisher_.Reports().empty()) << "no report after a broken run";
  const fs::path parts = exe_ / "Intfaces" / "SPRING" / "1024-768" / "Arh";
  EXPECT_EQ(Read(parts / "part0.arh"), volumes[0]);
  EXPECT_FALSE(fs::exists(parts / "part1.arh")) << "a part cut short is not kept";
  EXPECT_EQ(ini_->ReadSection("Interfaces").size(), 1u);

  // The item is still new while its parts wait; the next run fetches from part 1.
  const auto before = publisher_.Fetched().size();
  const TAnalysis again = Analyze();
  ASSERT_EQ(again.Elements.Interfaces.size(), 1u);
  EXPECT_EQ(RunAll(Jobs(again.Elements), &completed), std::vector<EJobResult>{EJobResult::Installed});
  EXPECT_TRUE(completed);
  const auto fetched = publisher_.Fetched();
  EXPECT_EQ(std::vector<std::string>(fetched.begin() + before, fetched.end()),
            (std::vector<std::string>{"/pub/server.eng", "/pub/intfaces/spring/1024-768/arh/part1.arh",
                                      "/pub/intfaces/spring/1024-768/arh/part2.arh"}));
  EXPECT_EQ(Read(exe_ / "Intfaces" / "SPRING" / "1024-768" / "FormMain.psd"), SpringFiles()[1].data);
  EXPECT_EQ(publisher_.Reports().size(), 1u);
}

TEST_F(ElementDownload, PreviewsServeTheWindowAndTheDownload) {
  const std::string sheet = PackedPicture(10, 12, 60), face = PackedPicture(16, 16, 90);
  publisher_.AddFile("hats/cap.sht", sheet);
  publisher_.AddFile("intfaces/spring/preview.sht", face);
  TDownloadJob cap;
  cap.Kind = ekTemplate;
  cap.BaseUrl = publisher_.BaseUrl();
  cap.Template = *ParseElementRecord("2;0;0;Cap;Cap;;0;" + std::to_string(sheet.size()));
  std::string packed;
  fs::path kept;
  ASSERT_TRUE(downloader_->FetchPreview(cap, packed, &kept));
  EXPECT_EQ(packed, sheet);
  ASSERT_FALSE(kept.empty()) << "a preview that is the picture itself is kept";
  cap.LocalPackedFile = kept;
  EXPECT_EQ(downloader_->RunJob(cap), EJobResult::Installed);
  ExpectSamePicture(exe_ / "hats" / "Cap.psd", sheet);
  EXPECT_EQ(publisher_.Fetched(), std::vector<std::string>{"/pub/hats/cap.sht"}) << "not fetched twice";

  TDownloadJob spring;
  spring.Kind = ekInterface;
  spring.BaseUrl = publisher_.BaseUrl();
  spring.Interface = ParseInterfaceItems({"[Spring;SPRING]", "1024-768;1;"}).at(0);
  ASSERT_TRUE(downloader_->FetchPreview(spring, packed));
  std::string size;
  RunCommand("identify -format '%m %w %h' '" + (exe_ / "Intfaces" / "SPRING" / "preview.jpg").string() + "'", &size);
  EXPECT_EQ(size, "JPEG 100 100");
}

TEST_F(ElementDownload, PartsOnDiskAreKeptOnlyAtTheirSize) {
  const fs::path parts = temp_ / "Arh";
  WriteTestFile(parts / "part0.arh", "12345");
  WriteTestFile(parts / "part1.arh", "1234");
  WriteTestFile(parts / "part2.arh", "anything");
  const auto missing = CheckArchiveParts(parts, 4, {5, 5, std::nullopt});
  ASSERT_EQ(missing.size(), 2u);
  EXPECT_EQ(missing[0].Number, 1) << "one byte short";
  EXPECT_EQ(missing[0].Size, 5);
  EXPECT_EQ(missing[1].Number, 3);
  EXPECT_FALSE(fs::exists(parts / "part1.arh"));
  EXPECT_TRUE(fs::exists(parts / "part2.arh")) << "no size given: kept";
  EXPECT_FALSE(AllPartsPresent(parts, 3));
  WriteTestFile(parts / "part1.arh", "12345");
  EXPECT_TRUE(AllPartsPresent(parts, 3));
  EXPECT_EQ(TotalKilobytes(0), 0);
  EXPECT_EQ(TotalKilobytes(1), 1);
  EXPECT_EQ(TotalKilobytes(1499), 1);
  EXPECT_EQ(TotalKilobytes(1500), 2);
  EXPECT_EQ(TotalKilobytes(std::int64_t(5) << 40), 5497558139) << "sizes past 4 GB";
}

TEST_F(ElementDownload, AStopKeepsWhatWasInstalledAndSendsNoReport) {
  const std::string a = PackedPicture(8, 8, 10), b = PackedPicture(40, 40, 20), c = PackedPicture(8, 8, 30);
  publisher_.AddFile("hairw/a.fll", a);
  publisher_.AddFile("hairw/c.fll", c);
  THttpReply slow = THttpReply::Text(200, b);
  slow.pieceBytes = 64;
  slow.pieceDelayMs = 20;
  publisher_.Server().Route("/pub/hairw/b.fll", slow);
  publisher_.AddIndexLines("partbase", {"1;0;0;A;A;;1;1", "1;0;0;B;B;;1;1", "1;0;0;C;C;;1;1"});
  publisher_.Publish();
  const TAnalysis analysis = Analyze();
  downloader_->OnProgress = [&](std::int64_t, std::int64_t received) {
    if (received > 0 && publisher_.Server().Requests().size() == 3) downloader_->Stop();
  };
  bool completed = true;
  const auto results = RunAll(Jobs(analysis.Elements), &completed);
  EXPECT_FALSE(completed);
  EXPECT_EQ(results[0], EJobResult::Installed);
  EXPECT_EQ(results[1], EJobResult::Stopped);
  EXPECT_TRUE(publisher_.Reports().empty());
  EXPECT_TRUE(fs::exists(exe_ / "hairw" / "A.psd"));
  EXPECT_FALSE(fs::exists(exe_ / "hairw" / "B.psd"));
  EXPECT_FALSE(fs::exists(exe_ / "hairw" / "C.psd"));
  downloader_->OnProgress = nullptr;
  const TAnalysis rest = Analyze();
  ASSERT_EQ(rest.Elements.Templates.size(), 2u) << "what was not installed is still new";
  EXPECT_EQ(rest.Elements.Templates[0].Key(), "B");
}

TEST_F(ElementDownload, AHostileIndexWritesNothingOutsideTheProgram) {
  const std::string pic = PackedPicture(8, 8, 10);
  publisher_.AddFile("hairw/fine.fll", pic);
  // An interface archive that reaches into the installed one, and one that climbs out.
  const auto into = publisher_.AddInterfaceParts("intfaces/evil/a", {{"DEFAULT", "INTFACE.TXT", "2", "taken over"}}, 1);
  const auto out = publisher_.AddInterfaceParts("intfaces/evil/b", {{"..\\..\\..", "escaped.txt", "2", "out"}}, 1);
  publisher_.AddIndexLines("partbase", {"1;0;0;..\\..\\..\\escaped;Escaped;;1;1", "1;0;0;/tmp/abs;Abs;;1;1",
                                        "1;0;0;c:\\win;Drive;;1;1", "1;0;0;Fine;Fine;;1;99999999999999999999"});
  publisher_.AddIndexLines("messages", {"..\\..\\up;Up;1", "\\root;Root;1", "a\\\\b;Empty part;1", "bad;Bad;1"});
  // Archives whose harmless entry comes before one that climbs out.
  const std::string climbing = MakeArchive({{"ok", "readme.txt", "2", "fine"}, {"..\\..", "evil.txt", "2", "x"}});
  publisher_.AddFile("messages/bad.eng", climbing);
  publisher_.AddFile("queries/q.arh", climbing);
  publisher_.AddIndexLines("model types", {"../../evil;Evil;", "K;Kids;"});
  publisher_.AddIndexLines("interfaces", {"[Evil;EVIL]", "a;1;" + std::to_string(into[0].size()),
                                          "b;1;" + std::to_string(out[0].size()), "..;1;1", "[Up;..\\..]", "c;1;1"});
  publisher_.AddIndexLines("query", {"01.01.2030;q.arh;Climb;1"});
  publisher_.Publish();
  const TAnalysis analysis = Analyze();
  ASSERT_EQ(analysis.Result, EAnalysis::NewElements);
  EXPECT_EQ(analysis.Elements.Templates.size(), 1u);
  EXPECT_EQ(analysis.Elements.Templates[0].Size, 0) << "a size past 64 bits counts as unknown";
  ASSERT_EQ(analysis.Elements.Messages.size(), 1u);
  EXPECT_EQ(analysis.Elements.Refused,
            (std::vector<std::string>{"..\\..\\..\\escaped", "/tmp/abs", "c:\\win", "../../evil", "..\\..\\up",
                                      "\\root", "a\\\\b", "..", "..\\.."}))
      << "every hostile name is said";
  EXPECT_EQ(ini_->ReadSectionValues("MODEL TYPES"), std::vector<std::string>{"Type1=K;Kids;"});
  ASSERT_EQ(analysis.Elements.Interfaces.size(), 2u);

  // The jobs as a hostile window could still hand them over.
  std::vector<TDownloadJob> jobs = Jobs(analysis.Elements);
  TDownloadJob climb;
  climb.Kind = ekTemplate;
  climb.BaseUrl = publisher_.BaseUrl();
  climb.Template = *ParseElementRecord("1;0;0;..\\..\\..\\escaped;Escaped;;1;1");
  jobs.push_back(climb);
  TDownloadJob query;
  query.Kind = ekQuerySet;
  query.BaseUrl = publisher_.BaseUrl();
  query.QuerySet = TQuerySet{"01.01.2030", "..\\..\\q.arh", "Climb", 1};
  jobs.push_back(query);
  const auto results = RunAll(jobs);
  EXPECT_EQ(results, (std::vector<EJobResult>{EJobResult::Installed, EJobResult::Failed, EJobResult::Failed,
                                              EJobResult::Failed, EJobResult::Failed, EJobResult::Failed,
                                              EJobResult::Failed}))
      << "the run goes on with the next element";
  EXPECT_FALSE(fs::exists(exe_ / "MESSAGES" / "bad")) << "nothing of a refused message";
  EXPECT_TRUE(ini_->ReadSection("MESSAGES").empty());
  EXPECT_TRUE(ini_->ReadString("QUERIES", "Query", "").empty());

  EXPECT_EQ(Read(exe_ / "Intfaces" / "DEFAULT" / "INTFACE.TXT"), "the installed interface");
  EXPECT_EQ(ini_->ReadSection("Interfaces").size(), 1u);
  EXPECT_EQ(FilesBelow(temp_.Path()).size(), FilesBelow(exe_).size()) << "nothing beside the program folder";
  for (const std::string& file : FilesBelow(exe_ / "Intfaces")) EXPECT_EQ(file, "DEFAULT\\INTFACE.TXT");
}

TEST(InterfaceInstall, AnItemWithNoRoomBesideTheInstalledFilesInstallsNothing) {
  TempFolder temp;
  const fs::path interfaces = temp / "Intfaces";
  // The installed interface has a folder where the item brings a file.
  WriteTestFile(interfaces / "Blue" / "800-600" / "Main.psd", "installed");
  std::vector<TArchiveEntry> entries;
  for (int i = 0; i < 20; ++i) entries.push_back({"blue", "new" + std::to_string(i) + ".txt", "2", "new"});
  entries.push_back({"blue", "800-600", "2", "a file in place of a folder"});
  const fs::path parts = temp / "parts";
  WriteTestFile(parts / "part0.arh", MakeArchive(entries, ";0;0"));
  const TFileResult<> clash = InstallInterfaceParts(parts, interfaces, "Blue");
  ASSERT_FALSE(clash);
  EXPECT_EQ(clash.Error().Cause, TFileFault::CannotWrite);
  EXPECT_EQ(FilesBelow(interfaces), (std::vector<std::string>{"Blue\\800-600\\Main.psd"}));
  EXPECT_FALSE(fs::exists(parts));
  // Without the clash the same item installs whole.
  entries.pop_back();
  WriteTestFile(parts / "part0.arh", MakeArchive(entries, ";0;0"));
  EXPECT_TRUE(InstallInterfaceParts(parts, interfaces, "Blue"));
  EXPECT_EQ(FilesBelow(interfaces).size(), 21u);
}

}  // namespace
