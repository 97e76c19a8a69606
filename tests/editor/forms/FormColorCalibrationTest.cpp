// The colour-calibration window's hourglass: on while a click calibrates the
// picture, handed back once it is done, and handed back as well when the click
// misses the picture and calibrates nothing.
#include "editor/forms/FormColorCalibration.h"

#include <gtest/gtest.h>

#include <QEvent>
#include <utility>
#include <vector>

#include "editor/forms/PortraitScroll.h"
#include "platform/ProgramFolders.h"
#include "shell/MainSettings.h"
#include "shell/forms/CursorList.h"

namespace {

constexpr TColor32 kGrey = 0xFF646464u;

// At each change of the window's own cursor: whether it is now the hourglass,
// and whether the picture is calibrated yet.
class TCursorChanges : public QObject {
 public:
  explicit TCursorChanges(TFormColorCalibration& form) : form_(form) { form.installEventFilter(this); }
  std::vector<std::pair<bool, bool>> seen;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::CursorChange)
      seen.emplace_back(form_.cursor() == ProgramCursor(crHourGlass),
                        form_.Calibrated().Pixel(5, 5) != kGrey);
    return false;
  }

 private:
  TFormColorCalibration& form_;
};

class FormColorCalibrationTest : public ::testing::Test {
 protected:
  void TearDown() override {
    SetProgramFolders({});
  }
};

TEST_F(FormColorCalibrationTest, HourglassShowsWhileAClickCalibratesAndGoesAfterEvenWhenItMisses) {
  TMainSettings settings;
  TFormColorCalibration form(TBitmap32(40, 30, kGrey), settings);
  TCursorChanges changes(form);
  ASSERT_TRUE(form.CalibrateAt({10, 10}));
  EXPECT_NE(form.Calibrated().Pixel(5, 5), kGrey) << "the click calibrated the picture";
  EXPECT_EQ(changes.seen, (std::vector<std::pair<bool, bool>>{{true, false}, {false, true}}));
  EXPECT_EQ(form.cursor().shape(), Qt::ArrowCursor);

  changes.seen.clear();
  form.ButtonUndoCalibrationClick();
  ASSERT_FALSE(form.CalibrateAt({-1, 10}));
  EXPECT_EQ(changes.seen, (std::vector<std::pair<bool, bool>>{{true, false}, {false, false}}));
  EXPECT_EQ(form.cursor().shape(), Qt::ArrowCursor);
}

}  // namespace
