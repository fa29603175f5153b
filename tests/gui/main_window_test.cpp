#include "gui/main_window.h"

#include <gtest/gtest.h>

namespace tolvar::gui {
namespace {

TEST(TfrmMAIN, CaptionAndSize)
{
    TfrmMAIN window;
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Tolvar 1.4"));
    EXPECT_EQ(window.objectName(), QStringLiteral("TfrmMAIN"));
    EXPECT_EQ(window.size(), QSize(756, 511));
}

}  // namespace
}  // namespace tolvar::gui
