#include <QCoreApplication>
#include <gtest/gtest.h>

namespace kelvane::test {
void prepareEnvironment();
void releaseEnvironment();
} // namespace kelvane::test

int main(int argc, char** argv)
{
    kelvane::test::prepareEnvironment();
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    kelvane::test::releaseEnvironment();
    return result;
}
