// The simulated host's file services as the module meets them: the INI reader
// behind ReadFileSetting, and ComposePath, ProbeFile and ReadFileSetting called
// through the module's own wrappers and the host's routine tables, in memory
// and on the real file system.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <ostream>
#include <string>

#include "host/host_calls.h"
#include "ini_file.h"
#include "module_fixture.h"

namespace {

struct IniCase {
  const char* Name;
  const char* Contents;
  const char* Section;
  const char* Key;
  const char* Value;  // nullptr: not found
};

void PrintTo(const IniCase& c, std::ostream* os) { *os << c.Name; }

class IniLookupTest : public ::testing::TestWithParam<IniCase> {};

TEST_P(IniLookupTest, FindsTheTrimmedValueOfTheFirstMatchingKey) {
  const IniCase& c = GetParam();
  std::string value = "untouched";
  const bool found = simhost::FindIniValue(c.Contents, c.Section, c.Key, &value);
  EXPECT_EQ(found, c.Value != nullptr);
  if (c.Value != nullptr) {
    EXPECT_EQ(value, c.Value);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Files, IniLookupTest,
    ::testing::Values(
        IniCase{"Plain", "[Airframe]\nGmax = 9.0\n", "Airframe", "Gmax", "9.0"},
        IniCase{"NamesIgnoreCase", "[AIRFRAME]\ngMAX=9\n", "airframe", "GmAx", "9"},
        IniCase{"BlanksAroundEverything", "  [ Airframe ]  \r\n\t Gmax\t=\t 9.0 \t\r\n",
                "Airframe", "Gmax", "9.0"},
        IniCase{"InnerBlanksAndEqualsKept", "[Airframe]\nGmax = 650 knots = fast\n",
                "Airframe", "Gmax", "650 knots = fast"},
        IniCase{"NoClosingNewline", "[Airframe]\nGmax = 9", "Airframe", "Gmax", "9"},
        IniCase{"CommentsIgnored",
                "; Gmax = 1\n[Airframe]\n# Gmax = 2\n   ; Gmax = 3\n\n\nGmax = 4\n", "Airframe",
                "Gmax", "4"},
        IniCase{"CommentedSectionIsNoSection", "[Engine]\n;[Airframe]\nGmax = 9\n", "Airframe",
                "Gmax", nullptr},
        IniCase{"EmptyValue", "[Airframe]\nGmax =   \n", "Airframe", "Gmax", nullptr},
        IniCase{"FirstDuplicateWins", "[Airframe]\nGmax = 1\nGMAX = 2\n", "Airframe", "Gmax",
                "1"},
        IniCase{"FirstDuplicateWinsEvenEmpty", "[Airframe]\nGmax =\nGmax = 2\n", "Airframe",
                "Gmax", nullptr},
        IniCase{"KeyInAnotherSection", "[Engine]\nGmax = 9\n[Airframe]\nVmax = 1\n",
                "Airframe", "Gmax", nullptr},
        IniCase{"KeyBeforeAnySection", "Gmax = 9\n[Airframe]\nVmax = 1\n", "Airframe", "Gmax",
                nullptr},
        IniCase{"SectionOpenedTwice", "[Airframe]\nVmax = 1\n[Engine]\nGmax = 2\n[Airframe]\nGmax = 3\n",
                "Airframe", "Gmax", "3"},
        IniCase{"NoPrefixMatches", "[Airframes]\nGmax = 1\n[Airframe]\nGmaxx = 2\nGma = 3\n",
                "Airframe", "Gmax", nullptr},
        IniCase{"LineWithoutEqualsSkipped", "[Airframe]\nGmax\nGmax = 9\n", "Airframe", "Gmax",
                "9"},
        IniCase{"EmptyFile", "", "Airframe", "Gmax", nullptr},
        // Editors that save UTF-8 put a byte-order mark before the first section.
        IniCase{"ByteOrderMarkBeforeFirstSection", "\xEF\xBB\xBF[Airframe]\nGmax = 9\n",
                "Airframe", "Gmax", "9"}),
    [](const ::testing::TestParamInfo<IniCase>& file) { return std::string(file.param.Name); });

TEST(IniNames, MatchIgnoringAsciiCaseOnly) {
  EXPECT_TRUE(simhost::EqualsIgnoringCase("LandingGear", "LANDINGgear"));
  EXPECT_FALSE(simhost::EqualsIgnoringCase("Brake", "Brakes"));
  EXPECT_FALSE(simhost::EqualsIgnoringCase("", "x"));
  // Neighbours of the letters that a careless fold (c | 0x20) would join.
  EXPECT_FALSE(simhost::EqualsIgnoringCase("[", "{"));
  EXPECT_FALSE(simhost::EqualsIgnoringCase("@", "`"));
  // Letters outside ASCII are compared as they are, whatever the locale.
  EXPECT_FALSE(simhost::EqualsIgnoringCase("\xC9", "\xE9"));
}

// The host services through the module's wrappers, as a load calls them.
using HostFileServicesTest = ModuleTest;

constexpr uint8_t Sentinel = 0x5A;  // bytes the host must not write

TEST_F(HostFileServicesTest, ComposePathJoinsFolderBackslashNameAndExtension) {
  char buffer[ksv::TextBufferBytes] = {};
  ksv::HostComposePath(buffer, "C:\\Aircraft\\Vestrel", "Kestovan");
  EXPECT_STREQ(buffer, "C:\\Aircraft\\Vestrel\\Kestovan.cfg");
  EXPECT_EQ(host().Lines(), (std::vector<std::string>{
                                "CALL ComposePath(ptr, null, \"C:\\\\Aircraft\\\\Vestrel\", "
                                "\"Kestovan\")"}));
}

// The composed path is folder + 13 characters ("\Kestovan.cfg"); 246 folder
// characters fill the 260 bytes with the terminator, 247 do not fit.
TEST_F(HostFileServicesTest, ComposePathNeverWritesPast260BytesAndRefusesWhatDoesNotFit) {
  for (size_t folderLength : {246u, 247u, 400u}) {
    SCOPED_TRACE(folderLength);
    const std::string folder(folderLength, 'F');
    char buffer[ksv::TextBufferBytes + 40];
    std::memset(buffer, Sentinel, sizeof buffer);
    ksv::HostComposePath(buffer, folder.c_str(), "Kestovan");
    if (folderLength == 246) {
      EXPECT_EQ(std::string(buffer), folder + "\\Kestovan.cfg");
      EXPECT_EQ(buffer[ksv::TextBufferBytes - 1], '\0');
    } else {
      EXPECT_STREQ(buffer, "") << "a path that does not fit is refused, not cut";
      EXPECT_EQ(ksv::HostProbeFile(buffer), -1) << "the refused path is reported missing";
    }
    for (size_t i = ksv::TextBufferBytes; i < sizeof buffer; ++i)
      ASSERT_EQ(static_cast<uint8_t>(buffer[i]), Sentinel) << "byte " << i << " written";
  }
}

TEST_F(HostFileServicesTest, ProbeFileReportsMinusOneOnlyForAMissingFile) {
  (*host().MemoryFiles)["C:\\A\\Kestovan.cfg"] = "";
  EXPECT_NE(ksv::HostProbeFile("C:\\A\\Kestovan.cfg"), -1) << "an empty file is still there";
  EXPECT_EQ(ksv::HostProbeFile("C:\\B\\Kestovan.cfg"), -1);
  EXPECT_EQ(ksv::HostProbeFile(""), -1);
  EXPECT_EQ(CallsTo("ProbeFile"), (std::vector<std::string>{
                                      "CALL ProbeFile(\"C:\\\\A\\\\Kestovan.cfg\", 36)",
                                      "CALL ProbeFile(\"C:\\\\B\\\\Kestovan.cfg\", 36)",
                                      "CALL ProbeFile(\"\", 36)",
                                  }));
}

TEST_F(HostFileServicesTest, ReadFileSettingGivesTheValueOrZeroForNoValue) {
  const std::string path = "C:\\A\\Kestovan.cfg";
  (*host().MemoryFiles)[path] = "[Airframe]\nGmax = 9.0\nGmin =\n";
  struct Lookup {
    const char* Key;
    const char* File;
    const char* Value;  // nullptr: 0 expected
  };
  for (const Lookup& c : {Lookup{"Gmax", path.c_str(), "9.0"}, Lookup{"gmax", path.c_str(), "9.0"},
                          Lookup{"Gmin", path.c_str(), nullptr},
                          Lookup{"Vmax", path.c_str(), nullptr},
                          Lookup{"Gmax", "C:\\B\\Kestovan.cfg", nullptr},
                          Lookup{"Gmax", nullptr, nullptr}}) {
    SCOPED_TRACE(c.Key + std::string(" in ") + (c.File ? c.File : "null"));
    char buffer[ksv::TextBufferBytes] = {};
    const int32_t result =
        ksv::HostReadFileSetting("Airframe", c.Key, buffer, ksv::TextBufferBytes, c.File);
    if (c.Value != nullptr) {
      EXPECT_NE(result, 0);
      EXPECT_STREQ(buffer, c.Value);
    } else {
      EXPECT_EQ(result, 0);
    }
  }
  EXPECT_EQ(CallsTo("ReadFileSetting")[0],
            "CALL ReadFileSetting(\"Airframe\", \"Gmax\", ptr, 260, "
            "\"C:\\\\A\\\\Kestovan.cfg\", 36)");
}

TEST_F(HostFileServicesTest, ReadFileSettingCutsALongValueToTheBufferWithItsTerminator) {
  (*host().MemoryFiles)["C:\\A\\Kestovan.cfg"] = "[Airframe]\nGmax = 123456789012\n";
  char buffer[16];
  std::memset(buffer, Sentinel, sizeof buffer);
  EXPECT_NE(ksv::HostReadFileSetting("Airframe", "Gmax", buffer, 8, "C:\\A\\Kestovan.cfg"), 0);
  EXPECT_STREQ(buffer, "1234567");
  for (size_t i = 8; i < sizeof buffer; ++i)
    EXPECT_EQ(static_cast<uint8_t>(buffer[i]), Sentinel) << "byte " << i << " written";
}

// simhost.exe has no memory files: the same services on a real file.
TEST_F(HostFileServicesTest, ServesARealFileWhenNoMemoryFilesAreSet) {
  host().MemoryFiles.reset();
  const std::string path = ::testing::TempDir() + "ksv_host_file_services.cfg";
  {
    std::ofstream file(path, std::ios::binary);
    file << "; written by the test\r\n[Engine]\r\nOilTemp = 220\r\n";
  }
  char buffer[ksv::TextBufferBytes] = {};
  EXPECT_NE(ksv::HostProbeFile(path.c_str()), -1);
  EXPECT_NE(ksv::HostReadFileSetting("Engine", "OilTemp", buffer, ksv::TextBufferBytes,
                                     path.c_str()),
            0);
  EXPECT_STREQ(buffer, "220");
  std::remove(path.c_str());
  EXPECT_EQ(ksv::HostProbeFile(path.c_str()), -1);
  EXPECT_EQ(ksv::HostReadFileSetting("Engine", "OilTemp", buffer, ksv::TextBufferBytes,
                                     path.c_str()),
            0);
}

}  // namespace
