#include "editor/SetupSettings.h"

#include <gtest/gtest.h>

#include "editor/MainShell.h"
#include "platform/IniFile.h"
#include "support/TestPaths.h"

namespace {

// Python's configparser reads the written file (strict: a repeated section or
// key fails) and prints "section|key|value" for the sections asked.
std::string JudgedIni(const TempFolder& dir, const fs::path& ini, const std::string& sections) {
  WriteTestFile(dir / "judge.py",
                "import configparser, sys\n"
                "c = configparser.RawConfigParser(strict=True)\n"
                "c.optionxform = str\n"
                "c.read(sys.argv[1], encoding='utf-8')\n"
                "for s in sys.argv[2:]:\n"
                "    for k, v in c.items(s):\n"
                "        print(s + '|' + k + '|' + v)\n");
  std::string out;
  EXPECT_EQ(RunCommand("/usr/bin/python3 " + (dir / "judge.py").string() + " " + ini.string() + " " + sections, &out), 0)
      << out;
  return out;
}

}  // namespace

TEST(SetupSettingsTest, TheSettingsAreWrittenAsTheTableListsThem) {
  TMainSettings settings;
  TempFolder dir;
  const fs::path file = dir / "Tressary.ini";
  WriteTestFile(file,
                "[MUSIC]\r\nPlayMusic=NO\r\nFile1=old.wav;1;\r\nFile9=stale.wav;1;\r\n"
                "[INTERFACES]\r\nInterface1=default;Tressary;1;\r\nInterface2=Night;Night blue;0;\r\n"
                "Interface3=Broken;No number;x;\r\nInterface4=Dawn;Dawn;0;\r\n[MAIL]\r\nFromAddress=me@example.com\r\n");
  TIniFile ini(file);
  settings.PlayMusic = true;
  settings.PlaySound = true;
  settings.MailServer = "smtp.example.com";
  settings.MailPort = 587;
  settings.LeftRightMargin = 7;
  settings.TopBottomMargin = 12;
  settings.CalibrationRed = 250;
  TMusicList music;
  music.push_back(std::make_unique<TMusicFileInfo>(TMusicFileInfo{"/opt/T/Music/a.mp3", true, true}));
  music.push_back(std::make_unique<TMusicFileInfo>(TMusicFileInfo{"/home/u/b.wav", false, false}));
  WriteSetupSettings(ini, settings, music, "/opt/T/Music/", 2);
  ASSERT_TRUE(ini.UpdateFile());

  EXPECT_EQ(JudgedIni(dir, file, "MUSIC SOUND TIPS INTERFACES MAIL PRINT 'CALIBRATION COLOR'"),
            "MUSIC|PlayMusic|YES\n"
            "MUSIC|File1|$MUSICPATH$a.mp3;1;\n"
            "MUSIC|File2|/home/u/b.wav;0;\n"
            "SOUND|PlaySound|YES\n"
            "TIPS|ShowTips|NO\n"
            "INTERFACES|Interface1|DEFAULT;Tressary;0;\n"
            "INTERFACES|Interface2|NIGHT;Night blue;1;\n"
            "INTERFACES|Interface3|Broken;No number;x;\n"  // skipped by the reader, kept
            "INTERFACES|Interface4|DAWN;Dawn;0;\n"
            "MAIL|FromAddress|me@example.com\n"
            "MAIL|Server|smtp.example.com\n"
            "MAIL|Port|587\n"
            "PRINT|LeftRightMargin|7\n"
            "PRINT|TopBottomMargin|12\n"
            "CALIBRATION COLOR|Red|250\n"
            "CALIBRATION COLOR|Green|217\n"
            "CALIBRATION COLOR|Blue|188\n");

  // The default interface chosen: every entry "0;". What was written reads back.
  WriteSetupSettings(ini, settings, music, "/opt/T/Music/", 0);
  EXPECT_EQ(JudgedIni(dir, file, "INTERFACES").find(";1;"), std::string::npos);
  TMainSettings read;
  ReadMainSettings(ini, read);
  EXPECT_EQ(read.MailPort, 587);
  EXPECT_EQ(read.TopBottomMargin, 12);
  EXPECT_TRUE(read.PlayMusic);
}

TEST(SetupSettingsTest, NumbersOutOfRangeOrNoNumbersTakeTheDefaults) {
  EXPECT_EQ(MailPortFromEdit(" 587 "), 587);
  EXPECT_EQ(MailPortFromEdit("65535"), 65535);
  for (const char* bad : {"", "smtp", "0", "65536", "-25", "25x"}) EXPECT_EQ(MailPortFromEdit(bad), 25) << bad;
  EXPECT_EQ(MarginFromEdit("0", 5), 0);
  EXPECT_EQ(MarginFromEdit("45", 5), 45);
  for (const char* bad : {"46", "-1", "", "ten", "4.5"}) EXPECT_EQ(MarginFromEdit(bad, 10), 10) << bad;
  EXPECT_FALSE(StorableMusicPath("/music/a;b.mp3"));
  EXPECT_TRUE(StorableMusicPath("/music/a b.mp3"));

  TMainSettings settings;
  settings.MailPort = 1;
  ReadMainSettings(TIniFile::FromText("[MAIL]\nPort=70000\n[PRINT]\nLeftRightMargin=60\nTopBottomMargin=abc\n"), settings);
  EXPECT_EQ(settings.MailPort, 25);
  EXPECT_EQ(settings.LeftRightMargin, 5);
  EXPECT_EQ(settings.TopBottomMargin, 10);
}
