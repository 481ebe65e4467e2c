// The import of a dBase III file as a new catalog, driven directly.
#include <sys/stat.h>

#include <filesystem>
#include <map>

#include "dbf/db3_exchange.h"
#include "dbf/db3_fixture.h"
#include "platform/files/fault_file_system.h"
#include "platform/files/file_names.h"
#include "platform/files/runtime_errors.h"
#include "store/formats.h"

namespace kelvarin::test_support {
namespace {

std::string Trim(const std::string& s) {
  const size_t a = s.find_first_not_of(' ');
  if (a == std::string::npos) return "";
  return s.substr(a, s.find_last_not_of(' ') - a + 1);
}

// A letter and a number, built so that no compiler takes the literal for
// the target of a copy.
std::string Tagged(char letter, int n) {
  std::string out(1, letter);
  out += std::to_string(n);
  return out;
}

std::string Padded(const std::string& s, size_t n) {
  std::string out = s;
  out.resize(n, ' ');
  return out;
}

class Db3ImportTest : public Db3Test {
 protected:
  void SetUp() override { Start(); }
  // Writes dir/FILE and imports it as NAME, the record count box answered
  // (and the box of the entries with characters replaced, when some were).
  void Import(const std::string& file, const std::string& bytes, const std::string& name, int records,
              int replaced = 0) {
    ASSERT_TRUE(WriteFileBytes(dir_.File(file), bytes));
    host_.AnswerMsgBox(platform::MsgAnswer::OK, "DBASE contains " + std::to_string(records) + " Records");
    if (replaced > 0)
      host_.AnswerMsgBox(platform::MsgAnswer::OK, "Characters the catalog cannot hold were replaced in " +
                                                      std::to_string(replaced) + " Entries");
    db3().ImportDb3Catalog(dir_.File(file), name);
  }
  CatalogContents Catalog(const std::string& name) {
    CatalogContents c;
    EXPECT_TRUE(ReadCatalog(name, &c)) << name;
    return c;
  }
};

TEST_F(Db3ImportTest, FieldsBecomePlainFieldsOfTheFileLengthsAndTheRestLineFields) {
  Import("SMALL.DBF",
         MakeDbfBytes({{"NAME", 'C', 10}, {"QTY", 'N', 5}, {"WHEN", 'D', 8}}, {{{"Ann", "   42", "19971115"}}}),
         "SMALL", 1);
  CatalogContents c = Catalog("SMALL");
  EXPECT_EQ(c.header.RecordLength, 54);  // 17 + 23, raised
  EXPECT_EQ(c.header.EntryCount, 1);
  EXPECT_EQ(c.defs[0].FieldName, "NAME          ");
  EXPECT_EQ(c.defs[1].FieldName, "QTY           ");
  EXPECT_EQ(c.defs[2].FieldName, "WHEN          ");
  EXPECT_EQ(c.header.FieldLength[0], 10);
  EXPECT_EQ(c.header.FieldLength[1], 5);
  EXPECT_EQ(c.header.FieldLength[2], 8);
  EXPECT_EQ(c.defs[3].FieldName, "LINE 4        ");
  EXPECT_EQ(c.defs[20].FieldName, "LINE 21       ");
  for (int i = 0; i < store::kFieldCount; ++i) {
    EXPECT_EQ(c.defs[static_cast<size_t>(i)].FieldKind, store::KindPlain) << i;
    if (i >= 3) {
      EXPECT_EQ(c.header.FieldLength[static_cast<size_t>(i)], 0) << i;
    }
  }
  ASSERT_EQ(c.entries.size(), 1u);
  // Texts untrimmed: the number keeps its leading blanks, the date is
  // rewritten mm/dd/yy.
  EXPECT_EQ(c.entries[0].FieldText[0], "Ann       ");
  EXPECT_EQ(c.entries[0].FieldText[1], "   42");
  EXPECT_EQ(c.entries[0].FieldText[2], "11/15/97");

  Import("WIDE.DBF", MakeDbfBytes({{"A", 'C', 40}, {"B", 'C', 30}}, {}), "WIDE", 0);
  c = Catalog("WIDE");
  EXPECT_EQ(c.header.RecordLength, 87);
  EXPECT_TRUE(c.entries.empty());
}

TEST_F(Db3ImportTest, TwentyFiveFieldsGiveTheFirstTwentyAndTheirValues) {
  std::vector<DbfColumn> cols;
  DbfRow row;
  for (int i = 1; i <= 25; ++i) {
    cols.push_back({Tagged('F', i), 'C', 3});
    row.values.push_back(Tagged('v', i));
  }
  Import("MANY.DBF", MakeDbfBytes(cols, {row, row}), "MANY", 2);
  CatalogContents c = Catalog("MANY");
  for (int i = 0; i < 20; ++i) {
    EXPECT_EQ(Trim(c.defs[static_cast<size_t>(i)].FieldName), Tagged('F', i + 1));
    EXPECT_EQ(c.header.FieldLength[static_cast<size_t>(i)], 3);
  }
  EXPECT_EQ(c.defs[20].FieldName, "LINE 21       ");
  EXPECT_EQ(c.header.FieldLength[20], 0);
  EXPECT_EQ(c.header.RecordLength, 17 + 60);
  ASSERT_EQ(c.entries.size(), 2u);
  for (int i = 0; i < 20; ++i) EXPECT_EQ(c.entries[1].FieldText[static_cast<size_t>(i)], Padded(Tagged('v', i + 1), 3));
  EXPECT_EQ(c.entries[1].FieldText[20], "");
}

TEST_F(Db3ImportTest, DeletedRecordsBlankDatesAndAccentedLettersComeInAsTheFileHoldsThem) {
  Import("MIX.DBF",
         MakeDbfBytes({{"NAME", 'C', 12}, {"BORN", 'D', 8}, {"OK", 'L', 1}},
                      {{{"\xD1" "and\xFA", "19970101", "T"}, true},
                       {{"Zo\xEB", "        ", "F"}},
                       {{"Last", "20001231", "?"}, true}}),
         "MIX", 3);
  CatalogContents c = Catalog("MIX");
  ASSERT_EQ(c.entries.size(), 3u);
  for (const auto& e : c.entries) {
    EXPECT_EQ(e.Status, store::StatusActive);
    EXPECT_EQ(e.NextLink, 0);
    EXPECT_EQ(e.PrevLink, 0);
    EXPECT_EQ(e.MemoNumber, 0);
  }
  EXPECT_EQ(c.entries[0].FieldText[0], Padded("\xD1" "and\xFA", 12));
  EXPECT_EQ(c.entries[0].FieldText[1], "01/01/97");
  EXPECT_EQ(c.entries[1].FieldText[0], Padded("Zo\xEB", 12));
  EXPECT_EQ(c.entries[1].FieldText[1], "        ");
  EXPECT_EQ(c.entries[1].FieldText[2], "F");
  EXPECT_EQ(c.entries[2].FieldText[1], "12/31/00");
}

// Accented letters anywhere in long texts, a text that fills its field and
// one the record leaves short: the data file holds what the store itself
// would write for the same entries.
TEST_F(Db3ImportTest, LongAccentedTextsAreStoredAsTheStoreEncodesThem) {
  const std::string note = "only a note: \xC5ngstr\xF6m caf\xE9 na\xEFve \xFC";
  const std::string full = "\xC9" + std::string(14, 'x') + "\xE8";
  Import("LONG.DBF",
         MakeDbfBytes({{"NOTE", 'C', 40}, {"CODE", 'C', 16}},
                      {{{note, full}}, {{"plain ascii, longer than a word", "\xE0"}}}),
         "LONG", 2);
  CatalogContents c = Catalog("LONG");
  ASSERT_EQ(c.entries.size(), 2u);
  EXPECT_EQ(c.entries[0].FieldText[0], Padded(note, 40));
  EXPECT_EQ(c.entries[0].FieldText[1], full);
  EXPECT_EQ(c.entries[1].FieldText[1], Padded("\xE0", 16));

  const std::string dat = ReadFileBytes(dir_.File("LONG.DAT"));
  const auto length = static_cast<size_t>(c.header.RecordLength);
  ASSERT_EQ(dat.size(), 3 * length);
  for (size_t n = 0; n < 2; ++n) {
    std::string expected(length, '\0');
    store::EncodeEntry(c.entries[n], c.header, reinterpret_cast<uint8_t*>(expected.data()));
    EXPECT_EQ(dat.substr((n + 1) * length, length), expected) << n;
  }

  // Characters code page 437 lacks (ø ã Œ curly quotes) take look-alikes,
  // in a whole word or the last bytes; the entries that held any are told.
  std::string lost = MakeDbfBytes({{"NAME", 'C', 11}, {"CITY", 'C', 4}, {"WHEN", 'C', 8}},
                                  {{{"S\xF8ren", "\x93" "A\x94", "\xF8 1999"}}, {{"ab", "Oslo"}},
                                   {{"0123456789\x93", ""}}, {{"S\xE3o \x8C", ""}}});
  Import("LOST.DBF", lost, "LOST", 4, 3);
  // The same records with WHEN typed as a date (none holds one) go through
  // the record reader, which a file with no date field skips: the same
  // catalog either way.
  lost[32 + 2 * 32 + 11] = 'D';
  Import("LOSTD.DBF", lost, "LOSTD", 4, 3);
  for (const char* ext : {".DAT", ".SET"})
    EXPECT_EQ(ReadFileBytes(dir_.File(std::string("LOSTD") + ext)), ReadFileBytes(dir_.File(std::string("LOST") + ext)));
  c = Catalog("LOST");
  ASSERT_EQ(c.entries.size(), 4u);
  EXPECT_EQ(c.entries[0].FieldText[0] + c.entries[0].FieldText[1], "Soren      \"A\" ");
  EXPECT_EQ(c.entries[2].FieldText[0], "0123456789\"");
  EXPECT_EQ(c.entries[3].FieldText[0], "Sao O      ");
}

TEST_F(Db3ImportTest, AFailedReadLeavesThatEntrysFailedFieldsEmpty) {
  // Record 2 holds no date in its date field: the fields from it on are
  // empty, the one before it kept.
  const std::string path = dir_.File("BROKEN.DBF");
  std::string bytes = MakeDbfBytes({{"NAME", 'C', 6}, {"WHEN", 'D', 8}, {"CITY", 'C', 6}},
                                   {{{"Ann", "19990505", "Oslo"}}, {{"Bob", "19991399", "Rome"}}, {{"Cy", "", "Pisa"}}});
  ASSERT_TRUE(WriteFileBytes(path, bytes));
  host_.AnswerMsgBox(platform::MsgAnswer::OK, "DBASE contains 3 Records");
  host_.AnswerMsgBox(platform::MsgAnswer::OK, "Error 146\r\nInvalid date string When Reading DBaseIII File: " + path);
  db3().ImportDb3Catalog(path, "BROKEN");
  CatalogContents c = Catalog("BROKEN");
  ASSERT_EQ(c.entries.size(), 3u);
  EXPECT_EQ(c.entries[0].FieldText[2], "Oslo  ");
  EXPECT_EQ(c.entries[1].FieldText[0], "Bob   ");
  EXPECT_EQ(c.entries[1].FieldText[1], "        ");
  EXPECT_EQ(c.entries[1].FieldText[2], "      ");
  EXPECT_EQ(c.entries[2].FieldText[2], "Pisa  ");
}

TEST_F(Db3ImportTest, AFileCutShortImportsTheRecordsItHolds) {
  // The header counts 1000 records; the file holds two and a half.
  const std::string path = dir_.File("CUT.DBF");
  std::string bytes = MakeDbfBytes({{"NAME", 'C', 6}}, {{{"Ann"}}, {{"Bob"}}, {{"Cy"}}}, 1000u);
  bytes.resize(bytes.size() - 5);
  ASSERT_TRUE(WriteFileBytes(path, bytes));
  host_.AnswerMsgBox(platform::MsgAnswer::OK,
                     "Error 113\r\nInvalid DBF record number or DBT sector numberWhen Reading Header ofDBaseIII File: " + path);
  host_.AnswerMsgBox(platform::MsgAnswer::OK, "DBASE contains 2 Records");
  db3().ImportDb3Catalog(path, "CUT");
  CatalogContents c = Catalog("CUT");
  EXPECT_EQ(c.header.EntryCount, 2);
  ASSERT_EQ(c.entries.size(), 2u);
  EXPECT_EQ(c.entries[1].FieldText[0], "Bob   ");
}

TEST_F(Db3ImportTest, ReadingFieldsChecksTheHandleAndReplacesWhatTheArrayHeld) {
  const std::string path = dir_.File("READ.DBF");
  ASSERT_TRUE(WriteFileBytes(path, MakeDbfBytes({{"NAME", 'C', 4}, {"WHEN", 'D', 8}, {"CITY", 'C', 4}},
                                                {{{"Ann", "19990505", "Oslo"}}, {{"Bob", "1999XX05", "Rome"}}})));
  dbf::DbfEngine& engine = program_->dbfEngine();
  std::vector<std::string> values(30, "junk");
  int16_t err = 0, fieldNo = 0;
  db3().DbfReadRecordFields(0, err, fieldNo, values, 1);
  EXPECT_EQ(err, 104);
  db3().DbfReadRecordFields(1, err, fieldNo, values, 1);
  EXPECT_EQ(err, 105);

  int16_t handle = 0, type = 3;
  std::string name = path;
  engine.DbfOpen(handle, err, name, type, 12);
  ASSERT_EQ(err, 0);
  db3().DbfReadRecordFields(handle, err, fieldNo, values, 1);
  EXPECT_EQ(err, 0);
  EXPECT_EQ(fieldNo, 3);
  EXPECT_EQ(values, (std::vector<std::string>{" Ann 19990505Oslo", "Ann ", "05/05/99", "Oslo"}));
  // A failing field leaves itself and the fields after it empty.
  values.assign(30, "junk");
  db3().DbfReadRecordFields(handle, err, fieldNo, values, 2);
  EXPECT_EQ(err, 146);
  ASSERT_EQ(values.size(), 4u);
  EXPECT_EQ(values[1], "Bob ");
  EXPECT_EQ(values[2], "");
  EXPECT_EQ(values[3], "");
  engine.DbfClose(handle, err, 0);
}

TEST_F(Db3ImportTest, AFileTheEngineCannotOpenMakesNoCatalog) {
  const std::string text = dir_.File("NOTES.DBF");
  ASSERT_TRUE(WriteFileBytes(text, "just some text, long enough to hold a header of 32 bytes"));
  host_.AnswerMsgBox(platform::MsgAnswer::OK,
                     "Error 115\r\nInvalid file type; file is not a DBFWhen Opening DBaseIII File: " + text);
  db3().ImportDb3Catalog(text, "NOTES");
  const std::string missing = dir_.File("GONE.DBF");
  host_.AnswerMsgBox(platform::MsgAnswer::OK, "Error 53\r\nFile not foundWhen Opening DBaseIII File: " + missing);
  db3().ImportDb3Catalog(missing, "GONE");
  ASSERT_TRUE(WriteFileBytes(dir_.File("OK.DBF"), MakeDbfBytes({{"NAME", 'C', 6}}, {{{"Ann"}}})));
  host_.AnswerMsgBox(platform::MsgAnswer::OK, "DBASE contains 1 Records");
  host_.AnswerMsgBox(platform::MsgAnswer::OK, "Invalid catalog name: ../OK\rA name has 1 to 8 letters and digits.");
  db3().ImportDb3Catalog(dir_.File("OK.DBF"), "../OK");
  for (const char* f : {"NOTES.SET", "NOTES.DAT", "GONE.SET", "GONE.DAT", "../OK.SET", "../OK.DAT"})
    EXPECT_FALSE(std::filesystem::exists(dir_.File(f))) << f;
  EXPECT_EQ(host_.MousePointerShape(), platform::kPointerDefault);
}

TEST_F(Db3ImportTest, ACatalogThatCannotBeWrittenIsToldAndMakesNoDataFile) {
  const std::string path = dir_.File("FULL.DBF");
  ASSERT_TRUE(WriteFileBytes(path, MakeDbfBytes({{"NAME", 'C', 6}}, {{{"Ann"}}})));
  // A folder where the definition should go: the write fails with its cause.
  std::filesystem::create_directory(dir_.File("FULL.SET"));
  host_.AnswerMsgBox(platform::MsgAnswer::OK, "DBASE contains 1 Records");
  host_.AnswerMsgBox(platform::MsgAnswer::OK);
  db3().ImportDb3Catalog(path, "FULL");
  const auto boxes = host_.MessageTexts();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_NE(boxes[1].find(dir_.File("FULL.SET")), std::string::npos) << boxes[1];
  EXPECT_FALSE(std::filesystem::exists(dir_.File("FULL.DAT")));
  EXPECT_EQ(host_.MousePointerShape(), platform::kPointerDefault);
  for (int16_t h = 1; h <= program_->dbfEngine().MaxDbfs(); ++h) EXPECT_TRUE(program_->dbfEngine().SlotAt(h)->IsFree());
}

TEST_F(Db3ImportTest, ANegativeRecordCountImportsNoEntriesAndSaysSo) {
  const std::string path = dir_.File("HUGE.DBF");
  ASSERT_TRUE(WriteFileBytes(path, MakeDbfBytes({{"NAME", 'C', 6}}, {{{"Ann"}}}, 0xFFFFFFFFu)));
  host_.AnswerMsgBox(platform::MsgAnswer::OK,
                     "Error 113\r\nInvalid DBF record number or DBT sector numberWhen Reading Header ofDBaseIII File: " + path);
  host_.AnswerMsgBox(platform::MsgAnswer::OK, "DBASE contains 0 Records");
  db3().ImportDb3Catalog(path, "HUGE");
  CatalogContents c = Catalog("HUGE");
  EXPECT_EQ(c.header.EntryCount, 0);
  EXPECT_EQ(c.header.FieldLength[0], 6);
  // The store opens it.
  ASSERT_TRUE(st().OpenCatalog("HUGE"));
  EXPECT_EQ(st().CatalogHeader.EntryCount, 0);
}

TEST_F(Db3ImportTest, AReadOnlyFileImportsAndStaysAsItWas) {
  const std::string path = dir_.File("RO.DBF");
  const std::string bytes = MakeDbfBytes({{"NAME", 'C', 6}}, {{{"Ann"}}, {{"Bob"}}});
  ASSERT_TRUE(WriteFileBytes(path, bytes));
  ::chmod(path.c_str(), 0444);
  int16_t openMode = -1;
  host_.beforeMsgBox = [&](const std::string&) {
    for (int16_t h = 1; h <= program_->dbfEngine().MaxDbfs(); ++h)
      if (!program_->dbfEngine().SlotAt(h)->IsFree()) openMode = program_->dbfEngine().SlotAt(h)->OpenMode;
  };
  host_.AnswerMsgBox(platform::MsgAnswer::OK, "DBASE contains 2 Records");
  db3().ImportDb3Catalog(path, "RO");
  // Opened for reading only (which also holds when the tests run as a user
  // whom the file mode does not stop).
  EXPECT_EQ(openMode & dbf::kReadOnlyFlag, dbf::kReadOnlyFlag);
  EXPECT_EQ(Catalog("RO").entries.size(), 2u);
  EXPECT_EQ(ReadFileBytes(path), bytes);
}

TEST_F(Db3ImportTest, TheDateExpressionIsBuiltByteByByte) {
  program_->dbfEngine().DbfInit();
  ASSERT_EQ(program_->dbfEngine().DateFormat(), "A7");
  const std::string built = db3().DateConversionExpression(3, "19971115");
  const std::string expected = std::string("\x15\x00", 2) + "C" + "\x03" + "\x01" + "\xFE" + "*" + "\xFE" + "A7" +
                               "\xFD" + "19971115" + "\xFF\xFF";
  EXPECT_EQ(built, expected);
  EXPECT_EQ(built.size(), 21u);  // L + 19
}

TEST_F(Db3ImportTest, ExportThenImportGivesTheSameEntries) {
  CatalogBuilder cat(dir_.path(), "SRC");
  cat.Field(0, "Title", 20, store::KindKey).Field(2, "Price", 8, store::KindSummed).Field(7, "Note", 30);
  cat.Entry({"Dune", "", "9.50", "", "", "", "", "sand \xE9t\xE9"});
  cat.DeletedEntry({"Emma", "", "4", "", "", "", "", ""});
  cat.Entry({"", "", "", "", "", "", "", "only a note"});
  ASSERT_TRUE(cat.Write());
  ASSERT_TRUE(st().OpenCatalog("SRC"));
  int16_t handle = 0, columns = 0;
  ASSERT_TRUE(db3().CreateDb3Export(dir_.File("SRC.DBF"), handle, columns));
  store::EntryRecord e;
  for (float n = 1; n <= 3; ++n) {
    ASSERT_TRUE(st().ReadEntry(e, st().CatalogHeader, n, st().DatFile));
    db3().WriteDb3Entry(e, handle, columns);
  }
  db3().CloseDb3File(handle);

  host_.AnswerMsgBox(platform::MsgAnswer::OK, "DBASE contains 3 Records");
  db3().ImportDb3Catalog(dir_.File("SRC.DBF"), "BACK");
  CatalogContents back = Catalog("BACK");
  const std::vector<std::pair<std::string, int>> fields{{"TITLE", 20}, {"PRICE", 8}, {"NOTE", 30}};
  const int slots[] = {0, 2, 7};
  for (size_t k = 0; k < 3; ++k) {
    EXPECT_EQ(Trim(back.defs[k].FieldName), fields[k].first);
    EXPECT_EQ(back.header.FieldLength[k], fields[k].second);
  }
  ASSERT_EQ(back.entries.size(), 3u);
  for (size_t n = 0; n < 3; ++n)
    for (size_t k = 0; k < 3; ++k)
      EXPECT_EQ(back.entries[n].FieldText[k], cat.entry(static_cast<float>(n + 1)).FieldText[static_cast<size_t>(slots[k])])
          << n << " " << k;
}

TEST_F(Db3ImportTest, PathsWithUtf8FoldersAndNamesReachTheEngineAsPicked) {
  const std::string folder = dir_.File("donn\xC3\xA9\x65s \xC3\x9C\xC5\xA1\xE2\x82\xAC");
  std::filesystem::create_directories(folder);
  const std::string path = folder + "/cli\xC3\xABnts.dbf";
  ASSERT_TRUE(WriteFileBytes(path, MakeDbfBytes({{"NAME", 'C', 6}}, {{{"Ann"}}})));
  host_.AnswerMsgBox(platform::MsgAnswer::OK, "DBASE contains 1 Records");
  db3().ImportDb3Catalog(path, "UTF");
  CatalogContents c = Catalog("UTF");
  ASSERT_EQ(c.entries.size(), 1u);
  EXPECT_EQ(c.entries[0].FieldText[0], "Ann   ");
}

// An import killed at any moment (from the n-th file operation on nothing
// reaches the disk) under an accented name: the catalog list shows no
// catalog or the whole one, spelt in UTF-8, and the next opening of a
// catalog clears away the rest and finishes a catalog that was whole.
TEST(Db3ImportKill, AKillAtAnyMomentLeavesNoCatalogOrTheWholeOne) {
  TempDir dir("kill");
  CatalogBuilder keep(dir.path(), "KEEP");
  keep.Field(0, "Name", 6);
  ASSERT_TRUE(keep.Write());
  ASSERT_TRUE(WriteFileBytes(dir.File("P.DBF"), MakeDbfBytes({{"NAME", 'C', 6}}, {{{"Ann"}}, {{"Bj\xF8rn"}}, {{"Cy"}}})));
  const std::string name = "\xC4\xD6\xDC\xC9\xC8\xCA\xCB\xCF";  // ÄÖÜÉÈÊËÏ
  auto snapshot = [&] {
    std::map<std::string, std::string> files;
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
      files[e.path().filename().string()] = ReadFileBytes(e.path().string());
    return files;
  };
  platform::DiskFileSystem disk;
  auto listed = [&] { return platform::ListCatalogNames(disk, dir.path()) != std::vector<std::string>{"KEEP"}; };
  // Imports, failing operation n (0: none) or every one from there on;
  // the failures met. Bjørn's letter is replaced, which only a catalog
  // put in place may tell.
  bool toldReplaced = false;
  auto import = [&](int n, bool persistent) {
    platform::FaultFileSystem faults(disk);
    platform::ScriptedHost host;
    app::Program program(host, dir.path(), &faults);
    if (n > 0) faults.FailOperation(n, platform::kErrDeviceIO, persistent);
    program.db3().ImportDb3Catalog(dir.File("P.DBF"), name);
    toldReplaced = false;
    for (const std::string& text : host.MessageTexts()) toldReplaced |= text.find("were replaced") != std::string::npos;
    return faults.Failures();
  };
  auto open = [&](const std::string& catalog) {
    platform::ScriptedHost host;
    app::Program program(host, dir.path());
    return program.store().OpenCatalog(catalog) && program.store().CatalogHeader.EntryCount == 3;
  };
  const auto before = snapshot();
  import(0, false);
  EXPECT_TRUE(toldReplaced);
  const auto whole = snapshot();
  EXPECT_EQ(platform::ListCatalogNames(disk, dir.path()), (std::vector<std::string>{"KEEP", name}));
  EXPECT_TRUE(whole.count(platform::NameOnDisk(name) + ".DAT") && whole.size() == before.size() + 2);
  EXPECT_TRUE(open(name));
  for (bool persistent : {false, true}) {
    for (int n = 1;; ++n) {
      SCOPED_TRACE((persistent ? "killed at operation " : "failed operation ") + std::to_string(n));
      for (const auto& [file, bytes] : snapshot())
        if (!before.count(file)) std::filesystem::remove(dir.File(file));
      const int64_t failures = import(n, persistent);
      if (listed()) {
        EXPECT_EQ(snapshot(), whole);
      }
      EXPECT_EQ(toldReplaced, snapshot() == whole);
      open("KEEP");
      EXPECT_TRUE(snapshot() == before || snapshot() == whole);
      if (failures == 0) break;
    }
  }
}

}  // namespace
}  // namespace kelvarin::test_support
