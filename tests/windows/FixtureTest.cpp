// The window fixture itself: an error box a test did not expect fails that test.
#include "TestSupport.h"

#include "platform/ErrorReport.h"

#include <gtest/gtest-spi.h>

namespace {

class FixtureTest : public vtest::WindowsTest {
protected:
    // The failures CheckErrorBoxes reports, caught instead of failing this test.
    std::vector<std::string> CheckedFailures() {
        testing::TestPartResultArray results;
        {
            testing::ScopedFakeTestPartResultReporter catcher(
                testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &results);
            CheckErrorBoxes();
        }
        std::vector<std::string> failures;
        for (int i = 0; i < results.size(); ++i)
            failures.push_back(results.GetTestPartResult(i).message());
        return failures;
    }
};

TEST_F(FixtureTest, AnErrorBoxNobodyExpectedFailsTheTestAndOneExpectedDoesNot) {
    EXPECT_TRUE(CheckedFailures().empty()) << "no box, no failure";

    platform::ReportError(QStringLiteral("Bitmap image is not valid."));
    const auto failures = CheckedFailures();
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_NE(failures[0].find("unexpected error box: Bitmap image is not valid."),
              std::string::npos)
        << failures[0];

    ExpectErrorBoxes();
    EXPECT_TRUE(CheckedFailures().empty()) << "a test that expects boxes checks them itself";
    EXPECT_EQ(vtest::Errors(), QStringList{QStringLiteral("Bitmap image is not valid.")});
}

} // namespace
