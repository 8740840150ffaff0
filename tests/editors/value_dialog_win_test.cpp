// The one-value dialog under Wine through its four openers: what each shows, what OK
// returns, that Cancel, Esc and the close box return the data given, and the DWORD rules.
#include <gtest/gtest.h>

#include <functional>

#include "base/win/TestSeams.h"
#include "builder/editors/SetupValue.h"
#include "tests/harness/FormDriver.h"

namespace {

using namespace base::win;

class ValueDialog : public ::testing::Test {
protected:
  void SetUp() override {
    seams::Reset();
    seams::Arm();
  }
  void TearDown() override {
    EXPECT_EQ(seams::PendingScripts(), 0) << "the dialog never showed";
    seams::Reset();
  }
  // What the dialog showed when it opened.
  struct Shown {
    std::string caption, name, data;
    bool nameReadOnly = false, dataFocused = false;
  };
  void When(std::function<void(TfrmRegValue&)> script) {
    seams::WhenShown<TfrmRegValue>([this, script](TfrmRegValue& f) {
      shown.caption = f.Caption();
      shown.name = f.edtName.Text();
      shown.data = f.edtData.Text();
      shown.nameReadOnly = (GetWindowLongA(f.edtName.Handle(), GWL_STYLE) & ES_READONLY) != 0;
      shown.dataFocused = wintest::HasFocus(f.edtData.Handle());
      script(f);
    });
  }
  static void TypeAndOk(TfrmRegValue& f, const std::string& text) {
    wintest::Type(f.edtData.Handle(), text);
    wintest::Click(f.btnOk.Handle());
  }

  Shown shown;
  seams::Watchdog dog{30, "value dialog"};
};

TEST_F(ValueDialog, EachOpenerShowsItsCaptionNameAndData) {
  struct Case {
    std::function<std::string()> open;
    const char* caption;
    const char* data;
    std::string typed, result;
  } cases[] = {
      {[] { return EditStringValue("Path", "C:\\App"); }, "Define String Value", "C:\\App", "D:\\Other", "D:\\Other"},
      // Binary data is the typed text.
      {[] { return EditBinaryValue("Bin", "01ab"); }, "Define Binary Value", "01ab", "0a 1B", "0a 1B"},
      {[] { return EditIniValue("Entry", "<INSTALLDIR>"); }, "Define INI Value", "<INSTALLDIR>", "", ""},
      {[] { return std::to_string(EditDWordValue("Count", 26)); }, "Define DWORD Value", "26", "-5", "-5"},
  };
  for (Case& c : cases) {
    When([&](TfrmRegValue& f) { TypeAndOk(f, c.typed); });
    EXPECT_EQ(c.open(), c.result) << c.caption;
    EXPECT_EQ(shown.caption, c.caption);
    EXPECT_EQ(shown.data, c.data) << c.caption;
    EXPECT_TRUE(shown.nameReadOnly) << c.caption;
    EXPECT_TRUE(shown.dataFocused) << c.caption;
  }
  EXPECT_EQ(shown.name, "Count");
  EXPECT_EQ(seams::BeepCount(), 0);
}

TEST_F(ValueDialog, CancelEscAndTheCloseBoxReturnTheDataGiven) {
  const std::function<void(TfrmRegValue&)> leave[] = {
      [](TfrmRegValue& f) { wintest::Click(f.btnCancel.Handle()); },
      [](TfrmRegValue& f) { wintest::PostKey(VK_ESCAPE, f.edtData.Handle()); },
      [](TfrmRegValue& f) { wintest::CloseByTitleBar(f.Handle()); },
  };
  int way = 0;
  for (const auto& how : leave) {
    When([&](TfrmRegValue& f) {
      wintest::Type(f.edtData.Handle(), "changed");
      how(f);
    });
    EXPECT_EQ(EditStringValue("Name", "kept"), "kept") << "way " << way;
    When([&](TfrmRegValue& f) {
      wintest::Type(f.edtData.Handle(), "77");
      how(f);
    });
    EXPECT_EQ(EditDWordValue("Name", -1), -1) << "way " << way;
    ++way;
  }
}

TEST_F(ValueDialog, DwordNumbersAndTheBeep) {
  struct Case {
    const char* text;
    int32_t stored;
  } accepted[] = {{"-5", -5}, {"$1F", 31}, {"0x10", 16}, {"  7", 7}, {"-2147483648", INT32_MIN}};
  for (const Case& c : accepted) {
    When([&](TfrmRegValue& f) { TypeAndOk(f, c.text); });
    EXPECT_EQ(EditDWordValue("N", 0), c.stored) << c.text;
  }
  EXPECT_EQ(seams::BeepCount(), 0);

  // A text that is no number beeps and keeps the dialog open with the focus on the text;
  // a number typed then is taken.
  bool stayed = false, focused = false;
  int beepsWhileOpen = 0;
  When([&](TfrmRegValue& f) {
    TypeAndOk(f, "12a");
    wintest::PumpUntil([] { return seams::BeepCount() > 0; });
    stayed = f.Visible() && f.ModalResult() == mrNone;
    focused = wintest::HasFocus(f.edtData.Handle());
    beepsWhileOpen = seams::BeepCount();
    TypeAndOk(f, "$FFFFFFFB");
  });
  EXPECT_EQ(EditDWordValue("N", 3), -5);
  EXPECT_TRUE(stayed);
  EXPECT_TRUE(focused);
  EXPECT_EQ(beepsWhileOpen, 1);
  EXPECT_EQ(seams::BeepCount(), 1);

  // Cancel after a refused text leaves the value as it was.
  When([&](TfrmRegValue& f) {
    TypeAndOk(f, "");
    wintest::Click(f.btnCancel.Handle());
  });
  EXPECT_EQ(EditDWordValue("N", 9), 9);
  EXPECT_EQ(seams::BeepCount(), 2);
}

TEST_F(ValueDialog, BinaryTextsMustBeHexadecimalBytes) {
  for (const char* text : {"", "01ab", "0a 1B ff", " DE AD be ef "}) {
    When([&](TfrmRegValue& f) { TypeAndOk(f, text); });
    EXPECT_EQ(EditBinaryValue("B", "00"), text);
  }
  EXPECT_EQ(seams::BeepCount(), 0);
  // What no byte string is: the beep, the focus on the text, the dialog open; Cancel keeps
  // the value.
  const char* refused[] = {"zz 12 G", "1", "0 1", "01 2", "0x10"};
  int beeps = 0;
  for (const char* text : refused) {
    bool stayed = false, focused = false;
    When([&](TfrmRegValue& f) {
      TypeAndOk(f, text);
      wintest::PumpUntil([&] { return seams::BeepCount() > beeps; });
      stayed = f.Visible() && f.ModalResult() == mrNone;
      focused = wintest::HasFocus(f.edtData.Handle());
      wintest::Click(f.btnCancel.Handle());
    });
    EXPECT_EQ(EditBinaryValue("B", "00"), "00") << text;
    EXPECT_EQ(seams::BeepCount(), ++beeps) << text;
    EXPECT_TRUE(stayed) << text;
    EXPECT_TRUE(focused) << text;
  }
  // The INI entry takes any text.
  When([&](TfrmRegValue& f) { TypeAndOk(f, "zz 12 G"); });
  EXPECT_EQ(EditIniValue("E", ""), "zz 12 G");
  EXPECT_EQ(seams::BeepCount(), beeps);
}

}  // namespace
