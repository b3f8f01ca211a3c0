// The program's entry.

#include "app/ProgramMain.h"

int main(int argc, char** argv)
{
    return kelvane::RunProgram(argc, argv);
}
