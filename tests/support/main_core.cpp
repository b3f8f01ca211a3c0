#include "tests/support/TestMain.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    return kelvane::test::runAllTests<QCoreApplication>(argc, argv);
}
