#include "tests/support/TestMain.h"

#include <QApplication>

int main(int argc, char** argv)
{
    return kelvane::test::runAllTests<QApplication>(argc, argv);
}
