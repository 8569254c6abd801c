#include "gui/Startup.h"

int main(int argc, char** argv)
{
    return kvor::Main(argc, argv);
}
