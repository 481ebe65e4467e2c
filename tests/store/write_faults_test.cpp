// The store's write paths under a file layer that fails one operation after
// another: after every run each file holds its old bytes or its new ones,
// and a failure has been shown to the user, naming the file.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>

#include "platform/files/fault_file_system.h"
#include "platform/files/runtime_errors.h"
#include "platform/scripted/scripted_host.h"
#include "reports/formats/frmRptMaintenance.h"
#include "store/frm_enter_name.h"
#include "store/store.h"
#include "support/catalog_builder.h"

namespace kelvarin::store {
namespace {

using Files = std::map<std::string, std::string>;

class WriteFaultTest : public ::testing::Test {
 protected:
  WriteFaultTest() : dir_("faults") {
    test_support::CatalogBuilder cat(dir_.path(), "CAT");
    cat.Field(0, "Name", 12).Field(1, "Amount", 8).Formula(2, 1, OpPlus, 1).Field(2, "Sum", 8);
    cat.Entry({"One", "1"});
    cat.Entry({"Two", "2"});
    cat.Entry({"Three", "3"});
    cat.Memo(1, "first memo");
    EXPECT_TRUE(cat.Write());
    EXPECT_TRUE(test_support::WriteReportFormatFile(dir_.path(), "LIST", test_support::LinedLayout({{0, 12}}),
                                                    ReportHeader{}));
    EXPECT_TRUE(test_support::WriteFileBytes(dir_.File("QAV.INI"), "[Database]\r\nCurrentDB=CAT\r\n"));
    old_ = Snapshot();
  }

  Files Snapshot() const {
    Files files;
    for (const auto& e : std::filesystem::directory_iterator(dir_.path()))
      files[e.path().filename().string()] = test_support::ReadFileBytes(e.path().string());
    return files;
  }
  void Restore(const Files& files) const {
    for (const auto& e : std::filesystem::directory_iterator(dir_.path())) std::filesystem::remove(e.path());
    for (const auto& [name, bytes] : files) test_support::WriteFileBytes(dir_.File(name), bytes);
  }

  // Runs setup, then action with operation n failing, for n = 1, 2, ...
  // until a run meets no failure, then with the disk full after more and
  // more bytes; checks every run as described above.
  void FaultLoop(const std::function<void(Store&)>& setup, const std::function<void(Store&)>& action) {
    Files fresh = Run(setup, action, 0, 0, false, nullptr);
    ASSERT_NE(fresh, old_) << "the action wrote nothing";
    for (int error : {platform::kErrDiskFull, platform::kErrDeviceIO}) {
      for (bool persistent : {false, true}) {
        int n = 1;
        for (;; ++n) {
          SCOPED_TRACE("error " + std::to_string(error) + (persistent ? " from" : " at") + " operation " +
                       std::to_string(n));
          std::vector<std::string> messages;
          Files now = Run(setup, action, n, error, persistent, &messages);
          if (failures_ == 0) {
            EXPECT_EQ(now, fresh);
            break;
          }
          EXPECT_FALSE(messages.empty()) << "a failure went untold";
          bool named = false;
          for (const std::string& m : messages) named = named || m.find(dir_.path()) != std::string::npos;
          EXPECT_TRUE(named) << (messages.empty() ? "" : messages[0]);
          for (const auto& [name, bytes] : now) {
            if (!persistent && !old_.count(name) && !fresh.count(name)) ADD_FAILURE() << "left behind: " << name;
            bool whole = (old_.count(name) && old_.at(name) == bytes) || (fresh.count(name) && fresh.at(name) == bytes) ||
                         (persistent && name.find(".kvtmp") != std::string::npos);
            EXPECT_TRUE(whole) << name << " is neither old nor new";
          }
          for (const auto& [name, bytes] : old_) EXPECT_TRUE(now.count(name) || !fresh.count(name)) << name << " is gone";
        }
        EXPECT_GT(n, 1);
      }
    }
    // A disk that fills up after so many bytes, the last write kept short.
    for (int64_t budget = 0;; budget += budget < 2 ? 1 : 37) {
      SCOPED_TRACE("disk full after " + std::to_string(budget) + " bytes");
      std::vector<std::string> messages;
      Files now = Run(setup, action, static_cast<int>(-budget - 1), platform::kErrDiskFull, false, &messages);
      if (failures_ == 0) {
        EXPECT_EQ(now, fresh);
        break;
      }
      EXPECT_FALSE(messages.empty()) << "a failure went untold";
      for (const auto& [name, bytes] : now) {
        // Records are written in place: a short write may leave part of
        // one (told); files rewritten whole never are.
        if (name.ends_with(".DAT") || name.ends_with(".MEM")) continue;
        bool whole = (old_.count(name) && old_.at(name) == bytes) || (fresh.count(name) && fresh.at(name) == bytes);
        EXPECT_TRUE(whole) << name << " is neither old nor new";
      }
    }
  }

  Files Run(const std::function<void(Store&)>& setup, const std::function<void(Store&)>& action, int n, int error,
            bool persistent, std::vector<std::string>* messages) {
    Restore(old_);
    platform::DiskFileSystem disk;
    platform::FaultFileSystem faults(disk);
    platform::ScriptedHost host;
    {
      platform::FilePool pool(faults);
      Store store(host, pool);
      store.SetAppDir(dir_.path());
      setup(store);
      int64_t before = faults.Failures();
      if (n > 0) faults.FailOperation(n, error, persistent);
      if (n < 0) faults.FailWritesAfter(-n - 1, error);  // n = -(budget + 1)
      action(store);
      faults.Clear();
      failures_ = faults.Failures() - before;
    }
    if (messages) *messages = host.MessageTexts();
    return Snapshot();
  }

  test_support::TempDir dir_;
  Files old_;
  int64_t failures_ = 0;
};

void OpenCat(Store& s) { ASSERT_TRUE(s.OpenCatalog("CAT")); }
void Nothing(Store&) {}

TEST_F(WriteFaultTest, ClosingACatalog) {
  FaultLoop(
      [](Store& s) {
        OpenCat(s);
        s.CatalogHeader.EntryCount = 2;
        s.CurrentSettings.PageLength = 33;
        s.CaseSensitive = !s.CaseSensitive;
      },
      [](Store& s) { s.CloseCatalog(); });
}

TEST_F(WriteFaultTest, WritingSettingsAndFormulas) {
  FaultLoop(OpenCat, [](Store& s) {
    CatalogSettings settings = s.CurrentSettings;
    settings.TopMargin = 7;
    s.WriteCatalogSettings("CAT", settings);
  });
  FaultLoop(OpenCat, [](Store& s) {
    FormulaTable f = s.Formulas;
    f[3] = FormulaDef{0, 1, OpTimes, 1};
    s.WriteFormulas("CAT", f);
  });
  FaultLoop(Nothing, [](Store& s) {
    FieldDefTable defs;
    DatHeader header;
    defs[0] = FieldDef{"Title         ", KindKey};
    header.FieldLength[0] = 40;
    header.RecordLength = static_cast<int16_t>(ComputeRecordLength(header.FieldLength));
    s.WriteCatalogDefinition(s.CatalogPath("CAT", ""), defs, header);
  });
  FaultLoop(Nothing, [](Store& s) {
    FieldDefTable defs;
    DatHeader header;
    s.CreateDefaultDefinition("NEW", defs, header);
  });
}

TEST_F(WriteFaultTest, WritingProgramSettings) {
  FaultLoop(Nothing, [](Store& s) { s.WriteSearchMode(smSequential); });
  FaultLoop(Nothing, [](Store& s) { s.WriteReportDest(rdAsciiFile); });
  FaultLoop(Nothing, [](Store& s) { s.WriteCurrentDB("OTHER"); });
}

TEST_F(WriteFaultTest, WritingAReportFormat) {
  FaultLoop(Nothing, [](Store& s) {
    ReportLayout layout = test_support::LinedLayout({{0, 10}, {1, 6}});
    s.WriteReportFormat("LIST", layout, ReportHeader{1});
  });
  FaultLoop(Nothing, [](Store& s) {
    ReportLayout layout = test_support::LinedLayout({{1, 6}});
    s.WriteReportFormat("FRESH", layout, ReportHeader{0});
  });
}

// Report Maintenance's Copy, Rename and Delete of the format LIST, each run
// as the user does it.
TEST_F(WriteFaultTest, CopyingRenamingAndDeletingAReportFormat) {
  using Button = platform::CommandButton reports::frmRptMaintenance::*;
  for (Button button : {&reports::frmRptMaintenance::cmdCopy, &reports::frmRptMaintenance::cmdRename,
                        &reports::frmRptMaintenance::cmdDelete}) {
    FaultLoop(Nothing, [button](Store& s) {
      auto& host = static_cast<platform::ScriptedHost&>(s.host());
      host.OnShowAs<frmEnterName>("frmEnterName", [](frmEnterName& p) {
        p.txtName.UserType("OTHER");
        p.cmdOK.UserClick();
      });
      host.AnswerMsgBox(platform::MsgAnswer::Yes, "Really want to delete LIST?");
      host.OnShowAs<reports::frmRptMaintenance>("frmRptMaintenance", [button](reports::frmRptMaintenance& f) {
        (f.*button).UserClick();
        f.cmdOK.UserClick();
      });
      reports::frmRptMaintenance form(host, s);
      form.Show(platform::ShowMode::Modal);
    });
  }
}

TEST_F(WriteFaultTest, WritingAnEntryAndAMemo) {
  EntryRecord e;
  FaultLoop(
      [&e](Store& s) {
        OpenCat(s);
        ASSERT_TRUE(s.ReadEntry(e, s.CatalogHeader, 2, s.DatFile));
        e.FieldText[0] = "Changed";
      },
      [&e](Store& s) { s.WriteEntry(e, s.CatalogHeader, 2, s.DatFile); });
  FaultLoop(OpenCat, [](Store& s) { s.WriteMemo(2, "second memo"); });
}

}  // namespace
}  // namespace kelvarin::store
