#include <gtest/gtest.h>

#include "platform/model/model.h"
#include "platform/scripted/scripted_host.h"

namespace kelvarin::platform {
namespace {

using Log = std::vector<std::string>;

class frmAsk : public Form {
 public:
  frmAsk(Host& host, std::string name = "frmAsk") : Form(host, std::move(name)) {
    SetCaption("Ask");
    cmdOK.SetDefault(true);
    cmdOK.Click = [this] {
      answer = txtValue.Text();
      Hide();
    };
  }
  TextBox txtValue{*this, "txtValue"};
  CommandButton cmdOK{*this, "cmdOK"};
  std::string answer;
};

// A progress window as the long operations show it.
class frmGauge : public Form {
 public:
  explicit frmGauge(Host& host) : Form(host, "frmGauge") {
    cmdCancel.SetCancel(true);
    cmdCancel.Click = [this] { cancelled = true; };
  }
  Gauge Gauge1{*this, "Gauge1"};
  CommandButton cmdCancel{*this, "cmdCancel"};
  bool cancelled = false;
};

TEST(ScriptedHost, MessageBoxesAreAnsweredInOrderAndTranscribed) {
  ScriptedHost host;
  host.AnswerMsgBox(MsgAnswer::No, "Continue?");
  host.AnswerMsgBox(MsgAnswer::OK);
  EXPECT_EQ(host.MsgBox("Continue?", MsgButtons::YesNo, MsgIcon::Question), MsgAnswer::No);
  EXPECT_EQ(host.MsgBox("Invalid name", MsgButtons::OK, MsgIcon::Exclamation, "Other"), MsgAnswer::OK);
  host.Beep();
  EXPECT_EQ(host.Transcript(), (Log{"MsgBox(YesNo,Question,\"Kelvarin Your Catalog\"): Continue?",
                                    "MsgBox(OK,Exclamation,\"Other\"): Invalid name", "Beep"}));
  EXPECT_EQ(host.MessageTexts(), (Log{"Continue?", "Invalid name"}));
  EXPECT_EQ(host.ExpectAllConsumed(), "");
}

TEST(ScriptedHost, UnexpectedOrMismatchedMessageBoxesAreFailuresNamingTheBox) {
  ScriptedHost host;
  // Nothing queued: answered as a close would answer it, and a failure.
  EXPECT_EQ(host.MsgBox("Replace File?", MsgButtons::YesNo), MsgAnswer::No);
  EXPECT_NE(host.Failures().find("unexpected message box"), std::string::npos);
  EXPECT_NE(host.Failures().find("Replace File?"), std::string::npos);

  ScriptedHost other;
  other.AnswerMsgBox(MsgAnswer::OK, "Page Length is blank.");
  other.MsgBox("Top Margin is blank.");
  EXPECT_NE(other.Failures().find("expected \"Page Length is blank.\""), std::string::npos);

  ScriptedHost third;
  third.AnswerMsgBox(MsgAnswer::Yes);  // not a button of an OK box
  EXPECT_EQ(third.MsgBox("Done"), MsgAnswer::OK);
  EXPECT_NE(third.Failures().find("not a button"), std::string::npos);
}

TEST(ScriptedHost, AnswersAndScriptsLeftUnusedAreFailures) {
  ScriptedHost host;
  host.AnswerMsgBox(MsgAnswer::Yes, "Delete?");
  host.OnShow("frmSearch", [](Form&) {});
  host.AnswerSaveFile(std::string("/tmp/out.txt"));
  std::string f = host.ExpectAllConsumed();
  EXPECT_NE(f.find("unused message-box answer Yes for \"Delete?\""), std::string::npos);
  EXPECT_NE(f.find("unused script for modal form frmSearch"), std::string::npos);
  EXPECT_NE(f.find("unused save-file answer /tmp/out.txt"), std::string::npos);
  // Reported once: they are forgotten afterwards.
  host.ClearRecord();
  EXPECT_EQ(host.ExpectAllConsumed(), "");
}

TEST(ScriptedHost, ScriptsForOneFormRunInOrderAndNestedModalFormsWork) {
  ScriptedHost host;
  frmAsk outer(host, "frmOuter");
  frmAsk inner(host, "frmInner");
  outer.cmdOK.Click = [&] {
    inner.Show(ShowMode::Modal);
    outer.answer = inner.answer;
    outer.Hide();
  };
  host.OnShow("frmOuter", [](Form& f) { f.UserKey(key::kReturn); });
  host.OnShow("frmInner", [](Form& f) {
    static_cast<frmAsk&>(f).txtValue.UserType("first");
    f.UserKey(key::kReturn);
  });
  host.OnShowAs<frmAsk>("frmInner", [](frmAsk& f) {
    f.txtValue.UserSetText("second");
    f.cmdOK.UserClick();
  });
  outer.Show(ShowMode::Modal);
  EXPECT_EQ(outer.answer, "first");
  inner.Show(ShowMode::Modal);
  EXPECT_EQ(inner.answer, "second");
  EXPECT_EQ(host.ExpectAllConsumed(), "");
  EXPECT_EQ(host.Transcript(),
            (Log{"ShowModal(frmOuter): Ask", "ShowModal(frmInner): Ask", "ShowModal(frmInner): Ask"}));
}

TEST(ScriptedHost, AnUnexpectedModalFormOrOneLeftOpenIsAFailureAndIsClosed) {
  ScriptedHost host;
  frmAsk f(host);
  f.Show(ShowMode::Modal);
  EXPECT_FALSE(f.Visible());
  EXPECT_NE(host.Failures().find("unexpected modal form frmAsk (Ask)"), std::string::npos);

  ScriptedHost host3;
  frmAsk h(host3);
  host3.OnShowAs<frmGauge>("frmAsk", [](frmGauge&) {});
  h.Show(ShowMode::Modal);
  EXPECT_NE(host3.Failures().find("not of the class"), std::string::npos);

  ScriptedHost host2;
  frmAsk g(host2);
  host2.OnShow("frmAsk", [](Form&) {});
  g.Show(ShowMode::Modal);
  EXPECT_FALSE(g.Visible());
  EXPECT_NE(host2.Failures().find("still shown after its script"), std::string::npos);
}

TEST(ScriptedHost, GaugeCancelIsPressedAtTheGivenDoEvents) {
  ScriptedHost host;
  frmGauge gauge(host);
  gauge.SetCaption("Searching...");
  host.CancelGaugeAfter(3);
  gauge.Show();
  int steps = 0;
  while (!gauge.cancelled && steps < 10) {
    ++steps;
    host.DoEvents();
  }
  EXPECT_EQ(steps, 3);
  gauge.UnloadForm();
  EXPECT_EQ(host.Transcript(), (Log{"ShowModeless(frmGauge): Searching...", "Hide(frmGauge)"}));
  EXPECT_EQ(host.DoEventsCount(), 3);
  EXPECT_EQ(host.ExpectAllConsumed(), "");

  // No gauge on screen when the moment comes: a failure.
  ScriptedHost host2;
  host2.CancelGaugeAfter(1);
  host2.DoEvents();
  EXPECT_NE(host2.Failures().find("no frmGauge"), std::string::npos);
  // Never reached: reported as unused.
  ScriptedHost host3;
  host3.CancelGaugeAfter(5);
  host3.DoEvents();
  EXPECT_NE(host3.ExpectAllConsumed().find("never ran"), std::string::npos);
}

TEST(ScriptedHost, DialogsPointerAndFocusMessagesAreRecorded) {
  ScriptedHost host;
  host.AnswerSaveFile(std::nullopt);
  host.AnswerOpenFile(std::string("/data/x.dbf"));
  host.AnswerFont(FontChoice{"Arial", 10, 700, false, false});
  FileDialogRequest req;
  req.title = "Save Report As";
  EXPECT_EQ(host.SaveFileDialog(req), std::nullopt);
  req.title = "Open";
  EXPECT_EQ(host.OpenFileDialog(req), "/data/x.dbf");
  EXPECT_EQ(host.FontDialog({})->weight, 700);
  host.SetMousePointerShape(kPointerHourglass);
  host.SetMousePointerShape(kPointerHourglass);  // no change, no line
  host.SetMousePointerShape(kPointerDefault);
  host.SendFocusMessage(1045, 20);
  EXPECT_EQ(host.SaveFileDialog(req), std::nullopt);  // nothing queued
  EXPECT_EQ(host.Transcript(),
            (Log{"SaveFileDialog(Save Report As): <cancel>", "OpenFileDialog(Open): /data/x.dbf", "FontDialog: Arial 10",
                 "Pointer(11)", "Pointer(0)", "FocusMessage(1045,20)", "SaveFileDialog(Open): <cancel>"}));
  EXPECT_NE(host.Failures().find("unexpected SaveFileDialog (Open)"), std::string::npos);
}

TEST(ScriptedHost, EnvironmentIsSettable) {
  ScriptedHost host;
  host.SetToday({1999, 12, 31});
  host.SetTimeOfDay(3600);
  host.MutableLocale().shortDate = "dd/MM/yyyy";
  host.SetScreen({12, 12, 800 * 12, 600 * 12});
  host.SetFontMeasures({200, 100, 240});
  EXPECT_EQ(host.Today(), (CalendarDate{1999, 12, 31}));
  EXPECT_EQ(host.TimeOfDay(), 3600);
  EXPECT_EQ(host.Locale().shortDate, "dd/MM/yyyy");
  EXPECT_EQ(host.Screen().twipsPerPixelY, 12);
  EXPECT_EQ(host.MainFontMeasures().charHeight, 240);
  EXPECT_EQ(host.MinTextBoxHeight(), 240 + 6 * 12);
}

TEST(RecordingPrinter, KeepsPagesLinesAndColumns) {
  RecordingPrinter p;
  p.PrintPart("");  // begins the document
  EXPECT_TRUE(p.DocumentOpen());
  p.PrintPart("Title: ");
  p.PrintLine("Dune");
  p.PrintAtColumn(5, "x");
  p.PrintPart("too long here");
  p.PrintAtColumn(3, "y");  // past the column: a new line first
  p.NewPage();
  p.PrintLine("page two");
  p.SetFont({"Arial", 12, true, false, false});
  p.EndDoc();
  p.EndDoc();  // harmless without a document
  ASSERT_EQ(p.Documents().size(), 1u);
  const auto& doc = p.Documents()[0];
  ASSERT_EQ(doc.size(), 2u);
  EXPECT_EQ(doc[0], (Log{"Title: Dune", "    x", "too long here", "  y"}));
  EXPECT_EQ(doc[1], (Log{"page two"}));
  EXPECT_EQ(p.Log(), (Log{"NewPage", "Font(Arial,12,bold)", "EndDoc", "EndDoc"}));
  EXPECT_EQ(p.TextWidth("abcd"), 4 * p.CharWidth());
  EXPECT_EQ(p.Font().name, "Arial");
  EXPECT_FALSE(p.DocumentOpen());
}

}  // namespace
}  // namespace kelvarin::platform
